#include "getcolor.h"
#include "signstream.h"
#include "testpages.h"
#include "virtualsign.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray picture(const QImage &page, int w, int h, int row)
{
    const PacketResult r = GetColor().SendPicMod(
        ImagePixelSource(page, 0, 2), qint16(w), qint16(h), qint16(w), qint16(h), 16, qint16(row));
    return r.bytes;
}

QByteArray control(int rows)
{
    ListRowSource list;
    for (int i = 1; i <= rows; ++i)
        list.appendRow({ QString::number(i), "1", QString::number(i), "2", "3", "2", "1", "0", "1",
            "8", "1", "p.png" });
    return GetColor().CtrlCommandSend(list, qint16(rows), GetColor::allRowNumbers(rows)).bytes;
}

// A sign stream whose answers are collected.
struct Harness
{
    explicit Harness(VirtualSign::AnswerMode mode = VirtualSign::AnswerMode::Ok)
        : sign(mode)
        , stream(sign, SignAnswerCodes::serial(), QStringLiteral("test"),
              [this](const QByteArray &a) { answers += a; })
    { }
    VirtualSign sign;
    QByteArray answers;
    SignStream stream;
};

const char kSuccess = char(0xAA);
const char kFailure = char(0xDD);

} // namespace

class tst_VirtualSign : public QObject
{
    Q_OBJECT

private slots:
    void pagesMatchWhatWasSentPixelForPixel_data();
    void pagesMatchWhatWasSentPixelForPixel();
    void packetsBackToBackInOneRead();
    void controlPacketReplacesTheEffectTable();
    void malformedBytesAreAnsweredWithFailure_data();
    void malformedBytesAreAnsweredWithFailure();
    void answerModes();
    void incompletePacketIsDroppedAfterAQuietGap();
    void outputFolderShowsTheState();
};

void tst_VirtualSign::pagesMatchWhatWasSentPixelForPixel_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("pieceSize");
    QTest::newRow("8x1 whole") << 8 << 1 << 0;
    QTest::newRow("8x1 byte by byte") << 8 << 1 << 1;
    QTest::newRow("34x15 in odd pieces") << 34 << 15 << 997;
    QTest::newRow("1x1 all dark") << 1 << 1 << 5;
    QTest::newRow("127x4") << 127 << 4 << 4096;
}

void tst_VirtualSign::pagesMatchWhatWasSentPixelForPixel()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, pieceSize);
    const QImage page
        = TestPages::randomPage(width * 16, height * 16, quint32(width * 100 + height));
    const QByteArray packet = picture(page, width, height, 2);
    QVERIFY(!packet.isEmpty());

    Harness h;
    const int step = pieceSize > 0 ? pieceSize : int(packet.size());
    for (int i = 0; i < packet.size(); i += step)
        h.stream.feed(packet.mid(i, step));

    QCOMPARE(h.answers, QByteArray(1, kSuccess));
    QCOMPARE(h.sign.pages().keys(), QList<int> { 4 });
    QCOMPARE(h.sign.pages().value(4), TestPages::expectedLeds(page, width, height));
}

void tst_VirtualSign::packetsBackToBackInOneRead()
{
    const QImage page = TestPages::randomPage(128, 16, 9);
    Harness h;
    h.stream.feed(picture(page, 8, 1, 1) + control(2) + picture(page, 8, 1, 3)
        + GetColor().ClearScreen() + picture(page, 8, 1, 5));
    QCOMPARE(h.answers, QByteArray(5, kSuccess));
    // The clear-screen packet emptied what came before it.
    QCOMPARE(h.sign.pages().keys(), QList<int> { 7 });
    QVERIFY(h.sign.effects().isEmpty());
    QCOMPARE(h.sign.log().size(), 5);
}

void tst_VirtualSign::controlPacketReplacesTheEffectTable()
{
    Harness h;
    h.stream.feed(control(3));
    QCOMPARE(h.sign.effects().keys(), QList<int>({ 3, 4, 5 }));
    QCOMPARE(h.sign.effects().value(4).entrySpeed, 4); // 2 to the power of Speed 2
    h.stream.feed(control(1));
    QCOMPARE(h.sign.effects().keys(), QList<int> { 3 });
    QCOMPARE(h.answers, QByteArray(2, kSuccess));
}

void tst_VirtualSign::malformedBytesAreAnsweredWithFailure_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("failures");
    QByteArray badEnd = control(1);
    badEnd[badEnd.size() - 3] = 0x04;
    QByteArray badClear = GetColor().ClearScreen();
    badClear[16] = 0x00;
    QTest::newRow("bytes that start no packet") << QByteArray("hello") << 1;
    QTest::newRow("unknown packet type") << QByteArray("\x02\x99", 2) << 1;
    QTest::newRow("wrong end marker") << badEnd << 1;
    QTest::newRow("clear command not CC EE") << badClear << 1;
}

void tst_VirtualSign::malformedBytesAreAnsweredWithFailure()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, failures);
    Harness h;
    h.stream.feed(control(1));
    h.stream.feed(bytes);
    QCOMPARE(h.answers, QByteArray(1, kSuccess) + QByteArray(failures, kFailure));
    QCOMPARE(h.sign.effects().size(), 1); // unchanged
    QVERIFY(h.sign.log().last().contains(QLatin1String("failure")));
    // The stream is in step again for the next packet.
    h.stream.feed(GetColor().ClearScreen());
    QCOMPARE(h.answers.right(1), QByteArray(1, kSuccess));
}

void tst_VirtualSign::answerModes()
{
    Harness failing(VirtualSign::AnswerMode::Fail);
    failing.stream.feed(control(2) + GetColor().ClearScreen());
    QCOMPARE(failing.answers, QByteArray(2, kFailure));
    QVERIFY(failing.sign.effects().isEmpty()); // a sign that fails keeps nothing

    Harness silent(VirtualSign::AnswerMode::None);
    silent.stream.feed(control(2) + QByteArray("junk"));
    QVERIFY(silent.answers.isEmpty());
    QCOMPARE(silent.sign.effects().size(), 2);
    QVERIFY(silent.sign.log().first().contains(QLatin1String("success, not answered")));
}

void tst_VirtualSign::incompletePacketIsDroppedAfterAQuietGap()
{
    Harness h;
    const QByteArray packet = control(2);
    h.stream.feed(packet.left(40));
    QVERIFY(h.answers.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(h.sign.log().size(), 1, 10000);
    QVERIFY2(h.sign.log().first().contains(QLatin1String("incomplete 40")),
        qPrintable(h.sign.log().first()));
    QVERIFY(h.answers.isEmpty());
    // The tail that comes much later is not mistaken for a packet start.
    h.stream.feed(packet);
    QCOMPARE(h.answers, QByteArray(1, kSuccess));
    QCOMPARE(h.sign.effects().size(), 2);
}

void tst_VirtualSign::outputFolderShowsTheState()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("signout"));
    Harness h;
    QString error;
    QVERIFY2(h.sign.setOutputFolder(out, &error), qPrintable(error));
    const QImage page = TestPages::randomPage(64, 16, 4);

    h.stream.feed(picture(page, 4, 1, 1) + control(1));
    QImage written(out + QStringLiteral("/slot-3.png"));
    QCOMPARE(written.convertToFormat(QImage::Format_RGB32), TestPages::expectedLeds(page, 4, 1));
    QFile effects(out + QStringLiteral("/effects.txt"));
    QVERIFY(effects.open(QIODevice::ReadOnly));
    QVERIFY(effects.readAll().startsWith("slot 3 entry effect 2 speed 2 time 21 repeat 3;"));

    h.stream.feed(GetColor().ClearScreen());
    QVERIFY(!QFile::exists(out + QStringLiteral("/slot-3.png")));

    QFile log(out + QStringLiteral("/packets.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines.at(0).contains(" picture 277 slot 3 success via test"), lines.at(0).constData());
    QVERIFY2(lines.at(1).contains(" control 68 slot 3 success"), lines.at(1).constData());
    QVERIFY2(lines.at(2).contains(" clear 19 slot - success"), lines.at(2).constData());
    QVERIFY(h.sign.takeWriteProblem().isEmpty());

    // A new sign on the same folder appends to the log.
    Harness again;
    QVERIFY(again.sign.setOutputFolder(out, &error));
    again.stream.feed(GetColor().ClearScreen());
    log.close();
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll().trimmed().split('\n').size(), 4);
}

QTEST_GUILESS_MAIN(tst_VirtualSign)
#include "tst_virtualsign.moc"
