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
#include "showsendjob.h"
#include "testpages.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kEnglish = QStringLiteral("English");

// Picture pages, read the way a picture page is placed: top-left pixel on LED (0, 0).
class PicturePageSampler : public PageSampler
{
public:
    std::unique_ptr<PixelSource> samplePage(
        const QString &path, qint16 textWidth, qint16 textHeight, QString *error) override
    {
        requests.append(QStringLiteral("%1 %2x%3").arg(path).arg(textWidth).arg(textHeight));
        const QImage image(path);
        if (image.isNull())
            *error = QStringLiteral("The page %1 cannot be loaded.").arg(path);
        return image.isNull() ? nullptr : std::make_unique<ImagePixelSource>(image, 0, 2);
    }
    void fitCanvasToScreen(qint16 w, qint16 h, qint16 perPixel) override
    {
        fitted.append(QStringLiteral("%1x%2/%3").arg(w).arg(h).arg(perPixel));
    }

    QStringList requests;
    QStringList fitted;
};

// A program-list row with the new-row defaults and the given size, page and speed.
QStringList row(int number, const QString &width, const QString &height, const QString &file,
    const QString &speed = QStringLiteral("3"))
{
    return { QString::number(number), "0", speed, "0", "1", "0", "3", "0", "1", width, height,
        file };
}

} // namespace

class tst_SendJobs : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        QVERIFY(TestPages::randomPage(128, 16, 1).save(m_folder->filePath("p.png")));
        m_sign = std::make_unique<LoopbackSign>();
        QVERIFY(m_sign->listen());
        m_sign->answerPieces = { QByteArray::fromHex("02000088") };
        m_prompts = RecordingPrompts();
        m_progress = RecordingProgress();
        m_sampler = PicturePageSampler();
        m_link = std::make_unique<Link>(&m_prompts);
        m_link->setSettings(
            { {}, {}, QStringLiteral("127.0.0.1,%1,1").arg(m_sign->port()), kEnglish });
    }

    void nothingToSend()
    {
        // An empty list: message 2 from both jobs, and nothing else happens.
        const ListRowSource empty;
        QCOMPARE(sendChar(empty, 1).status, JobStatus::NothingToSend);
        QCOMPARE(SendControlJob(*m_link, m_prompts, &m_sampler).run(empty, jobSettings()).status,
            JobStatus::NothingToSend);
        QCOMPARE(m_prompts.texts(), QStringList({ "Please Add The File", "Please Add The File" }));
        QVERIFY(m_progress.calls.isEmpty());
        QVERIFY(m_sampler.fitted.isEmpty());
        QCOMPARE(m_sign->connections, 0);
    }

    void sendCharOverASlowSerialLine()
    {
        // The far end reads far slower than the port writes, and answers after the first
        // kilobyte: every byte must still leave before the port is closed, and the bar follows the
        // bytes the port takes.
        PtyPeer peer;
        QVERIFY(peer.open());
        peer.readChunk = 1024;
        peer.answerAfterBytes = 1024;
        peer.answerEvents = { QByteArray::fromHex("AA") };
        m_link->setSettings({ peer.devicePath(), QStringLiteral("9600,N,8,1"), {}, kEnglish });
        const QImage page = TestPages::randomPage(34 * 16, 15 * 16, 11);
        QVERIFY(page.save(m_folder->filePath("big.png")));
        ListRowSource list;
        list.appendRow(row(1, "8", "1", "p.png"));
        list.appendRow(row(2, "34", "15", "big.png"));
        SendJobSettings settings = jobSettings(TranceKind::kRs232);
        settings.ScreenWidth = 34;
        settings.ScreenHeight = 15;

        const SendJobOutcome outcome
            = SendPictureJob(*m_link, m_prompts, m_progress, m_sampler).run(list, 2, settings);

        QVERIFY(outcome.succeeded());
        QCOMPARE(m_sampler.requests, QStringList { m_folder->path() + "/big.png 34x15" });
        QCOMPARE(uchar(outcome.packet.at(4)), uchar(4)); // the slot of row 2
        // A pseudo-terminal holds what the port took; the peer reads the rest after the close.
        QTRY_COMPARE_WITH_TIMEOUT(peer.received.size(), outcome.packet.size(), 10000);
        QCOMPARE(peer.received, outcome.packet);
        DecodedPicture decoded;
        QVERIFY(decodePicture(peer.received, &decoded));
        QCOMPARE(decoded.image, TestPages::expectedLeds(page, 34, 15));
        QCOMPARE(m_prompts.texts(), QStringList { "set succeed!" });

        const int total = int(outcome.packet.size());
        QCOMPARE(m_progress.calls.mid(0, 4),
            QStringList({ "max 1", "value 0", "label 0%", QStringLiteral("max %1").arg(total) }));
        QVERIFY(m_progress.values.size() > 4);
        QVERIFY(std::is_sorted(m_progress.values.cbegin(), m_progress.values.cend()));
        QCOMPARE(m_progress.values.last(), total);
        QCOMPARE(m_progress.calls.filter(QStringLiteral("100%")), QStringList { "label 100%" });
        QCOMPARE(m_progress.calls.last(), QStringLiteral("label 100%"));
    }

    void rowsThatCannotBeSent_data()
    {
        QTest::addColumn<int>("currentRow");
        QTest::addColumn<QStringList>("secondRow");
        QTest::addColumn<QString>("message");
        // No row clicked: message 3.
        QTest::newRow("no row clicked")
            << 0 << row(2, "8", "1", "p.png") << "Please Select One Date";
        QTest::newRow("row removed after the click")
            << 3 << row(2, "8", "1", "p.png")
            << "Row 3 is no longer in the program list; click the row to send and try again.";
        QTest::newRow("TWidth not a number")
            << 2 << row(2, "abc", "1", "p.png")
            << "Row 2: TWidth is \"abc\", which is not a whole number.";
        QTest::newRow("page file missing")
            << 2 << row(2, "8", "1", "missing.png") << "/missing.png cannot be loaded";
        QTest::newRow("no page file") << 2 << row(2, "8", "1", "") << "Row 2 names no page file.";
        QTest::newRow("page too high for a packet")
            << 2 << row(2, "8", "16", "p.png")
            << "TextHeight is 16, but the sign takes TextHeight from 0 to 15.";
    }

    void rowsThatCannotBeSent()
    {
        QFETCH(int, currentRow);
        QFETCH(QStringList, secondRow);
        QFETCH(QString, message);
        ListRowSource list;
        list.appendRow(row(1, "8", "1", "p.png"));
        list.appendRow(secondRow);
        const SendJobOutcome outcome = sendChar(list, currentRow);
        QCOMPARE(outcome.status, currentRow ? JobStatus::Refused : JobStatus::NothingToSend);
        QVERIFY(outcome.packet.isEmpty());
        QCOMPARE(m_prompts.prompts.size(), 1);
        QVERIFY2(
            m_prompts.texts().first().contains(message), qPrintable(m_prompts.texts().first()));
        QCOMPARE(m_prompts.prompts.first().icon, PromptIcon::Exclamation);
        QCOMPARE(m_progress.calls.mid(0, 3), QStringList({ "max 1", "value 0", "label 0%" }));
        QCOMPARE(m_progress.calls.last(), QStringLiteral("label 0%"));
        QCOMPARE(m_sign->connections, 0);
        QVERIFY(currentRow > 0 || m_sampler.requests.isEmpty());
    }

    void showRowTooLargeIsNotDrawn()
    {
        // 2047 x 2047 modules would be a canvas of gigabytes: refused by size, no page drawn.
        ListRowSource list;
        list.appendRow(row(1, "8", "1", "p.png"));
        list.appendRow(row(2, "2047", "2047", "p.png"));
        const ShowSendReport report = ShowSendJob(*m_link, m_sampler).run(list, jobSettings());
        QCOMPARE(report.status, ShowSendReport::Status::Refused);
        QVERIFY2(report.refusal.contains("Row 2") && report.refusal.contains("TextWidth is 2047"),
            qPrintable(report.refusal));
        QCOMPARE(m_sampler.requests.size(), 1); // row 1 only
        QCOMPARE(m_sign->connections, 0);
    }

    void sendCtrlSendsEveryRowInOrder()
    {
        ListRowSource list;
        list.appendRow(row(1, "8", "1", "a.png", "1"));
        list.appendRow(row(2, "8", "1", "b.png", "2"));
        list.appendRow(row(3, "8", "1", "c.png", "7"));
        const SendJobOutcome outcome
            = SendControlJob(*m_link, m_prompts, &m_sampler).run(list, jobSettings());
        QVERIFY(outcome.succeeded());
        QCOMPARE(m_sign->packets, QList { outcome.packet });
        QList<DecodedEffectRecord> records;
        QVERIFY(decodeControl(m_sign->packets.first(), &records));
        QCOMPARE(records.size(), 3);
        const int speeds[] = { 2, 4, 128 }; // 2 to the power of each row's Speed
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(records.at(i).slot, 3 + i);
            QCOMPARE(records.at(i).entrySpeed, speeds[i]);
        }
        QCOMPARE(m_sampler.fitted, QStringList { "8x1/16" });
        QCOMPARE(m_prompts.texts(), QStringList { "set succeed!" });
    }

    void nothingStartsWhileASendRuns()
    {
        m_sign->answerPieces = { QByteArray::fromHex("020000EE") };
        ListRowSource list;
        list.appendRow(row(1, "4", "1", "p.png"));
        RecordingPrompts otherPrompts;
        RecordingProgress otherProgress;
        SendOutcome tcp, serial;
        bool reopened = true;
        QList<JobStatus> jobs;
        m_sign->onConnection = [&] {
            tcp = m_link->SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);
            serial = m_link->SendSerial(GetColor().ClearScreen());
            reopened = m_link->OpenTrance(TranceKind::kRs232);
            jobs = { SendPictureJob(*m_link, otherPrompts, otherProgress, m_sampler)
                         .run(list, 1, jobSettings())
                         .status,
                SendControlJob(*m_link, otherPrompts).run(list, jobSettings()).status,
                ClearScreenJob(*m_link, otherPrompts).run(jobSettings()).status };
        };
        QSignalSpy busy(m_link.get(), &Link::busyChanged);

        const SendJobOutcome first = sendChar(list, 1);

        QVERIFY(tcp.refusedBusy && tcp.targets.isEmpty());
        QVERIFY(serial.refusedBusy);
        QVERIFY(!reopened);
        QCOMPARE(jobs, QList<JobStatus>(3, JobStatus::Busy));
        QVERIFY(otherPrompts.prompts.isEmpty()); // not even the clear job's question
        QVERIFY(otherProgress.calls.isEmpty()); // and the running job's bar was left alone
        QCOMPARE(m_sign->connections, 1);
        QCOMPARE(m_sign->packets.size(), 1);
        QCOMPARE(m_prompts.texts(),
            QStringList({ "A send is still running; wait until it has ended.", "set failed!" }));
        // The label reaches 100% even when the sign answers failure.
        QCOMPARE(first.status, JobStatus::Sent);
        QVERIFY(!first.succeeded());
        QCOMPARE(m_progress.calls,
            QStringList({ "max 1", "value 0", "label 0%", "value 1", "label 100%" }));
        QCOMPARE(QList<QVariantList>(busy), (QList<QVariantList> { { true }, { false } }));
    }

private:
    SendJobOutcome sendChar(const ControlRowSource &list, int row)
    {
        return SendPictureJob(*m_link, m_prompts, m_progress, m_sampler)
            .run(list, row, jobSettings());
    }

    SendJobSettings jobSettings(qint16 trance = TranceKind::kTcpIp) const
    {
        return { 8, 1, 16, trance, m_folder->path(), kEnglish }; // a sign of 8 x 1 modules
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<LoopbackSign> m_sign;
    RecordingPrompts m_prompts;
    RecordingProgress m_progress;
    PicturePageSampler m_sampler;
    std::unique_ptr<Link> m_link;
};

QTEST_MAIN(tst_SendJobs)
#include "tst_sendjobs.moc"
