#pragma once

#include "pagesampler.h"

// Page files rendered off screen, as vantrel-cli reads them for packets.
class CliPageSampler : public PageSampler
{
public:
    explicit CliPageSampler(qint16 perPixel)
        : m_perPixel(perPixel)
    { }

    std::unique_ptr<PixelSource> samplePage(
        const QString &pagePath, qint16 textWidth, qint16 textHeight, QString *error) override;

private:
    qint16 m_perPixel;
};
