#pragma once

#include "externaltoollauncher.h"
#include "frmdocument.h"
#include "mainmenus.h"
#include "pagefilehost.h"
#include "programlist.h"
#include "programlisthost.h"
#include "settingshost.h"
#include "showhost.h"

#include <QMainWindow>

#include <memory>

class DefaultPageSampler;
class EffectPanel;
class FieldCommands;
class FileBrowserPane;
class FileDialogs;
class FormatToolBar;
class LanguageCommands;
class Link;
class MainStatusBar;
class MessageBoxPrompts;
class PageEditCommands;
class PageFileCommands;
class PageViewControl;
class PageWindows;
class ProgramListCommands;
class ProgramListPane;
class PromptRelay;
class PromptSink;
class QDockWidget;
class QMdiArea;
class SendController;
class ShowCommands;
class SendResultsPane;
class SignPreviewPane;
class SitesPane;
class StandardToolBar;

// The main window: the page windows in the document area, the standard and format toolbars,
// the file browser on the left, the program list with its effect panel at the bottom, the
// sign preview, the status bar and the menu bar. It owns the program list, the link and the
// default page window, and runs start-up and shutdown.
//
// The window wires its parts together; the work is theirs: the page windows to PageWindows,
// page files to PageFileCommands, the Edit menu and format toolbar to PageEditCommands, the
// program list and file browser to ProgramListCommands, shows to ShowCommands, sends to
// SendController, the interface language to LanguageCommands.
class MDIFrmMain : public QMainWindow,
                   public SettingsHost,
                   public PageFileHost,
                   public ProgramListHost,
                   public ShowHost
{
    Q_OBJECT

public:
    explicit MDIFrmMain(QWidget *parent = nullptr);
    ~MDIFrmMain() override;

    // Start-up, in order: CurrentRow 0 and IsLoading; the base settings from BaseSet.ini (a
    // message when the load has news) and the stored interface language; the selectors, text
    // sizes and fonts filled; IsLoading off; the default page window sized to the screen; the
    // link opened. Call once, after construction.
    void startUp();

    // --- Program list
    ProgramList &programList() { return m_programList; }
    // Appends a row for a page file with the default effects and the given text size.
    void AddFileToListView(
        const QString &FileName, const QString &txtWidth, const QString &txtHeight);
    // Writes the value of the selector of column code ColIndex into row ListIndex.
    void ChangeListView(qint16 ListIndex, qint16 ColIndex);
    void RenumberListView();

    // --- Page windows
    // The default page window, shown; opened again when it was closed.
    frmDocument *defaultDocument() override;
    // The default page window if it is open, else null.
    frmDocument *openDefaultDocument() const override;
    // The page window that has (or last had) the focus, or null.
    frmDocument *activeDocument() const override;
    // Opens a further page window, its canvas the size of the screen.
    frmDocument *createPageWindow() override;
    QMdiArea *mdiArea() const { return m_mdiArea; }
    // Sizes the default page window's canvas for a page of Width x Height modules at the
    // current PerPixel; a size that does not fit is refused with a message and the canvas
    // keeps what it could (the width is set before the height is looked at).
    frmDocument::SizeResult ChangeWindowState(qint16 Width, qint16 Height) override;
    PageFileCommands &pageCommands() { return *m_pageCommands; }
    // Whether the content of `page` may be thrown away: true when it has no unsaved changes
    // or the operator agrees to discard them.
    bool mayDiscardChanges(frmDocument *page) override;

    // --- Shows
    // Opens the show file at `path` into the program list, asking first when the list has
    // unsaved changes; a bad show is refused with a message and changes nothing. True when
    // the show was loaded.
    bool openShowFile(const QString &path) override;
    ShowCommands &shows() { return *m_shows; }

    // --- Fields: Insert > Field and View > Show Values
    FieldCommands &fields() { return *m_fields; }

    // --- Sending
    SendController &sends() { return *m_sends; }
    Link &link();

    // --- For the settings dialog (SettingsHost)
    // Opens the link of kind `trance` with the settings record as it now stands.
    bool openLink(qint16 trance) override;
    // The text-size selectors, the default page window's canvas and the status bar follow
    // accepted settings.
    void applyScreenSettings(qint16 width, qint16 height, qint16 trance) override;
    // The serial port the link holds open, "" when none is.
    QString serialPortInUse() const override;
    // Sets the texts of the text-size selectors CobTxtWidth and CobTxtHeight.
    void setTextSizeBoxes(qint16 width, qint16 height);
    // Shows "TranceStyle:" and the link kind's name in the status bar.
    void setTranceStyle(qint16 kind);

    // --- Panes and controls
    const MainMenus &menus() const { return m_menus; }
    StandardToolBar *tbToolBar() const { return m_toolBar; }
    FormatToolBar *tbFormatBar() const { return m_formatBar; }
    FileBrowserPane *fileBrowser() const { return m_fileBrowser; }
    ProgramListPane *programListPane() const { return m_listPane; }
    EffectPanel *effectPanel() const;
    MainStatusBar *PicStatusBar() const { return m_statusBar; }
    SignPreviewPane *signPreview() const { return m_preview; }
    SendResultsPane *sendResults() const { return m_sendResults; }
    SitesPane *sitesPane() const { return m_sitesPane; }

    // --- Prompts and dialogs
    PromptSink &prompts() override;
    // Prompts go to `sink` from now on (tests record them); null restores message boxes.
    void setPromptSink(PromptSink *sink);
    FileDialogs &fileDialogs() override { return *m_fileDialogs; }
    // File dialogs come from `dialogs` from now on; null restores the toolkit's.
    void setFileDialogs(FileDialogs *dialogs);
    // A note in the status bar the operator need not answer.
    void showNote(const QString &text) override;
    QWidget *dialogParent() override { return this; }
    void pageFilesChanged() override;

public slots:
    // File > New and "新建": the default page window, emptied, typing red.
    void newPage();
    // "SendChar" and Set > Screen Clear.
    void sendPicture();
    void clearScreen();
    // Set > Base Set: the settings dialog, the main window disabled until it closes.
    void openSettingsDialog();
    // Set > Sites: the broker of [Sites]; the Sites pane follows what is saved.
    void openSitesDialog();
    // Help > About Vantrel and "帮助": the About box, the main window disabled until it closes.
    void openAboutBox();
    // Switches the interface language: "English", "简体中文" or "jap" (the check mark only).
    // The choice is stored in BaseSet.ini.
    void SetLanguage(const QString &name);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildPanes();
    void connectControls();
    void tbToolBar_ButtonClick(const QString &key);
    void fillSelectors();
    void watchPage(frmDocument *page);
    void startTool(ExternalToolLauncher::Tool tool);
    void showOwnTexts(const QString &language);
    void showSendingState(bool sending);
    // The Sites pane watches the broker of [Sites] in BaseSet.ini as it now stands.
    void watchSites();
    QString language() const;

    ProgramList m_programList;
    MainMenus m_menus;
    QMdiArea *m_mdiArea = nullptr;
    StandardToolBar *m_toolBar = nullptr;
    FormatToolBar *m_formatBar = nullptr;
    QDockWidget *m_leftBar = nullptr;
    QDockWidget *m_bottomBar = nullptr;
    FileBrowserPane *m_fileBrowser = nullptr;
    ProgramListPane *m_listPane = nullptr;
    SignPreviewPane *m_preview = nullptr;
    MainStatusBar *m_statusBar = nullptr;
    PageViewControl *m_pageView = nullptr;
    PageWindows *m_pages = nullptr;

    std::unique_ptr<MessageBoxPrompts> m_messageBoxes;
    std::unique_ptr<PromptRelay> m_prompts;
    std::unique_ptr<FileDialogs> m_ownFileDialogs;
    FileDialogs *m_fileDialogs = nullptr;
    std::unique_ptr<DefaultPageSampler> m_sampler;
    SendController *m_sends = nullptr;
    SendResultsPane *m_sendResults = nullptr;
    SitesPane *m_sitesPane = nullptr;
    PageFileCommands *m_pageCommands = nullptr;
    PageEditCommands *m_edits = nullptr;
    ProgramListCommands *m_list = nullptr;
    LanguageCommands *m_language = nullptr;
    ShowCommands *m_shows = nullptr;
    FieldCommands *m_fields = nullptr;
};
