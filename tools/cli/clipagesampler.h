#pragma once

#include "fieldresolver.h"
#include "ledpicture.h"
#include "pagesampler.h"

#include <functional>

// Page files rendered off screen, as vantrel-cli reads them for packets.
class CliPageSampler : public PageSampler
{
public:
    explicit CliPageSampler(
        qint16 perPixel, Page::PictureMode pictures = Page::PictureMode::Threshold)
        : m_perPixel(perPixel)
        , m_pictures(pictures)
    { }

    // Fields filled in the context this returns (the agent's clock and program folder), their
    // problems not printed, instead of now and the program folder in use.
    void setFieldContext(std::function<Fields::FieldContext()> context)
    {
        m_context = std::move(context);
    }

    std::unique_ptr<PixelSource> samplePage(
        const QString &pagePath, qint16 textWidth, qint16 textHeight, QString *error) override;

private:
    qint16 m_perPixel;
    Page::PictureMode m_pictures;
    std::function<Fields::FieldContext()> m_context;
};
