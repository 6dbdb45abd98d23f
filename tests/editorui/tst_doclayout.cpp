#include "doclayout.h"

#include <QtTest>

class tst_DocLayout : public QObject
{
    Q_OBJECT

private slots:
    void barsAlongTheEdges()
    {
        DocLayoutInput in;
        in.hBarHeight = in.vBarWidth = 16;
        in.hBar = QRect(0, 0, 100, 16);
        in.vBar = QRect(0, 0, 16, 100);
        in.client = QSize(400, 300);
        DocLayout out = computeDocLayout(in);
        QCOMPARE(out.hBar, QRect(0, 300 - 16, 400 - 16, 16));
        QCOMPARE(out.vBar, QRect(400 - 16, 0, 16, 300 - 16));
        // A window smaller than the bars keeps their lengths (10 - 16 would be negative).
        in.client = QSize(10, 8);
        out = computeDocLayout(in);
        QCOMPARE(out.hBar, in.hBar);
        QCOMPARE(out.vBar, in.vBar);
    }

    // One axis: where the canvas goes and what the bar becomes, from the bar as it was.
    void horizontalAxis_data()
    {
        QTest::addColumn<int>("client");
        QTest::addColumn<int>("canvas");
        QTest::addColumn<int>("oldMaximum");
        QTest::addColumn<int>("oldValue");
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("pageStep");
        QTest::newRow("as wide: scrolls") << 400 << 400 << 0 << 0 << 0.0 << 0 << 400;
        QTest::newRow("one narrower: centred") << 400 << 399 << 50 << 0 << 0.5 << 0 << 10;
        // 32767 - 32767 x (32766 / 32767): 1 up to float error.
        QTest::newRow("page step in single precision") << 1 << 32767 << 0 << 0 << 0.0 << 32766 << 1;
        QTest::newRow("777 by 333") << 333 << 777 << 0 << 0 << 0.0 << 444 << 333;
        // A client area the platform can never give, for a range beyond 16 bits.
        QTest::newRow("range beyond 16 bits") << -20000 << 32767 << 77 << 0 << 0.0 << 77 << 10;
    }
    void horizontalAxis()
    {
        QFETCH(int, client);
        QFETCH(int, canvas);
        DocLayoutInput in;
        in.client = QSize(client, 300);
        in.canvas = QSize(canvas, 18);
        in.h.pageStep = 10;
        QFETCH(int, oldMaximum);
        QFETCH(int, oldValue);
        in.h.maximum = oldMaximum;
        in.h.value = oldValue;
        const DocLayout out = computeDocLayout(in);
        QTEST(double(out.canvasPos.x()), "x");
        QTEST(out.h.maximum, "maximum");
        QTEST(out.h.pageStep, "pageStep");
        QCOMPARE(out.canvasPos.y(), (300 - 18) / 2.0);
    }
};

QTEST_APPLESS_MAIN(tst_DocLayout)
#include "tst_doclayout.moc"
