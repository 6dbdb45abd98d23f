// Time to sample and pack the largest picture frame (34 x 15 modules = 510) from an image.

#include "getcolor.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {
// Reads through the one-pixel-at-a-time path only, as a window-reading source would.
class PixelAtATime : public PixelSource
{
public:
    explicit PixelAtATime(const QImage &image) : m_source(image) { }
    BgrColor colorAt(int x, int y) const override { return m_source.colorAt(x, y); }

private:
    ImagePixelSource m_source;
};

template<typename F>
double medianMicroseconds(int runs, F &&f)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        times.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
} // namespace

int main()
{
    constexpr int kWidth = 34, kHeight = 15, kRuns = 301;
    QImage canvas(kWidth * 16 + 2, kHeight * 16 + 2, QImage::Format_RGB32);
    const QRgb colours[] = { qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(255, 255, 0), qRgb(0, 0, 0) };
    QRandomGenerator random(1);
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            canvas.setPixel(x, y, colours[random.bounded(4)]);

    const GetColor builder;
    const ImagePixelSource rows(canvas);
    const PixelAtATime pixels(canvas);
    qsizetype size = 0;
    const double rowMedian = medianMicroseconds(kRuns, [&] {
        size = builder.SendPicMod(rows, kWidth, kHeight, kWidth, kHeight, 16, 1).bytes.size();
    });
    const double pixelMedian = medianMicroseconds(kRuns, [&] {
        size = builder.SendPicMod(pixels, kWidth, kHeight, kWidth, kHeight, 16, 1).bytes.size();
    });

    QTextStream out(stdout);
    out << "picture frame packet, 34 x 15 modules (" << size << " bytes), median of " << kRuns
        << " runs:\n";
    out << "  image rows:          " << QString::number(rowMedian / 1000.0, 'f', 3) << " ms\n";
    out << "  one pixel at a time: " << QString::number(pixelMedian / 1000.0, 'f', 3) << " ms\n";
    return 0;
}
