#include "windowfixture.h"

#include "cliprocess.h"
#include "fieldchoice.h"
#include "fieldcommands.h"
#include "insertfielddialog.h"
#include "mainstatusbar.h"
#include "signpreview.h"
#include "signpreviewpane.h"
#include "signprocess.h"

#include "pagedocument.h"
#include "pagerenderer.h"
#include "valuestore.h"

#include <csignal>

// The LEDs a canvas lights as it is on screen now (unit for unit at zoom 100%).
QImage canvasLeds(PageCanvas *canvas, int textWidth, int textHeight)
{
    return Page::signImage(canvas->viewport()->grab().toImage(), textWidth, textHeight).image;
}

// Pages with fields in the real main window: the sign gets the values, LED for LED as
// vantrel-cli draws the same page and as the canvas and preview show it; the page window keeps
// the fields as typed; Insert > Field types them in the caret's format; Show Values is kept.
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
        f.writeSettings(WindowSettings::sendingTo(sign.targetRow()));
        f.writeFile("free.rtf",
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Times New Roman;}}{\\colortbl;\\red0\\green255\\blue0;}"
            "\\pard\\f0\\fs24\\cf1 FREE \\{value:spaces\\} \\{file:price.txt\\}\\par}");
        f.writeFile("price.txt", "3.50\n");
        QVERIFY(ValueStore(f.folder()).set("spaces", "42", &error));
        MDIFrmMain &w = f.start();
        w.AddFileToListView("free.rtf", "8", "1");
        clickIndex(f.list(), f.row(1));
        f.press("CmdSendChecked");
        QCOMPARE(f.prompts.texts(), QStringList({ "set succeed!" }));
        const CliRun render = runCli(
            { "render", f.path("free.rtf"), "--size", "8x1", "--out", out.filePath("cli.png") },
            f.folder());
        QCOMPARE(render.exitCode, 0);
        QVERIFY2(render.err.isEmpty(), qPrintable(render.err));
        const QImage sent
            = QImage(out.filePath("slot-3.png")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(sent, QImage(out.filePath("cli.png")).convertToFormat(QImage::Format_RGB32));
        QVERIFY(w.openDefaultDocument()->document()->toPlainText().contains("{value:spaces}"));
        // Showing values, the canvas and the preview light what the packet carried.
        f.canvas()->clearFocus(); // no caret over the LEDs
        QVERIFY(f.canvas()->showsValuesNow());
        QCOMPARE(canvasLeds(f.canvas(), 8, 1), sent);
        QTRY_COMPARE_WITH_TIMEOUT(w.signPreview()->view()->leds(), sent, 2000);
        // As typed, both show the braces instead.
        w.menus().showValues->trigger();
        QVERIFY(!f.canvas()->showsValuesNow());
        QVERIFY(canvasLeds(f.canvas(), 8, 1) != sent);
        QTRY_VERIFY_WITH_TIMEOUT(w.signPreview()->view()->leds() != sent, 2000);
        QVERIFY(sign.stop(SIGTERM));
    }

    void insertFieldTypesItAtTheCaret()
    {
        WindowFixture f;
        f.writeSettings({});
        QString error;
        QVERIFY(ValueStore(f.folder()).set("spaces", "42", &error));
        MDIFrmMain &w = f.start();
        PageCanvas *canvas = f.canvas();
        canvas->setFocus();
        canvas->setTextColor(Page::ledGreen());
        QTest::keyClicks(canvas, "FREE ");
        QVERIFY(!canvas->showsValuesNow()); // typing shows the page as typed
        InsertFieldDialog dialog([&w] { return w.fields().context(); });
        using Kind = FieldChoice::Kind;
        dialog.setChoice({ Kind::Value, {}, "spaces" });
        QCOMPARE(dialog.choice().fieldText(), QString("{value:spaces}"));
        QCOMPARE(dialog.previewText(), QString("42"));
        QVERIFY(w.fields().insertField(dialog.choice()));
        QCOMPARE(canvas->toPlainText(), QString("FREE {value:spaces}"));
        QTextCursor field(canvas->document());
        field.setPosition(6); // after the field's brace: its format is the field's
        QCOMPARE(field.charFormat().foreground().color(), Page::ledGreen());
        // A format that is no date/time format is offered, previewed as typed, never inserted.
        dialog.setChoice({ Kind::DateWithFormat, "hello", {} });
        QVERIFY(!dialog.problemText().isEmpty());
        QVERIFY(!w.fields().insertField(dialog.choice()));
        // Leaving the page shows its values; a missing file is named in the status bar.
        canvas->clearFocus(); // as the dialog takes it
        QVERIFY(w.fields().insertField({ Kind::File, {}, "price.txt" }));
        QVERIFY(canvas->hasFocus() && canvas->showsValuesNow()); // values, with a caret
        const QImage withCaret = canvas->viewport()->grab().toImage();
        canvas->clearFocus();
        QVERIFY(canvas->showsValuesNow());
        QVERIFY(canvas->viewport()->grab().toImage() != withCaret);
        QTRY_VERIFY_WITH_TIMEOUT(w.PicStatusBar()->note().contains("Field {file:price.txt}"), 2000);
        // Writing the file mends it: the folder's watch draws the values anew, the note goes.
        f.writeFile("price.txt", "3.50\n");
        QTRY_VERIFY_WITH_TIMEOUT(w.PicStatusBar()->note().isEmpty(), 5000);
        // Show Values is remembered.
        w.menus().showValues->trigger();
        QVERIFY(!canvas->showsValuesNow());
        QCOMPARE(f.iniValue("EditorSet", "ShowValues"), QString("No"));
        MDIFrmMain &again = f.start();
        QVERIFY(!again.menus().showValues->isChecked() && !f.canvas()->showValues());
    }
};

QTEST_MAIN(tst_WindowFields)
#include "tst_windowfields.moc"
