// Time to fill three fields (a value, a file and the clock) into a 34 x 15-module page, draw
// it and build its picture frame packet: what a live page costs each time it changes.

#include "getcolor.h"
#include "pagedocument.h"
#include "pagefields.h"
#include "pagegeometry.h"
#include "valuestore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextStream>

#include <algorithm>
#include <vector>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    constexpr int kWidth = 34, kHeight = 15, kRuns = 101;

    QTemporaryDir folder;
    QString error;
    QFile price(folder.filePath(QStringLiteral("price.txt")));
    if (!folder.isValid()
        || !ValueStore(folder.path()).set(QStringLiteral("spaces"), QStringLiteral("42"), &error)
        || !price.open(QIODevice::WriteOnly) || price.write("3.50 EUR\n") <= 0)
        return 1;
    price.close();

    QTextDocument document;
    Page::setUpDocument(&document);
    QTextCursor cursor(&document);
    const QColor colours[] = { Page::ledRed(), Page::ledGreen(), Page::ledYellow() };
    for (int line = 0; line < 14; ++line) {
        QTextCharFormat format;
        format.setForeground(colours[line % 3]);
        QString text
            = QStringLiteral("Line %1: opening hours 9-17, 欢迎光临 special offer ").arg(line);
        if (line == 0)
            text += QStringLiteral("FREE {value:spaces}");
        else if (line == 5)
            text += QStringLiteral("price {file:price.txt}");
        else if (line == 10)
            text += QStringLiteral("{time:HH:mm:ss}");
        cursor.insertText(text, format);
        cursor.insertBlock();
    }
    const QSize canvas = *Page::canvasSize(16, kWidth, kHeight);
    Fields::FieldContext context;
    context.programFolder = folder.path();

    const GetColor builder;
    std::vector<double> times;
    QList<Fields::FieldProblem> problems;
    for (int run = 0; run < kRuns; ++run) {
        context.moment = QDateTime::currentDateTime();
        QElapsedTimer timer;
        timer.start();
        const QImage image = Page::renderFilledCanvas(&document, canvas, context, &problems);
        builder.SendPicMod(ImagePixelSource(image), kWidth, kHeight, kWidth, kHeight, 16, 1);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    QTextStream out(stdout);
    out << "fill + render + packet, 34 x 15-module page with three fields, median of " << kRuns
        << " runs: " << QString::number(times[kRuns / 2], 'f', 2) << " ms (goal under 20 ms)";
    if (!problems.isEmpty())
        out << "; a field failed: " << problems.first().reason;
    out << '\n';
    return 0;
}
