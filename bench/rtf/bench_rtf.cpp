// Prints read and write throughput of the RTF library in MB/s (1 MB = 10^6 bytes of RTF),
// median of several runs, for a text-heavy file and a file with large pictures. The read is
// also split into tokenizing alone and the QTextDocument insertions alone.
#include "rtfreader.h"
#include "rtftokenizer.h"
#include "rtfwriter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int runs = 7;
constexpr int textParagraphs = 40000;
constexpr int pictures = 8;
constexpr int pictureWidth = 1024;
constexpr int pictureHeight = 768;

const char *const words[] = { "sign", "display", "text", "green", "LED", "page", "yellow",
    "message", "scroll", "red", "hello", "world", "matrix", "pixel", "line", "font" };

// Paragraphs of a few hundred characters in runs of different formats, as a page editor
// would save them.
QByteArray textHeavyRtf()
{
    QByteArray rtf(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
        "{\\f1\\froman\\fcharset0 Times New Roman;}}{\\colortbl ;\\red255\\green0\\blue0;"
        "\\red0\\green255\\blue0;\\red255\\green255\\blue0;}\\viewkind4\\uc1\n");
    QRandomGenerator random(42);
    for (int p = 0; p < textParagraphs; ++p) {
        rtf += p % 3 ? "\\pard\\plain\\f0\\fs24 " : "\\pard\\plain\\qc\\sl-270\\slmult0\\f1\\fs32 ";
        for (int run = 0; run < 4; ++run) {
            static const char *const formats[] = { "", "\\b ", "\\i\\cf1 ", "\\ul\\cf3 " };
            rtf += '{';
            rtf += formats[run];
            for (int w = 0; w < 12; ++w) {
                rtf += words[random.bounded(16)];
                rtf += ' ';
            }
            if (run == 2)
                rtf += "caf\\'e9 \\u8364\\'80 ";
            rtf += '}';
        }
        rtf += "\\par\n";
    }
    rtf += '}';
    return rtf;
}

QByteArray pictureHeavyRtf()
{
    QByteArray rtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\n");
    QRandomGenerator random(7);
    for (int i = 0; i < pictures; ++i) {
        // A photo-like gradient with noise: compresses about as badly as real pictures.
        QImage image(pictureWidth, pictureHeight, QImage::Format_RGB32);
        for (int y = 0; y < pictureHeight; ++y) {
            QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < pictureWidth; ++x)
                line[x] = qRgb((x / 4 + random.bounded(8)) & 0xFF,
                    (y / 3 + random.bounded(8)) & 0xFF, (x + y) / 8 & 0xFF);
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        rtf += "\\pard Picture " + QByteArray::number(i) + " {\\pict\\pngblip\\picw"
            + QByteArray::number(pictureWidth) + "\\pich" + QByteArray::number(pictureHeight)
            + "\\picwgoal" + QByteArray::number(pictureWidth * 15) + "\\pichgoal"
            + QByteArray::number(pictureHeight * 15) + "\n";
        const QByteArray hex = png.toHex();
        for (qsizetype at = 0; at < hex.size(); at += 128)
            rtf += hex.mid(at, 128) + '\n';
        rtf += "}\\par\n";
    }
    rtf += '}';
    return rtf;
}

// CPU time of this thread: steadier than wall time on a machine busy with other work.
double threadSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

// `prepare` runs before each timed run, outside the time.
double medianSeconds(const std::function<void()> &work, const std::function<void()> &prepare = {})
{
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        const double start = threadSeconds();
        work();
        seconds.push_back(threadSeconds() - start);
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

void report(const char *what, qint64 bytes, double seconds)
{
    std::printf("  %-44s %8.1f MB/s  (%.1f ms)\n", what, bytes / 1e6 / seconds, seconds * 1e3);
}

// The same paragraphs and runs as the document holds, inserted the way the reader inserts
// them (a block with its final formats, then its runs): the part of reading that is
// QTextDocument's, whatever the parser does.
void insertLikeTheReader(const QTextDocument &source)
{
    QTextDocument target;
    target.setUndoRedoEnabled(false);
    QTextCursor cursor(&target);
    cursor.beginEditBlock();
    bool first = true;
    for (QTextBlock b = source.begin(); b.isValid(); b = b.next()) {
        if (first) {
            cursor.setBlockFormat(b.blockFormat());
            cursor.setBlockCharFormat(b.charFormat());
        } else {
            cursor.insertBlock(b.blockFormat(), b.charFormat());
        }
        first = false;
        for (auto it = b.begin(); !it.atEnd(); ++it)
            cursor.insertText(it.fragment().text(), it.fragment().charFormat());
    }
    cursor.endEditBlock();
}

void measure(const char *name, const QByteArray &rtf, bool splitRead)
{
    std::printf("%s: %.2f MB of RTF\n", name, rtf.size() / 1e6);
    if (splitRead) {
        const double tokenize = medianSeconds([&] {
            RtfTokenizer tokenizer(rtf);
            qint64 count = 0;
            while (tokenizer.next().type != RtfToken::EndOfInput)
                ++count;
            if (count == 0)
                std::puts("no tokens");
        });
        report("tokenize only", rtf.size(), tokenize);
    }
    QTextDocument document;
    const double read = medianSeconds(
        [&] {
            if (!RtfReader::read(rtf, &document).ok)
                std::puts("read failed");
        },
        [&] { document.clear(); }); // a page is read into an empty document
    report("read (RtfReader::read into QTextDocument)", rtf.size(), read);
    if (splitRead) {
        const double insert = medianSeconds([&] { insertLikeTheReader(document); });
        report("of which QTextDocument insertions alone", rtf.size(), insert);
        std::printf("  %-44s %8.1f MB/s\n", "parser without the insertions",
            rtf.size() / 1e6 / qMax(1e-9, read - insert));
    }
    QByteArray written;
    const double write = medianSeconds([&] { written = RtfWriter::write(document); });
    report("write (RtfWriter::write)", written.size(), write);
    std::printf("  written: %.2f MB\n", written.size() / 1e6);
}

// Pictures read from RTF are written with the PNG data they came with; pictures made or
// edited in the editor must be encoded.
void measureNewPictures(const QByteArray &rtf)
{
    QTextDocument document;
    RtfReader::read(rtf, &document);
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QString name = it.fragment().charFormat().toImageFormat().name();
            if (name.isEmpty())
                continue;
            QImage image
                = document.resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
            image.setPixel(0, 0, image.pixel(0, 0) ^ 1); // edited: a new image
            document.addResource(QTextDocument::ImageResource, QUrl(name), image);
        }
    }
    QByteArray written;
    const double write = medianSeconds([&] { written = RtfWriter::write(document); });
    report("write of edited pictures (PNG encoding)", written.size(), write);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::printf("RTF throughput, median of %d runs, CPU time of the benchmark thread\n", runs);
    measure("text-heavy", textHeavyRtf(), true);
    const QByteArray pictures = pictureHeavyRtf();
    measure("pictures (8 PNG 1024x768)", pictures, false);
    measureNewPictures(pictures);
    return 0;
}
