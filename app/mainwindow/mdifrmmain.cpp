#include "mdifrmmain.h"

#include "appicon.h"
#include "canvascommands.h"
#include "commandicons.h"
#include "defaultpagesampler.h"
#include "effectpanel.h"
#include "filebrowserpane.h"
#include "filedialogs.h"
#include "formattoolbar.h"
#include "mainstatusbar.h"
#include "messageboxprompts.h"
#include "pagefilecommands.h"
#include "pendingpageshow.h"
#include "pageviewcontrol.h"
#include "programlistpane.h"
#include "promptrelay.h"
#include "schedulewindowhook.h"
#include "sendcontroller.h"
#include "showcommands.h"
#include "sendresultspane.h"
#include "signpreviewpane.h"
#include "standardtoolbar.h"
#include "windowarrangement.h"

#include "frmabout.h"
#include "frmset.h"
#include "languagefile.h"
#include "languageswitch.h"
#include "ownerlock.h"
#include "promptbox.h"

#include "pagecanvas.h"
#include "pagecommands.h"
#include "pagedocument.h"
#include "pagegeometry.h"
#include "selectionfont.h"

#include "getcolor.h"
#include "link.h"
#include "seriallinesettings.h"
#include "wholenumber.h"

#include "basesettings.h"
#include "localtext.h"
#include "messages.h"
#include "programfolder.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
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
    m_sampler = std::make_unique<DefaultPageSampler>([this] { return defaultDocument(); },
        [this](frmDocument *page) { return mayDiscardChanges(page); },
        [] { return baseSettings().PerPixel; }, [] { return baseSettings().Language; });
    m_sends = new SendController(*m_prompts, *m_statusBar, *m_sampler, this);
    connect(m_sends, &SendController::sendingChanged, this, &MDIFrmMain::showSendingState);
    m_sendResults = SendResultsPane::install(this, m_sends);
    m_pageCommands = new PageFileCommands(*this, this);
    m_pageShow = new PendingPageShow(
        [this] { return m_defaultDocument && m_defaultDocument->hasUnsavedChanges(); }, this);
    connectMenus();
    m_shows = new ShowCommands(*this);

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
    // The format bar shows the state of the page that becomes active.
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MDIFrmMain::showSelectionState);

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

    m_preview = new SignPreviewPane(this);
    m_previewDock = new QDockWidget(this);
    m_previewDock->setObjectName(QStringLiteral("SignPreview"));
    m_previewDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    m_previewDock->setWidget(m_preview);
    // A strip across the top, shaped like the sign itself.
    addDockWidget(Qt::TopDockWidgetArea, m_previewDock);
    connect(m_preview, &SignPreviewPane::captionChanged, this, &MDIFrmMain::titlePreview);
    titlePreview();
    resizeDocks({ m_leftBar }, { kLeftBarWidthTwips / kTwipsPerPixel }, Qt::Horizontal);
    resizeDocks({ m_previewDock }, { kPreviewHeight }, Qt::Vertical);
    resizeDocks({ m_bottomBar }, { kBottomBarHeightTwips / kTwipsPerPixel }, Qt::Vertical);

    m_statusBar = new MainStatusBar(this);
    setStatusBar(m_statusBar);
    m_pageView = new PageViewControl(m_mdiArea, m_statusBar,
        [this](const QString &text) { showNote(text); }, [this] { return language(); }, this);

    connect(m_toolBar, &StandardToolBar::buttonClicked, this, &MDIFrmMain::tbToolBar_ButtonClick);
    connect(m_formatBar, &FormatToolBar::buttonClicked, this, &MDIFrmMain::tbFormatBar_ButtonClick);
    connect(m_formatBar, &FormatToolBar::fontTextChanged, this, &MDIFrmMain::cboFont_Change);
    connect(m_formatBar, &FormatToolBar::sizeTextChanged, this, &MDIFrmMain::cboSize_Change);
    connect(m_formatBar, &FormatToolBar::textWidthPicked, this,
        [this](const QString &text) { textSizePicked(true, text); });
    connect(m_formatBar, &FormatToolBar::textHeightPicked, this,
        [this](const QString &text) { textSizePicked(false, text); });
    connect(m_fileBrowser, &FileBrowserPane::fileClicked, this, &MDIFrmMain::File1_Click);
    connect(m_fileBrowser, &FileBrowserPane::fileDoubleClicked, this, &MDIFrmMain::File1_DblClick);
    connect(m_listPane, &ProgramListPane::rowClicked, this, &MDIFrmMain::ListView1_Click);
    connect(m_listPane, &ProgramListPane::removeRequested, this, &MDIFrmMain::ListView1_DblClick);
    EffectPanel *effects = m_listPane->effectPanel();
    connect(effects, &EffectPanel::picked, this, &MDIFrmMain::selectorPicked);
    connect(effects->CmdSendChecked(), &QPushButton::clicked, this, &MDIFrmMain::sendPicture);
    connect(effects->CmdSendAll(), &QPushButton::clicked, this, &MDIFrmMain::sendControlTable);
    connect(effects->CmdExit(), &QPushButton::clicked, this, &QWidget::close);
}

void MDIFrmMain::connectMenus()
{
    const MainMenus &m = m_menus;
    connect(m.newPage, &QAction::triggered, this, &MDIFrmMain::newPage);
    connect(m.save, &QAction::triggered, m_pageCommands, &PageFileCommands::SavePage);
    connect(m.saveAs, &QAction::triggered, m_pageCommands, &PageFileCommands::SavePageAs);
    connect(m.close, &QAction::triggered, this, &MDIFrmMain::closeActivePage);
    connect(m.exit, &QAction::triggered, this, &QWidget::close);
    connect(m.cut, &QAction::triggered, this, &MDIFrmMain::editCut);
    connect(m.copy, &QAction::triggered, this, &MDIFrmMain::editCopy);
    connect(m.paste, &QAction::triggered, this, &MDIFrmMain::editPaste);
    connect(m.selectAll, &QAction::triggered, this, &MDIFrmMain::editSelectAll);
    connect(m.textClear, &QAction::triggered, this, &MDIFrmMain::editTextClear);
    connect(m.baseSet, &QAction::triggered, this, &MDIFrmMain::openSettingsDialog);
    connect(
        m.english, &QAction::triggered, this, [this] { SetLanguage(QStringLiteral("English")); });
    connect(m.chinese, &QAction::triggered, this, [this] { SetLanguage(chineseLanguageName()); });
    connect(m.jap, &QAction::triggered, this, [this] { SetLanguage(QStringLiteral("jap")); });
    connect(m.screenClear, &QAction::triggered, this, &MDIFrmMain::clearScreen);
    connect(m.painter, &QAction::triggered, this, &MDIFrmMain::startPainter);
    connect(m.notebook, &QAction::triggered, this, &MDIFrmMain::startNotebook);
    connect(m.schedule, &QAction::triggered, this, [this] { openScheduleWindow(*this); });
    connect(m.tileHorizontal, &QAction::triggered, this, [this] { tile(Qt::Horizontal); });
    connect(m.tileVertical, &QAction::triggered, this, [this] { tile(Qt::Vertical); });
    connect(m.cascade, &QAction::triggered, this, [this] { cascadePageWindows(m_mdiArea); });
    connect(m.about, &QAction::triggered, this, &MDIFrmMain::openAboutBox);
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

    fillSelectors();
    m_fileBrowser->setFolder(programFolder());
    m_fileBrowser->refresh();

    m_programList.IsLoading = false;
    QCoreApplication::processEvents();

    defaultDocument();
    ChangeWindowState(settings.ScreenWidth, settings.ScreenHeight);
    updatePreviewSize();
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
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    if (!m_shows->mayReplaceList()) {
        event->ignore();
        return;
    }
    m_closing = true;
    m_mdiArea->closeAllSubWindows();
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList()) {
        if (sub->isVisible()) { // the operator kept a page with unsaved changes
            m_closing = false;
            event->ignore();
            return;
        }
    }
    m_sends->closeLink();
    event->accept();
}

// ---------------------------------------------------------------------------------------------
// Page windows

QSize MDIFrmMain::screenCanvasSize() const
{
    const BaseSettings &s = baseSettings();
    return Page::canvasSize(s.PerPixel, s.ScreenWidth, s.ScreenHeight)
        .value_or(QSize(16 * 8 + 2, 16 + 2));
}

QMdiSubWindow *MDIFrmMain::addPageWindow(frmDocument *page)
{
    page->setWindowTitle(frmDocument::untitledCaption(language()));
    page->rtfText()->setLanguage(language());
    QMdiSubWindow *sub = m_mdiArea->addSubWindow(page);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(CommandIcons::icon(QStringLiteral("新建")));
    m_pageView->adopt(page);
    sub->resize(m_pageView->firstWindowSize(sub, page));
    watchPage(page);
    return sub;
}

void MDIFrmMain::watchPage(frmDocument *page)
{
    page->setCloseGuard([this](frmDocument *closing) { return mayDiscardChanges(closing); });
    connect(page, &frmDocument::selectionFontChanged, this, [this, page](const SelectionFont &f) {
        if (activeDocument() != page)
            return;
        m_formatBar->showSelectionFont(f);
        m_formatBar->showPressedStates(page->rtfText());
    });
}

void MDIFrmMain::showSelectionState()
{
    PageCanvas *canvas = activeCanvas();
    if (canvas)
        m_formatBar->showSelectionFont(selectionFont(canvas->textCursor()));
    m_formatBar->showPressedStates(canvas);
}

frmDocument *MDIFrmMain::defaultDocument()
{
    if (!m_defaultDocument) {
        m_defaultDocument = new frmDocument(screenCanvasSize());
        m_defaultDocument->setObjectName(QStringLiteral("frmDocument"));
        QMdiSubWindow *sub = addPageWindow(m_defaultDocument);
        sub->move(0, 0);
        m_preview->setDocument(m_defaultDocument->document());
    }
    if (auto *sub = qobject_cast<QMdiSubWindow *>(m_defaultDocument->parentWidget())) {
        if (!sub->isVisible() && !m_closing)
            sub->show();
        if (sub->isMinimized())
            sub->showNormal();
        sub->raise();
    }
    return m_defaultDocument;
}

frmDocument *MDIFrmMain::activeDocument() const
{
    QMdiSubWindow *sub = m_mdiArea->currentSubWindow();
    if (!sub)
        sub = m_mdiArea->activeSubWindow();
    return sub ? qobject_cast<frmDocument *>(sub->widget()) : nullptr;
}

PageCanvas *MDIFrmMain::activeCanvas() const
{
    frmDocument *page = activeDocument();
    return page ? page->rtfText() : nullptr;
}

frmDocument *MDIFrmMain::createPageWindow()
{
    auto *page = new frmDocument(screenCanvasSize());
    page->setObjectName(QStringLiteral("frmDocument"));
    QMdiSubWindow *sub = addPageWindow(page);
    sub->show();
    m_mdiArea->setActiveSubWindow(sub);
    return page;
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
    if (auto *sub = qobject_cast<QMdiSubWindow *>(page->parentWidget()))
        m_mdiArea->setActiveSubWindow(sub);
    page->rtfText()->setFocus();
}

void MDIFrmMain::closeActivePage()
{
    if (QMdiSubWindow *sub = m_mdiArea->currentSubWindow())
        sub->close();
}

// Visible, unminimised page windows side by side along `orientation`.
void MDIFrmMain::tile(Qt::Orientation orientation)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList())
        if (sub->isVisible() && !sub->isMinimized())
            windows.append(sub);
    const QList<QRect> rects
        = tiledRects(m_mdiArea->viewport()->rect(), int(windows.size()), orientation);
    for (int i = 0; i < windows.size(); ++i) {
        windows[i]->showNormal();
        windows[i]->setGeometry(rects.at(i));
    }
}

// ---------------------------------------------------------------------------------------------
// Program list and file browser

EffectPanel *MDIFrmMain::effectPanel() const
{
    return m_listPane->effectPanel();
}

void MDIFrmMain::AddFileToListView(
    const QString &FileName, const QString &txtWidth, const QString &txtHeight)
{
    if (!m_programList.AddFileToListView(FileName, txtWidth, txtHeight))
        showNote(localText(language(),
            QStringLiteral("The program list is full (%1 rows); remove a row "
                           "before adding another.")
                .arg(ProgramList::kMaxRows),
            QStringLiteral("节目列表已满（%1 行），请先删除一行再添加。")
                .arg(ProgramList::kMaxRows)));
}

void MDIFrmMain::RenumberListView()
{
    m_programList.RenumberListView();
}

void MDIFrmMain::ChangeListView(qint16 ListIndex, qint16 ColIndex)
{
    const ProgramList::Change change
        = m_programList.ChangeListView(ListIndex, ColIndex, effectPanel()->selectorValue(ColIndex));
    if (change == ProgramList::Change::MovedToFirstRow)
        m_listPane->selectRow(m_programList.CurrentRow);
    if (change == ProgramList::Change::ListEmpty)
        prompts().inform(PromptText(Msg::SelectFileId, language()), PromptTitle(language()),
            MsgIcon(Msg::SelectFileId));
    if (change == ProgramList::Change::Written
        && (ColIndex == ListColumn::TWidth || ColIndex == ListColumn::THeight))
        updatePreviewSize();
}

void MDIFrmMain::selectorPicked(int column)
{
    ChangeListView(m_programList.CurrentRow, qint16(column));
}

void MDIFrmMain::ListView1_Click(int row)
{
    const QStringList texts = m_programList.clickRow(row);
    m_listPane->selectRow(m_programList.CurrentRow);
    if (texts.isEmpty())
        return;
    effectPanel()->showRow(texts);
    updatePreviewSize();
    m_pageShow->request([this, row, texts] { showRowPage(row, texts); });
}

// The row's page in the default page window, sized to the row. A size the sign cannot take
// is not drawn: the page is shown at the canvas it has.
void MDIFrmMain::showRowPage(int row, const QStringList &texts)
{
    const QString widthText = texts.value(ListColumn::TWidth - 1);
    const QString heightText = texts.value(ListColumn::THeight - 1);
    const std::optional<qint16> width = wholeNumber(widthText);
    const std::optional<qint16> height = wholeNumber(heightText);
    const std::optional<PacketRefusal> refusal
        = width && height ? GetColor::checkPageSize(*width, *height, row) : std::nullopt;
    const bool sized = width && height && !refusal;
    const QString path = programFilePath(texts.value(ListColumn::FilePath - 1));
    if (m_pageCommands->LoadPageFile(path, sized ? *width : 0) && sized)
        ChangeWindowState(*width, *height);
    const QString pick = localText(language(),
        QStringLiteral(" Its page is shown unsized. Pick a size in TextWidth and TextHeight."),
        QStringLiteral("页面未按尺寸显示。请在 TextWidth 和 TextHeight 中选择尺寸。"));
    if (refusal)
        showNote(refusal->message(language()) + pick);
    else if (!sized)
        showNote(localText(language(),
                     QStringLiteral("Row %1: the text size \"%2\" x \"%3\" is not a whole "
                                    "number of modules.")
                         .arg(row)
                         .arg(widthText, heightText),
                     QStringLiteral("第 %1 行：文字尺寸“%2” x “%3”不是整数个模块。")
                         .arg(row)
                         .arg(widthText, heightText))
            + pick);
    updatePreviewSize();
}

void MDIFrmMain::ListView1_DblClick(int row)
{
    if (m_programList.rowCount() == 0 || row < 1 || row > m_programList.rowCount())
        return;
    const bool removed
        = prompts().confirm(PromptText(Msg::ConfirmDelete, language()), PromptTitle(language()))
        && m_programList.removeRow(row);
    m_programList.RenumberListView();
    // The page its first press asked for goes with a removed row; a kept row shows it now.
    if (removed) {
        m_pageShow->drop();
        followCurrentRow();
        return;
    }
    m_pageShow->flush();
    m_listPane->selectRow(m_programList.CurrentRow);
    updatePreviewSize();
}

// After the list changed under the operator (a removal, a show opened), the highlight, the
// selectors and the page window follow the row that is now current. The page is replaced
// only when the page window holds no unsaved edits: the operator asked for neither.
void MDIFrmMain::followCurrentRow()
{
    m_listPane->selectRow(m_programList.CurrentRow);
    const QStringList texts = m_programList.model()->rowTexts(m_programList.CurrentRow);
    const bool pageFree = !m_defaultDocument || !m_defaultDocument->hasUnsavedChanges();
    if (!texts.isEmpty()) {
        effectPanel()->showRow(texts);
        if (pageFree)
            showRowPage(m_programList.CurrentRow, texts);
    } else if (pageFree && m_defaultDocument) {
        m_defaultDocument->newPage(); // the removed row's page goes with it
    }
    updatePreviewSize();
}

void MDIFrmMain::File1_Click(const QString &name)
{
    if (name.isEmpty())
        return;
    m_pageShow->request([this, name] {
        // A file the browser lists is there: a refusal is news, told in full in a box (a
        // status-bar note is cut short just where the cause is).
        m_pageCommands->LoadPageFile(programFilePath(name), m_programList.textWidthForFile(name),
            PageFileCommands::FailureShown::MessageBox);
    });
}

void MDIFrmMain::File1_DblClick(const QString &name)
{
    if (name.isEmpty())
        return;
    AddFileToListView(name, m_formatBar->CobTxtWidth()->currentText().trimmed(),
        m_formatBar->CobTxtHeight()->currentText().trimmed());
    m_programList.RenumberListView();
    m_pageShow->flush(); // the click's page, after the row is in
}

void MDIFrmMain::textSizePicked(bool width, const QString &text)
{
    frmDocument *page = activeDocument();
    const std::optional<qint16> modules = wholeNumber(text);
    // Checked against the packet before a canvas is drawn: a page the sign cannot take would
    // only cost a canvas of up to 32767 units.
    const std::optional<PacketRefusal> refusal = !modules ? std::nullopt
        : width                                           ? GetColor::checkPageSize(*modules, 0)
                                                          : GetColor::checkPageSize(0, *modules);
    std::optional<int> units;
    if (modules && !refusal)
        units = Page::canvasLength(baseSettings().PerPixel, *modules);
    if (refusal)
        showNote(refusal->message(language()));
    else if (!units)
        showNote(localText(language(),
            QStringLiteral("\"%1\" is not a text size the canvas can take: type a "
                           "whole number of modules.")
                .arg(text),
            QStringLiteral("“%1”不是画布可用的文字尺寸：请输入整数个模块。").arg(text)));
    if (!page)
        return;
    if (!units) {
        page->DocResize();
        return;
    }
    if (width)
        page->setCanvasWidth(*units);
    else
        page->setCanvasHeight(*units);
}

bool MDIFrmMain::openLink(qint16 trance)
{
    return m_sends->openLink(trance);
}

void MDIFrmMain::applyScreenSettings(qint16 width, qint16 height, qint16 trance)
{
    setTextSizeBoxes(width, height);
    ChangeWindowState(width, height);
    setTranceStyle(trance);
    updatePreviewSize();
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

void MDIFrmMain::updatePreviewSize()
{
    const BaseSettings &s = baseSettings();
    int width = s.ScreenWidth;
    int height = s.ScreenHeight;
    if (m_programList.hasCurrentRow()) {
        const int row = m_programList.CurrentRow;
        const std::optional<qint16> w
            = wholeNumber(m_programList.cellText(row, ListColumn::TWidth));
        const std::optional<qint16> h
            = wholeNumber(m_programList.cellText(row, ListColumn::THeight));
        if (w && h) {
            width = *w;
            height = *h;
        }
    }
    m_preview->setPageSize(width, height, s.PerPixel);
    m_preview->setSignSize(s.ScreenWidth, s.ScreenHeight);
    if (m_defaultDocument)
        m_preview->setDocument(m_defaultDocument->document());
}

// ---------------------------------------------------------------------------------------------
// Sending

bool MDIFrmMain::openShowFile(const QString &path)
{
    const bool opened = m_shows->openShowFile(path);
    if (!opened)
        return false;
    // The show starts at its first row, as a click on it would.
    m_programList.CurrentRow = m_programList.rowCount() > 0 ? 1 : 0;
    followCurrentRow();
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

void MDIFrmMain::sendControlTable()
{
    m_sends->sendControlTable(m_programList);
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
// Toolbars and the Edit menu

void MDIFrmMain::tbToolBar_ButtonClick(const QString &key)
{
    if (key == QStringLiteral("新建"))
        newPage();
    else if (key == QStringLiteral("打开"))
        m_pageCommands->OpenPageFile();
    else if (key == QStringLiteral("保存"))
        m_pageCommands->SavePage();
    else if (key == QStringLiteral("剪切"))
        editCut();
    else if (key == QStringLiteral("复制"))
        editCopy();
    else if (key == QStringLiteral("粘贴"))
        editPaste();
    else if (key == QStringLiteral("插入表格"))
        m_pageCommands->InsertTable();
    else if (key == QStringLiteral("插入图片"))
        m_pageCommands->InsertPicture();
    else if (key == QStringLiteral("帮助"))
        openAboutBox();
}

void MDIFrmMain::editCut()
{
    CanvasCommands::runEditCommand(activeCanvas(), CanvasCommands::EditCommand::Cut);
}

void MDIFrmMain::editCopy()
{
    CanvasCommands::runEditCommand(activeCanvas(), CanvasCommands::EditCommand::Copy);
}

void MDIFrmMain::editPaste()
{
    CanvasCommands::runEditCommand(activeCanvas(), CanvasCommands::EditCommand::Paste);
}

void MDIFrmMain::editSelectAll()
{
    CanvasCommands::runEditCommand(activeCanvas(), CanvasCommands::EditCommand::SelectAll);
}

void MDIFrmMain::editTextClear()
{
    CanvasCommands::runEditCommand(activeCanvas(), CanvasCommands::EditCommand::TextClear);
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
// Formatting, settings, About, tools and the interface language

void MDIFrmMain::tbFormatBar_ButtonClick(const QString &key)
{
    PageCanvas *canvas = activeCanvas();
    const std::optional<bool> pressed = CanvasCommands::runFormatKey(canvas, key, this);
    m_formatBar->showPressedStates(canvas);
    if (QAction *button = m_formatBar->button(key); button && pressed)
        button->setChecked(*pressed);
}

void MDIFrmMain::cboFont_Change(const QString &text)
{
    PageCanvas *canvas = activeCanvas();
    if (!canvas)
        return;
    returnFocusToCanvas(m_formatBar->cboFont(), canvas);
    if (!CanvasCommands::applyFontFamily(canvas, text))
        showSelectionState(); // an empty name: the box shows the selection's font again
}

void MDIFrmMain::cboSize_Change(const QString &text)
{
    PageCanvas *canvas = activeCanvas();
    if (!canvas)
        return;
    returnFocusToCanvas(m_formatBar->cboSize(), canvas);
    if (CanvasCommands::applyFontSize(canvas, text))
        return;
    showSelectionState();
    showNote(localText(language(),
        QStringLiteral("\"%1\" is not a font size: type a number from 1 to %2.")
            .arg(text)
            .arg(Page::kMaxFontPointSize),
        QStringLiteral("“%1”不是字号：请输入 1 到 %2 之间的数字。")
            .arg(text)
            .arg(Page::kMaxFontPointSize)));
}

// After a pick or Enter the caret goes back to the page; a box left for another control
// leaves the focus where the operator put it.
void MDIFrmMain::returnFocusToCanvas(QWidget *box, PageCanvas *canvas)
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus == box || box->isAncestorOf(focus))
        canvas->setFocus();
}

void MDIFrmMain::openSettingsDialog()
{
    auto *dialog = new FrmSet(this, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(FrmSet::captionFromMenuText(m_menus.baseSet->text()));
    OwnerLock::show(this, dialog);
}

void MDIFrmMain::openAboutBox()
{
    auto *about = new frmAbout(this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    OwnerLock::show(this, about);
}

void MDIFrmMain::startPainter()
{
    startTool(ExternalToolLauncher::Tool::PaintProgram);
}

void MDIFrmMain::startNotebook()
{
    startTool(ExternalToolLauncher::Tool::TextEditor);
}

void MDIFrmMain::startTool(ExternalToolLauncher::Tool tool)
{
    const ExternalToolLauncher::Result result = ExternalToolLauncher().start(tool, language());
    if (!result.started)
        prompts().inform(result.message, PromptTitle(language()), PromptIcon::Exclamation);
}

void MDIFrmMain::SetLanguage(const QString &name)
{
    // The language file replaces the effect selectors' items; they go on showing the current
    // row's effects (or what they showed), as rows store positions, not texts.
    EffectPanel::EffectChoice shown = effectPanel()->effectChoice();
    if (m_programList.hasCurrentRow())
        shown = EffectPanel::effectChoiceOf(
            m_programList.model()->rowTexts(m_programList.CurrentRow));
    IniWriteFailure failure;
    LanguageSwitch(this).SetLanguage(name, &failure);
    effectPanel()->showEffectChoice(shown);
    showOwnTexts();
    noteLanguageProblem(name, failure);
}

// The texts the program composes itself follow the interface language too.
void MDIFrmMain::showOwnTexts()
{
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList()) {
        auto *page = qobject_cast<frmDocument *>(sub->widget());
        if (!page)
            continue;
        if (frmDocument::isUntitledCaption(page->windowTitle()))
            page->setWindowTitle(frmDocument::untitledCaption(language()));
        page->rtfText()->setLanguage(language());
    }
    m_toolBar->showTexts(language());
    m_statusBar->showTexts(language());
    m_formatBar->showTexts(language());
    effectPanel()->showTexts(language());
    m_fileBrowser->showTexts(language());
    m_preview->updateNow();
    titlePreview();
}

void MDIFrmMain::noteLanguageProblem(const QString &name, const IniWriteFailure &failure)
{
    const bool textsApplied = name == QLatin1String("English") || name == chineseLanguageName();
    if (textsApplied && !LanguageFileExists(languageFolder()))
        showNote(localText(language(),
            QStringLiteral("Language.lng is missing from the program folder, so the interface "
                           "texts read \"Unknow\". Reinstall Vantrel to get it back."),
            QStringLiteral("程序文件夹中缺少 Language.lng，界面文字显示为“Unknow”。"
                           "请重新安装 Vantrel 以恢复该文件。")));
    else if (failure.kind != IniWriteFailure::Kind::None)
        showNote(localText(language(),
            QStringLiteral("The language choice could not be stored in %1 (%2); it holds for "
                           "this session only.")
                .arg(QDir::toNativeSeparators(baseSettingsPath()),
                    iniWriteFailureReason(failure, language())),
            QStringLiteral("无法将语言选择保存到 %1（%2）；该选择仅在本次运行中有效。")
                .arg(QDir::toNativeSeparators(baseSettingsPath()),
                    iniWriteFailureReason(failure, language()))));
}

void MDIFrmMain::titlePreview()
{
    const QString title
        = localText(language(), QStringLiteral("Sign Preview"), QStringLiteral("显示屏预览"));
    const QString caption = m_preview->caption();
    m_previewDock->setWindowTitle(
        caption.isEmpty() ? title : title + QStringLiteral(" — ") + caption);
}
