#include "getcolor.h"
#include "packetassembler.h"

#include <QtTest>

namespace {
QByteArray picturePacket(int slot)
{
    QImage image(130, 18, QImage::Format_RGB32);
    image.fill(Qt::red);
    return GetColor().SendPicMod(ImagePixelSource(image), 8, 1, 8, 1, 16, qint16(slot)).bytes;
}
QByteArray controlPacket()
{
    ListRowSource rows;
    rows.appendRow({ "1", "0", "3", "0", "1", "0", "3", "0", "1", "8", "1", "a.rtf" });
    return GetColor().CtrlCommandSend(rows, 1, "1,").bytes;
}
} // namespace

class tst_PacketAssembler : public QObject
{
    Q_OBJECT

private slots:
    void framesFromPiecesAndBackToBack()
    {
        // Fed seven bytes at a time: one frame, once its last byte arrived.
        const QByteArray packet = picturePacket(1);
        PacketAssembler assembler;
        QList<PacketAssembler::Frame> frames;
        for (int i = 0; i < packet.size(); i += 7)
            frames += assembler.feed(packet.mid(i, 7));
        QCOMPARE(frames.size(), 1);
        QVERIFY(frames.first().valid);
        QCOMPARE(frames.first().bytes, packet);
        QCOMPARE(assembler.pendingBytes(), 0);

        // All three packet types in one read, the start of a fourth kept for later.
        frames = assembler.feed(picturePacket(1) + controlPacket() + GetColor().ClearScreen()
            + picturePacket(2).left(100));
        QCOMPARE(frames.size(), 3);
        for (const PacketAssembler::Frame &f : frames)
            QVERIFY2(f.valid, qPrintable(f.problem));
        QCOMPARE(frames.at(1).bytes, controlPacket());
        QCOMPARE(assembler.pendingBytes(), 100);
        assembler.reset();
        QCOMPARE(assembler.pendingBytes(), 0);
    }

    void garbageAndDamageAreReported()
    {
        PacketAssembler assembler;
        QList<PacketAssembler::Frame> frames
            = assembler.feed(QByteArray("hello") + GetColor().ClearScreen());
        QCOMPARE(frames.size(), 2);
        QVERIFY(!frames.at(0).valid);
        QCOMPARE(frames.at(0).bytes, QByteArray("hello"));
        QVERIFY(frames.at(1).valid);

        QByteArray unknownType = GetColor().ClearScreen();
        unknownType[1] = char(0x40);
        QVERIFY(!assembler.feed(unknownType).first().valid);

        QByteArray badEnd = controlPacket();
        badEnd[badEnd.size() - 3] = 0x04;
        assembler.reset();
        frames = assembler.feed(badEnd);
        QCOMPARE(frames.size(), 1);
        QVERIFY(!frames.first().valid);
        QVERIFY(frames.first().problem.contains("end marker"));

        QByteArray badClear = GetColor().ClearScreen();
        badClear[16] = 0x00;
        QVERIFY(!PacketAssembler::validate(badClear).isEmpty());
        QVERIFY(PacketAssembler::validate(GetColor().ClearScreen()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_PacketAssembler)
#include "tst_packetassembler.moc"
