#pragma once

#include "pagesampler.h"

#include <functional>

class frmDocument;

// The window's page sampler: loads a program-list page into the default page window, so the
// operator sees what is sent, sizes its canvas to the page, and renders it as the sign samples
// it.
class DefaultPageSampler : public PageSampler
{
public:
    // `defaultDocument` gives the default page window, opening it when it is closed;
    // `mayDiscard` says whether its unsaved changes may give way to the page to send;
    // `perPixel` and `language` give the current settings.
    DefaultPageSampler(std::function<frmDocument *()> defaultDocument,
        std::function<bool(frmDocument *)> mayDiscard, std::function<qint16()> perPixel,
        std::function<QString()> language);

    std::unique_ptr<PixelSource> samplePage(
        const QString &pagePath, qint16 textWidth, qint16 textHeight, QString *error) override;
    void fitCanvasToScreen(qint16 screenWidth, qint16 screenHeight, qint16 perPixel) override;

private:
    std::function<frmDocument *()> m_defaultDocument;
    std::function<bool(frmDocument *)> m_mayDiscard;
    std::function<qint16()> m_perPixel;
    std::function<QString()> m_language;
};
