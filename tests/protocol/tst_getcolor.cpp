#include "getcolor.h"
#include "packetdecoder.h"

#include <QtTest>

namespace {

// A canvas of `width` x `height` pixels, filled with `colour` (black by default).
QImage canvas(int width, int height, QRgb colour = qRgb(0, 0, 0))
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray hex(const char *text) { return QByteArray::fromHex(text); } // blanks are skipped

int u8(const PacketResult &r, int i) { return int(uchar(r.bytes.at(i))); }

PacketResult picture(const QImage &image, int width, int height, int slot = 1)
{
    return GetColor().SendPicMod(ImagePixelSource(image), qint16(width), qint16(height),
        qint16(width), qint16(height), 16, qint16(slot));
}

// Effect columns 2..9 of a freshly added row: Effect 0, Speed 3, Times 0, Repeat 1, EEffect 0,
// ESpeed 3, ETime 0, ERepeat 1.
const QString kNewRow = "0 3 0 1 0 3 0 1";

// Program-list rows with these effect columns, separated by single blanks.
ListRowSource rowsOf(const QStringList &effects)
{
    ListRowSource rows;
    for (const QString &e : effects)
        rows.appendRow(QString("%1 %2 8 1 a.rtf").arg(rows.rowCount() + 1).arg(e).split(' '));
    return rows;
}

} // namespace

class tst_GetColor : public QObject
{
    Q_OBJECT

private slots:
    void pictureHeaderSizeAndEndMarker()
    {
        // Page 8 x 1 modules on a 12 x 2 sign: row bytes and rows of both, slot 1 + 2.
        const PacketResult r
            = GetColor().SendPicMod(ImagePixelSource(canvas(130, 18)), 12, 2, 8, 1, 16, 1);
        QVERIFY(r.ok);
        QCOMPARE(r.bytes.size(), 533);
        QCOMPARE(r.bytes.left(17), hex("02 33 0000 03 01 00000000 00 10 10 0000 18 20"));
        QCOMPARE(r.bytes.mid(17, 512), QByteArray(512, '\0')); // black: both planes empty
        QCOMPARE(r.bytes.right(4), hex("FF030000"));
        // The largest page and slot that fit the one-byte and 16-bit fields.
        const PacketResult largest
            = GetColor().SendPicMod(ImagePixelSource(canvas(1, 1)), 127, 15, 73, 7, 16, 253);
        QVERIFY(largest.ok);
        QCOMPARE(largest.bytes.size(), 21 + 64 * 511);
        QCOMPARE(u8(largest, 4), 255);
    }

    void bitPositions()
    {
        QImage image = canvas(130, 34);
        image.setPixel(0, 2, qRgb(255, 0, 0)); // LED (0, 0): the MSB of byte 17
        image.setPixel(9, 2, qRgb(0, 255, 0)); // LED (9, 0): bit 6 of byte 18 in the green plane
        image.setPixel(20, 5, qRgb(255, 255, 0)); // yellow: the same bit in both planes
        image.setPixel(21, 5, qRgb(254, 0, 0)); // not exactly red: dark
        image.setPixel(3, 0, qRgb(255, 0, 0)); // canvas rows 0 and 1 are never sent
        image.setPixel(4, 1, qRgb(255, 0, 0));
        image.setPixel(5, 33, qRgb(255, 0, 0)); // canvas row 33 is LED row 31, the last one
        const int P = 8 * 2 * 32; // plane size
        const PacketResult r = picture(image, 8, 2);
        QVERIFY(r.ok);
        QCOMPARE(u8(r, 17), 0x80);
        QCOMPARE(u8(r, 18 + P), 0x40);
        const int yellowByte = 17 + 3 * 16 + 20 / 8; // LED row 3 of 16 bytes, column 20
        QCOMPARE(u8(r, yellowByte), 0x08);
        QCOMPARE(u8(r, yellowByte + P), 0x08);
        QCOMPARE(u8(r, 17 + 31 * 16), 0x04);
        int lit = 0;
        for (int i = 17; i < 17 + 2 * P; ++i)
            lit += qPopulationCount(quint32(u8(r, i)));
        QCOMPARE(lit, 5);
    }

    void lastModuleColumnAndOutsideTheCanvasAreDark()
    {
        // One module wide: nothing lit at all. (Wider pages: tests/sign, pixel for pixel.)
        const PacketResult one = picture(canvas(34, 18, qRgb(255, 255, 0)), 1, 1);
        QVERIFY(one.ok);
        QCOMPARE(one.bytes.mid(17, 64), QByteArray(64, '\0'));
        // An 8 x 4 canvas on a 4-module page: only LED rows 0 and 1, columns 0..7 exist.
        const PacketResult small = picture(canvas(8, 4, qRgb(255, 0, 0)), 4, 1);
        QVERIFY(small.ok);
        QCOMPARE(u8(small, 17), 0xFF);
        QCOMPARE(u8(small, 17 + 8), 0xFF);
        QCOMPARE(u8(small, 17 + 16), 0x00);
        QCOMPARE(u8(small, 18), 0x00);
    }

    void pictureRefusals_data()
    {
        QTest::addColumn<QList<int>>("args"); // screen W, H, text W, H, FileListID
        QTest::addColumn<QString>("field");
        QTest::addRow("height 16") << QList<int> { 8, 1, 8, 16, 1 } << "TextHeight";
        QTest::addRow("row 254") << QList<int> { 8, 1, 8, 1, 254 } << "FileListID";
        QTest::addRow("row -1") << QList<int> { 8, 1, 8, 1, -1 } << "FileListID";
        QTest::addRow("width 128") << QList<int> { 8, 1, 128, 1, 1 } << "TextWidth";
        QTest::addRow("negative width") << QList<int> { 8, 1, -1, 1, 1 } << "TextWidth";
        QTest::addRow("screen 128") << QList<int> { 128, 1, 8, 1, 1 } << "ScreenWidth";
        QTest::addRow("screen height 16") << QList<int> { 8, 16, 8, 1, 1 } << "ScreenHeight";
        QTest::addRow("area 512") << QList<int> { 8, 1, 64, 8, 1 } << "TextWidth × TextHeight";
    }
    void pictureRefusals()
    {
        QFETCH(QList<int>, args);
        QFETCH(QString, field);
        const PacketResult r = GetColor().SendPicMod(ImagePixelSource(canvas(10, 10)), args[0],
            args[1], args[2], args[3], 16, args[4]);
        QVERIFY(!r.ok);
        QVERIFY(r.bytes.isEmpty());
        QCOMPARE(r.refusal.field, field);
        QVERIFY(r.refusal.message("English").contains(field));
        QVERIFY(!r.refusal.message(QStringLiteral("简体中文")).isEmpty());
    }

    void controlPacketOfANewRow()
    {
        const PacketResult r = GetColor().CtrlCommandSend(rowsOf({ kNewRow }), 1, "1,");
        QVERIFY(r.ok);
        QCOMPARE(r.bytes.size(), 68);
        QCOMPARE(r.bytes.left(17), hex("02 34 0042") + QByteArray(13, '\0'));
        QCOMPARE(r.bytes.mid(17, 32),
            QByteArray(15, '\0') + hex("03 01 01 08 01 01 00 010101 00 08 01 01 01 0000"));
        QCOMPARE(r.bytes.mid(49, 19), QByteArray(15, '\0') + hex("FF030000"));
        // Ten rows: L = 354 in bytes 2 and 3, high byte first.
        const ListRowSource ten = rowsOf(QStringList(10, kNewRow));
        const PacketResult r10 = GetColor().CtrlCommandSend(ten, 10, GetColor::allRowNumbers(10));
        QVERIFY(r10.ok);
        QCOMPARE(r10.bytes.size(), 356);
        QCOMPARE(u8(r10, 2) * 256 + u8(r10, 3), 354);
        QList<DecodedEffectRecord> records;
        QVERIFY(decodeControl(r10.bytes, &records));
        QCOMPARE(records.size(), 10);
        QCOMPARE(records.last().slot, 12);
    }

    void controlRecordValues()
    {
        // Speed 7; exit effect 1; exit effect 5 with the longest time and 125 repeats.
        const ListRowSource rows
            = rowsOf({ "0 7 0 1 0 3 0 1", "0 3 0 1 1 3 0 1", "0 3 0 1 5 3 25 125" });
        const PacketResult r = GetColor().CtrlCommandSend(rows, 3, "1,2,3,");
        QVERIFY(r.ok);
        const auto rec = [&](int j, int offset) { return u8(r, 17 + 32 * j + offset); };
        QCOMPARE(rec(0, 17), 2); // speed 7 uses the second entry code
        QCOMPARE(rec(0, 18), 128);
        QCOMPARE(rec(1, 25), 0); // exit 1 and exit 0 share code 0
        QCOMPARE(rec(2, 25), 4);
        QCOMPARE(rec(2, 27), 251);
        QCOMPARE(rec(2, 28), 125);
        QCOMPARE(rec(2, 15), 5); // slot of row 3
        // Rows are taken as the row-number string lists them, not in list order.
        const PacketResult reordered = GetColor().CtrlCommandSend(rows, 2, "3,1,2,");
        QCOMPARE(reordered.bytes.size(), 100);
        QCOMPARE(u8(reordered, 17 + 15), 5);
        QCOMPARE(u8(reordered, 17 + 32 + 15), 3);
    }

    void controlRefusals_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("field");
        QTest::addRow("speed 8") << 1 << "8" << "Speed";
        QTest::addRow("exit speed 8") << 5 << "8" << "ESpeed";
        QTest::addRow("time 26") << 2 << "26" << "Times";
        QTest::addRow("exit time 26") << 6 << "26" << "ETime";
        QTest::addRow("repeat 256") << 3 << "256" << "Repeat";
        QTest::addRow("entry code past a byte") << 0 << "255" << "Effect";
        QTest::addRow("letters") << 0 << "abc" << "Effect";
        QTest::addRow("negative") << 7 << "-1" << "ERepeat";
        QTest::addRow("empty") << 4 << "" << "EEffect";
    }
    void controlRefusals()
    {
        QFETCH(int, column);
        QFETCH(QString, value);
        QFETCH(QString, field);
        QStringList row = kNewRow.split(' ');
        row[column] = value;
        const PacketResult r
            = GetColor().CtrlCommandSend(rowsOf({ kNewRow, row.join(' ') }), 2, "1,2,");
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
        const ListRowSource many = rowsOf(QStringList(254, kNewRow));
        const PacketResult r = GetColor().CtrlCommandSend(many, 1, "254,");
        QVERIFY(!r.ok);
        QCOMPARE(r.refusal.maximum, 253);
        QVERIFY(!r.refusal.message("English").isEmpty());
    }

    void clearScreen()
    {
        QCOMPARE(GetColor().ClearScreen(), hex("02 35 00000000000000000000000000 CC EE 0000"));
    }
};

QTEST_GUILESS_MAIN(tst_GetColor)
#include "tst_getcolor.moc"
