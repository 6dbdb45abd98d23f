#include "pagefilecommands.h"

#include "filedialogs.h"
#include "frmdocument.h"
#include "inserttabledialog.h"
#include "pagecanvas.h"
#include "pagedocument.h"
#include "pagefilehost.h"
#include "pagegeometry.h"
#include "pageviewcontrol.h"
#include "picturefile.h"

#include "getcolor.h"

#include "basesettings.h"
#include "localtext.h"
#include "messages.h"
#include "programfolder.h"
#include "promptsink.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QImageReader>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

namespace {

bool hasRtfSuffix(const QString &name)
{
    return name.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive);
}

} // namespace

PageFileCommands::PageFileCommands(PageFileHost &host, QObject *parent)
    : QObject(parent)
    , m_host(host)
{ }

QString PageFileCommands::openFilter()
{
    return QStringLiteral("文本文件(*.txt)|*.txt|rtf文件(*.rtf)|*.rtf");
}

QString PageFileCommands::openInNewWindowFilter()
{
    return QStringLiteral("文本文件(*.txt)|*.txt|");
}

QString PageFileCommands::saveFilter()
{
    return QStringLiteral("Rtf File(*.rtf)|*.rtf|All Files(*.*)|*.*");
}

QString PageFileCommands::saveAsFilter()
{
    return QStringLiteral("文本文件 (*.TXT)");
}

QString PageFileCommands::insertPictureFilter()
{
    return QStringLiteral("Gif文件(*.gif)|*.gif|Jpg文件(*.jpg)|*.jpg|Bmp文件(*.bmp)|*.bmp|All "
                          "files(*.*)|*.*");
}

QString PageFileCommands::language() const
{
    return baseSettings().Language;
}

void PageFileCommands::explain(const Page::FileResult &result)
{
    m_host.prompts().inform(
        result.message(language()), PromptTitle(language()), PromptIcon::Exclamation);
}

void PageFileCommands::OpenPageFile()
{
    frmDocument *page = m_host.activeDocument();
    if (!page) {
        OpenPageFileInNewWindow();
        return;
    }
    const QString name = m_host.fileDialogs().openFileName(
        QStringLiteral("打开"), openFilter(), programFolder(), kOpenFilterShown);
    if (name.isEmpty() || !m_host.mayDiscardChanges(page))
        return;
    loadInto(page, name);
}

void PageFileCommands::OpenPageFileInNewWindow()
{
    const QString name = m_host.fileDialogs().openFileName(
        QStringLiteral("打开"), openInNewWindowFilter(), programFolder());
    if (name.isEmpty())
        return;
    // Read first, so a file that cannot be read leaves no empty window behind.
    QTextDocument probe;
    Page::setUpDocument(&probe);
    const Page::FileResult readable = Page::loadAnyPageFile(name, &probe, rememberedPictureMode());
    if (!readable.ok()) {
        explain(readable);
        return;
    }
    loadInto(m_host.createPageWindow(), name);
}

bool PageFileCommands::openPageFileAt(const QString &path, bool newWindow)
{
    QTextDocument probe;
    Page::setUpDocument(&probe);
    const Page::FileResult readable = Page::loadAnyPageFile(path, &probe);
    if (!readable.ok()) {
        explain(readable);
        return false;
    }
    frmDocument *page = newWindow ? m_host.createPageWindow() : m_host.defaultDocument();
    if (!newWindow && !m_host.mayDiscardChanges(page))
        return false;
    return loadInto(page, path);
}

bool PageFileCommands::loadInto(frmDocument *page, const QString &name)
{
    const Page::FileResult result
        = Page::loadAnyPageFile(name, page->document(), rememberedPictureMode());
    if (!result.ok()) {
        explain(result);
        return false;
    }
    page->markSaved();
    page->setPageFile(QFileInfo(name).absoluteFilePath());
    page->setWindowTitle(name);
    return true;
}

void PageFileCommands::SavePage()
{
    frmDocument *page = m_host.activeDocument();
    if (!page)
        return;
    // The name proposed, and the extension a typed name gets, are the ones the page is saved
    // under: ".rtf" (a ".txt" default would make "Untitled.txt.rtf").
    // A page shown from a file proposes that file, a picture under its name as a page.
    const QFileInfo file(page->pageFile());
    const bool fromFile = !page->pageFile().isEmpty();
    const QString proposed = !fromFile ? Page::withRtfSuffix(page->windowTitle())
        : hasRtfSuffix(file.fileName())
        ? file.absoluteFilePath()
        : file.absolutePath() + QLatin1Char('/') + file.completeBaseName() + QStringLiteral(".rtf");
    const QString chosen = m_host.fileDialogs().saveFileName(QStringLiteral("保存"), saveFilter(),
        fromFile ? file.absolutePath() : programFolder(), proposed, QStringLiteral("rtf"));
    if (chosen.isEmpty())
        return;
    const QString name = hasRtfSuffix(chosen) ? chosen : Page::withRtfSuffix(chosen);
    const Page::FileResult result = Page::savePageFile(name, *page->document());
    if (!result.ok()) {
        explain(result);
        return;
    }
    page->markSaved();
    page->setPageFile(QFileInfo(name).absoluteFilePath());
    m_host.pageFilesChanged();
    m_host.showNote(localText(language(), QStringLiteral("Saved %1.").arg(name),
        QStringLiteral("已保存 %1。").arg(name)));
}

void PageFileCommands::SavePageAs()
{
    frmDocument *page = m_host.activeDocument();
    if (!page)
        return;
    const QString chosen = m_host.fileDialogs().saveFileName(
        QStringLiteral("另存为"), saveAsFilter(), programFolder(), QString(), QString());
    if (chosen.isEmpty())
        return;
    const QString name = Page::withTxtSuffix(chosen);
    const Page::FileResult result = Page::savePageFile(name, *page->document());
    if (!result.ok()) {
        explain(result); // the caption keeps naming the file the page really is in
        return;
    }
    page->markSaved();
    page->setPageFile(QFileInfo(name).absoluteFilePath());
    page->setWindowTitle(name);
    m_host.pageFilesChanged();
    m_host.showNote(localText(language(), QStringLiteral("Saved %1.").arg(name),
        QStringLiteral("已保存 %1。").arg(name)));
}

void PageFileCommands::InsertPicture()
{
    if (!m_host.activeDocument())
        return;
    const QString name = m_host.fileDialogs().openFileName(
        QStringLiteral("插入图片"), insertPictureFilter(), programFolder());
    if (name.isEmpty())
        return;
    const Page::FileResult result = insertPicture(name);
    if (!result.ok())
        explain(result);
}

Page::FileResult PageFileCommands::insertPicture(const QString &path)
{
    Page::FileResult result;
    result.path = path;
    frmDocument *page = m_host.activeDocument();
    if (!page)
        return result;
    QImage image;
    result = Page::readPictureFile(path, &image);
    if (!result.ok())
        return result;
    // The clipboard gets the picture as read; the page gets it in LED colours.
    QApplication::clipboard()->setImage(image);
    QTextCursor cursor = page->rtfText()->textCursor();
    Page::placePicture(cursor, image, rememberedPictureMode(), QFileInfo(path).fileName());
    page->rtfText()->setTextCursor(cursor);
    return result;
}

void PageFileCommands::InsertTable()
{
    if (!m_host.activeDocument())
        return;
    InsertTableDialog dialog(language(), m_host.dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return;
    insertTable(dialog.rows(), dialog.columns());
}

bool PageFileCommands::insertTable(int rows, int columns)
{
    frmDocument *page = m_host.activeDocument();
    if (!page || rows < 1 || rows > InsertTableDialog::kMaxRows || columns < 1
        || columns > InsertTableDialog::kMaxColumns)
        return false;
    QTextTableFormat format;
    format.setBorder(1);
    // The grid in a lit colour, so the sign shows it as the canvas does.
    format.setBorderBrush(Page::ledRed());
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setCellPadding(1);
    format.setCellSpacing(0);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    QTextCursor cursor = page->rtfText()->textCursor();
    cursor.insertTable(rows, columns, format);
    page->rtfText()->setTextCursor(cursor);
    return true;
}

bool PageFileCommands::LoadPageFile(const QString &path, qint16 textWidth, FailureShown shown)
{
    frmDocument *page = m_host.defaultDocument();
    if (!m_host.mayDiscardChanges(page))
        return false;
    // A width the packet cannot carry is not drawn; the page shows at the width it has.
    if (textWidth != 0 && textWidth <= GetColor::kMaxTextWidth) {
        if (const std::optional<int> width = Page::textWidthCanvas(textWidth))
            page->setCanvasWidth(*width);
    }
    const Page::FileResult result
        = Page::loadListedPageFile(path, page->document(), rememberedPictureMode());
    if (!result.ok()) {
        if (shown == FailureShown::MessageBox)
            explain(result);
        else
            m_host.showNote(result.message(language()));
        return false;
    }
    page->markSaved();
    page->setPageFile(QFileInfo(path).absoluteFilePath());
    return true;
}
