// vantrel-cli without a sign: packet, control and clear written to files, render and
// convert over every kind of page file, refusals and usage errors.

#include "cliprocess.h"
#include "packetdecoder.h"
#include "testfiles.h"
#include "testpages.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kRtfPage = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}"
                            "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green255\\blue0;"
                            "\\red255\\green255\\blue0;}"
                            "\\f0\\fs24\\cf1 Sale \\cf2 now \\cf3 on\\par"
                            "\\cf1\\u27426?\\u36814?\\par}";
// A 1 x 1 GIF whose only pixel is red (Qt reads GIF but cannot write it).
const QByteArray kGifPage
    = QByteArray::fromHex("47494638396101000100800000ff00000000002c00000000010001000002024401003b");

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kYellow = qRgb(255, 255, 0);

} // namespace

class tst_Cli : public QObject
{
    Q_OBJECT

private slots:
    void outFilesHoldThePackets()
    {
        const QImage picture = TestPages::randomPage(8 * 16, 16, 5);
        QVERIFY(picture.save(m_dir.filePath("random.png")));
        const QString packet = m_dir.filePath("packet.bin");
        const QStringList arguments { "packet", m_dir.filePath("random.png"), "--size", "8x1" };
        QCOMPARE(runCli(arguments + QStringList { "--slot", "2", "--out", packet }).exitCode, 0);
        DecodedPicture decoded;
        QVERIFY(decodePicture(readFile(packet), &decoded));
        QCOMPARE(decoded.slot, 4);
        QCOMPARE(decoded.image, TestPages::expectedLeds(TestPages::thresholded(picture), 8, 1));
        const QString control = m_dir.filePath("control.bin");
        QCOMPARE(runCli({ "control", "--row", "9,7,2,5,5,1,0,1", "--out", control }).exitCode, 0);
        QList<DecodedEffectRecord> records;
        QVERIFY(decodeControl(readFile(control), &records));
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.at(0).slot, 3);
        const QString clear = m_dir.filePath("clear.bin");
        QCOMPARE(runCli({ "clear", "--out", clear }).exitCode, 0);
        QCOMPARE(readFile(clear).toHex(), QByteArray("0235" + QByteArray(26, '0') + "ccee0000"));
    }

    void refusals_data()
    {
        // Arguments split at spaces; PAGE is an RTF page, OUT a file that must not be made.
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("exitCode"); // 2: a refused value, with one line on stderr; 64: usage
        QTest::addColumn<QString>("message"); // a part of stderr
        const auto refuse = [](const char *arguments, int exitCode, const char *message) {
            QTest::newRow(arguments) << QString(arguments) << exitCode << QString(message);
        };
        // Sizes the packet cannot carry are refused before the page is drawn.
        refuse("packet PAGE --size 999x999 --out OUT", 2, "TextWidth is 999");
        refuse("render PAGE --size 999x999 --out OUT", 2, "TextWidth is 999");
        refuse("packet PAGE --size 8x1 --screen 128x1 --out OUT", 2, "ScreenWidth");
        refuse("packet PAGE --size 8x1 --slot 254 --out OUT", 2, "FileListID");
        refuse("control --row 0,8,0,1,0,3,0,1 --out OUT", 2, "Speed");
        refuse("packet /no/x.bmp --size 8x1 --out OUT", 2, "/no/x.bmp");
        refuse("render /no/x.rtf --size 8x1 --out OUT", 2, "/no/x.rtf");
        refuse("", 64, "no command given");
        refuse("frobnicate", 64, "unknown command");
        refuse("packet x.bmp --size eight --out OUT", 64, "--size must be");
        refuse("control --row 1,2,3 --out OUT", 64, "8 values");
        refuse("clear --out OUT --send", 64, "either --out FILE or --send");
        refuse("clear --out OUT --tcp a:1", 64, "go with --send");
        refuse("clear --send --tcp a:1 --serial ttyS0", 64, "either --tcp or --serial");
        refuse("clear --send --tcp 127.0.0.1", 64, "HOST:PORT");
        refuse("packet p.png --size 8x1 --slot 0 --send --tcp a:1", 64, "program-list row from 1");
        refuse("convert p.rtf x.doc", 64, "must end in .rtf");
    }

    void refusals()
    {
        QFETCH(QString, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const QString out = m_dir.filePath("refused.out");
        QStringList args = arguments.split(' ', Qt::SkipEmptyParts);
        args.replaceInStrings("PAGE", page("rtf"));
        args.replaceInStrings("OUT", out);
        const CliRun run = runCli(args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(exitCode != 2 || run.err.count('\n') == 1);
        QVERIFY(!QFile::exists(out));
    }

    void helpListsTheCommands()
    {
        const CliRun help = runCli({ "--help" });
        QCOMPARE(help.exitCode, 0);
        // The manual page, its roff markup taken away, says what --help says.
        QFile page(QStringLiteral(VANTREL_SOURCE_DIR "/data/man/vantrel-cli.1"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        QString man = QString::fromUtf8(page.readAll());
        man.replace("\\-", "-").replace("\\~", " ").remove(QRegularExpression("\\\\f[BIRP]|\""));
        man = man.remove(QRegularExpression("^\\.[A-Z]+ ?", QRegularExpression::MultilineOption))
                  .simplified();
        const QString flatHelp = QString(help.out).remove('"').simplified();
        for (const char *said : { "packet", "control", "clear", "render", "convert", "show check",
                 "show send", "--threshold", "executables beside Language.lng",
                 "$XDG_DATA_HOME/vantrel", "of vantrel or of vantrel-cli",
                 "Pictures of [EditorSet]", "value set", "value list", "say", "--shrink" })
            QVERIFY2(flatHelp.contains(said) && man.contains(said), said);
    }

    void renderEveryPageKind_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : { "rtf", "txt", "bmp", "png", "jpg", "gif" })
            QTest::addRow("%s", kind) << QString(kind);
    }

    void renderEveryPageKind()
    {
        QFETCH(QString, kind);
        const QString out = m_dir.filePath("render-" + kind + ".png");
        QCOMPARE(runCli({ "render", page(kind), "--size", "8x2", "--out", out }).exitCode, 0);
        const QImage image(out);
        QCOMPARE(image.size(), QSize(128, 32));
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y) | 0xFF000000;
                colours.insert(c);
                QVERIFY2(x < 7 * 16 || c == kBlack, "the last module column is always dark");
            }
        }
        QVERIFY((QSet<QRgb> { kBlack, kRed, kGreen, kYellow }).contains(colours));
        // Every picture lights in the sign's colours, a JPEG too.
        QVERIFY(colours.size() > 1);
        if (kind == "rtf")
            QCOMPARE(colours, (QSet<QRgb> { kBlack, kRed, kGreen, kYellow }));
        else if (kind == "gif")
            QCOMPARE(image.pixel(0, 0), kRed);
        else if (kind == "bmp" || kind == "png")
            QCOMPARE(image.pixel(5, 3), kGreen);
    }

    void ditherOption()
    {
        // A grey ramp: thresholded, a dark left half and a yellow right half.
        QImage ramp(128, 16, QImage::Format_RGB32);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 128; ++x)
                ramp.setPixel(x, y, qRgb(x * 2, x * 2, x * 2));
        const QString page = m_dir.filePath("ramp.png");
        QVERIFY(ramp.save(page));
        const QString dithered = m_dir.filePath("ramp-dither.png");
        const QString packet = m_dir.filePath("ramp.bin");
        for (const QString command : { "render", "packet" }) {
            QCOMPARE(runCli({ command, page, "--size", "9x1", "--dither", "--out",
                                command == "render" ? dithered : packet })
                         .exitCode,
                0);
        }
        // Dithered, the dark half lights in places and the bright half darkens in places.
        const QImage image = QImage(dithered).convertToFormat(QImage::Format_RGB32);
        const auto yellowIn = [&image](int from, int to) {
            int lit = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = from; x < to; ++x)
                    lit += (image.pixel(x, y) | 0xFF000000) == kYellow;
            return lit;
        };
        QVERIFY(yellowIn(0, 64) > 0 && yellowIn(64, 128) < 64 * 16);
        // The packet takes the option as well.
        DecodedPicture decoded;
        QVERIFY(decodePicture(readFile(packet), &decoded));
        QCOMPARE(decoded.image.convertToFormat(QImage::Format_RGB32), image);
    }

    void convertBetweenFormats()
    {
        const QString html = m_dir.filePath("page.html");
        const QString rtf = m_dir.filePath("again.rtf");
        const QString txt = m_dir.filePath("again.txt");
        QCOMPARE(runCli({ "convert", page("rtf"), html }).exitCode, 0);
        QVERIFY(readFile(html).contains("Sale"));
        QVERIFY(readFile(html).contains("#00ff00"));
        QCOMPARE(runCli({ "convert", html, rtf }).exitCode, 0);
        QVERIFY(readFile(rtf).startsWith("{\\rtf1"));
        QCOMPARE(runCli({ "convert", rtf, txt }).exitCode, 0);
        QCOMPARE(QString::fromUtf8(readFile(txt)), QStringLiteral("Sale now on\n欢迎"));
    }

private:
    // A page file of `kind`: an RTF or text page, or a picture with a green line on row 3.
    QString page(const QString &kind)
    {
        const QString path = m_dir.filePath("page." + kind);
        if (kind == "rtf") {
            writeFile(path, kRtfPage);
        } else if (kind == "txt") {
            writeFile(path, QStringLiteral("Plain 文本 page").toUtf8());
        } else if (kind == "gif") {
            writeFile(path, kGifPage);
        } else {
            QImage picture(40, 20, QImage::Format_RGB32);
            picture.fill(Qt::black);
            for (int x = 0; x < 20; ++x)
                picture.setPixel(x, 3, kGreen);
            picture.save(path);
        }
        return path;
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
