#include "clipagesampler.h"

#include "pagepixels.h"

std::unique_ptr<PixelSource> CliPageSampler::samplePage(
    const QString &pagePath, qint16 textWidth, qint16 textHeight, QString *error)
{
    if (m_context) {
        QList<Fields::FieldProblem> problems;
        return loadPagePixels(
            pagePath, textWidth, textHeight, m_perPixel, error, m_pictures, m_context(), &problems);
    }
    return loadPagePixels(pagePath, textWidth, textHeight, m_perPixel, error, m_pictures);
}
