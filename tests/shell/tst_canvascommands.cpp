#include "canvascommands.h"
#include "commandicons.h"
#include "pagecommands.h"
#include "pagedocument.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using namespace CanvasCommands;

// The toolbar and Edit commands on a real text editor, the font-size box, and the icons.
class tst_CanvasCommands : public QObject
{
    Q_OBJECT

private:
    // Answers the next colour dialog: picks `colour`, or cancels when it is invalid.
    static void answerColourDialog(const QColor &colour, QString *title)
    {
        auto *timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, timer, [timer, colour, title] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<QColorDialog *>(w);
                if (!dialog || !dialog->isVisible())
                    continue;
                *title = dialog->windowTitle();
                if (colour.isValid()) {
                    dialog->setCurrentColor(colour);
                    dialog->accept();
                } else {
                    dialog->reject();
                }
                timer->deleteLater();
                return;
            }
        });
        timer->start(5);
    }

private slots:
    void nothingHappensWithoutAPage()
    {
        QCOMPARE(runFormatKey(nullptr, Page::FormatKey::Bold, nullptr), std::nullopt);
        QVERIFY(!applyBackground(nullptr, nullptr));
        runEditCommand(nullptr, EditCommand::Paste);
        runEditCommand(nullptr, EditCommand::TextClear);
    }

    void typingContinuesInTheNewFormat()
    {
        QTextEdit canvas;
        Page::setUpDocument(canvas.document());
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        QTest::keyClicks(&canvas, "ab");
        QCOMPARE(runFormatKey(&canvas, Page::FormatKey::Bold, nullptr), std::optional<bool>(true));
        runFormatKey(&canvas, Page::FormatKey::ColorGreen, nullptr);
        QTest::keyClicks(&canvas, "cd");
        QTextCursor c(canvas.document());
        c.setPosition(4);
        QCOMPARE(c.charFormat().fontWeight(), int(QFont::Bold));
        QCOMPARE(c.charFormat().foreground().color(), QColor(0, 255, 0));
        c.setPosition(1);
        QVERIFY(c.charFormat().fontWeight() != QFont::Bold);

        // The spacing key leaves the whole page selected in the editor.
        runFormatKey(&canvas, Page::FormatKey::Paragraph, nullptr);
        QCOMPARE(canvas.textCursor().selectedText(), QString("abcd"));
    }

    void editMenu()
    {
        QTextEdit canvas;
        canvas.setPlainText("one two");
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText("kept");
        runEditCommand(&canvas, EditCommand::Copy);
        QCOMPARE(clipboard->text(), QString("kept"));
        runEditCommand(&canvas, EditCommand::SelectAll);
        QCOMPARE(canvas.textCursor().selectedText(), QString("one two"));
        runEditCommand(&canvas, EditCommand::Cut);
        QCOMPARE(clipboard->text(), QString("one two"));
        QCOMPARE(canvas.toPlainText(), QString());
        runEditCommand(&canvas, EditCommand::Paste);
        runEditCommand(&canvas, EditCommand::Paste);
        QCOMPARE(canvas.toPlainText(), QString("one twoone two"));
        runEditCommand(&canvas, EditCommand::TextClear);
        QCOMPARE(canvas.toPlainText(), QString());
    }

    void backgroundFromTheColourDialog()
    {
        QTextEdit canvas;
        Page::setUpDocument(canvas.document());
        QString title;
        answerColourDialog(QColor(0, 0, 96), &title);
        QCOMPARE(runFormatKey(&canvas, Page::FormatKey::Background, &canvas), std::nullopt);
        QCOMPARE(title, Page::backgroundDialogTitle());
        QCOMPARE(Page::background(*canvas.document()), QColor(0, 0, 96));

        answerColourDialog(QColor(), &title);
        QVERIFY(!applyBackground(&canvas, &canvas));
        QCOMPARE(Page::background(*canvas.document()), QColor(0, 0, 96));
    }

    void sizeBoxAppliesWhenTheEditIsFinished()
    {
        QWidget window;
        auto *box = new QComboBox(&window);
        box->setEditable(true);
        for (int i = 1; i <= 100; ++i)
            box->addItem(QString::number(i));
        box->setCurrentText("12");
        auto *other = new QLineEdit(&window);
        other->move(0, 40);
        QStringList applied;
        applyWhenEditFinished(box, [&](const QString &text) { applied << text; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), "14");
        QCoreApplication::processEvents();
        QVERIFY(applied.isEmpty()); // no keystroke applies anything
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(applied, QStringList({ "14" }), 2000);
        QTest::qWait(20);
        QCOMPARE(applied.size(), 1); // one Enter applies once

        // Leaving the box after typing applies; leaving it untouched does not.
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), "9");
        other->setFocus();
        QTRY_COMPARE_WITH_TIMEOUT(applied, QStringList({ "14", "9" }), 2000);
        box->setFocus();
        other->setFocus();
        QTest::qWait(20);
        QCOMPARE(applied.size(), 2);

        // A pick from the list applies, even the text already shown; typed text is not added.
        emit box->activated(box->findText("9"));
        QTRY_COMPARE_WITH_TIMEOUT(applied.size(), 3, 2000);
        QCOMPARE(applied.last(), QString("9"));
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), "13.5");
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(applied.last(), QString("13.5"), 2000);
        QCOMPARE(box->count(), 100);
    }

    void everyKeyHasAnIcon()
    {
        const QStringList keys = Page::formatBarKeys() + CommandIcons::standardBarKeys();
        QCOMPARE(keys.size(), 25);
        for (const QString &key : keys) {
            QVERIFY2(!CommandIcons::icon(key).pixmap(24, 24).isNull(), qPrintable(key));
            QVERIFY2(!CommandIcons::ownIcon(key).pixmap(24, 24).isNull(), qPrintable(key));
        }
        for (const QString &key : { Page::FormatKey::ColorRed, Page::FormatKey::ColorYellow,
                 Page::FormatKey::ColorGreen, Page::FormatKey::Background })
            QVERIFY(CommandIcons::themeName(key).isEmpty());
        QCOMPARE(CommandIcons::themeName(Page::FormatKey::Bold), QString("format-text-bold"));
        QCOMPARE(CommandIcons::themeName("帮助"), QString("help-about"));
        QVERIFY(CommandIcons::icon("无此键").isNull());

        // The red key's own picture carries the exact LED red.
        const QImage red = CommandIcons::icon(Page::FormatKey::ColorRed)
                               .pixmap(24, 24)
                               .toImage()
                               .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(red.pixel(12, 20), qRgb(255, 0, 0));
    }
};

QTEST_MAIN(tst_CanvasCommands)
#include "tst_canvascommands.moc"
