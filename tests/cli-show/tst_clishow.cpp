// vantrel-cli show check and show send: packets checked byte for byte and decoded on a loopback
// sign and a pseudo-terminal in this process, and the exit status of every kind of outcome.

#include "cliprocess.h"
#include "getcolor.h"
#include "loopbacksign.h"
#include "packetdecoder.h"
#include "ptypeer.h"
#include "testfiles.h"
#include "testpages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kTcpSuccess = QByteArray::fromHex("02000088");
const QByteArray kSerialSuccess = QByteArray::fromHex("AA");

QByteArray rowSection(int row, const QString &page, const QString &effects, int width)
{
    const QStringList v = effects.split(',');
    return QStringLiteral("[Row%1]\nFile Path=%2\nEffect=%3\nSpeed=%4\nTimes=%5\nRepeat=%6\n"
                          "EEffect=%7\nESpeed=%8\nETime=%9\nERepeat=%10\nTWidth=%11\nTHeight=1\n\n")
        .arg(row)
        .arg(page, v[0], v[1], v[2], v[3], v[4], v[5], v[6])
        .arg(v[7])
        .arg(width)
        .toUtf8();
}

} // namespace

class tst_CliShow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void packetsByteForByte_data();
    void packetsByteForByte();
    void outcomes_data();
    void outcomes();
    void checkListsTheRows();
    void picturesAsTheWindowSendsThem();

private:
    QString show(const QByteArray &rows) const;
    QList<QByteArray> expectedPackets() const;

    QTemporaryDir m_dir;
    QImage m_first;
    QImage m_second;
};

void tst_CliShow::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The sign of BaseSet.ini: 8 x 1 modules; pages of 8 and 4 modules on it.
    QVERIFY(writeFile(m_dir.filePath("BaseSet.ini"),
        "[ScreenSet]\nScreenWidth=8\nScreenHeight=1\nPerPiex=16\nMaxIPList=10\n\n"
        "[TranceSet]\nTrance=2\nIPStr=\nCommPort=ttyS0\nCommSettings=9600,N,8,1\n\n"
        "[Language]\nLanguage=English\n"));
    // Pages already in the sign's colours, so the packets are the pages' own LEDs.
    m_first = TestPages::thresholded(TestPages::randomPage(8 * 16, 16, 7));
    m_second = TestPages::thresholded(TestPages::randomPage(4 * 16, 16, 8));
    QVERIFY(QDir(m_dir.path()).mkpath("pages"));
    QVERIFY(m_first.save(m_dir.filePath("pages/first.png")));
    QVERIFY(m_second.save(m_dir.filePath("pages/second.png")));
}

QString tst_CliShow::show(const QByteArray &rows) const
{
    static int count = 0;
    const QString path = m_dir.filePath(QStringLiteral("show%1.vshow").arg(++count));
    writeFile(path, "[Show]\nVersion=1\n\n" + rows);
    return path;
}

const QString kRow1 = QStringLiteral("0,3,0,1,0,3,0,1");
const QString kRow2 = QStringLiteral("9,7,12,2,5,1,3,1");

QList<QByteArray> tst_CliShow::expectedPackets() const
{
    ListRowSource rows;
    rows.appendRow(QStringList { "1" } + kRow1.split(',') + QStringList { "8", "1", "" });
    rows.appendRow(QStringList { "2" } + kRow2.split(',') + QStringList { "4", "1", "" });
    const GetColor build;
    return { build.SendPicMod(ImagePixelSource(m_first, 0, 2), 8, 1, 8, 1, 16, 1).bytes,
        build.SendPicMod(ImagePixelSource(m_second, 0, 2), 8, 1, 4, 1, 16, 2).bytes,
        build.CtrlCommandSend(rows, 2, GetColor::allRowNumbers(2)).bytes };
}

void tst_CliShow::packetsByteForByte_data()
{
    QTest::addColumn<bool>("serial");
    QTest::newRow("tcp") << false;
    QTest::newRow("pty") << true;
}

void tst_CliShow::packetsByteForByte()
{
    QFETCH(bool, serial);
    const QString path = show(
        rowSection(1, "pages/first.png", kRow1, 8) + rowSection(2, "pages/second.png", kRow2, 4));
    LoopbackSign sign;
    PtyPeer pty;
    QStringList link;
    if (serial) {
        QVERIFY(pty.open());
        pty.answerEvents = { kSerialSuccess };
        link = QStringList { "--serial", pty.devicePath(), "--settings", "115200,N,8,1" };
    } else {
        QVERIFY(sign.listen());
        sign.answerPieces = { kTcpSuccess };
        link = QStringList { "--tcp", QStringLiteral("127.0.0.1:%1").arg(sign.port()) };
    }
    const CliRun run
        = runCli(QStringList { "show", "send", path, "--program-folder", m_dir.path() } + link);
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> packets = serial ? pty.packets : sign.packets;
    QCOMPARE(packets, expectedPackets());
    // Told apart by a decoder of its own: each page's LEDs in its row's slot, then the table.
    const QList<QImage> leds { TestPages::expectedLeds(m_first, 8, 1),
        TestPages::expectedLeds(m_second, 4, 1) };
    for (int i = 0; i < 2; ++i) {
        DecodedPicture decoded;
        QVERIFY(decodePicture(packets.at(i), &decoded));
        QCOMPARE(decoded.slot, 3 + i);
        QCOMPARE(decoded.image, leds.at(i));
    }
    QList<DecodedEffectRecord> records;
    QVERIFY(decodeControl(packets.at(2), &records));
    QCOMPARE(records.size(), 2);
    QCOMPARE(records.at(1).entryEffect, 11); // Effect 9 at the fast Speed 7
    const QStringList lines = run.outLines();
    QCOMPARE(lines.size(), 4);
    QVERIFY2(lines.at(0).startsWith("row 1 of 2: ") && lines.at(0).endsWith("set succeed!"),
        qPrintable(lines.at(0)));
    QVERIFY(lines.at(2).startsWith("effect table: "));
    QVERIFY2(lines.at(3).contains("The show was sent: 2 rows"), qPrintable(lines.at(3)));
}

void tst_CliShow::outcomes_data()
{
    // FAIL is a sign that answers failure, OK one that answers success, REFUSED a port
    // nobody listens on.
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QString>("targets");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("err"); // parts of stderr
    QTest::addColumn<int>("packetsAtOk"); // what the good sign took

    const QByteArray two
        = rowSection(1, "pages/first.png", kRow1, 8) + rowSection(2, "pages/second.png", kRow2, 4);
    QTest::newRow("one target fails")
        << two << "OK FAIL" << 1
        << QStringList { "3 of 3 packets", "Row 1 (FAIL): set failed!", "Row 2 (FAIL): set failed!",
               "Effect table (FAIL): set failed!" }
        << 3;
    QTest::newRow("one target refuses")
        << two << "REFUSED OK" << 1 << QStringList { "Row 1 (REFUSED): ", "could not be reached" }
        << 3;
    QTest::newRow("speed 8 sends nothing")
        << rowSection(1, "pages/first.png", kRow1, 8)
            + rowSection(2, "pages/second.png", "0,8,0,1,0,3,0,1", 4)
        << "OK" << 2 << QStringList { "Row 2: Speed is 8", "Nothing was sent" } << 0;
    QTest::newRow("page too wide sends nothing")
        << rowSection(1, "pages/first.png", kRow1, 128) << "OK" << 2
        << QStringList { "Row 1: TextWidth is 128" } << 0;
    QTest::newRow("missing page sends nothing")
        << rowSection(1, "pages/none.png", kRow1, 8) << "OK" << 2
        << QStringList { "Row 1, key \"File Path\"", "none.png does not exist" } << 0;
    QTest::newRow("bad value sends nothing")
        << rowSection(1, "pages/first.png", "0,3,0,1,7,3,0,1", 8) << "OK" << 2
        << QStringList { "Row 1, key \"EEffect\"", "\"7\" is not a whole number from 0 to 5" } << 0;
}

void tst_CliShow::outcomes()
{
    QFETCH(QByteArray, rows);
    QFETCH(QString, targets);
    QFETCH(int, exitCode);
    QFETCH(QStringList, err);
    QFETCH(int, packetsAtOk);
    LoopbackSign good;
    LoopbackSign failing;
    QVERIFY(good.listen() && failing.listen());
    good.answerPieces = { kTcpSuccess };
    failing.answerPieces = { QByteArray::fromHex("020000EE") };
    const QString ok = QStringLiteral("127.0.0.1:%1").arg(good.port());
    const QString fail = QStringLiteral("127.0.0.1:%1").arg(failing.port());
    const QString refused = QStringLiteral("127.0.0.1:%1").arg(refusedPort());
    QStringList arguments { "show", "send", show(rows), "--program-folder", m_dir.path() };
    for (QString target : targets.split(' ')) {
        target.replace("REFUSED", refused).replace("FAIL", fail).replace("OK", ok);
        arguments << "--tcp" << target;
    }

    const CliRun run = runCli(arguments);
    QCOMPARE(run.exitCode, exitCode);
    for (QString part : err) {
        part.replace("REFUSED", refused).replace("FAIL", fail);
        QVERIFY2(run.err.contains(part), qPrintable(run.err + " lacks " + part));
    }
    QCOMPARE(good.packets.size(), packetsAtOk);
}

void tst_CliShow::checkListsTheRows()
{
    const QString path = show(
        rowSection(1, "pages/first.png", kRow1, 8) + rowSection(2, "pages/second.png", kRow2, 4));
    CliRun run = runCli({ "show", "check", path, "--program-folder", m_dir.path() });
    QCOMPARE(run.exitCode, 0);
    QStringList lines = run.outLines();
    QCOMPARE(lines.size(), 5);
    QCOMPARE(
        lines.at(2), QString("1\t0 rightleft\t3\t0\t1\t0 none\t3\t0\t1\t8\t1\tpages/first.png"));
    QCOMPARE(
        lines.at(3), QString("2\t9 zoomup\t7\t12\t2\t5 stay\t1\t3\t1\t4\t1\tpages/second.png"));

    // Valid as a file, but the sign cannot take Speed 8: listed, then refused.
    run = runCli({ "show", "check", show(rowSection(1, "pages/first.png", "0,8,0,1,0,3,0,1", 8)),
        "--program-folder", m_dir.path() });
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("Row 1: Speed is 8"), qPrintable(run.err));

    // Sizes the packet cannot carry are refused before a page is drawn; an empty show is
    // refused by check as by send.
    QByteArray huge = rowSection(1, "pages/first.png", kRow1, 2047);
    run = runCli({ "show", "check", show(huge.replace("THeight=1", "THeight=2047")),
        "--program-folder", m_dir.path() });
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("Row 1: TextWidth is 2047"), qPrintable(run.err));
    const QString empty = show({});
    run = runCli({ "show", "check", empty, "--program-folder", m_dir.path() });
    const CliRun sent = runCli({ "show", "send", empty, "--program-folder", m_dir.path() });
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(sent.exitCode, 2);
    QVERIFY2(run.err.contains("Please Add The File") && sent.err.contains("Please Add The File"),
        qPrintable(run.err + sent.err));

    run = runCli({ "show", "check", m_dir.filePath("pages/first.png") });
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains("is not a Vantrel show"));
    QCOMPARE(runCli({ "show", "check" }).exitCode, 64);
    QCOMPARE(runCli({ "show", "play", path }).exitCode, 64);
}

void tst_CliShow::picturesAsTheWindowSendsThem()
{
    // A ramp of dim yellows: thresholded and dithered, it lights different LEDs.
    QImage ramp(8 * 16, 1, QImage::Format_RGB32);
    for (int x = 0; x < ramp.width(); ++x)
        ramp.setPixel(x, 0, qRgb(x * 2, x * 2, 0));
    QVERIFY(ramp.scaled(ramp.width(), 16).save(m_dir.filePath("pages/ramp.png")));
    const QString path = show(rowSection(1, "pages/ramp.png", kRow1, 8));
    // The picture packet sent with "Pictures" of BaseSet.ini and the option given.
    const auto sent = [&](const QByteArray &pictures, const QStringList &option) {
        QTemporaryDir folder;
        LoopbackSign sign;
        sign.answerPieces = { kTcpSuccess };
        writeFile(folder.filePath("BaseSet.ini"),
            "[ScreenSet]\nScreenWidth=8\nScreenHeight=1\nPerPiex=16\n[EditorSet]\nPictures="
                + pictures);
        if (sign.listen())
            runCli(QStringList { "show", "send", path, "--program-folder", folder.path(), "--tcp",
                       QString("127.0.0.1:%1").arg(sign.port()) }
                + option);
        return sign.packets.value(0);
    };
    const QByteArray thresholded = sent("Threshold", {});
    QVERIFY(!thresholded.isEmpty() && thresholded != sent("Dither", {}));
    QCOMPARE(sent("Dither", { "--threshold" }), thresholded);
    QCOMPARE(sent("Threshold", { "--dither" }), sent("Dither", {}));
}

QTEST_GUILESS_MAIN(tst_CliShow)
#include "tst_clishow.moc"
