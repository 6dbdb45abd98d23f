// Time to render a 34 x 15-module page and build its picture frame packet.

#include "getcolor.h"
#include "pagedocument.h"
#include "pagegeometry.h"
#include "pagerenderer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextStream>

#include <algorithm>
#include <vector>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    constexpr int kWidth = 34, kHeight = 15, kRuns = 101;

    QTextDocument document;
    Page::setUpDocument(&document);
    QTextCursor cursor(&document);
    const QColor colours[] = { Page::ledRed(), Page::ledGreen(), Page::ledYellow() };
    for (int line = 0; line < 14; ++line) {
        QTextCharFormat format;
        format.setForeground(colours[line % 3]);
        format.setFontWeight(line % 2 ? QFont::Bold : QFont::Normal);
        cursor.insertText(QStringLiteral("Line %1: opening hours 9-17, 欢迎光临 special offer today ")
                                  .arg(line),
                          format);
        cursor.insertBlock();
    }
    const QSize canvas = *Page::canvasSize(16, kWidth, kHeight);

    const GetColor builder;
    std::vector<double> renderTimes, totalTimes;
    qsizetype size = 0;
    for (int run = 0; run < kRuns; ++run) {
        // A fresh layout each run, as after loading the row's page.
        document.markContentsDirty(0, document.characterCount());
        QElapsedTimer timer;
        timer.start();
        const QImage image = Page::renderCanvas(&document, canvas);
        const double rendered = timer.nsecsElapsed() / 1e6;
        size = builder.SendPicMod(ImagePixelSource(image), kWidth, kHeight, kWidth, kHeight, 16, 1)
                       .bytes.size();
        totalTimes.push_back(timer.nsecsElapsed() / 1e6);
        renderTimes.push_back(rendered);
    }
    std::sort(renderTimes.begin(), renderTimes.end());
    std::sort(totalTimes.begin(), totalTimes.end());
    QTextStream out(stdout);
    out << "render + packet, 34 x 15-module page of text (" << size << "-byte packet), median of "
        << kRuns << " runs:\n";
    out << "  render:          " << QString::number(renderTimes[kRuns / 2], 'f', 2) << " ms\n";
    out << "  render + packet: " << QString::number(totalTimes[kRuns / 2], 'f', 2) << " ms\n";
    return 0;
}
