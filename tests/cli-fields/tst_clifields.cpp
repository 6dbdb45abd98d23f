#include "cliprocess.h"
#include "signprocess.h"

#include "messagepage.h"
#include "pagerenderer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A one-line page: "FREE " and the rest in green, then `rest` in red.
QByteArray carParkPage(const QByteArray &green, const QByteArray &red)
{
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Times New Roman;}}"
           "{\\colortbl;\\red0\\green255\\blue0;\\red255\\green0\\blue0;}"
           "\\pard\\f0\\fs24\\cf1 FREE "
        + green + "\\cf2 " + red + "\\par}";
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_CliFields : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void valuesSetGetAndRefused();
    void pagesShowTheValuesOfTheProgramFolder();
    void sayShowsTheMessageAsOneRow();
    void sayRefusesWhatItCannotShow_data();
    void sayRefusesWhatItCannotShow();

private:
    QString tcp() const { return QStringLiteral("127.0.0.1:%1").arg(m_sign.tcpPort()); }

    QTemporaryDir m_dir;
    QString m_program;
    SignProcess m_sign;
};

void tst_CliFields::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_program = m_dir.filePath(QStringLiteral("program"));
    QVERIFY(QDir().mkpath(m_program + QStringLiteral("/out")));
    QString error;
    QVERIFY2(
        m_sign.start({ "--out", m_program + QStringLiteral("/out") }, &error), qPrintable(error));
}

void tst_CliFields::valuesSetGetAndRefused()
{
    QCOMPARE(runCli({ "value", "set", "spaces", "41" }, m_program).exitCode, 0);
    QCOMPARE(runCli({ "value", "set", "spaces", "42", "--program-folder", m_program }).exitCode, 0);
    QCOMPARE(runCli({ "value", "get", "spaces" }, m_program).outLines(), QStringList { "42" });

    const CliRun tooLong
        = runCli({ "value", "set", "spaces", QString(1001, QLatin1Char('9')) }, m_program);
    QCOMPARE(tooLong.exitCode, 2);
    QVERIFY2(tooLong.err.contains("at most 1000"), qPrintable(tooLong.err));
    QCOMPARE(runCli({ "value", "set", "a/b", "1" }, m_program).exitCode, 2);
    QCOMPARE(runCli({ "value", "get", "never" }, m_program).exitCode, 2);
    QCOMPARE(runCli({ "value", "set", "spaces" }, m_program).exitCode, 64);
    QCOMPARE(runCli({ "value", "list" }, m_program).outLines(), QStringList { "spaces\t42" });
}

void tst_CliFields::pagesShowTheValuesOfTheProgramFolder()
{
    QCOMPARE(runCli({ "value", "set", "spaces", "42" }, m_program).exitCode, 0);
    QVERIFY(writeFile(m_program + "/price.txt", "3.50\n"));
    const QString fields = m_dir.filePath("fields.rtf");
    const QString typed = m_dir.filePath("typed.rtf");
    QVERIFY(writeFile(
        fields, carParkPage("\\{value:spaces\\} ", "\\{file:price.txt\\} \\{file:gone.txt\\}")));
    QVERIFY(writeFile(typed, carParkPage("42 ", "3.50 ?")));

    for (const QString &page : { fields, typed }) {
        const CliRun packet = runCli({ "packet", page, "--size", "8x1", "--program-folder",
            m_program, "--out", page + ".bin" });
        QCOMPARE(packet.exitCode, 0);
        const CliRun render
            = runCli({ "render", page, "--size", "8x1", "--out", page + ".png" }, m_program);
        QCOMPARE(render.exitCode, 0);
        // The missing file is named and shows "?"; the page is still drawn.
        QCOMPARE(render.err.contains("{file:gone.txt}: "), page == fields);
    }
    QVERIFY(!readFile(typed + ".bin").isEmpty());
    QCOMPARE(readFile(fields + ".bin"), readFile(typed + ".bin"));
    QCOMPARE(QImage(fields + ".png"), QImage(typed + ".png"));
    // The page file keeps its fields.
    QVERIFY(readFile(fields).contains("\\{value:spaces\\}"));
}

void tst_CliFields::sayShowsTheMessageAsOneRow()
{
    const QString out = m_program + QStringLiteral("/out");
    const QStringList before = SignProcess::packetLog(out);
    const CliRun run = runCli(
        { "say", "Doorbell", "--colour", "green", "--size", "8x1", "--tcp", tcp() }, m_program);
    QCOMPARE(run.exitCode, 0);
    const QStringList log = SignProcess::packetLog(out).mid(before.size());
    QCOMPARE(log.size(), 2);
    QVERIFY2(log.at(0).contains("picture 533 slot 3 success"), qPrintable(log.at(0)));
    QVERIFY2(log.at(1).contains("control") && log.at(1).contains("slot 3 success"),
        qPrintable(log.at(1)));
    QVERIFY(readFile(out + "/effects.txt").startsWith("slot 3 entry effect 5"));

    Page::MessageStyle style;
    style.colour = Page::ledGreen();
    const Page::MessageDrawing drawing = Page::drawMessage("Doorbell", style, 8, 1);
    QVERIFY(drawing.fits);
    QCOMPARE(QImage(out + "/slot-3.png").convertToFormat(QImage::Format_RGB32),
        Page::signImage(drawing.canvas, 8, 1).image.convertToFormat(QImage::Format_RGB32));
    // Centred: as many dark columns on either side, but for the letters' side bearings.
    const QImage leds = Page::signImage(drawing.canvas, 8, 1).image;
    int first = leds.width(), last = -1;
    for (int x = 0; x < leds.width(); ++x) {
        for (int y = 0; y < leds.height(); ++y) {
            if (leds.pixel(x, y) != qRgb(0, 0, 0)) {
                first = qMin(first, x);
                last = x;
            }
        }
    }
    QVERIFY2(
        qAbs(first - (7 * 16 - 1 - last)) <= 4, qPrintable(QString("%1..%2").arg(first).arg(last)));
}

void tst_CliFields::sayRefusesWhatItCannotShow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err");
    QTest::newRow("too wide") << QStringList { "Closing in 10 minutes", "--size", "8x1" } << 2
                              << "150 LEDs wide at 16 pixels and needs a sign of 11 modules";
    QTest::newRow("shrunk to fit")
        << QStringList { "Closing in 10 minutes", "--size", "8x1", "--shrink" } << 0 << "";
    QTest::newRow("for goes through the agent")
        << QStringList { "Hi", "--for", "60" } << 64 << "on the agent's signs; leave out --tcp";
    QTest::newRow("blue") << QStringList { "Hi", "--colour", "blue" } << 64
                          << "red, green or yellow";
    QTest::newRow("sign too large")
        << QStringList { "Hi", "--size", "200x1" } << 2 << "TextWidth is 200";
}

void tst_CliFields::sayRefusesWhatItCannotShow()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    const QStringList before = SignProcess::packetLog(m_program + QStringLiteral("/out"));
    const CliRun run
        = runCli(QStringList { "say" } + arguments + QStringList { "--tcp", tcp() }, m_program);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(err), qPrintable(run.err));
    QCOMPARE(SignProcess::packetLog(m_program + QStringLiteral("/out")).size(),
        before.size() + (exitCode == 0 ? 2 : 0));
}

QTEST_MAIN(tst_CliFields)
#include "tst_clifields.moc"
