// Time to repaint the page canvas of a 34 x 15-module page zoomed to 400%, as after a key
// press, and at 100% for comparison.

#include "frmdocument.h"
#include "pagecanvas.h"
#include "pagedocument.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QTextCursor>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

// Median time of one whole repaint of the canvas, drawn into an image as the screen would be.
double repaintMs(PageCanvas *canvas, int runs)
{
    QImage surface(canvas->viewport()->size(), QImage::Format_RGB32);
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        // A changed page each time, as typing makes it.
        QTextCursor cursor(canvas->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(run % 2 ? QStringLiteral("a") : QStringLiteral("b"));
        QElapsedTimer timer;
        timer.start();
        canvas->viewport()->render(&surface);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    constexpr int kRuns = 101;
    frmDocument page(QSize(34 * 16 + 2, 15 * 16 + 2));
    page.resize(2400, 1100);
    page.show();
    QTextCursor cursor(page.document());
    const QColor colours[] = { Page::ledRed(), Page::ledGreen(), Page::ledYellow() };
    for (int line = 0; line < 14; ++line) {
        QTextCharFormat format;
        format.setForeground(colours[line % 3]);
        cursor.insertText(QStringLiteral("Line %1: opening hours 9-17, 欢迎光临 special offer ")
                                  .arg(line),
                          format);
        cursor.insertBlock();
    }
    QCoreApplication::processEvents();

    QTextStream out(stdout);
    out << "canvas repaint, 34 x 15-module page (544 x 240 LEDs), median of " << kRuns
        << " runs:\n";
    for (const int zoom : { 1, 4 }) {
        page.setZoom(zoom);
        QCoreApplication::processEvents();
        out << "  at " << zoom * 100 << "%: "
            << QString::number(repaintMs(page.rtfText(), kRuns), 'f', 2) << " ms"
            << (zoom == 4 ? " (goal < 8 ms)" : "") << "\n";
    }
    return 0;
}
