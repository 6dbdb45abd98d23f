#include "windowfixture.h"

#include "formattoolbar.h"
#include "mainstatusbar.h"
#include "programlistpane.h"

#include "messages.h"

#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBlock>

using namespace Qt::StringLiterals;

namespace {

// A double-click as the window system delivers it: two presses within the double-click time,
// sent to the window that shows `view`. As on screen, a press that comes while a modal box
// is open goes to the box, not to the view.
class OperatorDoubleClick
{
public:
    OperatorDoubleClick(QAbstractItemView *view, const QModelIndex &index)
        : m_window(view->window()->windowHandle())
    {
        view->scrollTo(index);
        const QPoint at = view->visualRect(index).center();
        m_local = view->viewport()->mapTo(view->window(), at);
        m_global = view->viewport()->mapToGlobal(at);
    }

    void first()
    {
        s_time += 10000; // no earlier press pairs with this one
        press();
    }
    // The second press, unless it was already made (while a box was open).
    void second()
    {
        if (std::exchange(m_secondDone, true))
            return;
        s_time += 50;
        press();
    }

private:
    void press()
    {
        for (const QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease }) {
            const Qt::MouseButtons held
                = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
            qt_handleMouseEvent(
                m_window, m_local, m_global, held, Qt::LeftButton, type, {}, int(s_time += 10));
        }
    }

    static inline qint64 s_time = 1000000;
    QWindow *m_window;
    QPointF m_local;
    QPointF m_global;
    bool m_secondDone = false;
};

// Answers the message boxes that open, in order ("ok" or "cancel"), and keeps what each one
// asked: "discard" or "delete". The operator's second press lands while a box is up.
class BoxAnswers : public QObject
{
public:
    BoxAnswers(const QString &answers, OperatorDoubleClick &click)
        : m_answers(answers.split(','))
    {
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, &click] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            click.second();
            asked.append(box->text() == MsgText(Msg::ConfirmDelete, "English") ? "delete"
                    : box->text().contains("not saved")                        ? "discard"
                                                                               : box->text());
            const bool ok = !m_answers.isEmpty() && m_answers.takeFirst() == "ok";
            box->button(ok ? QMessageBox::Ok : QMessageBox::Cancel)->click();
        });
        timer->start(5);
    }

    QStringList asked;

private:
    QStringList m_answers;
};

bool hasPicture(const QTextDocument *document)
{
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                return true;
    return false;
}

} // namespace

// The program list and the file browser act on what the operator sees.
class tst_WindowList : public QObject
{
    Q_OBJECT

private slots:
    void doubleClickWithUnsavedChanges_data()
    {
        QTest::addColumn<bool>("inList"); // a row of the program list, else a browser file
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("page");
        QTest::newRow("file, page discarded") << false << "ok"
                                              << "discard" << 1 << "Welcome!";
        QTest::newRow("file, page kept") << false << "cancel"
                                         << "discard" << 1 << "typed";
        // A removed row's page is not shown, so nothing is asked about the page.
        QTest::newRow("row removed") << true << "ok"
                                     << "delete" << 2 << "typed";
        QTest::newRow("row kept, page discarded") << true << "cancel,ok"
                                                  << "delete,discard" << 3 << "Welcome!";
        QTest::newRow("row kept, page kept") << true << "cancel,cancel"
                                             << "delete,discard" << 3 << "typed";
    }
    void doubleClickWithUnsavedChanges()
    {
        QFETCH(bool, inList);
        WindowFixture f;
        f.copySample("welcome.rtf");
        MDIFrmMain &w = f.startWith();
        if (inList)
            f.addRows({ "welcome.rtf", "welcome.rtf", "welcome.rtf" });
        w.setPromptSink(nullptr); // real message boxes, which take the input while open
        f.canvas()->insertPlainText("typed");

        QAbstractItemView *view = inList ? static_cast<QAbstractItemView *>(f.list()) : f.files();
        OperatorDoubleClick click(view, inList ? f.row(2) : fileIndex(f.files(), "welcome.rtf"));
        QFETCH(QString, answers);
        BoxAnswers boxes(answers, click);
        click.first();
        click.second();
        QFETCH(QString, asked);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.asked.join(','), asked, 5000);
        QTEST(w.programList().rowCount(), "rows");
        QTEST(f.page()->document()->toPlainText(), "page");
        QCOMPARE(w.programListPane()->selectedRow(), inList ? 2 : 0);
    }

    void keyboardMovesActLikeClicks_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("row");
        QTest::newRow("Down") << int(Qt::Key_Down) << 4;
        QTest::newRow("Up") << int(Qt::Key_Up) << 2;
        QTest::newRow("Home") << int(Qt::Key_Home) << 1;
        QTest::newRow("End") << int(Qt::Key_End) << 6;
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << 1;
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 6;
    }
    void keyboardMovesActLikeClicks()
    {
        WindowFixture f;
        f.copySample("welcome.rtf");
        MDIFrmMain &w = f.startWith();
        ProgramList &pl = w.programList();
        for (int r = 1; r <= 6; ++r) {
            w.AddFileToListView("welcome.rtf", QString::number(r), "1");
            pl.model()->setCell(r, ListColumn::Speed, QString::number(10 + r));
        }
        clickIndex(f.list(), f.row(3));
        f.page()->newPage();
        QFETCH(int, key);
        QFETCH(int, row);
        QTest::keyClick(f.list(), Qt::Key(key));
        // Current, highlighted, in the selectors, and its page shown at its size.
        QCOMPARE(pl.CurrentRow, qint16(row));
        QCOMPARE(w.programListPane()->selectedRow(), row);
        QCOMPARE(f.box("CobSpeed")->currentText(), QString::number(10 + row));
        QCOMPARE(f.page()->document()->toPlainText(), QString("Welcome!"));
        QCOMPARE(f.canvas()->width(), row * 16 + 2);
        // The selectors write the row the keys moved to.
        pickText(f.box("CobTimes"), "9");
        QCOMPARE(f.rowTexts(row).at(ListColumn::Times - 1), QString("9"));
    }

    void theHighlightShowsTheCurrentRow()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        f.copySample("welcome.rtf");
        f.copySample("logo.bmp");
        f.addRows({ "a.rtf", "welcome.rtf", "logo.bmp" });
        w.programList().model()->setCell(3, ListColumn::Speed, "6");
        ProgramListPane *pane = w.programListPane();
        clickIndex(f.list(), f.row(2));
        QTest::keyClick(f.list(), Qt::Key_Delete); // OK: row 2 goes, CurrentRow stays 2
        QCOMPARE(w.programList().rowCount(), 2);
        QCOMPARE(pane->selectedRow(), 2);
        QCOMPARE(f.rowTexts(pane->selectedRow()).last(), QString("logo.bmp"));
        // The selectors and the page window show the row now current, not the removed one.
        QCOMPARE(f.box("CobSpeed")->currentText(), QString("6"));
        QVERIFY(hasPicture(f.page()->document()));
        // The current row removed from the end: nothing is highlighted, as nothing is current,
        // and the removed row's page goes with it.
        QTest::keyClick(f.list(), Qt::Key_Delete);
        QCOMPARE(w.programList().CurrentRow, qint16(2));
        QCOMPARE(pane->selectedRow(), 0);
        QVERIFY(f.page()->document()->isEmpty());
        // A pick then makes row 1 current, and row 1 is highlighted.
        pickText(f.box("CobSpeed"), "5");
        QCOMPARE(w.programList().CurrentRow, qint16(1));
        QCOMPARE(pane->selectedRow(), 1);
    }

    void textSizeSelectorsWriteOnlyOnAPick_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("column");
        QTest::newRow("CobWidth") << "CobWidth" << int(ListColumn::TWidth);
        QTest::newRow("CobHeight") << "CobHeight" << int(ListColumn::THeight);
    }
    void textSizeSelectorsWriteOnlyOnAPick()
    {
        WindowFixture f;
        f.startWith();
        f.addRows({ "a.rtf" }); // 8 x 2
        clickIndex(f.list(), f.row(1));
        QFETCH(QString, name);
        QFETCH(int, column);
        QComboBox *box = f.box(name);
        const QString stored = f.rowTexts(1).at(column - 1);
        // Typed and confirmed with Enter: an item's text, but not a pick.
        box->lineEdit()->selectAll();
        QTest::keyClicks(box, "5");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->currentText(), QString("5"));
        QCOMPARE(f.rowTexts(1).at(column - 1), stored);
        // A step through the list with the keys is a pick, and so is a choice in the list.
        QTest::keyClick(box, Qt::Key_Down);
        QVERIFY(box->currentText() != "5");
        QCOMPARE(f.rowTexts(1).at(column - 1), box->currentText());
        pickText(box, "3");
        QCOMPARE(f.rowTexts(1).at(column - 1), QString("3"));
    }

    void aPictureInAFolderNamedRtfPagesStaysAPicture()
    {
        WindowFixture f;
        f.writeSettings(WindowSettings());
        const QString folder = f.path("rtf-pages");
        QVERIFY(QDir().mkdir(folder));
        for (const char *name : { "BaseSet.ini", "Language.lng" })
            QVERIFY(QFile::copy(f.path(name), folder + '/' + QLatin1String(name)));
        f.copySample("logo.bmp", "rtf-pages/logo.bmp");
        setProgramFolder(folder);
        MDIFrmMain &w = f.start();
        clickIndex(f.files(), fileIndex(f.files(), "logo.bmp"));
        QVERIFY(hasPicture(f.page()->document()));
        w.AddFileToListView("logo.bmp", "8", "1");
        f.page()->newPage();
        clickIndex(f.list(), f.row(1));
        QVERIFY(hasPicture(f.page()->document()));
        QVERIFY(w.PicStatusBar()->note().isEmpty());
    }

    void sizesTheSignCannotTakeAreNotDrawn()
    {
        WindowFixture f;
        f.copySample("welcome.rtf");
        MDIFrmMain &w = f.startWith(); // a canvas of 8 x 2 modules
        const QSize canvas(130, 34);
        const auto noted
            = [&w](const QString &part) { return w.PicStatusBar()->note().contains(part); };
        // A row of 999 x 999: current and in the selectors, its page shown unsized.
        w.AddFileToListView("welcome.rtf", "999", "999");
        clickIndex(f.list(), f.row(1));
        QCOMPARE(f.box("CobWidth")->currentText(), QString("999"));
        QCOMPARE(f.page()->document()->toPlainText(), QString("Welcome!"));
        QCOMPARE(f.canvas()->size(), canvas);
        QVERIFY2(noted("TextWidth is 999, but the sign takes TextWidth from 0 to 127"),
            qPrintable(w.PicStatusBar()->note()));
        // "SendChar" refuses it before loading and drawing the page.
        f.page()->newPage();
        w.sendPicture();
        QCOMPARE(f.prompts.prompts.size(), 1);
        QVERIFY(f.prompts.texts().first().contains("TextWidth is 999"));
        QCOMPARE(f.canvas()->size(), canvas);
        QVERIFY(f.page()->document()->isEmpty());
        // The text-size boxes: each side against its own limit.
        emit w.tbFormatBar()->textWidthPicked("999");
        QVERIFY(noted("TextWidth is 999"));
        emit w.tbFormatBar()->textHeightPicked("16");
        QVERIFY(noted("TextHeight is 16, but the sign takes TextHeight from 0 to 15"));
        QCOMPARE(f.canvas()->size(), canvas);
        emit w.tbFormatBar()->textWidthPicked("127");
        QCOMPARE(f.canvas()->size(), QSize(127 * 16 + 2, 34));
    }
};

QTEST_MAIN(tst_WindowList)
#include "tst_windowlist.moc"
