#include "fieldcommands.h"

#include "fieldchoice.h"
#include "insertfielddialog.h"
#include "mainmenus.h"
#include "mainstatusbar.h"
#include "pagewindows.h"
#include "signpreviewpane.h"

#include "frmdocument.h"
#include "pagecanvas.h"
#include "pagefields.h"
#include "valuestore.h"

#include "basesettings.h"
#include "editorsettings.h"
#include "localtext.h"
#include "programfolder.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include <chrono>

namespace {
using namespace std::chrono_literals;
constexpr auto kFileSettle = 200ms;
constexpr int kMsPerMinute = 60000;
constexpr int kPastTheMinuteMs = 50; // so the clock has surely moved on when the timer fires
} // namespace

FieldCommands::FieldCommands(const MainMenus &menus, PageWindows *pages, QMdiArea *area,
    SignPreviewPane *preview, MainStatusBar *bar, std::function<QString()> language,
    QObject *parent)
    : QObject(parent)
    , m_showValuesAction(menus.showValues)
    , m_pages(pages)
    , m_area(area)
    , m_preview(preview)
    , m_bar(bar)
    , m_language(std::move(language))
    , m_watcher(new QFileSystemWatcher(this))
    , m_settle(new QTimer(this))
    , m_minute(new QTimer(this))
{
    m_settle->setSingleShot(true);
    m_settle->setInterval(kFileSettle);
    m_minute->setSingleShot(true);
    connect(m_settle, &QTimer::timeout, this, [this] {
        watchFolders();
        refreshValues();
    });
    connect(m_minute, &QTimer::timeout, this, [this] {
        watchFolders();
        refreshValues();
        scheduleMinute();
    });
    connect(
        m_watcher, &QFileSystemWatcher::directoryChanged, m_settle, qOverload<>(&QTimer::start));
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_settle, qOverload<>(&QTimer::start));
    connect(menus.insertField, &QAction::triggered, this, &FieldCommands::openInsertFieldDialog);
    connect(menus.showValues, &QAction::toggled, this, &FieldCommands::setShowValues);
    connect(pages, &PageWindows::pageOpened, this, &FieldCommands::adopt);
    m_preview->setFieldContext([this] { return context(); });
}

Fields::FieldContext FieldCommands::context() const
{
    Fields::FieldContext c;
    c.moment = QDateTime::currentDateTime();
    c.programFolder = programFolder();
    c.language = m_language();
    return c;
}

void FieldCommands::followSettings()
{
    const bool show = editorSettings().showValues;
    m_showValuesAction->setChecked(show); // toggled only when it changes
    m_preview->setShowValues(show);
    for (QMdiSubWindow *sub : m_area->subWindowList()) {
        if (auto *page = qobject_cast<frmDocument *>(sub->widget()))
            page->rtfText()->setShowValues(show);
    }
    watchFolders();
    scheduleMinute();
}

void FieldCommands::setShowValues(bool show)
{
    m_showValuesAction->setChecked(show);
    m_preview->setShowValues(show);
    for (QMdiSubWindow *sub : m_area->subWindowList()) {
        if (auto *page = qobject_cast<frmDocument *>(sub->widget()))
            page->rtfText()->setShowValues(show);
    }
    if (editorSettings().showValues == show)
        return;
    editorSettings().showValues = show;
    if (!SaveEditorShowValues(show, baseSettingsPath()))
        m_bar->showNote(localText(m_language(),
            QStringLiteral("The Show Values choice could not be stored in %1; it holds for "
                           "this session only.")
                .arg(QDir::toNativeSeparators(baseSettingsPath())),
            QStringLiteral("无法将“显示字段值”的选择保存到 %1；仅在本次运行中有效。")
                .arg(QDir::toNativeSeparators(baseSettingsPath()))));
}

void FieldCommands::adopt(frmDocument *page)
{
    PageCanvas *canvas = page->rtfText();
    canvas->setFieldContext([this] { return context(); });
    canvas->setShowValues(editorSettings().showValues);
    connect(canvas, &PageCanvas::fieldProblems, this, &FieldCommands::reportProblems);
}

void FieldCommands::openInsertFieldDialog()
{
    PageCanvas *canvas = m_pages->activeCanvas();
    if (!canvas) {
        m_bar->showNote(
            localText(m_language(), QStringLiteral("Open a page to insert a field into."),
                QStringLiteral("请先打开要插入字段的页面。")));
        return;
    }
    InsertFieldDialog dialog([this] { return context(); }, canvas->window());
    if (dialog.exec() == QDialog::Accepted)
        insertField(dialog.choice());
}

bool FieldCommands::insertField(const FieldChoice &choice)
{
    PageCanvas *canvas = m_pages->activeCanvas();
    if (!canvas || !choice.isField())
        return false;
    // The caret's format, including one picked with nothing typed yet (a colour, a font).
    canvas->textCursor().insertText(choice.fieldText(), canvas->currentCharFormat());
    canvas->setFocus();
    watchFolders();
    return true;
}

void FieldCommands::refreshValues()
{
    for (QMdiSubWindow *sub : m_area->subWindowList()) {
        if (auto *page = qobject_cast<frmDocument *>(sub->widget()))
            page->rtfText()->refreshValues();
    }
    m_preview->scheduleUpdate();
}

// The program folder (files and the values folder appearing or replaced), its values folder
// (values are replaced by renaming, which a folder's watch sees) and the files that the open
// pages' file fields name (written in place, which only the file's own watch sees).
void FieldCommands::watchFolders()
{
    const QString folder = programFolder();
    QStringList paths = { folder, ValueStore(folder).folder() };
    for (QMdiSubWindow *sub : m_area->subWindowList()) {
        auto *page = qobject_cast<frmDocument *>(sub->widget());
        if (!page)
            continue;
        for (const QString &field : Page::usedFields(*page->document())) {
            const Fields::ParsedText parsed = Fields::parse(field);
            if (parsed.pieces.size() == 1 && parsed.pieces.first().kind == Fields::Kind::File)
                paths.append(QDir(folder).filePath(parsed.pieces.first().argument));
        }
    }
    const QStringList watched = m_watcher->directories() + m_watcher->files();
    for (const QString &path : std::as_const(paths)) {
        if (!watched.contains(path) && QFileInfo::exists(path))
            m_watcher->addPath(path);
    }
}

void FieldCommands::scheduleMinute()
{
    const int intoMinute = QTime::currentTime().msecsSinceStartOfDay() % kMsPerMinute;
    m_minute->start(kMsPerMinute - intoMinute + kPastTheMinuteMs);
}

void FieldCommands::reportProblems(const QList<Fields::FieldProblem> &problems)
{
    watchFolders();
    // Mended: the note about them goes, unless another note has replaced it.
    if (problems.isEmpty()) {
        if (!m_shownProblems.isEmpty() && m_bar->note() == m_shownProblems)
            m_bar->showNote(QString());
        m_shownProblems.clear();
        return;
    }
    QStringList lines;
    for (const Fields::FieldProblem &problem : problems)
        lines.append(
            localText(m_language(), QStringLiteral("Field %1: %2"), QStringLiteral("字段 %1：%2"))
                .arg(problem.typed, problem.reason));
    m_shownProblems = lines.join(QStringLiteral("; "));
    m_bar->showNote(m_shownProblems);
}
