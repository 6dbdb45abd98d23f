#pragma once

#include "filedialogs.h"
#include "frmdocument.h"
#include "mdifrmmain.h"
#include "pagecanvas.h"
#include "recordingprompts.h"
#include "testfiles.h"

#include "classinifile.h"
#include "programfolder.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextImageFormat>
#include <QTimer>
#include <QTreeView>

#include <memory>

// File dialogs that answer from a script and remember what they were asked.
class ScriptedFileDialogs : public FileDialogs
{
public:
    struct Request
    {
        QString title, filter, folder, initialName, defaultSuffix;
        int selectedFilter = 0;
    };

    QString openFileName(const QString &title, const QString &filter, const QString &folder,
        int selectedFilter) override
    {
        requests.append({ title, filter, folder, {}, {}, selectedFilter });
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString saveFileName(const QString &title, const QString &filter, const QString &folder,
        const QString &initialName, const QString &defaultSuffix) override
    {
        requests.append({ title, filter, folder, initialName, defaultSuffix });
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }

    QStringList answers; // "" is a cancelled dialog
    QList<Request> requests;
};

// What the fixture writes into BaseSet.ini.
struct WindowSettings
{
    QString screenWidth = QStringLiteral("8"); // modules of 16 x 16 LEDs, 16 pixels each
    int screenHeight = 2;
    int trance = 2;
    QString ipStr = QStringLiteral("127.0.0.1,9,0");
    QString commPort = QStringLiteral("ttyS0");
    QString language = QStringLiteral("English");
    QString zoom = QStringLiteral("100"); // "EditorSet"/"Zoom"; "" leaves the section out

    // A sign one module high, sent to the targets of `ipStr`.
    static WindowSettings sendingTo(const QString &ipStr)
    {
        WindowSettings s;
        s.screenHeight = 1;
        s.ipStr = ipStr;
        return s;
    }
};

// A program folder of its own with a BaseSet.ini, and the main window started in it.
class WindowFixture
{
public:
    using Settings = WindowSettings;

    // The program folder holds the shipped Language.lng, as an installed program's does.
    WindowFixture()
    {
        setProgramFolder(m_dir.path());
        QFile::copy(QStringLiteral(VANTREL_SOURCE_DIR "/data/Language.lng"),
            m_dir.filePath(QStringLiteral("Language.lng")));
    }

    QString folder() const { return m_dir.path(); }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    void writeSettings(const Settings &s)
    {
        const QString ini = QStringLiteral("[ScreenSet]\nScreenWidth=%1\nScreenHeight=%2\n"
                                           "PerPiex=16\nMaxIPList=10\n"
                                           "[TranceSet]\nTrance=%3\nServerIP=127.0.0.1\n"
                                           "ServerPort=5005\nIPStr=%4\nCommPort=%5\n"
                                           "CommSettings=9600,N,8,1\n"
                                           "[Language]\nLanguage=%6\n")
                                .arg(s.screenWidth)
                                .arg(s.screenHeight)
                                .arg(s.trance)
                                .arg(s.ipStr, s.commPort, s.language)
            + (s.zoom.isEmpty() ? QString() : QStringLiteral("[EditorSet]\nZoom=%1\n").arg(s.zoom));
        writeFile(QStringLiteral("BaseSet.ini"), ini.toUtf8());
    }

    void writeFile(const QString &name, const QByteArray &bytes) const
    {
        QVERIFY(::writeFile(path(name), bytes));
    }

    // A sample page of the source tree copied into the program folder.
    void copySample(const QString &name, const QString &as = QString()) const
    {
        QVERIFY(QFile::copy(QStringLiteral(VANTREL_SOURCE_DIR "/data/samples/") + name,
            m_dir.filePath(as.isEmpty() ? name : as)));
    }

    // Builds, starts and shows the window with recording prompts and scripted dialogs.
    MDIFrmMain &start()
    {
        m_window = std::make_unique<MDIFrmMain>();
        m_window->setPromptSink(&prompts);
        m_window->setFileDialogs(&dialogs);
        m_window->startUp();
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            qWarning("the main window was not exposed");
        return *m_window;
    }

    MDIFrmMain &startWith(const Settings &s = Settings())
    {
        writeSettings(s);
        return start();
    }

    MDIFrmMain &window() { return *m_window; }
    frmDocument *page() const { return m_window->openDefaultDocument(); }
    PageCanvas *canvas() const { return page()->rtfText(); }

    template <typename T> T *control(const QString &name) const
    {
        return m_window->findChild<T *>(name);
    }
    QComboBox *box(const QString &name) const { return control<QComboBox>(name); }
    void press(const QString &button) const
    {
        QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
    }

    // A value of BaseSet.ini as the program reads it.
    QString iniValue(const QString &section, const QString &key) const
    {
        classIniFile ini;
        ini.setINIFileName(path(QStringLiteral("BaseSet.ini")));
        return ini.GetIniKey(section, key);
    }

    QByteArray bytes(const QString &name) const { return readFile(path(name)); }

    // The program list, rows counted from 1.
    QTreeView *list() const { return control<QTreeView>("ListView1"); }
    QModelIndex row(int r) const { return list()->model()->index(r - 1, 0); }
    QStringList rowTexts(int r) { return m_window->programList().model()->rowTexts(r); }
    void addRows(const QStringList &names)
    {
        for (const QString &name : names)
            m_window->AddFileToListView(name, "8", "2");
    }

    QListWidget *files() const { return control<QListWidget>("File1"); }

    // File > Close on the one page window open, waiting until it is gone.
    void closePage()
    {
        const QPointer<frmDocument> closing = m_window->activeDocument();
        m_window->menus().close->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(closing.isNull(), 5000);
        QVERIFY(m_window->mdiArea()->subWindowList().isEmpty());
    }

    RecordingPrompts prompts;
    ScriptedFileDialogs dialogs;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<MDIFrmMain> m_window;
};

// What an operator's pick in a drop-down does: the item becomes current and the box reports
// the choice (as QComboBox does for a pick from its list).
inline void pick(QComboBox *box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

inline void pickText(QComboBox *box, const QString &text)
{
    pick(box, box->findText(text));
}

inline void selectText(PageCanvas *canvas, int from, int to)
{
    QTextCursor c(canvas->document());
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    canvas->setTextCursor(c);
}

inline void clickIndex(QAbstractItemView *view, const QModelIndex &index)
{
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

inline void doubleClickIndex(QAbstractItemView *view, const QModelIndex &index)
{
    view->scrollTo(index);
    const QPoint at = view->visualRect(index).center();
    // The view takes a double-click only on the index its last press went to.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// The shown top-level window of type T (dialogs are lifted out of the main window).
template <typename T> T *shownWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *found = qobject_cast<T *>(w); found && found->isVisible())
            return found;
    }
    return nullptr;
}

// Hands the next shown modal window of type T to `answer`, from inside its own event loop.
template <typename T, typename F> void whenShown(F answer)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer, tries = 0]() mutable {
        T *shown = shownWindow<T>();
        if (shown || ++tries > 1000)
            timer->deleteLater();
        if (shown) {
            timer->stop();
            answer(shown);
        }
    });
    timer->start(5);
}

inline QStringList itemTexts(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

inline QStringList headers(const QAbstractItemView *view)
{
    QStringList texts;
    for (int c = 0; c < view->model()->columnCount(); ++c)
        texts.append(view->model()->headerData(c, Qt::Horizontal).toString());
    return texts;
}

inline QModelIndex fileIndex(QListWidget *list, const QString &name)
{
    const QList<QListWidgetItem *> items = list->findItems(name, Qt::MatchExactly);
    return items.isEmpty() ? QModelIndex() : list->indexFromItem(items.first());
}

inline QImage firstPicture(QTextDocument *document)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                return document
                    ->resource(QTextDocument::ImageResource,
                        QUrl(it.fragment().charFormat().toImageFormat().name()))
                    .value<QImage>();
    return QImage();
}

inline bool hasPicture(QTextDocument *document)
{
    return !firstPicture(document).isNull();
}
