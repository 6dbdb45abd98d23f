#include "clearscreenjob.h"
#include "getcolor.h"
#include "link.h"
#include "loopbacksign.h"
#include "packetdecoder.h"
#include "pagesampler.h"
#include "ptypeer.h"
#include "recordingprompts.h"
#include "rowsource.h"
#include "sendcontroljob.h"
#include "sendpicturejob.h"
#include "testpages.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kEnglish = QStringLiteral("English");
const QByteArray kTcpSuccess("\x02\x00\x00\x88", 4);
const QByteArray kTcpFailure("\x02\x00\x00\xEE", 4);

// Picture pages, read the way a picture page is placed: top-left pixel on LED (0, 0).
class PicturePageSampler : public PageSampler
{
public:
    std::unique_ptr<PixelSource> samplePage(
        const QString &pagePath, qint16 textWidth, qint16 textHeight, QString *error) override
    {
        requests.append(QStringLiteral("%1 %2x%3").arg(pagePath).arg(textWidth).arg(textHeight));
        QImageReader reader(pagePath);
        const QImage image = reader.read();
        if (image.isNull()) {
            *error = QStringLiteral("The page %1 cannot be loaded: %2.")
                         .arg(pagePath, reader.errorString());
            return nullptr;
        }
        return std::make_unique<ImagePixelSource>(image, 0, 2);
    }
    void fitCanvasToScreen(qint16 w, qint16 h, qint16 perPixel) override
    {
        fitted.append(QStringLiteral("%1x%2/%3").arg(w).arg(h).arg(perPixel));
    }

    QStringList requests;
    QStringList fitted;
};

// A program-list row with the new-row defaults and the given size and page.
QStringList row(int number, const QString &width, const QString &height, const QString &file,
    const QString &speed = QStringLiteral("3"))
{
    return { QString::number(number), "0", speed, "0", "1", "0", "3", "0", "1", width, height,
        file };
}

using TestPages::expectedLeds;
using TestPages::randomPage;

SendJobSettings jobSettings(const QString &folder, qint16 trance = TranceKind::kTcpIp)
{
    SendJobSettings s;
    s.ScreenWidth = 8;
    s.ScreenHeight = 1;
    s.PerPixel = 16;
    s.Trance = trance;
    s.pageFolder = folder;
    s.Language = kEnglish;
    return s;
}

} // namespace

class tst_SendJobs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void emptyListShowsOnlyMessage2();
    void noRowClickedShowsMessage3();
    void sendCharSendsTheClickedRow();
    void labelReaches100EvenOnFailure();
    void rowsThatCannotBeSent_data();
    void rowsThatCannotBeSent();
    void sendCtrlSendsEveryRowInOrder();
    void clearAsksFirst();
    void pictureProgressFollowsTheSerialWrite();
    void jobsStartedDuringASendAreRefused();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<LoopbackSign> m_sign;
    RecordingPrompts m_prompts;
    RecordingProgress m_progress;
    PicturePageSampler m_sampler;
    std::unique_ptr<Link> m_link;
};

void tst_SendJobs::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_sign = std::make_unique<LoopbackSign>();
    QVERIFY(m_sign->listen());
    m_sign->answerPieces = { kTcpSuccess };
    m_prompts = RecordingPrompts();
    m_progress = RecordingProgress();
    m_sampler = PicturePageSampler();
    m_link = std::make_unique<Link>(&m_prompts);
    m_link->setSettings({ {}, {}, QStringLiteral("127.0.0.1,%1,1").arg(m_sign->port()), kEnglish });
}

void tst_SendJobs::emptyListShowsOnlyMessage2()
{
    const ListRowSource empty;
    const SendJobOutcome picture = SendPictureJob(*m_link, m_prompts, m_progress, m_sampler)
                                       .run(empty, 1, jobSettings(m_folder->path()));
    const SendJobOutcome control
        = SendControlJob(*m_link, m_prompts, &m_sampler).run(empty, jobSettings(m_folder->path()));

    QCOMPARE(picture.status, JobStatus::NothingToSend);
    QCOMPARE(control.status, JobStatus::NothingToSend);
    QCOMPARE(m_prompts.texts(), QStringList({ "Please Add The File", "Please Add The File" }));
    for (const RecordingPrompts::Prompt &p : m_prompts.prompts) {
        QCOMPARE(p.icon, PromptIcon::Information);
        QCOMPARE(p.title, QStringLiteral("Information"));
    }
    QVERIFY(m_progress.calls.isEmpty());
    QVERIFY(m_sampler.requests.isEmpty());
    QVERIFY(m_sampler.fitted.isEmpty());
    QCOMPARE(m_sign->connections, 0);
}

void tst_SendJobs::noRowClickedShowsMessage3()
{
    ListRowSource list;
    list.appendRow(row(1, "8", "1", "page.png"));
    const SendJobOutcome outcome = SendPictureJob(*m_link, m_prompts, m_progress, m_sampler)
                                       .run(list, 0, jobSettings(m_folder->path()));

    QCOMPARE(outcome.status, JobStatus::NothingToSend);
    QCOMPARE(m_prompts.texts(), QStringList { "Please Select One Date" });
    QCOMPARE(m_prompts.prompts.first().icon, PromptIcon::Exclamation);
    QCOMPARE(m_progress.calls, QStringList({ "max 1", "value 0", "label 0%" }));
    QVERIFY(m_sampler.requests.isEmpty());
    QCOMPARE(m_sign->connections, 0);
}

void tst_SendJobs::sendCharSendsTheClickedRow()
{
    const QImage page = randomPage(8 * 16, 16, 7);
    QVERIFY(page.save(m_folder->filePath("second.png")));
    ListRowSource list;
    list.appendRow(row(1, "4", "1", "first.png"));
    list.appendRow(row(2, "8", "1", "second.png"));

    const SendJobOutcome outcome = SendPictureJob(*m_link, m_prompts, m_progress, m_sampler)
                                       .run(list, 2, jobSettings(m_folder->path()));

    QCOMPARE(outcome.status, JobStatus::Sent);
    QVERIFY(outcome.succeeded());
    QCOMPARE(m_sampler.requests, QStringList { m_folder->path() + "/second.png 8x1" });
    QCOMPARE(uchar(outcome.packet.at(4)), uchar(4)); // slot of row 2
    QCOMPARE(m_sign->packets, QList<QByteArray> { outcome.packet });
    DecodedPicture decoded;
    QVERIFY(decodePicture(m_sign->packets.first(), &decoded));
    QCOMPARE(decoded.image, expectedLeds(page, 8, 1));
    QCOMPARE(m_prompts.texts(), QStringList { "set succeed!" });
    QCOMPARE(m_progress.label, QStringLiteral("100%"));
    QCOMPARE(m_progress.value, m_progress.maximum);
}

void tst_SendJobs::labelReaches100EvenOnFailure()
{
    QVERIFY(randomPage(64, 16, 3).save(m_folder->filePath("p.png")));
    ListRowSource list;
    list.appendRow(row(1, "4", "1", "p.png"));
    m_sign->answerPieces = { kTcpFailure };

    const SendJobOutcome outcome = SendPictureJob(*m_link, m_prompts, m_progress, m_sampler)
                                       .run(list, 1, jobSettings(m_folder->path()));

    QCOMPARE(outcome.status, JobStatus::Sent);
    QVERIFY(!outcome.succeeded());
    QCOMPARE(m_prompts.texts(), QStringList { "set failed!" });
    QCOMPARE(
        m_progress.calls, QStringList({ "max 1", "value 0", "label 0%", "value 1", "label 100%" }));

    // Nobody listening: the link reports it, and the label still ends at 100%.
    m_link->setSettings({ {}, {}, QStringLiteral("127.0.0.1,%1,1").arg(refusedPort()), kEnglish });
    m_prompts.prompts.clear();
    SendPictureJob(*m_link, m_prompts, m_progress, m_sampler)
        .run(list, 1, jobSettings(m_folder->path()));
    QCOMPARE(m_prompts.texts().size(), 1);
    QVERIFY(m_prompts.texts().first().endsWith(QLatin1String("]IP Link Error!")));
    QCOMPARE(m_progress.label, QStringLiteral("100%"));
}

void tst_SendJobs::rowsThatCannotBeSent_data()
{
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<QStringList>("secondRow");
    QTest::addColumn<QString>("message");

    QTest::newRow("row removed after the click")
        << 3 << row(2, "8", "1", "p.png")
        << "Row 3 is no longer in the program list; click the row to send and try again.";
    QTest::newRow("TWidth not a number")
        << 2 << row(2, "abc", "1", "p.png")
        << "Row 2: TWidth is \"abc\", which is not a whole number.";
    QTest::newRow("THeight beyond 16 bits")
        << 2 << row(2, "8", "70000", "p.png")
        << "Row 2: THeight is \"70000\", which is not a whole number.";
    QTest::newRow("page file missing")
        << 2 << row(2, "8", "1", "missing.png") << "The page %1/missing.png cannot be loaded";
    QTest::newRow("no page file") << 2 << row(2, "8", "1", "") << "Row 2 names no page file.";
    QTest::newRow("page too high for a packet")
        << 2 << row(2, "8", "16", "p.png")
        << "TextHeight is 16, but the sign takes TextHeight from 0 to 15.";
    QTest::newRow("page too large for a packet")
        << 2 << row(2, "100", "10", "p.png") << "TextWidth × TextHeight is 1000";
}

void tst_SendJobs::rowsThatCannotBeSent()
{
    QFETCH(int, currentRow);
    QFETCH(QStringList, secondRow);
    QFETCH(QString, message);
    QVERIFY(randomPage(128, 16, 1).save(m_folder->filePath("p.png")));
    ListRowSource list;
    list.appendRow(row(1, "8", "1", "p.png"));
    list.appendRow(secondRow);

    const SendJobOutcome outcome = SendPictureJob(*m_link, m_prompts, m_progress, m_sampler)
                                       .run(list, currentRow, jobSettings(m_folder->path()));

    QCOMPARE(outcome.status, JobStatus::Refused);
    QVERIFY(outcome.packet.isEmpty());
    QCOMPARE(m_prompts.prompts.size(), 1);
    const QString expected
        = message.contains(QLatin1String("%1")) ? message.arg(m_folder->path()) : message;
    QVERIFY2(m_prompts.texts().first().contains(expected), qPrintable(m_prompts.texts().first()));
    QCOMPARE(m_prompts.prompts.first().icon, PromptIcon::Exclamation);
    QCOMPARE(m_progress.label, QStringLiteral("0%"));
    QCOMPARE(m_sign->connections, 0);
}

void tst_SendJobs::sendCtrlSendsEveryRowInOrder()
{
    ListRowSource list;
    list.appendRow(row(1, "8", "1", "a.png", "1"));
    list.appendRow(row(2, "8", "1", "b.png", "2"));
    list.appendRow(row(3, "8", "1", "c.png", "7"));

    const SendJobOutcome outcome
        = SendControlJob(*m_link, m_prompts, &m_sampler).run(list, jobSettings(m_folder->path()));

    QCOMPARE(outcome.status, JobStatus::Sent);
    QVERIFY(outcome.succeeded());
    QCOMPARE(outcome.packet, GetColor().CtrlCommandSend(list, 3, QStringLiteral("1,2,3,")).bytes);
    QCOMPARE(m_sign->packets, QList<QByteArray> { outcome.packet });
    QList<DecodedEffectRecord> records;
    QVERIFY(decodeControl(m_sign->packets.first(), &records));
    QCOMPARE(records.size(), 3);
    QCOMPARE(records.at(0).slot, 3);
    QCOMPARE(records.at(1).slot, 4);
    QCOMPARE(records.at(2).slot, 5);
    QCOMPARE(records.at(0).entrySpeed, 2);
    QCOMPARE(records.at(1).entrySpeed, 4);
    QCOMPARE(records.at(2).entrySpeed, 128);
    QCOMPARE(m_sampler.fitted, QStringList { "8x1/16" });
    QVERIFY(m_progress.calls.isEmpty());
    QCOMPARE(m_prompts.texts(), QStringList { "set succeed!" });
}

void tst_SendJobs::clearAsksFirst()
{
    m_prompts.confirmAnswer = false;
    const SendJobOutcome cancelled = ClearScreenJob(*m_link, m_prompts).run(jobSettings({}));
    QCOMPARE(cancelled.status, JobStatus::Cancelled);
    QCOMPARE(m_sign->connections, 0);
    QCOMPARE(m_prompts.prompts.size(), 1);
    QVERIFY(m_prompts.prompts.first().question);
    QCOMPARE(m_prompts.texts().first(), QStringLiteral("Are you sure to Clear the Screen?"));

    m_prompts.confirmAnswer = true;
    const SendJobOutcome sent = ClearScreenJob(*m_link, m_prompts).run(jobSettings({}));
    QCOMPARE(sent.status, JobStatus::Sent);
    QVERIFY(sent.succeeded());
    QCOMPARE(m_sign->packets, QList<QByteArray> { GetColor().ClearScreen() });
    QCOMPARE(m_prompts.texts(),
        QStringList({ "Are you sure to Clear the Screen?", "Are you sure to Clear the Screen?",
            "set succeed!" }));
}

void tst_SendJobs::pictureProgressFollowsTheSerialWrite()
{
    PtyPeer peer;
    QVERIFY(peer.open());
    peer.readChunk = 1024;
    peer.answerEvents = { QByteArray(1, char(0xAA)) };
    m_link->setSettings({ peer.devicePath(), QStringLiteral("9600,N,8,1"), {}, kEnglish });
    const QImage page = randomPage(34 * 16, 15 * 16, 11);
    QVERIFY(page.save(m_folder->filePath("big.png")));
    ListRowSource list;
    list.appendRow(row(1, "34", "15", "big.png"));
    SendJobSettings settings = jobSettings(m_folder->path(), TranceKind::kRs232);
    settings.ScreenWidth = 34;
    settings.ScreenHeight = 15;

    const SendJobOutcome outcome
        = SendPictureJob(*m_link, m_prompts, m_progress, m_sampler).run(list, 1, settings);

    QVERIFY(outcome.succeeded());
    QCOMPARE(peer.packets, QList<QByteArray> { outcome.packet });
    DecodedPicture decoded;
    QVERIFY(decodePicture(peer.packets.first(), &decoded));
    QCOMPARE(decoded.image, expectedLeds(page, 34, 15));

    const int total = int(outcome.packet.size());
    QCOMPARE(m_progress.calls.mid(0, 4),
        QStringList({ "max 1", "value 0", "label 0%", QStringLiteral("max %1").arg(total) }));
    QCOMPARE(m_progress.calls.last(), QStringLiteral("label 100%"));
    QCOMPARE(m_progress.maximum, total);
    QCOMPARE(m_progress.value, total);
    // Several steps in between, never backwards, and "100%" only at the end.
    QVERIFY(m_progress.values.size() > 4);
    for (int i = 1; i < m_progress.values.size(); ++i)
        QVERIFY(m_progress.values.at(i) >= m_progress.values.at(i - 1));
    const QStringList labels = m_progress.calls.filter(QStringLiteral("label"));
    QCOMPARE(labels.filter(QStringLiteral("100%")).size(), 1);
}

void tst_SendJobs::jobsStartedDuringASendAreRefused()
{
    QVERIFY(randomPage(64, 16, 5).save(m_folder->filePath("p.png")));
    ListRowSource list;
    list.appendRow(row(1, "4", "1", "p.png"));
    RecordingProgress otherProgress;
    RecordingPrompts otherPrompts;
    QList<JobStatus> others;
    m_sign->onConnection = [&] {
        others.append(SendPictureJob(*m_link, otherPrompts, otherProgress, m_sampler)
                          .run(list, 1, jobSettings(m_folder->path()))
                          .status);
        others.append(
            SendControlJob(*m_link, otherPrompts).run(list, jobSettings(m_folder->path())).status);
        others.append(ClearScreenJob(*m_link, otherPrompts).run(jobSettings({})).status);
    };

    const SendJobOutcome first = SendPictureJob(*m_link, m_prompts, m_progress, m_sampler)
                                     .run(list, 1, jobSettings(m_folder->path()));

    QVERIFY(first.succeeded());
    QCOMPARE(others, QList<JobStatus>({ JobStatus::Busy, JobStatus::Busy, JobStatus::Busy }));
    QVERIFY(otherPrompts.prompts.isEmpty()); // not even the clear job's question
    QVERIFY(otherProgress.calls.isEmpty()); // the running job's bar was left alone
    QCOMPARE(m_sign->packets.size(), 1);
    QCOMPARE(m_progress.label, QStringLiteral("100%"));
}

QTEST_MAIN(tst_SendJobs)
#include "tst_sendjobs.moc"
