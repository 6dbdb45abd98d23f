#include "testbroker.h"
#include "testfiles.h"

#include "bundlestore.h"
#include "mqttclient.h"
#include "sitebundle.h"
#include "sitelink.h"
#include "sitessettings.h"
#include "sitetopics.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString kEnglish = u"English"_s;
const QString kChinese = u"简体中文"_s;
constexpr int kWaitMs = 5000;

const QByteArray kPage = "{\\rtf1 x}";

SiteBundle::Contents goodBundle(
    const QByteArray &schedule = "[Schedule]\nVersion=1\nDefault=main.vshow\n")
{
    return { u"week.vsched"_s,
        { { u"week.vsched"_s, schedule }, { u"main.vshow"_s, oneRowShow("page.rtf") },
            { u"page.rtf"_s, kPage } } };
}

QByteArray withFile(const QString &name, const QByteArray &bytes)
{
    SiteBundle::Contents contents = goodBundle();
    contents.files.insert(name, bytes);
    return SiteBundle::encode(contents);
}

// Every file and folder under `folder`, hidden ones too.
QStringList tree(const QString &folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext())
        names << it.next();
    names.sort();
    return names;
}

SitesSettings localSite(int port, const QString &site)
{
    return SitesSettingsFile::parse(
        u"mqtt://127.0.0.1:%1"_s.arg(port), site, {}, {}, {}, {}, QDir::tempPath(), kEnglish)
        .settings;
}

} // namespace

class TestSites : public QObject
{
    Q_OBJECT

private slots:
    void settings_data();
    void settings();
    void payloads_data();
    void payloads();
    void bundle_data();
    void bundle();
    void bundleVersions();
    void linkOverBroker();
    void aclOfTheReadme();
    void tls_data();
    void tls();
    void cliSitesTest_data();
    void cliSitesTest();
};

void TestSites::settings_data()
{
    QTest::addColumn<QString>("ini");
    // "host port tls site homeAssistant" when read, "off" without a broker, else a part of
    // the message.
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const QString &ini, const QString &expected) {
        QTest::newRow(name) << ini << expected;
    };
    row("no broker", "Site=x", "off");
    row("mqtt", "Broker=mqtt://broker.lan\nSite=shop-1_a", "broker.lan 1883 0 shop-1_a 0");
    row("mqtts", "Broker=MQTTS://b\nSite=s\nHomeAssistant=1", "b 8883 1 s 1");
    row("port given", "Broker=mqtts://10.0.0.2:9000/\nSite=s", "10.0.0.2 9000 1 s 0");
    row("other scheme", "Broker=http://b", "\"Broker\": \"http://b\" is not a broker");
    row("password in address", "Broker=mqtt://u:pw@b", "holds a user name or password");
    row("site with a dot", "Broker=mqtt://b\nSite=shop.1", "\"Site\": \"shop.1\" is not");
    row("password, no user", "Broker=mqtt://b\nPasswordFile=BaseSet.ini", "without \"User\"");
    row("no password file", "Broker=mqtt://b\nUser=u\nPasswordFile=gone", "\"gone\" is not a file");
    row("CA file, no TLS", "Broker=mqtt://b\nCAFile=BaseSet.ini", "is not mqtts://");
    row("home assistant 2", "Broker=mqtt://b\nHomeAssistant=2", "\"2\" is neither 0 nor 1");
}

void TestSites::settings()
{
    QFETCH(QString, ini);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(u"BaseSet.ini"_s), "[Sites]\n" + ini.toUtf8()));
    const auto read = SitesSettingsFile::read(dir.filePath(u"BaseSet.ini"_s), dir.path(), kEnglish);
    const SitesSettings &s = read.settings;
    const QString summary = u"%1 %2 %3 %4 %5"_s.arg(s.host, QString::number(s.port),
        QString::number(s.tls), s.site, QString::number(s.homeAssistant));
    const QString got = !read.ok ? read.message : s.enabled ? summary : u"off"_s;
    QVERIFY2(read.ok ? got == expected : got.contains(expected) && !s.enabled, qPrintable(got));
    QVERIFY(SitesSettingsFile::parse("mqtt://b", "all", {}, {}, {}, {}, {}, kChinese)
                .message.contains(u"键“Site”：“all”不是站点名称"_s));
    QCOMPARE(SitesSettingsFile::defaultSiteName(u"Shop 12.example.com"_s), u"Shop12"_s);
}

void TestSites::payloads_data()
{
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QByteArray>("payload");
    // "text|colour|seconds" for a message, "name=value" for a value, else part of the reason.
    QTest::addColumn<QString>("expected");
    const auto row
        = [](const char *name, const QString &topic, const QByteArray &payload,
              const QString &expected) { QTest::newRow(name) << topic << payload << expected; };
    const QString say = u"vantrel/all/say"_s;
    const QString price = u"vantrel/all/value/price"_s;
    row("plain text", say, "Doorbell", u"Doorbell|red|60"_s);
    row("json", u"vantrel/shop1/say"_s, R"({"text": "门铃", "color": "Green", "seconds": 5})",
        u"门铃|green|5"_s);
    row("broken json", say, R"({"text": "x")", u"not JSON"_s);
    row("bad colour", say, R"({"text": "x", "colour": "blue"})",
        u"\"colour\": \"blue\" is not red"_s);
    row("seconds 0", say, R"({"text": "x", "seconds": 0})",
        u"\"seconds\": 0 is not a whole number"_s);
    row("say 4 KB + 1", say, QByteArray(4097, 'x'), u"4097 bytes"_s);
    row("not UTF-8", say, "\xff\xfe", u"not UTF-8"_s);
    row("value", u"vantrel/shop1/value/spaces"_s, "42\n", u"spaces=42"_s);
    row("value 1001 characters", price, QByteArray(1001, '9'), u"1001 characters"_s);
    row("value two lines", price, "1\n2", u"one line"_s);
}

void TestSites::payloads()
{
    QFETCH(QString, topic);
    QFETCH(QByteArray, payload);
    QFETCH(QString, expected);
    const SiteTopics::Incoming incoming = SiteTopics::classify(topic, u"shop1"_s);
    QString reason;
    QString got;
    if (incoming.kind == SiteTopics::Incoming::Kind::Say) {
        SiteTopics::SayRequest r;
        if (SiteTopics::parseSay(payload, kEnglish, &r, &reason))
            got = u"%1|%2|%3"_s.arg(r.text, r.colour).arg(r.seconds);
    } else {
        QCOMPARE(incoming.kind, SiteTopics::Incoming::Kind::Value);
        QString value;
        if (SiteTopics::parseValue(incoming.valueName, payload, kEnglish, &value, &reason))
            got = incoming.valueName + QLatin1Char('=') + value;
    }
    QVERIFY2(got.isEmpty() ? reason.contains(expected) : got == expected, qPrintable(got + reason));
    QCOMPARE(SiteTopics::classify(u"vantrel/shop2/say"_s, u"shop1"_s).kind,
        SiteTopics::Incoming::Kind::Other);
}

void TestSites::bundle_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("reason"); // part of it; "" for a bundle that is taken
    const QByteArray good = SiteBundle::encode(goodBundle());
    QTest::newRow("good") << good << QString();
    QTest::newRow("\"../\" name") << withFile("../evil.rtf", kPage)
                                  << u"\"../evil.rtf\" is not a plain"_s;
    QTest::newRow("absolute name") << withFile("/tmp/evil.rtf", kPage) << u"not a plain name"_s;
    QTest::newRow("backslash") << withFile("a\\b.rtf", kPage) << u"not a plain name"_s;
    QTest::newRow("control character") << withFile("a\nb.rtf", kPage) << u"not a plain name"_s;
    QTest::newRow("bad show") << withFile("main.vshow", oneRowShow("page.rtf", "3", "99"))
                              << u"Effect"_s;
    QTest::newRow("show naming a file outside")
        << withFile("main.vshow", oneRowShow("../../etc/hostname"))
        << u"main.vshow names \"../../etc/hostname\", which is not a file of the bundle"_s;
    QTest::newRow("schedule naming a file outside")
        << SiteBundle::encode(goodBundle("[Schedule]\nVersion=1\n[Entry1]\nShow=/etc/x.vshow\n"))
        << u"week.vsched names \"/etc/x.vshow\""_s;
    QTest::newRow("17 MB") << QByteArray(17 * 1024 * 1024, ' ') << u"more than the 16777216"_s;
    QTest::newRow("broken JSON") << good.left(good.size() / 2) << u"not JSON that can be read"_s;
    const QByteArray notBase64 = R"({"version":1,"schedule":"a.vsched","files":{"a.vsched":"@@"}})";
    QTest::newRow("not base64") << notBase64 << u"\"a.vsched\" is not base64"_s;
    QTest::newRow("version 2") << QByteArray(good).replace("\"version\":1", "\"version\":2")
                               << u"\"version\" is not 1"_s;
}

void TestSites::bundle()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, reason);
    QTemporaryDir program;
    BundleStore store(program.path(), kEnglish);
    const BundleStore::Result result = store.install(payload);
    if (reason.isEmpty()) {
        QCOMPARE(result.outcome, BundleStore::Result::Outcome::Installed);
        QCOMPARE(store.currentSchedule(), result.schedulePath);
        QVERIFY(result.schedulePath.startsWith(store.folder() + u"/v-1-"_s));
        QCOMPARE(tree(QFileInfo(result.schedulePath).path()).size(), 3);
        return;
    }
    QCOMPARE(result.outcome, BundleStore::Result::Outcome::Refused);
    QVERIFY2(result.reason.contains(reason), qPrintable(result.reason));
    QCOMPARE(tree(program.path()), QStringList());
}

void TestSites::bundleVersions()
{
    QTemporaryDir program;
    BundleStore store(program.path(), kEnglish);
    const QByteArray first = SiteBundle::encode(goodBundle());
    const QString one = store.install(first).schedulePath;
    QCOMPARE(store.install(first).outcome, BundleStore::Result::Outcome::Unchanged);
    const QString two = store.install(withFile("extra.txt", "2")).schedulePath;
    // A refused bundle leaves the one in force and its folder as they were.
    const QStringList before = tree(program.path());
    QCOMPARE(store.install(withFile("../x", "3")).outcome, BundleStore::Result::Outcome::Refused);
    QCOMPARE(tree(program.path()), before);
    QCOMPARE(store.currentSchedule(), two);
    QVERIFY(QFile::exists(one)); // the one before stays for a send that may still read it
    const QString three = store.install(withFile("extra.txt", "3")).schedulePath;
    QVERIFY(!QFile::exists(one));
    QVERIFY(QFile::exists(two));
    QVERIFY(three.contains(u"/v-3-"_s));
    QCOMPARE(BundleStore(program.path(), kEnglish).currentSchedule(), three);
}

void TestSites::linkOverBroker()
{
    TestBroker broker;
    START_BROKER_OR_SKIP(broker);
    QString why;
    QTemporaryDir program;
    SiteLink link(localSite(broker.port(), u"shop1"_s), program.path(), kEnglish);
    QSignalSpy connected(&link, &SiteLink::connectedChanged);
    QSignalSpy says(&link, &SiteLink::sayRequested);
    QSignalSpy values(&link, &SiteLink::valueRequested);
    QSignalSpy schedules(&link, &SiteLink::scheduleInstalled);
    QVERIFY2(link.start(&why), qPrintable(why));
    QVERIFY(connected.wait(kWaitMs));
    AgentStatus status;
    status.entry = u"Entry1"_s;
    status.targets.append({ u"127.0.0.1:5005"_s, u"/x/main.vshow"_s, u"succeeded"_s,
        QDateTime::currentDateTime(), {}, {} });
    link.setStatus(status);

    BrokerObserver observer(broker.port());
    const QString statusTopic = SiteTopics::statusTopic(u"shop1"_s);
    QTRY_COMPARE_WITH_TIMEOUT(observer.field(statusTopic, "entry"), u"Entry1"_s, kWaitMs);
    QCOMPARE(observer.field(statusTopic, "state"), u"online"_s);
    QVERIFY(observer.last.value(statusTopic).contains("\"show\":\"main.vshow\""));

    observer.client.publish(u"vantrel/shop1/say"_s, R"({"text":"Hi","seconds":3})");
    observer.client.publish(u"vantrel/all/value/spaces"_s, "42");
    observer.client.publish(u"vantrel/shop2/say"_s, "not for shop1");
    observer.client.publish(u"vantrel/all/say"_s, "{broken");
    QTRY_VERIFY_WITH_TIMEOUT(values.size() == 1, kWaitMs);
    QCOMPARE(says.size(), 1);
    QCOMPARE(says.at(0).at(0).value<SiteTopics::SayRequest>().text, u"Hi"_s);
    QCOMPARE(values.at(0), QVariantList({ u"spaces"_s, u"42"_s }));
    const QString errorTopic = SiteTopics::errorTopic(u"shop1"_s);
    QTRY_COMPARE_WITH_TIMEOUT(observer.field(errorTopic, "topic"), u"vantrel/all/say"_s, kWaitMs);

    // A bundle for all sites, then the site's own: the own one wins, also when the one for
    // all comes again.
    observer.client.publish(u"vantrel/all/schedule"_s, SiteBundle::encode(goodBundle()), true);
    QVERIFY(schedules.wait(kWaitMs));
    observer.client.publish(u"vantrel/shop1/schedule"_s, withFile("own.txt", "1"), true);
    QVERIFY(schedules.wait(kWaitMs));
    const QString own = schedules.last().at(0).toString();
    observer.client.publish(u"vantrel/all/schedule"_s, withFile("all.txt", "2"), true);
    observer.client.publish(u"vantrel/shop1/schedule"_s, withFile("../bad", "3"), true);
    QTRY_VERIFY_WITH_TIMEOUT(observer.field(errorTopic, "reason").contains("\"../bad\""), kWaitMs);
    QCOMPARE(schedules.size(), 2);
    QCOMPARE(link.currentSchedule(), own);

    // Lost, the link tries again after 1 s, 2 s, 4 s ... at most a minute apart.
    QCOMPARE(MqttClient::retryDelay(3).count(), 4);
    QCOMPARE(MqttClient::retryDelay(30).count(), 60);

    // A client destroyed while connected says nothing: whoever listens may be going too.
    int told = 0;
    auto gone = std::make_unique<BrokerObserver>(broker.port(), QStringList(), u"gone"_s);
    connect(&gone->client, &MqttClient::disconnected, [&told] { ++told; });
    QTRY_VERIFY_WITH_TIMEOUT(gone->client.isConnected(), kWaitMs);
    gone.reset();
    QCOMPARE(told, 0);
}

void TestSites::aclOfTheReadme()
{
    QFile readme(QString::fromUtf8(VANTREL_SOURCE_DIR "/README.md"));
    QVERIFY(readme.open(QIODevice::ReadOnly));
    const QByteArray text = readme.readAll();
    const qsizetype from = text.indexOf("```\npattern read vantrel/%u/say") + 4;
    QVERIFY(from > 4);
    TestBroker broker;
    broker.useUsers({ u"shop1:one"_s, u"editor:two"_s, u"homeassistant:three"_s },
        text.mid(from, text.indexOf("```", from) - from));
    START_BROKER_OR_SKIP(broker);
    QString why;
    BrokerObserver editor(broker.port(), { u"vantrel/#"_s }, u"observer"_s, u"editor"_s, u"two"_s);
    QTemporaryDir program;
    const QString passwordFile = program.filePath(u"password"_s);
    QVERIFY(writeFile(passwordFile, "one\r\nsecond line\n"));
    QString password;
    QVERIFY(SitesSettingsFile::readPassword(passwordFile, kEnglish, &password, &why));
    BrokerObserver shop(broker.port(),
        SiteTopics::subscriptions(u"shop1"_s) << u"vantrel/shop2/say"_s, u"shop1"_s, u"shop1"_s,
        password);
    BrokerObserver assistant(
        broker.port(), { u"homeassistant/#"_s }, u"ha"_s, u"homeassistant"_s, u"three"_s);
    QTRY_VERIFY_WITH_TIMEOUT(
        shop.client.isConnected() && editor.client.isConnected() && assistant.client.isConnected(),
        kWaitMs);
    QTest::qWait(200); // the subscriptions are answered
    // In order, so what would come through the ACL comes before the last.
    for (const char *topic : { "vantrel/shop2/say", "vantrel/all/value/x", "vantrel/shop1/say" })
        editor.client.publish(QLatin1String(topic), "hello");
    for (const char *topic : { "vantrel/shop2/status", "vantrel/shop1/schedule",
             "homeassistant/text/vantrel_shop2/message/config",
             "homeassistant/text/vantrel_shop1/message/config", "vantrel/shop1/status" })
        shop.client.publish(QLatin1String(topic), "from shop1");
    QTRY_COMPARE_WITH_TIMEOUT(shop.last.size(), 2, kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(editor.last.contains(u"vantrel/shop1/status"_s), kWaitMs);
    QStringList heard = shop.last.keys();
    heard.sort();
    QCOMPARE(heard, QStringList({ "vantrel/all/value/x", "vantrel/shop1/say" }));
    QCOMPARE(editor.last.keys().size(), 4); // three of its own, and the site's status
    QTRY_VERIFY_WITH_TIMEOUT(!assistant.last.isEmpty(), kWaitMs);
    QCOMPARE(
        assistant.last.keys(), QStringList({ "homeassistant/text/vantrel_shop1/message/config" }));

    // A wrong password is refused with the broker's reason.
    QVERIFY(writeFile(passwordFile, "wrong"));
    const SitesSettingsFile::ReadResult read = SitesSettingsFile::parse(
        broker.url(), u"shop1"_s, u"shop1"_s, passwordFile, {}, {}, {}, kEnglish);
    SiteLink link(read.settings, program.path(), kEnglish);
    QSignalSpy changes(&link, &SiteLink::connectedChanged);
    QVERIFY(link.start(&why));
    QVERIFY(changes.wait(kWaitMs));
    QCOMPARE(changes.at(0), QVariantList({ false, u"Connection Refused: not authorised."_s }));
}

void TestSites::tls_data()
{
    QTest::addColumn<QString>("hostAndCa"); // the broker's host name and the CAFile
    QTest::addColumn<QString>("failure"); // part of why it did not connect; "" when it does
    QTest::newRow("the broker's authority") << "127.0.0.1 ca.pem" << QString();
    QTest::newRow("another authority")
        << "127.0.0.1 other-ca.pem" << u"certificate verify failed"_s;
    QTest::newRow("another host name") << "localhost ca.pem" << u"certificate verify failed"_s;
}

void TestSites::tls()
{
    QFETCH(QString, hostAndCa);
    QFETCH(QString, failure);
    QTemporaryDir certificates;
    QString why;
    if (!TestBroker::makeCertificates(certificates.path(), &why))
        QSKIP(qPrintable(why));
    TestBroker broker;
    broker.useTls(certificates.path());
    START_BROKER_OR_SKIP(broker);
    const QStringList parts = hostAndCa.split(QLatin1Char(' '));
    const SitesSettingsFile::ReadResult read
        = SitesSettingsFile::parse(u"mqtts://%1:%2"_s.arg(parts.at(0)).arg(broker.port()),
            u"shop1"_s, {}, {}, parts.at(1), {}, certificates.path(), kEnglish);
    SiteLink link(read.settings, certificates.path(), kEnglish);
    QSignalSpy changes(&link, &SiteLink::connectedChanged);
    QVERIFY(link.start(&why));
    QVERIFY(changes.wait(kWaitMs));
    QCOMPARE(changes.at(0).at(0).toBool(), failure.isEmpty());
    QVERIFY2(changes.at(0).at(1).toString().contains(failure),
        qPrintable(changes.at(0).at(1).toString()));
}

void TestSites::cliSitesTest_data()
{
    QTest::addColumn<QString>("sites"); // the [Sites] keys; BROKER is the test broker's address
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // part of what it prints
    QTest::newRow("reached") << "Broker=BROKER\nSite=shop1\n"
                             << 0 << u"Connected to BROKER as site shop1"_s;
    QTest::newRow("not reached") << "Broker=mqtt://127.0.0.1:1\nSite=shop1\n"
                                 << 1
                                 << u"mqtt://127.0.0.1:1 was not reached: Connection refused"_s;
    QTest::newRow("sites off") << "" << 2 << u"sites are off"_s;
}

void TestSites::cliSitesTest()
{
    QFETCH(QString, sites);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    TestBroker broker;
    START_BROKER_OR_SKIP(broker);
    QTemporaryDir program;
    QVERIFY(writeFile(program.filePath(u"BaseSet.ini"_s),
        "[Sites]\n" + sites.replace(u"BROKER"_s, broker.url()).toUtf8()));
    QProcess cli;
    cli.start(QString::fromUtf8(VANTREL_CLI_PATH),
        { u"sites"_s, u"test"_s, u"--program-folder"_s, program.path() });
    QVERIFY(cli.waitForFinished(3 * kWaitMs));
    const QString printed
        = QString::fromUtf8(cli.readAllStandardOutput() + cli.readAllStandardError());
    QCOMPARE(cli.exitCode(), exitCode);
    QVERIFY2(printed.contains(output.replace(u"BROKER"_s, broker.url())), qPrintable(printed));
}

QTEST_GUILESS_MAIN(TestSites)
#include "tst_sites.moc"
