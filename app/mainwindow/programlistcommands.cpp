#include "programlistcommands.h"

#include "effectpanel.h"
#include "filebrowserpane.h"
#include "formattoolbar.h"
#include "pagefilecommands.h"
#include "pendingpageshow.h"
#include "programlisthost.h"
#include "programlistpane.h"
#include "signpreviewpane.h"

#include "getcolor.h"
#include "programlist.h"
#include "wholenumber.h"

#include "basesettings.h"
#include "localtext.h"
#include "messages.h"
#include "programfolder.h"
#include "promptsink.h"

#include <QComboBox>

ProgramListCommands::ProgramListCommands(ProgramList &list, ProgramListPane *listPane,
    FileBrowserPane *browser, FormatToolBar *formatBar, SignPreviewPane *preview,
    PageFileCommands &pages, ProgramListHost &host, QObject *parent)
    : QObject(parent)
    , m_list(list)
    , m_listPane(listPane)
    , m_formatBar(formatBar)
    , m_preview(preview)
    , m_pages(pages)
    , m_host(host)
    , m_pageShow(new PendingPageShow(
          [&host] {
              const frmDocument *page = host.openDefaultDocument();
              return page && page->hasUnsavedChanges();
          },
          this))
{
    connect(browser, &FileBrowserPane::fileClicked, this, &ProgramListCommands::File1_Click);
    connect(
        browser, &FileBrowserPane::fileDoubleClicked, this, &ProgramListCommands::File1_DblClick);
    connect(listPane, &ProgramListPane::rowClicked, this, &ProgramListCommands::ListView1_Click);
    connect(listPane, &ProgramListPane::removeRequested, this,
        &ProgramListCommands::ListView1_DblClick);
    connect(
        listPane->effectPanel(), &EffectPanel::picked, this, &ProgramListCommands::selectorPicked);
}

QString ProgramListCommands::language() const
{
    return baseSettings().Language;
}

void ProgramListCommands::AddFileToListView(
    const QString &FileName, const QString &txtWidth, const QString &txtHeight)
{
    if (!m_list.AddFileToListView(FileName, txtWidth, txtHeight))
        m_host.showNote(localText(language(),
            QStringLiteral("The program list is full (%1 rows); remove a row "
                           "before adding another.")
                .arg(ProgramList::kMaxRows),
            QStringLiteral("节目列表已满（%1 行），请先删除一行再添加。")
                .arg(ProgramList::kMaxRows)));
}

void ProgramListCommands::RenumberListView()
{
    m_list.RenumberListView();
}

void ProgramListCommands::ChangeListView(qint16 ListIndex, qint16 ColIndex)
{
    const ProgramList::Change change = m_list.ChangeListView(
        ListIndex, ColIndex, m_listPane->effectPanel()->selectorValue(ColIndex));
    if (change == ProgramList::Change::MovedToFirstRow)
        m_listPane->selectRow(m_list.CurrentRow);
    if (change == ProgramList::Change::ListEmpty)
        m_host.prompts().inform(PromptText(Msg::SelectFileId, language()), PromptTitle(language()),
            MsgIcon(Msg::SelectFileId));
    if (change == ProgramList::Change::Written
        && (ColIndex == ListColumn::TWidth || ColIndex == ListColumn::THeight))
        updatePreviewSize();
}

void ProgramListCommands::selectorPicked(int column)
{
    ChangeListView(m_list.CurrentRow, qint16(column));
}

void ProgramListCommands::ListView1_Click(int row)
{
    const QStringList texts = m_list.clickRow(row);
    m_listPane->selectRow(m_list.CurrentRow);
    if (texts.isEmpty())
        return;
    m_listPane->effectPanel()->showRow(texts);
    updatePreviewSize();
    m_pageShow->request([this, row, texts] { showRowPage(row, texts); });
}

// The row's page in the default page window, sized to the row. A size the sign cannot take
// is not drawn: the page is shown at the canvas it has.
void ProgramListCommands::showRowPage(int row, const QStringList &texts)
{
    const QString widthText = texts.value(ListColumn::TWidth - 1);
    const QString heightText = texts.value(ListColumn::THeight - 1);
    const std::optional<qint16> width = wholeNumber(widthText);
    const std::optional<qint16> height = wholeNumber(heightText);
    const std::optional<PacketRefusal> refusal
        = width && height ? GetColor::checkPageSize(*width, *height, row) : std::nullopt;
    const bool sized = width && height && !refusal;
    const QString path = programFilePath(texts.value(ListColumn::FilePath - 1));
    if (m_pages.LoadPageFile(path, sized ? *width : 0) && sized)
        m_host.ChangeWindowState(*width, *height);
    const QString pick = localText(language(),
        QStringLiteral(" Its page is shown unsized. Pick a size in TextWidth and TextHeight."),
        QStringLiteral("页面未按尺寸显示。请在 TextWidth 和 TextHeight 中选择尺寸。"));
    if (refusal)
        m_host.showNote(refusal->message(language()) + pick);
    else if (!sized)
        m_host.showNote(localText(language(),
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

void ProgramListCommands::ListView1_DblClick(int row)
{
    if (m_list.rowCount() == 0 || row < 1 || row > m_list.rowCount())
        return;
    const bool removed = m_host.prompts().confirm(
                             PromptText(Msg::ConfirmDelete, language()), PromptTitle(language()))
        && m_list.removeRow(row);
    m_list.RenumberListView();
    // The page its first press asked for goes with a removed row; a kept row shows it now.
    if (removed) {
        m_pageShow->drop();
        followCurrentRow();
        return;
    }
    m_pageShow->flush();
    m_listPane->selectRow(m_list.CurrentRow);
    updatePreviewSize();
}

void ProgramListCommands::followCurrentRow()
{
    m_listPane->selectRow(m_list.CurrentRow);
    const QStringList texts = m_list.model()->rowTexts(m_list.CurrentRow);
    frmDocument *page = m_host.openDefaultDocument();
    const bool pageFree = !page || !page->hasUnsavedChanges();
    if (!texts.isEmpty()) {
        m_listPane->effectPanel()->showRow(texts);
        if (pageFree)
            showRowPage(m_list.CurrentRow, texts);
    } else if (pageFree && page) {
        page->newPage(); // the removed row's page goes with it
    }
    updatePreviewSize();
}

void ProgramListCommands::File1_Click(const QString &name)
{
    if (name.isEmpty())
        return;
    m_pageShow->request([this, name] {
        // A file the browser lists is there: a refusal is news, told in full in a box (a
        // status-bar note is cut short just where the cause is).
        m_pages.LoadPageFile(programFilePath(name), m_list.textWidthForFile(name),
            PageFileCommands::FailureShown::MessageBox);
    });
}

void ProgramListCommands::File1_DblClick(const QString &name)
{
    if (name.isEmpty())
        return;
    AddFileToListView(name, m_formatBar->CobTxtWidth()->currentText().trimmed(),
        m_formatBar->CobTxtHeight()->currentText().trimmed());
    m_list.RenumberListView();
    m_pageShow->flush(); // the click's page, after the row is in
}

void ProgramListCommands::updatePreviewSize()
{
    const BaseSettings &s = baseSettings();
    int width = s.ScreenWidth;
    int height = s.ScreenHeight;
    if (m_list.hasCurrentRow()) {
        const int row = m_list.CurrentRow;
        const std::optional<qint16> w = wholeNumber(m_list.cellText(row, ListColumn::TWidth));
        const std::optional<qint16> h = wholeNumber(m_list.cellText(row, ListColumn::THeight));
        if (w && h) {
            width = *w;
            height = *h;
        }
    }
    m_preview->setPageSize(width, height, s.PerPixel);
    m_preview->setSignSize(s.ScreenWidth, s.ScreenHeight);
    if (frmDocument *page = m_host.openDefaultDocument())
        m_preview->setDocument(page->document());
}
