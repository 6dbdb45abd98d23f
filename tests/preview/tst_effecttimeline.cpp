// The effects the preview plays: frame k of each effect as a table, the timeline of a row
// (speeds, times, repeats, a page wider than the sign), the refusal of Speed 8, and a show
// played in row order, looping.

#include "effecttimeline.h"
#include "effecttiming.h"
#include "rowsource.h"
#include "showplayer.h"

#include <QtTest>

namespace {

const QSize kWindow(32, 16); // a sign of 2 x 1 modules
const QRgb kRed = qRgb(255, 0, 0);

// "full": every LED red; "left": the left half red.
QImage page(const QString &kind, QSize size = kWindow)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            if (kind == "full" || x < size.width() / 2)
                image.setPixel(x, y, kRed);
    return image;
}

int litCount(const QImage &image)
{
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            lit += (image.pixel(x, y) & 0xFFFFFF) != 0;
    return lit;
}

// How many LEDs `row` lights `ms` into its timeline over `page`.
int litAfter(const EffectTimeline &row, qint64 ms, const QImage &page)
{
    QImage out;
    row.render(ms, page, &out);
    return litCount(out);
}

ListRowSource rows(const QList<QStringList> &effects)
{
    ListRowSource list;
    int n = 0;
    for (const QStringList &e : effects)
        list.appendRow(
            QStringList { QString::number(++n) } + e + QStringList { "2", "1", "p.rtf" });
    return list;
}

} // namespace

class tst_EffectTimeline : public QObject
{
    Q_OBJECT

private slots:
    void frames_data()
    {
        QTest::addColumn<bool>("exit");
        QTest::addColumn<int>("effect");
        QTest::addColumn<QString>("pageKind");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("litLeds"); // of 512
        QTest::addColumn<QPoint>("litAt");
        QTest::addColumn<QPoint>("darkAt"); // (-1, -1): none to check
        const QPoint none(-1, -1);
        auto row = [](const char *name, bool exit, int effect, const char *kind, int step, int lit,
                       QPoint litAt, QPoint darkAt) {
            QTest::newRow(name) << exit << effect << QString(kind) << step << lit << litAt
                                << darkAt;
        };
        // Entry effects, from dark to the page.
        row("rightleft 0", false, 0, "full", 0, 0, none, { 31, 0 });
        row("rightleft 8", false, 0, "full", 8, 128, { 24, 0 }, { 23, 0 });
        row("rightleft end", false, 0, "full", 32, 512, { 0, 0 }, none);
        row("leftright 8", false, 1, "full", 8, 128, { 7, 0 }, { 8, 0 });
        row("downup 4", false, 2, "full", 4, 128, { 0, 12 }, { 0, 11 });
        row("updown 4", false, 3, "full", 4, 128, { 0, 3 }, { 0, 4 });
        row("stay 0", false, 4, "full", 0, 512, { 0, 0 }, none);
        row("flash 0", false, 5, "full", 0, 0, none, { 0, 0 });
        row("flash 8", false, 5, "full", 8, 512, { 0, 0 }, none);
        row("flash 16", false, 5, "full", 16, 0, none, { 0, 0 });
        row("flash 47", false, 5, "full", 47, 512, { 0, 0 }, none);
        row("shutter 4", false, 7, "full", 4, 128, { 9, 0 }, { 10, 0 });
        row("shutter 15", false, 7, "full", 15, 448, { 6, 5 }, { 7, 5 });
        row("lazer 10, beam lit", false, 8, "left", 10, 512, { 31, 0 }, none);
        row("lazer 20, beam dark", false, 8, "left", 20, 256, { 15, 0 }, { 20, 0 });
        row("zoomup 0", false, 9, "full", 0, 0, none, { 16, 8 });
        row("zoomup 16", false, 9, "full", 16, 128, { 8, 4 }, { 7, 4 });
        row("move 8", false, 10, "full", 8, 128, { 24, 0 }, { 0, 0 });
        row("move 8, odd row", false, 10, "full", 8, 128, { 0, 1 }, { 24, 1 });
        // Exit effects, from the page to dark.
        row("exit none 0", true, 0, "full", 0, 0, none, { 0, 0 });
        row("exit rightleft 8", true, 1, "full", 8, 384, { 23, 0 }, { 24, 0 });
        row("exit leftright 8", true, 2, "full", 8, 384, { 8, 0 }, { 7, 0 });
        row("exit downup 4", true, 3, "full", 4, 384, { 0, 11 }, { 0, 12 });
        row("exit updown 4", true, 4, "full", 4, 384, { 0, 4 }, { 0, 3 });
        row("exit stay 31", true, 5, "full", 31, 512, { 0, 0 }, none);
        row("exit stay 32", true, 5, "full", 32, 0, none, { 0, 0 });
    }

    void frames()
    {
        QFETCH(bool, exit);
        QFETCH(int, effect);
        QFETCH(QString, pageKind);
        QFETCH(int, step);
        QFETCH(int, litLeds);
        QFETCH(QPoint, litAt);
        QFETCH(QPoint, darkAt);
        QImage out(kWindow, QImage::Format_RGB32);
        if (exit)
            EffectTimeline::drawExit(effect, step, page(pageKind), &out);
        else
            EffectTimeline::drawEntry(effect, step, page(pageKind), &out);
        QCOMPARE(litCount(out), litLeds);
        if (litAt.x() >= 0)
            QVERIFY(out.pixel(litAt) & 0xFFFFFF);
        if (darkAt.x() >= 0)
            QVERIFY(!(out.pixel(darkAt) & 0xFFFFFF));
    }

    void speedZeroIsPlayed()
    {
        // The control packet carries Speed 0 (one step), so the preview plays it too.
        using namespace std::chrono_literals;
        QCOMPARE(EffectTiming::stepTime(0), 2ms);
        QVERIFY(EffectTimeline(RowEffects { 0, 0, 0, 1, 0, 0, 0, 1 }, kWindow, kWindow).playable());
    }

    void rowTimeline()
    {
        // The new-row defaults on a 2 x 1 sign: rightleft at speed 3 (32 steps of 20 ms), the
        // hold of Times 0, no exit animation, the dark pause of ETime 0.
        const EffectTimeline row(RowEffects {}, kWindow, kWindow);
        QVERIFY(row.playable());
        QCOMPARE(row.durationMs(), 32 * 20 + 100 + 100);
        QCOMPARE(row.positionAt(0).segment->phase, EffectTimeline::Phase::Entry);
        QCOMPARE(row.positionAt(410).step, 20);
        QCOMPARE(row.positionAt(650).segment->phase, EffectTimeline::Phase::Hold);
        QCOMPARE(row.positionAt(750).segment->phase, EffectTimeline::Phase::Pause);
        QImage out;
        row.render(410, page("full"), &out);
        QCOMPARE(out.size(), kWindow);
        QCOMPARE(litCount(out), 20 * 16);
        QCOMPARE(litAfter(row, 650, page("full")), 512);
        QCOMPARE(litAfter(row, 750, page("full")), 0);
        // Repeats: the entry and its hold twice, the exit and its pause three times.
        const EffectTimeline repeated(
            RowEffects { EntryEffect::Flash, 1, 2, 2, ExitEffect::UpDown, 7, 1, 3 }, kWindow,
            kWindow);
        const qint64 once = 48 * 5 + 2100;
        const qint64 exitOnce = 16 * 320 + 1100;
        QCOMPARE(repeated.durationMs(), 2 * once + 3 * exitOnce);
        QCOMPARE(repeated.positionAt(once).segment->repeat, 2);
        QCOMPARE(repeated.positionAt(2 * once + exitOnce + 1).segment->phase,
            EffectTimeline::Phase::Exit);
        // "unknow" plays as "stay": no entry animation, the page at once.
        const EffectTimeline unknow(RowEffects { EntryEffect::Unknow }, kWindow, kWindow);
        QCOMPARE(unknow.positionAt(0).segment->phase, EffectTimeline::Phase::Hold);
        QCOMPARE(litAfter(unknow, 0, page("full")), 512);
    }

    void pageWiderThanTheSignMovesThrough()
    {
        // A 4 x 1-module page on the 2 x 1 sign: after the entry it travels 32 LEDs left, one a
        // step, and holds with its right half in the window.
        QImage wide = page("left", QSize(64, 16)); // left half lit
        const EffectTimeline row(RowEffects { EntryEffect::Stay }, wide.size(), kWindow);
        QCOMPARE(row.segments().at(0).phase, EffectTimeline::Phase::Travel);
        QCOMPARE(row.segments().at(0).steps, 32);
        QCOMPARE(litAfter(row, 0, wide), 512); // the lit left half fills the window
        QCOMPARE(litAfter(row, 16 * 20, wide), 256);
        // Holding at the end: the dark right half.
        QCOMPARE(row.positionAt(32 * 20 + 50).segment->phase, EffectTimeline::Phase::Hold);
        QCOMPARE(litAfter(row, 32 * 20 + 50, wide), 0);
    }

    void speedEightIsNotPlayed_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("exitSpeed");
        QTest::addColumn<QString>("named");
        QTest::newRow("speed 8") << 8 << 3
                                 << "Speed 8 builds no control packet (the sign takes 0 to 7)";
        QTest::newRow("speed 25") << 25 << 3 << "Speed 25 builds no control packet";
        QTest::newRow("exit speed 9") << 7 << 9 << "ESpeed 9 builds no control packet";
    }

    void speedEightIsNotPlayed()
    {
        QFETCH(int, speed);
        QFETCH(int, exitSpeed);
        QFETCH(QString, named);
        const EffectTimeline row(RowEffects { 0, speed, 0, 1, 0, exitSpeed }, kWindow, kWindow);
        QVERIFY(!row.playable());
        QVERIFY2(row.refusal("English").contains(named), qPrintable(row.refusal("English")));
        QCOMPARE(row.durationMs(), EffectTimeline::kRefusedMs);
        QCOMPARE(litAfter(row, 0, page("full")), 0);
    }

    void showPlaysInRowOrderAndLoops()
    {
        const ListRowSource list = rows({ { "4", "3", "0", "1", "0", "3", "0", "1" },
            { "0", "8", "0", "1", "0", "3", "0", "1" },
            { "0", "1", "0", "1", "1", "1", "0", "1" } });
        QList<int> loaded;
        ShowPlayer player;
        player.setShow(
            list, kWindow,
            [&](int row) {
                loaded.append(row);
                return PreviewPage { page("full"), {} };
            },
            "English");
        QCOMPARE(player.rowCount(), 3);
        const qint64 first = 200; // stay: hold and pause of 100 ms each
        QCOMPARE(player.rowStartMs(2), first);
        QCOMPARE(player.rowStartMs(3), first + EffectTimeline::kRefusedMs);
        ShowPlayer::Frame frame = player.frameAt(0);
        QCOMPARE(frame.row, 1);
        QCOMPARE(litCount(frame.image), 512);
        frame = player.frameAt(first + 10);
        QCOMPARE(frame.row, 2);
        QVERIFY(frame.problem.contains("Speed 8 builds no control packet"));
        QVERIFY(frame.image.isNull());
        frame = player.frameAt(player.rowStartMs(3) + 5 * 8);
        QCOMPARE(frame.row, 3);
        QCOMPARE(frame.step, 8);
        QCOMPARE(litCount(frame.image), 128);
        frame = player.frameAt(player.durationMs() + 1);
        QCOMPARE(frame.row, 1);
        QCOMPARE(loaded, QList<int>({ 1, 3 })); // pages loaded as their rows came, once each
    }
};

QTEST_MAIN(tst_EffectTimeline)
#include "tst_effecttimeline.moc"
