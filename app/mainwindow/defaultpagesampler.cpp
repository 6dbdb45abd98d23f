#include "defaultpagesampler.h"

#include "frmdocument.h"
#include "pagecanvas.h"
#include "pagefields.h"
#include "pagefiles.h"
#include "pagerenderer.h"
#include "pageviewcontrol.h"

#include "localtext.h"
#include "programfolder.h"

#include <QFileInfo>

DefaultPageSampler::DefaultPageSampler(std::function<frmDocument *()> defaultDocument,
    std::function<bool(frmDocument *)> mayDiscard, std::function<qint16()> perPixel,
    std::function<QString()> language)
    : m_defaultDocument(std::move(defaultDocument))
    , m_mayDiscard(std::move(mayDiscard))
    , m_perPixel(std::move(perPixel))
    , m_language(std::move(language))
{ }

std::unique_ptr<PixelSource> DefaultPageSampler::samplePage(
    const QString &pagePath, qint16 textWidth, qint16 textHeight, QString *error)
{
    frmDocument *page = m_defaultDocument();
    if (!m_mayDiscard(page)) {
        *error = localText(m_language(),
            QStringLiteral("The page window keeps its unsaved changes, so the "
                           "page was not sent. Save the page, then send again."),
            QStringLiteral("页面窗口保留了未保存的更改，因此未发送页面。请先保存"
                           "页面，然后再发送。"));
        return nullptr;
    }
    // By name, as the list and the file browser show it: a listed picture stays a picture.
    const Page::FileResult loaded
        = Page::loadListedPageFile(pagePath, page->document(), rememberedPictureMode());
    if (!loaded.ok()) {
        *error = loaded.message(m_language());
        return nullptr;
    }
    page->markSaved();
    page->setPageFile(QFileInfo(pagePath).absoluteFilePath());
    const qint16 perPixel = m_perPixel();
    const frmDocument::SizeResult sized = page->ChangeWindowState(textWidth, textHeight, perPixel);
    if (sized != frmDocument::SizeResult::Sized) {
        *error
            = frmDocument::sizeRefusalMessage(sized, textWidth, textHeight, perPixel, m_language());
        return nullptr;
    }
    // Fields are sent with their values of this moment; the page window keeps them as typed.
    Fields::FieldContext fields;
    fields.moment = QDateTime::currentDateTime();
    fields.programFolder = programFolder();
    fields.language = m_language();
    const QImage canvas
        = Page::renderFilledCanvas(page->document(), page->rtfText()->canvasSize(), fields);
    return std::make_unique<ImagePixelSource>(canvas);
}

void DefaultPageSampler::fitCanvasToScreen(qint16 screenWidth, qint16 screenHeight, qint16 perPixel)
{
    m_defaultDocument()->ChangeWindowState(screenWidth, screenHeight, perPixel);
}
