#pragma once

#include "ledpicture.h"
#include "pagesampler.h"

// Page files rendered off screen, as vantrel-cli reads them for packets.
class CliPageSampler : public PageSampler
{
public:
    explicit CliPageSampler(qint16 perPixel,
                            Page::PictureMode pictures = Page::PictureMode::Threshold)
        : m_perPixel(perPixel)
        , m_pictures(pictures)
    { }

    std::unique_ptr<PixelSource> samplePage(
        const QString &pagePath, qint16 textWidth, qint16 textHeight, QString *error) override;

private:
    qint16 m_perPixel;
    Page::PictureMode m_pictures;
};
