// vantrel-agent on a broker: two sites, each an agent process with a loopback sign, and a
// client of the broker watching and publishing as an editor or mosquitto_pub would.

#include "agentfolder.h"
#include "siteagentbridge.h"
#include "sitebundle.h"
#include "sitetopics.h"
#include "testbroker.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int kWaitMs = 10000;

QByteArray bundleOf(const QString &show, const QString &extraFile = u"page.rtf"_s)
{
    return SiteBundle::encode({ u"week.vsched"_s,
        { { u"week.vsched"_s, "[Schedule]\nVersion=1\nDefault=" + show.toUtf8() + '\n' },
            { show, oneRowShow("page.rtf") }, { u"page.rtf"_s, "{\\rtf1 x}" },
            { extraFile, "{\\rtf1 x}" } } });
}

// One site: its program folder, its sign, and vantrel-agent keeping it on a.vshow.
struct Site : AgentFolder
{
    Site(const QString &name, const QString &sites)
        : AgentFolder(("[Sites]\nSite=" + name + '\n' + sites).toUtf8())
    {
        start();
    }
};

// Everything under vantrel/ and homeassistant/, as another client of the broker sees it.
struct Observer : BrokerObserver
{
    // Two clients with one id would put each other off the broker in turn.
    explicit Observer(int port, const QString &id = u"observer"_s)
        : BrokerObserver(port, { u"vantrel/#"_s, u"homeassistant/#"_s }, id)
    { }
    // The status of `site`'s only target, with the status's own "show" and "state" added.
    QString status(const QString &site) const
    {
        const QJsonObject status = json(SiteTopics::statusTopic(site));
        const QJsonObject target = status.value("targets"_L1).toArray().first().toObject();
        return status.value("state"_L1).toString() + ' ' + status.value("show"_L1).toString() + ' '
            + target.value("result"_L1).toString();
    }
};

} // namespace

class TestSiteAgent : public QObject
{
    Q_OBJECT

private slots:
    void sitesOff_data();
    void sitesOff();
    void twoSitesOnOneBroker();
};

void TestSiteAgent::sitesOff_data()
{
    QTest::addColumn<QByteArray>("sites");
    QTest::addColumn<QString>("logged"); // "" for nothing
    QTest::newRow("no Broker") << QByteArray("[Sites]\nSite=shop\nHomeAssistant=1\n") << QString();
    QTest::newRow("bad Broker") << QByteArray("[Sites]\nBroker=http://x\n")
                                << u"[Sites], key \"Broker\": \"http://x\" is not"_s;
}

// Without a broker no link is made, so nothing connects and the agent runs as before.
void TestSiteAgent::sitesOff()
{
    QFETCH(QByteArray, sites);
    QFETCH(QString, logged);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(u"BaseSet.ini"_s), sites));
    QStringList lines;
    QVERIFY(!SiteAgentBridge::open(dir.path(), [&](const QString &line) { lines << line; }));
    QCOMPARE(lines.size(), logged.isEmpty() ? 0 : 1);
    QVERIFY(lines.join('\n').contains(logged));
}

void TestSiteAgent::twoSitesOnOneBroker()
{
    TestBroker broker;
    QString why;
    if (!broker.start(&why))
        QSKIP(qPrintable(why));
    Observer observer(broker.port());
    const QString brokerLine = "Broker=" + broker.url() + '\n';
    Site one(u"one"_s, brokerLine);
    Site two(u"two"_s, brokerLine + u"HomeAssistant=1\n"_s);

    // Each status is retained: pending while the show goes out, then its result.
    QTRY_COMPARE_WITH_TIMEOUT(observer.status(u"one"_s), u"online a.vshow succeeded"_s, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(observer.status(u"two"_s), u"online a.vshow succeeded"_s, kWaitMs);
    QCOMPARE(one.sign.packetCount, 2);
    // Only the second site announces itself to Home Assistant.
    const QString sensor
        = u"homeassistant/sensor/vantrel_two/127_0_0_1_%1/config"_s.arg(two.sign.port());
    QTRY_VERIFY_WITH_TIMEOUT(observer.last.contains(sensor), kWaitMs);
    QCOMPARE(observer.json(sensor).value("state_topic"_L1), u"vantrel/two/status"_s);
    QCOMPARE(
        observer.json(u"homeassistant/text/vantrel_two/message/config"_s).value("command_topic"_L1),
        u"vantrel/two/say"_s);
    QCOMPARE(observer.last.keys().filter(u"homeassistant/"_s).size(), 2);

    // A value for one site only; a bundle for one site and a refused one for the other.
    observer.client.publish(u"vantrel/one/value/price"_s, "4.20");
    observer.client.publish(u"vantrel/one/schedule"_s, bundleOf(u"b.vshow"_s), true);
    observer.client.publish(u"vantrel/two/schedule"_s, bundleOf(u"a.vshow"_s, u"../x"_s), true);
    QVERIFY2(one.logged(u": took b.vshow."_s), qPrintable(one.log));
    QCOMPARE(one.sign.packetCount, 4);
    QFile price(one.dir.filePath(u"values/price.txt"_s));
    QVERIFY(price.open(QIODevice::ReadOnly) && price.readAll().trimmed() == "4.20");
    QVERIFY(!QFile::exists(two.dir.filePath(u"values/price.txt"_s)));
    QTRY_COMPARE_WITH_TIMEOUT(observer.status(u"one"_s), u"online b.vshow succeeded"_s, kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(
        observer.json(u"vantrel/two/error"_s).value("reason"_L1).toString().contains("\"../x\""),
        kWaitMs);
    QCOMPARE(QDir(two.dir.filePath(u"sites/schedules"_s))
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList());

    // The broker goes: the signs keep their shows, nothing is sent again; it comes back empty
    // and each site publishes its status again.
    broker.stop();
    QTest::qWait(1500);
    QVERIFY(one.agent.state() == QProcess::Running && two.agent.state() == QProcess::Running);
    QCOMPARE(one.sign.packetCount, 4);
    QCOMPARE(two.sign.packetCount, 2);
    QVERIFY(broker.start(&why));
    Observer fresh(broker.port(), u"fresh"_s);
    QTRY_COMPARE_WITH_TIMEOUT(fresh.status(u"one"_s), u"online b.vshow succeeded"_s, 3 * kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(fresh.status(u"two"_s), u"online a.vshow succeeded"_s, 3 * kWaitMs);

    // A message to every site: each sign shows it (picture and effect table), then its show
    // comes back whole.
    QVERIFY(fresh.client.publish(u"vantrel/all/say"_s, R"({"text": "Hi", "seconds": 1})"));
    QTRY_COMPARE_WITH_TIMEOUT(one.sign.packetCount, 6, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(two.sign.packetCount, 4, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(one.sign.packetCount, 8, 3 * kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(two.sign.packetCount, 6, 3 * kWaitMs);

    // Stopped, a site says goodbye; started again, its published schedule wins over the command
    // line's.
    one.stop();
    QTRY_COMPARE_WITH_TIMEOUT(fresh.status(u"one"_s), u"offline  "_s, kWaitMs);
    one.log.clear();
    one.start();
    QVERIFY2(one.logged(u"The schedule published to site one wins over"_s), qPrintable(one.log));
    QVERIFY2(one.logged(u": took b.vshow."_s), qPrintable(one.log));
    // Killed, a site cannot say goodbye: the broker's last will says it is offline.
    QTRY_COMPARE_WITH_TIMEOUT(fresh.status(u"one"_s), u"online b.vshow succeeded"_s, kWaitMs);
    one.agent.kill();
    QTRY_COMPARE_WITH_TIMEOUT(fresh.status(u"one"_s), u"offline  "_s, kWaitMs);
}

QTEST_MAIN(TestSiteAgent)
#include "tst_siteagent.moc"
