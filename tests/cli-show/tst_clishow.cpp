// vantrel-cli show check and show send: packets checked byte for byte on a loopback sign and a
// pseudo-terminal in this process, and the exit status of every kind of outcome.

#include "cliprocess.h"
#include "getcolor.h"
#include "loopbacksign.h"
#include "ptypeer.h"
#include "testfiles.h"
#include "testpages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kTcpSuccess = QByteArray::fromHex("02000088");
const QString kRow1 = QStringLiteral("0,3,0,1,0,3,0,1");
const QString kRow2 = QStringLiteral("9,7,12,2,5,1,3,1");

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

// Two rows: the first page 8 modules wide, the second 4.
QByteArray twoRows()
{
    return rowSection(1, "pages/first.png", kRow1, 8) + rowSection(2, "pages/second.png", kRow2, 4);
}

} // namespace

class tst_CliShow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
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

    void packetsByteForByte_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::newRow("tcp") << false;
        QTest::newRow("pty") << true;
    }
    void packetsByteForByte()
    {
        QFETCH(bool, serial);
        LoopbackSign sign;
        PtyPeer pty;
        QStringList link;
        if (serial) {
            QVERIFY(pty.open());
            pty.answerEvents = { QByteArray::fromHex("AA") };
            link = QStringList { "--serial", pty.devicePath(), "--settings", "115200,N,8,1" };
        } else {
            QVERIFY(sign.listen());
            sign.answerPieces = { kTcpSuccess };
            link = QStringList { "--tcp", QStringLiteral("127.0.0.1:%1").arg(sign.port()) };
        }
        const CliRun run = runCli(
            QStringList { "show", "send", show(twoRows()), "--program-folder", m_dir.path() }
            + link);
        QCOMPARE(run.exitCode, 0);
        // Each page in its row's slot, drawn as a picture page is, then the effect table.
        ListRowSource rows;
        rows.appendRow(QStringList { "1" } + kRow1.split(',') + QStringList { "8", "1", "" });
        rows.appendRow(QStringList { "2" } + kRow2.split(',') + QStringList { "4", "1", "" });
        const GetColor build;
        QCOMPARE(serial ? pty.packets : sign.packets,
            QList({ build.SendPicMod(ImagePixelSource(m_first, 0, 2), 8, 1, 8, 1, 16, 1).bytes,
                build.SendPicMod(ImagePixelSource(m_second, 0, 2), 8, 1, 4, 1, 16, 2).bytes,
                build.CtrlCommandSend(rows, 2, GetColor::allRowNumbers(2)).bytes }));
        const QStringList lines = run.outLines();
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines.at(0).startsWith("row 1 of 2: ") && lines.at(0).endsWith("set succeed!"),
            qPrintable(lines.at(0)));
        QVERIFY(lines.at(2).startsWith("effect table: "));
        QVERIFY2(lines.at(3).contains("The show was sent: 2 rows"), qPrintable(lines.at(3)));
    }

    void outcomes_data()
    {
        // "check", or "send" to targets: FAIL is a sign that answers failure, OK one that answers
        // success, REFUSED a port nobody listens on.
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("err"); // parts of stderr
        QTest::addColumn<int>("packetsAtOk"); // what the good sign took
        const auto row = [](const char *name, const QByteArray &rows, const char *command,
                             int exitCode, const QStringList &err, int packetsAtOk) {
            QTest::newRow(name) << rows << QString(command) << exitCode << err << packetsAtOk;
        };
        const QByteArray speed8 = rowSection(1, "pages/first.png", kRow1, 8)
            + rowSection(2, "pages/second.png", "0,8,0,1,0,3,0,1", 4);
        // Sizes the packet cannot carry are refused before a page is drawn.
        const QByteArray huge
            = rowSection(1, "pages/first.png", kRow1, 2047).replace("THeight=1", "THeight=2047");

        row("one target fails", twoRows(), "send OK FAIL", 1,
            { "3 of 3 packets", "Row 1 (FAIL): set failed!", "Row 2 (FAIL): set failed!",
                "Effect table (FAIL): set failed!" },
            3);
        row("one target refuses", twoRows(), "send REFUSED OK", 1,
            { "Row 1 (REFUSED): ", "could not be reached" }, 3);
        row("speed 8 sends nothing", speed8, "send OK", 2,
            { "Row 2: Speed is 8", "Nothing was sent" }, 0);
        // Valid as a file, but the sign cannot take Speed 8: listed, then refused.
        row("speed 8 fails the check", speed8, "check", 2, { "Row 2: Speed is 8" }, 0);
        row("page too wide sends nothing", rowSection(1, "pages/first.png", kRow1, 128), "send OK",
            2, { "Row 1: TextWidth is 128" }, 0);
        row("page far too large fails the check", huge, "check", 2, { "Row 1: TextWidth is 2047" },
            0);
        row("bad value sends nothing", rowSection(1, "pages/first.png", "0,3,0,1,7,3,0,1", 8),
            "send OK", 2, { "Row 1, key \"EEffect\"", "\"7\" is not a whole number from 0 to 5" },
            0);
        row("missing page fails the check", rowSection(1, "pages/none.png", kRow1, 8), "check", 2,
            { "Row 1, key \"File Path\"", "none.png does not exist" }, 0);
        row("empty show sends nothing", {}, "send OK", 2, { "Please Add The File" }, 0);
        row("empty show fails the check", {}, "check", 2, { "Please Add The File" }, 0);
    }
    void outcomes()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QString, command);
        QFETCH(QStringList, err);
        LoopbackSign good;
        LoopbackSign failing;
        QVERIFY(good.listen() && failing.listen());
        good.answerPieces = { kTcpSuccess };
        failing.answerPieces = { QByteArray::fromHex("020000EE") };
        const QString refused = QStringLiteral("127.0.0.1:%1").arg(refusedPort());
        const auto fill = [&](QString text) {
            return text.replace("REFUSED", refused)
                .replace("FAIL", QStringLiteral("127.0.0.1:%1").arg(failing.port()))
                .replace("OK", QStringLiteral("127.0.0.1:%1").arg(good.port()));
        };
        const QStringList words = command.split(' ');
        QStringList arguments { "show", words.first(), show(rows), "--program-folder",
            m_dir.path() };
        for (const QString &target : words.mid(1))
            arguments << "--tcp" << fill(target);
        const CliRun run = runCli(arguments);
        QTEST(run.exitCode, "exitCode");
        for (const QString &part : err)
            QVERIFY2(run.err.contains(fill(part)), qPrintable(run.err + " lacks " + fill(part)));
        QTEST(int(good.packets.size()), "packetsAtOk");
    }

    void checkListsTheRows()
    {
        const QString path = show(twoRows());
        CliRun run = runCli({ "show", "check", path, "--program-folder", m_dir.path() });
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.outLines();
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.at(2),
            QString("1\t0 rightleft\t3\t0\t1\t0 none\t3\t0\t1\t8\t1\tpages/first.png"));
        QCOMPARE(
            lines.at(3), QString("2\t9 zoomup\t7\t12\t2\t5 stay\t1\t3\t1\t4\t1\tpages/second.png"));
        run = runCli({ "show", "check", m_dir.filePath("pages/first.png") });
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains("is not a Vantrel show"));
        QCOMPARE(runCli({ "show", "check" }).exitCode, 64);
        QCOMPARE(runCli({ "show", "play", path }).exitCode, 64);
    }

    void picturesAsTheWindowSendsThem()
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
                runCli(QStringList { "show", "send", path, "--program-folder", folder.path(),
                           "--tcp", QString("127.0.0.1:%1").arg(sign.port()) }
                    + option);
            return sign.packets.value(0);
        };
        const QByteArray thresholded = sent("Threshold", {});
        QVERIFY(!thresholded.isEmpty() && thresholded != sent("Dither", {}));
        QCOMPARE(sent("Dither", { "--threshold" }), thresholded);
        QCOMPARE(sent("Threshold", { "--dither" }), sent("Dither", {}));
    }

private:
    QString show(const QByteArray &rows) const
    {
        static int count = 0;
        const QString path = m_dir.filePath(QStringLiteral("show%1.vshow").arg(++count));
        writeFile(path, "[Show]\nVersion=1\n\n" + rows);
        return path;
    }

    QTemporaryDir m_dir;
    QImage m_first;
    QImage m_second;
};

QTEST_GUILESS_MAIN(tst_CliShow)
#include "tst_clishow.moc"
