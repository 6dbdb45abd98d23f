#include "mdifrmmain.h"

#include "appicon.h"
#include "defaultpagesampler.h"
#include "effectpanel.h"
#include "fieldcommands.h"
#include "filebrowserpane.h"
#include "filedialogs.h"
#include "formattoolbar.h"
#include "languagecommands.h"
#include "mainstatusbar.h"
#include "messageboxprompts.h"
#include "pageeditcommands.h"
#include "pagefilecommands.h"
#include "pageviewcontrol.h"
#include "pagewindows.h"
#include "programlistcommands.h"
#include "programlistpane.h"
#include "promptrelay.h"
#include "schedulewindowhook.h"
#include "sendcontroller.h"
#include "sendresultspane.h"
#include "showcommands.h"
#include "signpreviewpane.h"
#include "sitesdialog.h"
#include "sitespane.h"
#include "sitessettings.h"
#include "standardtoolbar.h"

#include "frmabout.h"
#include "frmset.h"
#include "ownerlock.h"
#include "promptbox.h"

#include "pagedocument.h"

#include "link.h"
#include "seriallinesettings.h"

#include "basesettings.h"
#include "localtext.h"
#include "programfolder.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>

namespace {

constexpr int kTwipsPerPixel = 15;
// The window's client area as first shown, and the panes' sizes, in twips.
constexpr int kClientWidthTwips = 14175;
constexpr int kClientHeightTwips = 8340;
constexpr int kLeftBarWidthTwips = 2025;
constexpr int kBottomBarHeightTwips = 2655;
// The preview strip: 16 LED rows at 3 pixels each, a little face around them, and the row of
// Play and Stop below.
constexpr int kPreviewHeight = 16 * 3 + 40 + 34;

const QString kCaption = QStringLiteral("Vantrel V2.0");

// A dock that is a fixed pane of the frame: no title bar, not closable or floatable.
QDockWidget *fixedPane(const char *name, QWidget *contents, QWidget *parent)
{
    auto *dock = new QDockWidget(parent);
    dock->setObjectName(QString::fromLatin1(name));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setTitleBarWidget(new QWidget(dock));
    dock->setWidget(contents);
    return dock;
}

} // namespace

MDIFrmMain::MDIFrmMain(QWidget *parent)
    : QMainWindow(parent)
    , m_messageBoxes(std::make_unique<MessageBoxPrompts>(this))
    , m_prompts(std::make_unique<PromptRelay>(m_messageBoxes.get()))
    , m_ownFileDialogs(std::make_unique<QtFileDialogs>(this))
{
    setObjectName(QStringLiteral("MDIFrmMain"));
    setWindowTitle(kCaption);
    setWindowIcon(vantrelIcon());
    m_fileDialogs = m_ownFileDialogs.get();

    buildPanes();
    m_pages = new PageWindows(m_mdiArea, m_pageView, this);
    connect(m_pages, &PageWindows::pageOpened, this, &MDIFrmMain::watchPage);
    connect(m_pages, &PageWindows::defaultPageCreated, this,
        [this](frmDocument *page) { m_preview->setDocument(page->document()); });
    m_pageCommands = new PageFileCommands(*this, this);
    m_edits = new PageEditCommands(m_formatBar, *this, this);
    m_fields = new FieldCommands(
        m_menus, m_pages, m_mdiArea, m_preview, m_statusBar, [this] { return language(); }, this);
    // The format bar shows the state of the page that becomes active.
    connect(
        m_mdiArea, &QMdiArea::subWindowActivated, m_edits, &PageEditCommands::showSelectionState);
    m_language = new LanguageCommands(
        this, m_menus, effectPanel(), m_programList,
        [this](const QString &text) { showNote(text); }, this);
    connect(m_language, &LanguageCommands::languageChanged, this, &MDIFrmMain::showOwnTexts);
    m_list = new ProgramListCommands(m_programList, m_listPane, m_fileBrowser, m_formatBar,
        m_preview, *m_pageCommands, *this, this);
    m_sampler = std::make_unique<DefaultPageSampler>([this] { return defaultDocument(); },
        [this](frmDocument *page) { return mayDiscardChanges(page); },
        [] { return baseSettings().PerPixel; }, [] { return baseSettings().Language; });
    m_sends = new SendController(*m_prompts, *m_statusBar, *m_sampler, this);
    connect(m_sends, &SendController::sendingChanged, this, &MDIFrmMain::showSendingState);
    m_sendResults = SendResultsPane::install(this, m_sends);
    m_sitesPane = SitesPane::install(this, m_menus.sitesPane);
    m_sitesPane->setLanguageFolder(languageFolder());
    m_sitesPane->setSchedulePicker([this] {
        return fileDialogs().openFileName(m_sitesPane->CmdPublishSchedule()->text(),
            localText(language(), QStringLiteral("Vantrel schedule (*.vsched)|*.vsched"),
                QStringLiteral("Vantrel 时间表 (*.vsched)|*.vsched")),
            programFolder());
    });
    connectControls();
    m_shows = new ShowCommands(
        *this, this, m_menus, m_programList, *m_sends, effectPanel(), m_preview, m_statusBar);

    resize(kClientWidthTwips / kTwipsPerPixel,
        kClientHeightTwips / kTwipsPerPixel + menuBar()->sizeHint().height());
}

MDIFrmMain::~MDIFrmMain()
{
    // Page windows go before the objects their handlers reach.
    if (m_mdiArea) {
        for (QMdiSubWindow *sub : m_mdiArea->subWindowList())
            delete sub;
    }
}

void MDIFrmMain::buildPanes()
{
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("MDIClient"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    m_menus = MainMenus::build(menuBar());

    m_toolBar = new StandardToolBar(this);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    addToolBarBreak(Qt::TopToolBarArea);
    m_formatBar = new FormatToolBar(this);
    addToolBar(Qt::TopToolBarArea, m_formatBar);

    m_fileBrowser = new FileBrowserPane(this);
    m_leftBar = fixedPane("LeftBar", m_fileBrowser, this);
    m_leftBar->setMinimumWidth(kLeftBarWidthTwips / kTwipsPerPixel);
    addDockWidget(Qt::LeftDockWidgetArea, m_leftBar);

    m_listPane = new ProgramListPane(m_programList.model(), this);
    m_bottomBar = fixedPane("BottomBar", m_listPane, this);
    m_bottomBar->setMinimumHeight(kBottomBarHeightTwips / kTwipsPerPixel);
    addDockWidget(Qt::BottomDockWidgetArea, m_bottomBar);

    m_preview = SignPreviewPane::install(this);
    resizeDocks({ m_leftBar }, { kLeftBarWidthTwips / kTwipsPerPixel }, Qt::Horizontal);
    resizeDocks({ m_preview->dock() }, { kPreviewHeight }, Qt::Vertical);
    resizeDocks({ m_bottomBar }, { kBottomBarHeightTwips / kTwipsPerPixel }, Qt::Vertical);

    m_statusBar = new MainStatusBar(this);
    setStatusBar(m_statusBar);
    m_pageView = new PageViewControl(
        m_mdiArea, m_statusBar, [this](const QString &text) { showNote(text); },
        [this] { return language(); }, this);
}

// The menus, the standard toolbar and the effect panel's buttons, each to the object that
// does its work.
void MDIFrmMain::connectControls()
{
    using Edit = CanvasCommands::EditCommand;
    const auto edit
        = [this](Edit command) { return [this, command] { m_edits->runEdit(command); }; };
    const MainMenus &m = m_menus;
    connect(m.newPage, &QAction::triggered, this, &MDIFrmMain::newPage);
    connect(m.save, &QAction::triggered, m_pageCommands, &PageFileCommands::SavePage);
    connect(m.saveAs, &QAction::triggered, m_pageCommands, &PageFileCommands::SavePageAs);
    connect(m.close, &QAction::triggered, m_pages, &PageWindows::closeActivePage);
    connect(m.exit, &QAction::triggered, this, &QWidget::close);
    connect(m.cut, &QAction::triggered, this, edit(Edit::Cut));
    connect(m.copy, &QAction::triggered, this, edit(Edit::Copy));
    connect(m.paste, &QAction::triggered, this, edit(Edit::Paste));
    connect(m.selectAll, &QAction::triggered, this, edit(Edit::SelectAll));
    connect(m.textClear, &QAction::triggered, this, edit(Edit::TextClear));
    connect(m.baseSet, &QAction::triggered, this, &MDIFrmMain::openSettingsDialog);
    connect(m.sites, &QAction::triggered, this, &MDIFrmMain::openSitesDialog);
    connect(m.screenClear, &QAction::triggered, this, &MDIFrmMain::clearScreen);
    connect(m.painter, &QAction::triggered, this,
        [this] { startTool(ExternalToolLauncher::Tool::PaintProgram); });
    connect(m.notebook, &QAction::triggered, this,
        [this] { startTool(ExternalToolLauncher::Tool::TextEditor); });
    connect(
        m.tileHorizontal, &QAction::triggered, m_pages, [this] { m_pages->tile(Qt::Horizontal); });
    connect(m.tileVertical, &QAction::triggered, m_pages, [this] { m_pages->tile(Qt::Vertical); });
    connect(m.cascade, &QAction::triggered, m_pages, &PageWindows::cascade);
    connect(m.schedule, &QAction::triggered, this, [this] { openScheduleWindow(*this); });
    connect(m.about, &QAction::triggered, this, &MDIFrmMain::openAboutBox);

    connect(m_toolBar, &StandardToolBar::buttonClicked, this, &MDIFrmMain::tbToolBar_ButtonClick);

    EffectPanel *effects = m_listPane->effectPanel();
    connect(effects->CmdSendChecked(), &QPushButton::clicked, this, &MDIFrmMain::sendPicture);
    connect(effects->CmdSendAll(), &QPushButton::clicked, this,
        [this] { m_sends->sendControlTable(m_programList); });
    connect(effects->CmdExit(), &QPushButton::clicked, this, &QWidget::close);
}

void MDIFrmMain::tbToolBar_ButtonClick(const QString &key)
{
    using Edit = CanvasCommands::EditCommand;
    if (key == QStringLiteral("新建"))
        newPage();
    else if (key == QStringLiteral("打开"))
        m_pageCommands->OpenPageFile();
    else if (key == QStringLiteral("保存"))
        m_pageCommands->SavePage();
    else if (key == QStringLiteral("剪切"))
        m_edits->runEdit(Edit::Cut);
    else if (key == QStringLiteral("复制"))
        m_edits->runEdit(Edit::Copy);
    else if (key == QStringLiteral("粘贴"))
        m_edits->runEdit(Edit::Paste);
    else if (key == QStringLiteral("插入表格"))
        m_pageCommands->InsertTable();
    else if (key == QStringLiteral("插入图片"))
        m_pageCommands->InsertPicture();
    else if (key == QStringLiteral("帮助"))
        openAboutBox();
}

// ---------------------------------------------------------------------------------------------
// Start-up and shutdown

void MDIFrmMain::startUp()
{
    m_programList.CurrentRow = 0;
    m_programList.IsLoading = true;
    QCoreApplication::processEvents();

    BaseSettings &settings = baseSettings();
    const SettingsLoadReport report = LoadBaseSettings(settings, baseSettingsPath());
    if (report.hasNews())
        prompts().inform(report.message(settings.Language), PromptTitle(settings.Language),
            PromptIcon::Information);
    SetLanguage(settings.Language);
    m_pageView->loadSettings(baseSettingsPath());
    watchSites();
    m_fields->followSettings();

    fillSelectors();
    m_fileBrowser->setFolder(programFolder());
    m_fileBrowser->refresh();

    m_programList.IsLoading = false;
    QCoreApplication::processEvents();

    defaultDocument();
    ChangeWindowState(settings.ScreenWidth, settings.ScreenHeight);
    m_list->updatePreviewSize();
    QCoreApplication::processEvents();

    // A port that cannot be opened has said so; sending will say it again.
    m_sends->openLink(settings.Trance);
}

void MDIFrmMain::fillSelectors()
{
    const BaseSettings &settings = baseSettings();
    m_formatBar->fillSizes();
    // The page font as this machine draws it, when there are too few fonts for the usual pick.
    QStringList families = QFontDatabase::families();
    QString fallback = Page::defaultFont().family();
    if (!families.contains(fallback))
        fallback = QFontInfo(Page::defaultFont()).family();
    m_formatBar->fillFonts(families, fallback);
    effectPanel()->fill(settings.ScreenWidth, settings.ScreenHeight);
    setTextSizeBoxes(settings.ScreenWidth, settings.ScreenHeight);
    setTranceStyle(settings.Trance);
}

void MDIFrmMain::closeEvent(QCloseEvent *event)
{
    // Locked by the settings dialog or the About box: the window manager's close box is input
    // too, and closing here would leave that dialog running without its window.
    if (!isEnabled() || !m_shows->mayReplaceList() || !m_pages->closeAll()) {
        event->ignore();
        return;
    }
    m_sends->closeLink();
    event->accept();
}

// ---------------------------------------------------------------------------------------------
// Page windows

frmDocument *MDIFrmMain::defaultDocument()
{
    return m_pages->defaultDocument();
}

frmDocument *MDIFrmMain::openDefaultDocument() const
{
    return m_pages->openDefaultDocument();
}

frmDocument *MDIFrmMain::activeDocument() const
{
    return m_pages->activeDocument();
}

frmDocument *MDIFrmMain::createPageWindow()
{
    return m_pages->createPageWindow();
}

void MDIFrmMain::watchPage(frmDocument *page)
{
    page->setCloseGuard([this](frmDocument *closing) { return mayDiscardChanges(closing); });
    m_edits->followPage(page);
}

frmDocument::SizeResult MDIFrmMain::ChangeWindowState(qint16 Width, qint16 Height)
{
    const qint16 perPixel = baseSettings().PerPixel;
    const frmDocument::SizeResult result
        = defaultDocument()->ChangeWindowState(Width, Height, perPixel);
    if (result != frmDocument::SizeResult::Sized)
        prompts().inform(
            frmDocument::sizeRefusalMessage(result, Width, Height, perPixel, language()),
            PromptTitle(language()), PromptIcon::Exclamation);
    return result;
}

bool MDIFrmMain::mayDiscardChanges(frmDocument *page)
{
    if (!page || !page->hasUnsavedChanges())
        return true;
    const QString name = page->pageName();
    return prompts().confirm(
        localText(language(),
            QStringLiteral("The page \"%1\" has changes that are not saved. Discard "
                           "them?")
                .arg(name),
            QStringLiteral("页面“%1”有未保存的更改。要放弃这些更改吗？").arg(name)),
        PromptTitle(language()));
}

void MDIFrmMain::newPage()
{
    frmDocument *page = defaultDocument();
    if (!mayDiscardChanges(page))
        return;
    page->newPage();
    m_pages->activate(page);
}

// ---------------------------------------------------------------------------------------------
// Program list

EffectPanel *MDIFrmMain::effectPanel() const
{
    return m_listPane->effectPanel();
}

void MDIFrmMain::AddFileToListView(
    const QString &FileName, const QString &txtWidth, const QString &txtHeight)
{
    m_list->AddFileToListView(FileName, txtWidth, txtHeight);
}

void MDIFrmMain::ChangeListView(qint16 ListIndex, qint16 ColIndex)
{
    m_list->ChangeListView(ListIndex, ColIndex);
}

void MDIFrmMain::RenumberListView()
{
    m_list->RenumberListView();
}

// ---------------------------------------------------------------------------------------------
// The settings dialog's host

bool MDIFrmMain::openLink(qint16 trance)
{
    return m_sends->openLink(trance);
}

void MDIFrmMain::applyScreenSettings(qint16 width, qint16 height, qint16 trance)
{
    setTextSizeBoxes(width, height);
    ChangeWindowState(width, height);
    setTranceStyle(trance);
    m_list->updatePreviewSize();
    m_sends->targetsMayHaveChanged();
}

QString MDIFrmMain::serialPortInUse() const
{
    if (!m_sends->link().isSerialOpen())
        return {};
    QString name;
    QString error;
    return serialPortNameFor(baseSettings().CommPort, &name, &error, language()) ? name : QString();
}

void MDIFrmMain::setTextSizeBoxes(qint16 width, qint16 height)
{
    m_formatBar->CobTxtWidth()->setCurrentText(QString::number(width));
    m_formatBar->CobTxtHeight()->setCurrentText(QString::number(height));
}

void MDIFrmMain::setTranceStyle(qint16 kind)
{
    m_statusBar->setTranceStyle(kind);
}

// ---------------------------------------------------------------------------------------------
// Shows and sending

bool MDIFrmMain::openShowFile(const QString &path)
{
    const bool opened = m_shows->openShowFile(path);
    if (!opened)
        return false;
    // The show starts at its first row, as a click on it would.
    m_programList.CurrentRow = m_programList.rowCount() > 0 ? 1 : 0;
    m_list->followCurrentRow();
    return true;
}

Link &MDIFrmMain::link()
{
    return m_sends->link();
}

void MDIFrmMain::sendPicture()
{
    m_sends->sendPicture(m_programList, m_programList.CurrentRow);
}

void MDIFrmMain::clearScreen()
{
    m_sends->clearScreen();
}

void MDIFrmMain::showSendingState(bool sending)
{
    effectPanel()->CmdSendChecked()->setEnabled(!sending);
    effectPanel()->CmdSendAll()->setEnabled(!sending);
    m_menus.screenClear->setEnabled(!sending);
    if (sending)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

// ---------------------------------------------------------------------------------------------
// Prompts, dialogs, notes

PromptSink &MDIFrmMain::prompts()
{
    return *m_prompts;
}

void MDIFrmMain::setPromptSink(PromptSink *sink)
{
    m_prompts->setTarget(sink ? sink : m_messageBoxes.get());
}

void MDIFrmMain::setFileDialogs(FileDialogs *dialogs)
{
    m_fileDialogs = dialogs ? dialogs : m_ownFileDialogs.get();
}

void MDIFrmMain::showNote(const QString &text)
{
    m_statusBar->showNote(text);
}

void MDIFrmMain::pageFilesChanged()
{
    m_fileBrowser->refresh();
}

QString MDIFrmMain::language() const
{
    return baseSettings().Language;
}

// ---------------------------------------------------------------------------------------------
// Settings, About, tools and the interface language's own texts

void MDIFrmMain::openSettingsDialog()
{
    auto *dialog = new FrmSet(this, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(FrmSet::captionFromMenuText(m_menus.baseSet->text()));
    OwnerLock::show(this, dialog);
}

void MDIFrmMain::openSitesDialog()
{
    auto *dialog
        = new SitesDialog(baseSettingsPath(), programFolder(), languageFolder(), language(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &SitesDialog::saved, this, [this] {
        watchSites();
        // Just configured: the operator wants to see the sites.
        if (m_menus.sitesPane->isEnabled())
            m_menus.sitesPane->setChecked(true);
    });
    OwnerLock::show(this, dialog);
}

void MDIFrmMain::watchSites()
{
    const SitesSettingsFile::ReadResult read
        = SitesSettingsFile::read(baseSettingsPath(), programFolder(), language());
    m_sitesPane->watch(read.settings, read.message);
    // A bad section leaves the pane hidden: say why where the operator looks.
    if (!read.ok)
        showNote(read.message);
}

void MDIFrmMain::openAboutBox()
{
    auto *about = new frmAbout(this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    OwnerLock::show(this, about);
}

void MDIFrmMain::startTool(ExternalToolLauncher::Tool tool)
{
    const ExternalToolLauncher::Result result = ExternalToolLauncher().start(tool, language());
    if (!result.started)
        prompts().inform(result.message, PromptTitle(language()), PromptIcon::Exclamation);
}

void MDIFrmMain::SetLanguage(const QString &name)
{
    m_language->SetLanguage(name);
}

// The texts the program composes itself follow the interface language too.
void MDIFrmMain::showOwnTexts(const QString &language)
{
    m_pages->showTexts(language);
    m_toolBar->showTexts(language);
    m_statusBar->showTexts(language);
    m_formatBar->showTexts(language);
    effectPanel()->showTexts(language);
    m_fileBrowser->showTexts(language);
    m_preview->showTexts(language);
    m_sitesPane->showTexts(language);
}
