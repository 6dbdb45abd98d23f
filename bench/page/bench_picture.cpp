// Time to convert a 544 x 240 picture (the largest page) to the sign's four LED states.

#include "ledpicture.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

double medianMs(const QImage &picture, Page::PictureMode mode, int runs, qint64 *checksum)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const QImage led = Page::toLedColours(picture, mode);
        times.push_back(timer.nsecsElapsed() / 1e6);
        *checksum += led.pixel(run % led.width(), run % led.height());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    constexpr int kRuns = 201;
    // A photo as JPEG decodes it (RGB32), and a picture with transparency (ARGB32, as PNG).
    QImage photo(544, 240, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb((x * 7 + y) & 255, (x + y * 3) & 255, (x ^ y) & 255));
    QImage withAlpha = photo.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < withAlpha.height(); ++y)
        for (int x = 0; x < withAlpha.width(); x += 3)
            withAlpha.setPixel(x, y, qRgba(255, 255, 255, (x + y) & 255));

    qint64 checksum = 0;
    QTextStream out(stdout);
    out << "picture to LED colours, 544 x 240 pixels, median of " << kRuns << " runs:\n";
    out << "  threshold, RGB32:  "
        << QString::number(medianMs(photo, Page::PictureMode::Threshold, kRuns, &checksum), 'f', 3)
        << " ms (goal < 2 ms)\n";
    out << "  dither, RGB32:     "
        << QString::number(medianMs(photo, Page::PictureMode::Dither, kRuns, &checksum), 'f', 3)
        << " ms (goal < 4 ms)\n";
    out << "  threshold, ARGB32: "
        << QString::number(medianMs(withAlpha, Page::PictureMode::Threshold, kRuns, &checksum),
                           'f', 3)
        << " ms\n";
    out << "  dither, ARGB32:    "
        << QString::number(medianMs(withAlpha, Page::PictureMode::Dither, kRuns, &checksum), 'f', 3)
        << " ms\n";
    return checksum == 0 ? 1 : 0;
}
