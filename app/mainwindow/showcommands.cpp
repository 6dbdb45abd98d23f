#include "showcommands.h"

#include "effectpanel.h"
#include "filedialogs.h"
#include "mainmenus.h"
#include "mainstatusbar.h"
#include "promptsink.h"
#include "sendcontroller.h"
#include "showhost.h"
#include "showplayback.h"
#include "signpreviewpane.h"

#include "programlist.h"
#include "showfile.h"
#include "showsendjob.h"

#include "basesettings.h"
#include "classinifile.h"
#include "localtext.h"
#include "messages.h"
#include "programfolder.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

const QString kRecentSection = QStringLiteral("RecentShows");
const QString kCaption = QStringLiteral("Vantrel V2.0");

QString recentKey(int i)
{
    return QStringLiteral("Show%1").arg(i);
}

// The status bar follows a show send: the bar counts packets, the note names the row.
class StatusBarShowProgress : public ShowSendProgress
{
public:
    StatusBarShowProgress(ShowHost &host, MainStatusBar *bar, const QString &language)
        : m_host(host)
        , m_bar(bar)
        , m_language(language)
    { }

    // The bar and its label count rows, as the note does; the effect table comes after the
    // last row, with the bar full.
    void showSendStep(int step, int steps, int row) override
    {
        Q_UNUSED(step)
        const int rows = steps - 1;
        m_host.showNote(row > 0
                ? localText(m_language,
                    QStringLiteral("Sending the show: row %1 of %2.").arg(row).arg(rows),
                    QStringLiteral("正在发送节目：第 %1 行，共 %2 行。").arg(row).arg(rows))
                : localText(m_language, QStringLiteral("Sending the show: the effect table."),
                    QStringLiteral("正在发送节目：特效表。")));
        const int shown = row > 0 ? row : rows;
        m_bar->setMaximum(rows);
        m_bar->setValue(shown);
        m_bar->setLabelText(QStringLiteral("%1/%2").arg(shown).arg(rows));
    }
    void showSendResult(int, const SendOutcome &) override { }

private:
    ShowHost &m_host;
    MainStatusBar *m_bar;
    QString m_language;
};

} // namespace

ShowCommands::ShowCommands(ShowHost &host, QWidget *window, const MainMenus &menus,
    ProgramList &list, SendController &sends, EffectPanel *effects, SignPreviewPane *preview,
    MainStatusBar *statusBar)
    : QObject(window)
    , m_host(host)
    , m_window(window)
    , m_menus(menus)
    , m_list(list)
    , m_sends(sends)
    , m_statusBar(statusBar)
    , m_playback(new ShowPlayback(preview, this))
{
    connect(preview->CmdPlay(), &QPushButton::clicked, this, &ShowCommands::playShow);
    connect(preview->CmdStop(), &QPushButton::clicked, this, &ShowCommands::stopShow);
    connect(menus.openShow, &QAction::triggered, this, &ShowCommands::openShow);
    connect(menus.saveShow, &QAction::triggered, this, &ShowCommands::saveShow);
    connect(menus.saveShowAs, &QAction::triggered, this, &ShowCommands::saveShowAs);
    connect(menus.sendShow, &QAction::triggered, this, &ShowCommands::sendShow);
    connect(menus.recentShows, &QMenu::aboutToShow, this, &ShowCommands::fillRecentMenu);
    connect(effects->CmdSendShow(), &QPushButton::clicked, this, &ShowCommands::sendShow);
    connect(&sends, &SendController::sendingChanged, this, [this, effects](bool sending) {
        effects->CmdSendShow()->setEnabled(!sending);
        m_menus.sendShow->setEnabled(!sending);
    });

    // Every change of the list may change the title's mark; one update per burst of changes.
    PlaylistModel *model = list.model();
    const auto later = [this] {
        if (m_titlePending)
            return;
        m_titlePending = true;
        QTimer::singleShot(0, this, &ShowCommands::updateTitle);
    };
    connect(model, &QAbstractItemModel::dataChanged, this, later);
    connect(model, &QAbstractItemModel::rowsInserted, this, later);
    connect(model, &QAbstractItemModel::rowsRemoved, this, later);
    connect(model, &QAbstractItemModel::modelReset, this, later);
    // A removed row leaves the preview at once: what plays is the list as it now is.
    connect(model, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (!m_playback->isPlaying())
            return;
        if (m_list.rowCount() == 0)
            stopShow();
        else
            playShow();
    });
    updateTitle();
}

QString ShowCommands::language() const
{
    return baseSettings().Language;
}

bool ShowCommands::isModified() const
{
    return m_list.model()->rows() != m_savedRows;
}

void ShowCommands::updateTitle()
{
    m_titlePending = false;
    const QString name = m_path.isEmpty() ? QString() : QFileInfo(m_path).fileName();
    m_window->setWindowTitle(
        name.isEmpty() ? kCaption : name + QStringLiteral("[*] - ") + kCaption);
    m_window->setWindowModified(!name.isEmpty() && isModified());
}

bool ShowCommands::mayReplaceList()
{
    if (!isModified())
        return true;
    const QString name = m_path.isEmpty() ? QString() : QFileInfo(m_path).fileName();
    return m_host.prompts().confirm(name.isEmpty()
            ? localText(language(),
                QStringLiteral("The program list has changes that are not saved in a show. "
                               "Discard them?"),
                QStringLiteral("节目列表有未保存到节目文件的更改。要放弃这些更改吗？"))
            : localText(language(),
                QStringLiteral("The show \"%1\" has changes that are not saved. Discard them?")
                    .arg(name),
                QStringLiteral("节目“%1”有未保存的更改。要放弃这些更改吗？").arg(name)),
        PromptTitle(language()));
}

bool ShowCommands::openShowFile(const QString &path)
{
    if (!mayReplaceList())
        return false;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const ShowFile::ReadResult show = ShowFile::read(absolute, programFolder(), language());
    if (!show.ok) {
        m_host.prompts().inform(show.message, PromptTitle(language()), PromptIcon::Exclamation);
        if (!QFileInfo(absolute).isFile())
            forgetRecent(absolute);
        return false;
    }
    m_list.replaceRows(show.rows);
    markSaved(absolute);
    m_host.showNote(localText(language(),
        QStringLiteral("Opened the show %1: %2 rows.")
            .arg(QDir::toNativeSeparators(absolute))
            .arg(show.rows.size()),
        QStringLiteral("已打开节目 %1：%2 行。")
            .arg(QDir::toNativeSeparators(absolute))
            .arg(show.rows.size())));
    return true;
}

void ShowCommands::openShow()
{
    const QString folder = m_path.isEmpty() ? programFolder() : QFileInfo(m_path).absolutePath();
    const QString path = m_host.fileDialogs().openFileName(
        localText(language(), QStringLiteral("Open Show"), QStringLiteral("打开节目")),
        ShowFile::dialogFilter(language()) + QStringLiteral("|*.") + ShowFile::suffix(), folder);
    if (!path.isEmpty())
        m_host.openShowFile(path);
}

bool ShowCommands::saveShow()
{
    if (m_path.isEmpty())
        return saveShowAs();
    return saveTo(m_path);
}

bool ShowCommands::saveShowAs()
{
    const QString folder = m_path.isEmpty() ? programFolder() : QFileInfo(m_path).absolutePath();
    const QString proposed = m_path.isEmpty()
        ? localText(language(), QStringLiteral("Show.vshow"), QStringLiteral("节目.vshow"))
        : QFileInfo(m_path).fileName();
    QString path = m_host.fileDialogs().saveFileName(
        localText(language(), QStringLiteral("Save Show As"), QStringLiteral("节目另存为")),
        ShowFile::dialogFilter(language()) + QStringLiteral("|*.") + ShowFile::suffix(), folder,
        proposed, ShowFile::suffix());
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + ShowFile::suffix();
    return saveTo(path);
}

bool ShowCommands::saveTo(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QString message;
    if (!ShowFile::write(absolute, m_list, programFolder(), language(), &message)) {
        m_host.prompts().inform(message, PromptTitle(language()), PromptIcon::Exclamation);
        return false;
    }
    markSaved(absolute);
    m_host.showNote(localText(language(),
        QStringLiteral("Saved the show %1.").arg(QDir::toNativeSeparators(absolute)),
        QStringLiteral("已保存节目 %1。").arg(QDir::toNativeSeparators(absolute))));
    return true;
}

void ShowCommands::markSaved(const QString &path)
{
    m_path = path;
    m_savedRows = m_list.model()->rows();
    rememberRecent(path);
    updateTitle();
}

QStringList ShowCommands::recentShows() const
{
    classIniFile ini;
    ini.setINIFileName(baseSettingsPath());
    QStringList shows;
    for (int i = 1; i <= kMaxRecent; ++i) {
        const QString path = ini.GetIniKey(kRecentSection, recentKey(i));
        if (!path.isEmpty() && !shows.contains(path))
            shows.append(path);
    }
    return shows;
}

void ShowCommands::rememberRecent(const QString &path)
{
    QStringList shows = recentShows();
    shows.removeAll(path);
    shows.prepend(path);
    writeRecent(shows);
}

void ShowCommands::forgetRecent(const QString &path)
{
    QStringList shows = recentShows();
    if (shows.removeAll(path))
        writeRecent(shows);
}

// Every key in one write, so the list is never left half renumbered; keys past the list are
// emptied, and an empty key lists nothing.
void ShowCommands::writeRecent(const QStringList &shows)
{
    QList<IniKeyValue> keys;
    for (int i = 1; i <= kMaxRecent; ++i)
        keys.append({ kRecentSection, recentKey(i), shows.value(i - 1) });
    classIniFile ini;
    ini.setINIFileName(baseSettingsPath());
    ini.writeIniKeys(keys);
}

void ShowCommands::fillRecentMenu()
{
    QMenu *menu = m_menus.recentShows;
    menu->clear();
    const QStringList shows = recentShows();
    if (shows.isEmpty()) {
        QAction *none = menu->addAction(
            localText(language(), QStringLiteral("(none)"), QStringLiteral("（无）")));
        none->setEnabled(false);
        return;
    }
    int number = 0;
    for (const QString &path : shows) {
        ++number;
        QString text = QDir::toNativeSeparators(path);
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *item = menu->addAction(QStringLiteral("&%1 %2").arg(number).arg(text));
        connect(item, &QAction::triggered, this, [this, path] { m_host.openShowFile(path); });
    }
}

void ShowCommands::playShow()
{
    const BaseSettings &s = baseSettings();
    ShowPlayback::Sign sign;
    sign.screenWidth = s.ScreenWidth;
    sign.screenHeight = s.ScreenHeight;
    sign.perPixel = s.PerPixel;
    sign.pageFolder = programFolder();
    sign.language = s.Language;
    m_playback->play(m_list, m_list.CurrentRow, sign);
    if (!m_playback->isPlaying())
        m_host.prompts().inform(PromptText(Msg::AddTheFile, language()), PromptTitle(language()),
            MsgIcon(Msg::AddTheFile));
}

void ShowCommands::stopShow()
{
    m_playback->stop();
}

void ShowCommands::sendShow()
{
    StatusBarShowProgress progress(m_host, m_statusBar, language());
    const ShowSendReport report = m_sends.sendShow(m_list, &progress);
    if (report.status == ShowSendReport::Status::Busy)
        return;
    m_host.showNote(QString());
    const bool empty = report.status == ShowSendReport::Status::Refused && report.rowCount == 0;
    const PromptIcon icon = empty ? MsgIcon(Msg::AddTheFile)
        : report.allSucceeded()   ? PromptIcon::Information
                                  : PromptIcon::Exclamation;
    m_host.prompts().inform(report.summary(language()), PromptTitle(language()), icon);
}
