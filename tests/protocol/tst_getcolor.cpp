#include "getcolor.h"
#include "packetdecoder.h"
#include "packetformat.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

// A canvas of `width` x `height` pixels, black unless painted.
QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

ListRowSource rowsOf(const QList<QStringList> &effects)
{
    ListRowSource rows;
    int n = 0;
    for (const QStringList &e : effects)
        rows.appendRow(QStringList { QString::number(++n) } + e + QStringList { "8", "1", "a.rtf" });
    return rows;
}

const QStringList kNewRow { "0", "3", "0", "1", "0", "3", "0", "1" };

} // namespace

class tst_GetColor : public QObject
{
    Q_OBJECT

private slots:
    void pictureHeaderAndSize()
    {
        const ImagePixelSource page(canvas(130, 18));
        const PacketResult r = GetColor().SendPicMod(page, 8, 1, 8, 1, 16, 1);
        QVERIFY(r.ok);
        QCOMPARE(r.bytes.size(), 533);
        QCOMPARE(r.bytes.left(17), bytes({ 0x02, 0x33, 0x00, 0x00, 0x03, 0x01, 0x00, 0x00, 0x00,
                                           0x00, 0x00, 0x10, 0x10, 0x00, 0x00, 0x10, 0x10 }));
        QCOMPARE(r.bytes.right(4), bytes({ 0xFF, 0x03, 0x00, 0x00 }));
        // A black page: both planes (17..272 and 273..528) are empty.
        QCOMPARE(r.bytes.mid(17, 512), QByteArray(512, '\0'));
    }

    void bitPositions()
    {
        QImage image = canvas(130, 34);
        image.setPixel(0, 2, qRgb(255, 0, 0)); // LED (0, 0): bit 7 of byte 17
        image.setPixel(9, 2, qRgb(0, 255, 0)); // LED (9, 0): bit 6 of byte 18 + P
        image.setPixel(20, 5, qRgb(255, 255, 0)); // yellow: the same bit in both planes
        image.setPixel(21, 5, qRgb(254, 0, 0)); // not exactly red: dark
        image.setPixel(3, 0, qRgb(255, 0, 0)); // canvas rows 0 and 1 are never sent
        image.setPixel(4, 1, qRgb(255, 0, 0));
        const int P = 8 * 2 * 32;
        const PacketResult r = GetColor().SendPicMod(ImagePixelSource(image), 8, 2, 8, 2, 16, 1);
        QVERIFY(r.ok);
        const auto at = [&](int i) { return int(uchar(r.bytes.at(i))); };
        QCOMPARE(at(17), 0x80);
        QCOMPARE(at(18 + P), 0x40);
        const int yellowByte = 17 + 3 * 16 + 20 / 8; // row 3 of 16 bytes, column 20
        QCOMPARE(at(yellowByte), 0x08);
        QCOMPARE(at(yellowByte + P), 0x08);
        int lit = 0;
        for (int i = 17; i < 17 + 2 * P; ++i)
            lit += qPopulationCount(quint32(at(i)));
        QCOMPARE(lit, 4);
    }

    void lastModuleColumnIsDark()
    {
        QImage image = canvas(34, 18);
        image.fill(qRgb(255, 255, 0));
        const PacketResult one = GetColor().SendPicMod(ImagePixelSource(image), 1, 1, 1, 1, 16, 1);
        QVERIFY(one.ok);
        QCOMPARE(one.bytes.mid(17, 64), QByteArray(64, '\0'));

        QImage wide = canvas(64, 18);
        wide.fill(qRgb(255, 0, 0));
        const PacketResult two = GetColor().SendPicMod(ImagePixelSource(wide), 2, 1, 2, 1, 16, 1);
        // Each row: first module lit, second dark.
        for (int row = 0; row < 16; ++row)
            QCOMPARE(two.bytes.mid(17 + row * 4, 4), bytes({ 0xFF, 0xFF, 0x00, 0x00 }));
    }

    void pixelsOutsideTheCanvasAreDark()
    {
        QImage small = canvas(8, 4);
        small.fill(qRgb(255, 0, 0));
        const PacketResult r = GetColor().SendPicMod(ImagePixelSource(small), 4, 1, 4, 1, 16, 1);
        QVERIFY(r.ok);
        QCOMPARE(int(uchar(r.bytes.at(17))), 0xFF); // canvas rows 2 and 3 exist
        QCOMPARE(int(uchar(r.bytes.at(17 + 8))), 0xFF);
        QCOMPARE(int(uchar(r.bytes.at(17 + 16))), 0x00); // row 4 is outside
        QCOMPARE(int(uchar(r.bytes.at(18))), 0x00); // column 8 is outside
    }

    void decodesBackPixelForPixel()
    {
        QImage image = canvas(34 * 16 + 2, 15 * 16 + 2);
        const QRgb colours[] = { qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(255, 255, 0),
                                 qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(1, 255, 0) };
        QRandomGenerator random(7);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, colours[random.bounded(6)]);
        const PacketResult r = GetColor().SendPicMod(ImagePixelSource(image), 34, 15, 34, 15, 16, 5);
        QVERIFY(r.ok);
        QCOMPARE(r.bytes.size(), 21 + 64 * 34 * 15);
        DecodedPicture decoded;
        QVERIFY(decodePicture(r.bytes, &decoded));
        QCOMPARE(decoded.slot, 7);
        QCOMPARE(decoded.image.size(), QSize(34 * 16, 15 * 16));
        for (int y = 0; y < decoded.image.height(); ++y) {
            for (int x = 0; x < decoded.image.width(); ++x) {
                QRgb expected = image.pixel(x, y + 2);
                const bool lit = expected == colours[0] || expected == colours[1]
                        || expected == colours[2];
                if (!lit || x >= 33 * 16)
                    expected = qRgb(0, 0, 0);
                QCOMPARE(decoded.image.pixel(x, y), expected);
            }
        }
    }

    void pictureRefusals_data()
    {
        QTest::addColumn<int>("screenWidth");
        QTest::addColumn<int>("screenHeight");
        QTest::addColumn<int>("textWidth");
        QTest::addColumn<int>("textHeight");
        QTest::addColumn<int>("fileListId");
        QTest::addColumn<QString>("field");
        QTest::addRow("height 16") << 8 << 1 << 8 << 16 << 1 << "TextHeight";
        QTest::addRow("row 254") << 8 << 1 << 8 << 1 << 254 << "FileListID";
        QTest::addRow("width 128") << 8 << 1 << 128 << 1 << 1 << "TextWidth";
        QTest::addRow("negative width") << 8 << 1 << -1 << 1 << 1 << "TextWidth";
        QTest::addRow("screen 128") << 128 << 1 << 8 << 1 << 1 << "ScreenWidth";
        QTest::addRow("screen height 16") << 8 << 16 << 8 << 1 << 1 << "ScreenHeight";
        QTest::addRow("area 512") << 8 << 1 << 64 << 8 << 1 << "TextWidth × TextHeight";
    }

    void pictureRefusals()
    {
        QFETCH(int, screenWidth);
        QFETCH(int, screenHeight);
        QFETCH(int, textWidth);
        QFETCH(int, textHeight);
        QFETCH(int, fileListId);
        QFETCH(QString, field);
        const PacketResult r = GetColor().SendPicMod(
                ImagePixelSource(canvas(10, 10)), qint16(screenWidth), qint16(screenHeight),
                qint16(textWidth), qint16(textHeight), 16, qint16(fileListId));
        QVERIFY(!r.ok);
        QVERIFY(r.bytes.isEmpty());
        QCOMPARE(r.refusal.field, field);
        QVERIFY(r.refusal.message("English").contains(field));
        QVERIFY(!r.refusal.message(QStringLiteral("简体中文")).isEmpty());
    }

    void largestPictureFits()
    {
        const PacketResult r = GetColor().SendPicMod(ImagePixelSource(canvas(1, 1)), 127, 15, 73,
                                                     7, 16, 253);
        QVERIFY(r.ok);
        QCOMPARE(r.bytes.size(), 21 + 64 * 511);
        QCOMPARE(int(uchar(r.bytes.at(4))), 255);
    }

    void controlPacketOfANewRow()
    {
        const ListRowSource rows = rowsOf({ kNewRow });
        const PacketResult r = GetColor().CtrlCommandSend(rows, 1, "1,");
        QVERIFY(r.ok);
        QCOMPARE(r.bytes.size(), 68);
        QCOMPARE(r.bytes.left(4), bytes({ 0x02, 0x34, 0x00, 0x42 }));
        QCOMPARE(r.bytes.mid(4, 13), QByteArray(13, '\0'));
        QCOMPARE(r.bytes.mid(17, 32),
                 QByteArray(15, '\0')
                         + bytes({ 0x03, 0x01, 0x01, 0x08, 0x01, 0x01, 0x00, 0x01, 0x01, 0x01,
                                   0x00, 0x08, 0x01, 0x01, 0x01, 0x00, 0x00 }));
        QCOMPARE(r.bytes.mid(49, 19), QByteArray(15, '\0') + bytes({ 0xFF, 0x03, 0x00, 0x00 }));
    }

    void controlRecordValues()
    {
        QStringList fast = kNewRow;
        fast[1] = "7";
        QStringList exits = kNewRow;
        exits[4] = "1";
        QStringList lastExit = kNewRow;
        lastExit[4] = "5";
        lastExit[6] = "25";
        lastExit[7] = "125";
        const ListRowSource rows = rowsOf({ fast, exits, lastExit });
        const PacketResult r = GetColor().CtrlCommandSend(rows, 3, "1,2,3,");
        QVERIFY(r.ok);
        const auto rec = [&](int j, int offset) { return int(uchar(r.bytes.at(17 + 32 * j + offset))); };
        QCOMPARE(rec(0, 17), 2); // speed 7 uses the second entry code
        QCOMPARE(rec(0, 18), 128);
        QCOMPARE(rec(1, 25), 0); // exit 1 and exit 0 share code 0
        QCOMPARE(rec(2, 25), 4);
        QCOMPARE(rec(2, 27), 251);
        QCOMPARE(rec(2, 28), 125);
        QCOMPARE(rec(2, 15), 5); // slot of row 3

        // Rows are taken as the row-number string lists them, not in list order.
        const PacketResult reordered = GetColor().CtrlCommandSend(rows, 2, "3,1,2,");
        QCOMPARE(int(uchar(reordered.bytes.at(17 + 15))), 5);
        QCOMPARE(int(uchar(reordered.bytes.at(17 + 32 + 15))), 3);
        QCOMPARE(reordered.bytes.size(), 100);
    }

    void tenRows()
    {
        const ListRowSource rows = rowsOf(QList<QStringList>(10, kNewRow));
        const PacketResult r = GetColor().CtrlCommandSend(rows, 10, GetColor::allRowNumbers(10));
        QVERIFY(r.ok);
        QCOMPARE(r.bytes.size(), 356);
        QCOMPARE(int(uchar(r.bytes.at(2))), 0x01);
        QCOMPARE(int(uchar(r.bytes.at(3))), 0x62);
        QList<DecodedEffectRecord> records;
        QVERIFY(decodeControl(r.bytes, &records));
        QCOMPARE(records.size(), 10);
        QCOMPARE(records.last().slot, 12);
    }

    void controlRefusals_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("field");
        QTest::addRow("speed 8") << 1 << "8" << "Speed";
        QTest::addRow("exit speed 25") << 5 << "25" << "ESpeed";
        QTest::addRow("time 26") << 2 << "26" << "Times";
        QTest::addRow("repeat 256") << 3 << "256" << "Repeat";
        QTest::addRow("letters") << 0 << "abc" << "Effect";
        QTest::addRow("negative") << 7 << "-1" << "ERepeat";
        QTest::addRow("empty") << 6 << "" << "ETime";
    }

    void controlRefusals()
    {
        QFETCH(int, column);
        QFETCH(QString, value);
        QFETCH(QString, field);
        QStringList row = kNewRow;
        row[column] = value;
        const PacketResult r = GetColor().CtrlCommandSend(rowsOf({ kNewRow, row }), 2, "1,2,");
        QVERIFY(!r.ok);
        QVERIFY(r.bytes.isEmpty());
        QCOMPARE(r.refusal.field, field);
        QCOMPARE(r.refusal.row, 2);
        QVERIFY(r.refusal.message("English").startsWith("Row 2: " + field));
    }

    void controlRowNumbersMustNameRows()
    {
        const ListRowSource rows = rowsOf({ kNewRow });
        QVERIFY(!GetColor().CtrlCommandSend(rows, 1, "2,").ok);
        QVERIFY(!GetColor().CtrlCommandSend(rows, 2, "1,").ok);
        QVERIFY(!GetColor().CtrlCommandSend(rows, -1, "1,").ok);
        QVERIFY(GetColor().CtrlCommandSend(rows, 1, "1,9,x").ok); // fields past n are ignored
        const ListRowSource many = rowsOf(QList<QStringList>(254, kNewRow));
        const PacketResult r = GetColor().CtrlCommandSend(many, 1, "254,");
        QVERIFY(!r.ok);
        QCOMPARE(r.refusal.maximum, 253);
    }

    void clearScreen()
    {
        QCOMPARE(GetColor().ClearScreen(),
                 bytes({ 0x02, 0x35, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xCC, 0xEE, 0, 0 }));
    }
};

QTEST_GUILESS_MAIN(tst_GetColor)
#include "tst_getcolor.moc"
