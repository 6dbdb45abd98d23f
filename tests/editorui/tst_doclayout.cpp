#include "doclayout.h"

#include <QtTest>

namespace {

// A window of `client` with 16-unit bars, a canvas of `canvas`, both bars at 0..0.
DocLayoutInput window(QSize client, QSize canvas)
{
    DocLayoutInput in;
    in.client = client;
    in.canvas = canvas;
    in.hBarHeight = 16;
    in.vBarWidth = 16;
    in.hBar = QRect(0, 0, 100, 16);
    in.vBar = QRect(0, 0, 16, 100);
    return in;
}

} // namespace

class tst_DocLayout : public QObject
{
    Q_OBJECT

private slots:
    void barsAlongTheEdges()
    {
        const DocLayout out = computeDocLayout(window({ 400, 300 }, { 130, 18 }));
        QCOMPARE(out.hBar, QRect(0, 300 - 16, 400 - 16, 16));
        QCOMPARE(out.vBar, QRect(400 - 16, 0, 16, 300 - 16));
        // A window smaller than the bars keeps their lengths (10 - 16 would be negative).
        const DocLayoutInput tiny = window({ 10, 8 }, { 130, 18 });
        QCOMPARE(computeDocLayout(tiny).hBar, tiny.hBar);
        QCOMPARE(computeDocLayout(tiny).vBar, tiny.vBar);
    }

    void canvasAsWideAsTheClientScrolls()
    {
        const DocLayout out = computeDocLayout(window({ 400, 300 }, { 400, 18 }));
        QCOMPARE(out.canvasPos.x(), 0.0);
        QCOMPARE(out.h.maximum, 0);
        QCOMPARE(out.h.singleStep, 1);
        QCOMPARE(out.h.pageStep, 400);
    }

    void canvasOneNarrowerIsCentredAtAHalf()
    {
        DocLayoutInput in = window({ 400, 300 }, { 399, 18 });
        in.h.maximum = 50;
        const DocLayout out = computeDocLayout(in);
        QCOMPARE(out.canvasPos.x(), 0.5);
        QCOMPARE(out.h.minimum, 0);
        QCOMPARE(out.h.maximum, 0);
        QCOMPARE(out.canvasPos.y(), (300 - 18) / 2.0);
    }

    void largerCanvasScrollsFromTheBarValue()
    {
        DocLayoutInput in = window({ 400, 300 }, { 1026, 1000 });
        in.h.maximum = 626;
        in.h.value = 120;
        in.v.maximum = 700;
        in.v.value = 700;
        const DocLayout out = computeDocLayout(in);
        QCOMPARE(out.canvasPos, QPointF(-120, -700));
        QCOMPARE(out.h.maximum, 626);
        QCOMPARE(out.h.pageStep, 400);
        QCOMPARE(out.v.maximum, 700);
        QCOMPARE(out.v.pageStep, 300);
    }

    void pageStepIsRoundedInSinglePrecision()
    {
        const auto pageStep = [](int canvas, int client) {
            return computeDocLayout(window({ client, 100 }, { canvas, 10 })).h.pageStep;
        };
        QCOMPARE(pageStep(1000, 300), 300);
        QCOMPARE(pageStep(32767, 1), 1); // 32767 - 32767 x (32766 / 32767): 1 up to float error
        QCOMPARE(pageStep(777, 333), 333);
    }

    void rangeBeyondSixteenBitsKeepsTheOldEnd()
    {
        DocLayoutInput in = window({ 100, 100 }, { 32767, 10 });
        in.client = QSize(-20000, 100); // a client area the platform can never give, for the range
        in.h.maximum = 77;
        const DocLayout out = computeDocLayout(in);
        QCOMPARE(out.h.maximum, 77);
    }
};

QTEST_APPLESS_MAIN(tst_DocLayout)
#include "tst_doclayout.moc"
