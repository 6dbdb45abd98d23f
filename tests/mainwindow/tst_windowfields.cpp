#include "windowfixture.h"

#include "cliprocess.h"
#include "frmdocument.h"
#include "signprocess.h"

#include "valuestore.h"

#include <QPushButton>
#include <QTextDocument>

#include <csignal>

// Pages with fields sent from the real main window: the sign gets the values, LED for LED as
// vantrel-cli draws the same page, and the page window keeps the fields as typed.
class tst_WindowFields : public QObject
{
    Q_OBJECT

private slots:
    void windowAndToolSendTheSameLeds()
    {
        QTemporaryDir out;
        SignProcess sign;
        QString error;
        QVERIFY2(sign.start({ "--out", out.path() }, &error), qPrintable(error));
        WindowFixture f;
        WindowFixture::Settings settings;
        settings.screenHeight = 1;
        settings.ipStr = sign.targetRow();
        f.writeSettings(settings);
        f.writeFile("free.rtf",
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Times New Roman;}}{\\colortbl;\\red0\\green255\\blue0;}"
            "\\pard\\f0\\fs24\\cf1 FREE \\{value:spaces\\} \\{file:price.txt\\}\\par}");
        f.writeFile("price.txt", "3.50\n");
        QVERIFY(ValueStore(f.folder()).set("spaces", "42", &error));
        MDIFrmMain &w = f.start();
        w.AddFileToListView("free.rtf", "8", "1");
        clickIndex(f.list(), f.row(1));
        QTest::mouseClick(f.control<QPushButton>("CmdSendChecked"), Qt::LeftButton);
        QCOMPARE(f.prompts.texts(), QStringList({ "set succeed!" }));

        const CliRun render = runCli(
            { "render", f.path("free.rtf"), "--size", "8x1", "--out", out.filePath("cli.png") },
            f.folder());
        QCOMPARE(render.exitCode, 0);
        QVERIFY2(render.err.isEmpty(), qPrintable(render.err));
        QCOMPARE(QImage(out.filePath("slot-3.png")).convertToFormat(QImage::Format_RGB32),
            QImage(out.filePath("cli.png")).convertToFormat(QImage::Format_RGB32));
        QVERIFY(w.openDefaultDocument()->document()->toPlainText().contains("{value:spaces}"));
        QVERIFY(sign.stop(SIGTERM));
    }
};

QTEST_MAIN(tst_WindowFields)
#include "tst_windowfields.moc"
