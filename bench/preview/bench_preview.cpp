// Shows and the playing preview: a show of 32767 rows read and put into the program list
// (goal under 1 s), and the frames of a 34 x 15-module page played in a 34 x 15 sign, drawn
// by the preview's LED face (goal: 50 frames a second at under 10% of one core, i.e. under
// 2 ms of processor time per frame).

#include "effecttimeline.h"
#include "programlist.h"
#include "rowsource.h"
#include "showfile.h"
#include "signpreview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <ctime>

namespace {

constexpr int kFrames = 500;
constexpr qint64 kFrameMs = 20;

double processMs()
{
    return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
}

QImage randomLeds(QSize size)
{
    QRandomGenerator random(12);
    const QRgb colours[] = { qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(255, 255, 0) };
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, colours[random.bounded(4)]);
    return image;
}

void benchShowLoad(QTextStream &out)
{
    QTemporaryDir dir;
    QFile page(dir.filePath("welcome.rtf"));
    page.open(QIODevice::WriteOnly);
    page.write("{\\rtf1 Welcome}");
    page.close();
    ProgramList list;
    QList<QStringList> rows;
    for (int i = 1; i <= ShowFile::kMaxRows; ++i)
        rows.append({ QString(), QString::number(i % 11), "3", "0", "1", "0", "3", "0", "1", "8",
            "1", "welcome.rtf" });
    list.replaceRows(rows);
    QString message;
    QElapsedTimer clock;
    clock.start();
    ShowFile::write(dir.filePath("big.vshow"), list, dir.path(), "English", &message);
    const qint64 saveMs = clock.elapsed();

    ProgramList loaded;
    clock.restart();
    const ShowFile::ReadResult read = ShowFile::read(dir.filePath("big.vshow"), dir.path(), "English");
    loaded.replaceRows(read.rows);
    const qint64 loadMs = clock.elapsed();
    out << "show of " << ShowFile::kMaxRows << " rows: save " << saveMs << " ms, load "
        << loadMs << " ms (goal < 1000 ms)" << (read.ok ? "" : " FAILED TO LOAD") << '\n';
}

void benchPlayback(QTextStream &out, int effect, const char *name, QSize face)
{
    const QSize leds(34 * 16, 15 * 16);
    const QImage page = randomLeds(leds);
    RowEffects e;
    e.effect = effect;
    e.speed = 1; // every frame a new step
    const EffectTimeline timeline(e, leds, leds);
    SignPreview view;
    view.resize(face);
    QImage target(face, QImage::Format_RGB32);

    QImage frame;
    double timelineMs = 0;
    const double start = processMs();
    for (int i = 0; i < kFrames; ++i) {
        const double before = processMs();
        timeline.render((i * kFrameMs) % timeline.durationMs(), page, &frame);
        timelineMs += processMs() - before;
        view.setLeds(frame);
        view.render(&target);
    }
    const double perFrame = (processMs() - start) / kFrames;
    out << "play " << name << ", 34 x 15 modules in a " << face.width() << " x " << face.height()
        << " preview (" << view.ledPitch() << " px per LED): " << QString::number(perFrame, 'f', 3)
        << " ms of processor time per frame (effect " << QString::number(timelineMs / kFrames, 'f', 3)
        << " ms), " << QString::number(100.0 * perFrame / kFrameMs, 'f', 1)
        << "% of one core at 50 frames a second (goal < 10%)\n";
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    benchShowLoad(out);
    const QSize wide(1200, 300); // the preview strip across a 1440-pixel screen
    const QSize large(1100, 500); // the preview dock made tall
    benchPlayback(out, EntryEffect::RightLeft, "rightleft", wide);
    benchPlayback(out, EntryEffect::ZoomUp, "zoomup", wide);
    benchPlayback(out, EntryEffect::Lazer, "lazer", large);
    benchPlayback(out, EntryEffect::Move, "move", large);
    return 0;
}
