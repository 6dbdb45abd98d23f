#include "rtfreader.h"
#include "rtfwriter.h"
#include "testdocuments.h"
#include "testfiles.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestDocuments;

namespace {

constexpr int conversionTimeoutMs = 180000; // the first start of a fresh profile is slow

// The snapshot of what LibreOffice keeps: not the paragraph marks' fonts (it gives them its
// default), nor fractions of a pixel (it stores lengths in its own units).
QStringList kept(const QTextDocument &document)
{
    static const QRegularExpression fraction(QStringLiteral("\\d+\\.\\d+"));
    QStringList lines = snapshot(document);
    lines.removeIf([](const QString &line) { return line.contains(QLatin1String(" mark ")); });
    for (QString &line : lines) {
        QList<QRegularExpressionMatch> matches;
        for (auto it = fraction.globalMatch(line); it.hasNext();)
            matches.prepend(it.next());
        for (const QRegularExpressionMatch &m : matches)
            line.replace(m.capturedStart(), m.capturedLength(),
                QString::number(qRound(m.captured().toDouble())));
    }
    return lines;
}

} // namespace

class TestRtfLibreOffice : public QObject
{
    Q_OBJECT

private slots:
    void libreOfficeKeepsWhatWeWrite()
    {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty())
            QSKIP("soffice (LibreOffice) is not installed");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const auto document = samplePage();
        const QString input = dir.filePath(QStringLiteral("page.rtf"));
        QVERIFY(writeFile(input, RtfWriter::write(*document)));
        // LibreOffice reads our RTF and writes its own, which we read back.
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(soffice,
            { "-env:UserInstallation=file://" + dir.filePath("profile"), "--headless",
                "--norestore", "--convert-to", "rtf", "--outdir", dir.filePath("out"), input });
        if (!process.waitForFinished(conversionTimeoutMs)) {
            process.kill();
            process.waitForFinished();
            QFAIL("soffice did not finish");
        }
        const QByteArray rtf = readFile(dir.filePath(QStringLiteral("out/page.rtf")));
        QVERIFY2(!rtf.isEmpty(), process.readAll().constData());
        QVERIFY(rtf.contains("\\sl-270\\slmult0")); // LibreOffice kept the exact 13.5 pt
        RtfReadResult result;
        const auto back = read(rtf, &result);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(kept(*back), kept(*document));
    }
};

QTEST_MAIN(TestRtfLibreOffice)
#include "tst_rtflibreoffice.moc"
