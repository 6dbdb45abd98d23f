#include "testbroker.h"
#include "testfiles.h"
#include "windowfixture.h"

#include "mainstatusbar.h"

#include "bundlebuilder.h"
#include "classinifile.h"
#include "sitesdialog.h"
#include "sitespane.h"
#include "sitestable.h"

#include <QCheckBox>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString kEnglish = u"English"_s;
constexpr int kWaitMs = 5000;

void writeInFolder(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()) && writeFile(path, bytes));
}

// A schedule in `folder`/plans naming a show in `folder`/shows, whose pages are in
// `folder`/pages and `folder`/more: every path relative, none plain.
QString writeSchedule(const QString &folder)
{
    writeInFolder(folder + "/plans/week.vsched",
        "[Schedule]\nVersion=1\nDefault=../shows/main.vshow\n\n[Entry1]\nShow=../shows/main.vshow\n"
        "Days=Mon-Fri\n");
    writeInFolder(folder + "/shows/main.vshow", oneRowShow("../pages/menu.rtf"));
    writeInFolder(folder + "/pages/menu.rtf", "{\\rtf1 menu}");
    return folder + "/plans/week.vsched";
}

// "name state schedule entry succeeded/failed error?" per site after "All sites".
QString summary(const SitesTable &table)
{
    QStringList rows;
    for (const SitesTable::Site &s : table.sites().mid(1)) {
        rows << u"%1 %2 %3 %4 %5/%6%7"_s.arg(s.name, s.state, s.schedule, s.entry)
                    .arg(s.succeeded)
                    .arg(s.failed)
                    .arg(s.error.isEmpty() ? QString() : u" error"_s);
    }
    return rows.join(u"; "_s);
}

} // namespace

class TestSitesWindow : public QObject
{
    Q_OBJECT

private slots:
    void tableFromStatus_data();
    void tableFromStatus();
    void bundleBuilder_data();
    void bundleBuilder();
    void sitesDialog();
    void mainWindow();
};

void TestSitesWindow::tableFromStatus_data()
{
    QTest::addColumn<QStringList>("messages"); // "topic payload" each
    QTest::addColumn<QString>("expected");
    const QString online
        = uR"(vantrel/shop-1/status {"state":"online","schedule":"week.vsched",)"
          uR"("entry":"Entry1","targets":[{"result":"succeeded"},)"
          uR"({"result":"not reached"},{"result":"pending"},{"result":"succeeded"}]})"_s;
    QTest::newRow("online") << QStringList { online } << u"shop-1 online week.vsched Entry1 2/1"_s;
    QTest::newRow("offline by the will keeps the rest")
        << QStringList { online, uR"(vantrel/shop-1/status {"state":"offline"})"_s }
        << u"shop-1 offline week.vsched Entry1 2/1"_s;
    QTest::newRow("an update replaces") << QStringList {
        online,
        uR"(vantrel/shop-1/status {"state":"online","schedule":"w2.vsched","entry":"Default","targets":[]})"_s
    } << u"shop-1 online w2.vsched Default 0/0"_s;
    QTest::newRow("two sites in order heard")
        << QStringList { uR"(vantrel/b/status {"state":"online"})"_s, online }
        << u"b online   0/0; shop-1 online week.vsched Entry1 2/1"_s;
    QTest::newRow("unreadable status keeps what was known") << QStringList {
        online, u"vantrel/shop-1/status {broken"_s, uR"(vantrel/shop-1/status {"state":"away"})"_s
    } << u"shop-1 online week.vsched Entry1 2/1 error"_s;
    QTest::newRow("a cleared status removes the site")
        << QStringList { online, u"vantrel/shop-1/status"_s } << QString();
    QTest::newRow("other topics are passed over") << QStringList {
        uR"(vantrel/all/status {"state":"online"})"_s, uR"(vantrel/x/say {"state":"online"})"_s,
        uR"(vantrel/x/y/status {"state":"online"})"_s, uR"(other/x/status {"state":"online"})"_s
    } << QString();
}

void TestSitesWindow::tableFromStatus()
{
    QFETCH(QStringList, messages);
    QFETCH(QString, expected);
    SitesTable table;
    const QDateTime now = QDateTime::currentDateTime();
    for (const QString &message : messages)
        table.takeMessage(message.section(' ', 0, 0), message.section(' ', 1).toUtf8(), now);
    QCOMPARE(summary(table), expected);
    QCOMPARE(table.siteAt(0), u"all"_s);
    QCOMPARE(table.rowCount(), table.sites().size());
}

void TestSitesWindow::bundleBuilder_data()
{
    QTest::addColumn<QString>("extra"); // what to do to the good files first
    QTest::addColumn<QString>("expected"); // the bundle's names, or a part of the reason
    QTest::newRow("good") << QString() << u"main.vshow menu.rtf week.vsched"_s;
    QTest::newRow("a missing page") << u"remove pages/menu.rtf"_s << u"does not exist"_s;
    QTest::newRow("a name collision") << u"collide"_s << u"would both be \"menu.rtf\""_s;
    QTest::newRow("a bad show") << u"break show"_s << u"key \"Speed\": \"x\""_s;
}

void TestSitesWindow::bundleBuilder()
{
    QFETCH(QString, extra);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString schedule = writeSchedule(dir.path());
    if (extra.startsWith("remove "))
        QFile::remove(dir.filePath(extra.mid(7)));
    if (extra == "collide") {
        writeInFolder(dir.filePath("more/menu.rtf"), "{\\rtf1 other}");
        writeInFolder(dir.filePath("shows/main.vshow"),
            oneRowShow("../pages/menu.rtf") + "\n[Row2]\nFile Path=../more/menu.rtf\n");
    }
    if (extra == "break show")
        writeInFolder(dir.filePath("shows/main.vshow"),
            oneRowShow("../pages/menu.rtf").replace("Speed=3", "Speed=x"));

    const BundleBuilder::Result result = BundleBuilder::build(schedule, kEnglish);
    if (!result.ok) {
        QVERIFY2(result.reason.contains(expected), qPrintable(result.reason));
        QVERIFY(result.contents.files.isEmpty());
        return;
    }
    QCOMPARE(result.contents.files.keys().join(' '), expected);
    QCOMPARE(result.contents.schedule, u"week.vsched"_s);
    // Names rewritten to plain ones, and the bundle reads back as a site reads it.
    const SiteBundle::ParseResult back
        = SiteBundle::parse(SiteBundle::encode(result.contents), kEnglish);
    QVERIFY2(back.ok, qPrintable(back.reason));
    QVERIFY(back.contents.files.value("week.vsched").contains("Show=main.vshow"));
    QVERIFY(back.contents.files.value("week.vsched").contains("Default=main.vshow"));
    QVERIFY(back.contents.files.value("main.vshow").contains("File Path=menu.rtf"));
    QCOMPARE(back.contents.files.value("menu.rtf"), QByteArray("{\\rtf1 menu}"));
}

// Set > Sites: a bad value is named and nothing written; OK writes [Sites] and leaves the
// rest; "Test connection" answers without blocking, for a broker there and one gone.
void TestSitesWindow::sitesDialog()
{
    TestBroker broker;
    START_BROKER_OR_SKIP(broker);
    QTemporaryDir dir;
    const QString ini = dir.filePath("BaseSet.ini");
    writeInFolder(ini, "[Base]\nTrance=2\n\n[Sites]\nBroker=mqtt://old\nExtra=kept\n");
    SitesDialog dialog(ini, dir.path(), dir.path(), kEnglish);
    QCOMPARE(dialog.TxtBroker()->text(), u"mqtt://old"_s);

    QSignalSpy saved(&dialog, &SitesDialog::saved);
    dialog.TxtBroker()->setText(u"http://x"_s);
    dialog.CmdOK()->click();
    QVERIFY(dialog.LblSitesMessage()->text().contains("key \"Broker\": \"http://x\""));
    QCOMPARE(saved.count(), 0);
    classIniFile file;
    file.setINIFileName(ini);
    QCOMPARE(file.GetIniKey("Sites", "Broker"), u"mqtt://old"_s);

    dialog.TxtBroker()->setText(broker.url());
    dialog.TxtSite()->setText(u"office"_s);
    dialog.CmdTest()->click();
    QVERIFY(!dialog.CmdTest()->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(dialog.CmdTest()->isEnabled(), kWaitMs);
    QVERIFY2(dialog.LblSitesMessage()->text().startsWith("Connected to " + broker.url()),
        qPrintable(dialog.LblSitesMessage()->text()));

    dialog.ChkHomeAssistant()->setChecked(true);
    dialog.CmdOK()->click();
    QCOMPARE(saved.count(), 1);
    for (const auto &[key, value] : { std::pair { "Broker", broker.url() }, { "Site", u"office"_s },
             { "HomeAssistant", u"1"_s }, { "Extra", u"kept"_s } })
        QCOMPARE(file.GetIniKey("Sites", key), value);
    QCOMPARE(file.GetIniKey("Base", "Trance"), u"2"_s);

    broker.stop();
    dialog.CmdTest()->click();
    QTRY_VERIFY_WITH_TIMEOUT(dialog.CmdTest()->isEnabled(), kWaitMs);
    QVERIFY2(dialog.LblSitesMessage()->text().contains("was not reached"),
        qPrintable(dialog.LblSitesMessage()->text()));
}

// The main window: no pane without a broker. With one, Window > Sites shows the sites, their
// retained status and errors; messages and schedules ("Publish schedule..." asks for a file) go
// out on the right topics with the right payloads, and what a site would refuse is refused.
void TestSitesWindow::mainWindow()
{
    {
        // A bad [Sites] is no broker, and the status bar says why.
        WindowFixture plain;
        plain.writeSettings({});
        plain.writeFile("BaseSet.ini", plain.bytes("BaseSet.ini") + "[Sites]\nBroker=http://x\n");
        MDIFrmMain &window = plain.start();
        QVERIFY(!window.menus().sitesPane->isEnabled() && window.sitesPane()->dock()->isHidden());
        QVERIFY(window.PicStatusBar()->note().contains("\"Broker\": \"http://x\""));
    }
    TestBroker broker;
    START_BROKER_OR_SKIP(broker);
    BrokerObserver site(
        broker.port(), { u"vantrel/+/say"_s, u"vantrel/+/schedule"_s }, u"site-shop-1"_s);
    QTRY_VERIFY_WITH_TIMEOUT(site.client.isConnected(), kWaitMs);
    site.client.publish(u"vantrel/shop-1/status"_s,
        R"({"site":"shop-1","state":"online","schedule":"week.vsched","entry":"Entry1"})", true);

    WindowFixture fixture;
    fixture.writeSettings({});
    fixture.writeFile("BaseSet.ini",
        fixture.bytes("BaseSet.ini") + "[Sites]\nBroker=" + broker.url().toUtf8() + "\n");
    MDIFrmMain &window = fixture.start();
    SitesPane *pane = window.sitesPane();
    QVERIFY(window.menus().sitesPane->isEnabled());
    window.menus().sitesPane->trigger();
    QVERIFY(pane->dock()->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(
        summary(*pane->table()), u"shop-1 online week.vsched Entry1 0/0"_s, kWaitMs);
    QVERIFY(pane->LblSitesState()->text().startsWith("Connected to mqtt://127.0.0.1"));
    site.client.publish(
        u"vantrel/shop-1/error"_s, R"({"topic":"vantrel/shop-1/schedule","reason":"no"})");
    QTRY_VERIFY_WITH_TIMEOUT(pane->table()->sites().value(1).error.endsWith(" no"), kWaitMs);

    SiteTopics::SayRequest request { u"Doorbell"_s, u"green"_s, 30 };
    QVERIFY(pane->sendMessageTo(u"shop-1"_s, request));
    QTRY_VERIFY_WITH_TIMEOUT(site.last.contains("vantrel/shop-1/say"), kWaitMs);
    SiteTopics::SayRequest read;
    QString reason;
    QVERIFY(SiteTopics::parseSay(site.last.value("vantrel/shop-1/say"), kEnglish, &read, &reason));
    QCOMPARE(u"%1 %2 %3"_s.arg(read.text, read.colour).arg(read.seconds), u"Doorbell green 30"_s);
    QVERIFY(pane->sendMessageTo(u"all"_s, request));
    QTRY_VERIFY_WITH_TIMEOUT(site.last.contains("vantrel/all/say"), kWaitMs);
    request.text = u"  "_s;
    QVERIFY(!pane->sendMessageTo(u"shop-1"_s, request));
    QVERIFY(pane->LblSitesNote()->text().contains("no \"text\""));

    pane->ListSites()->selectRow(1);
    QVERIFY(pane->CmdPublishSchedule()->isEnabled());
    fixture.dialogs.answers << writeSchedule(fixture.path("plan"));
    pane->CmdPublishSchedule()->click();
    QVERIFY(fixture.dialogs.requests.value(0).filter.contains("*.vsched"));
    const QString topic = u"vantrel/shop-1/schedule"_s;
    QTRY_VERIFY2_WITH_TIMEOUT(
        site.last.contains(topic), qPrintable(pane->LblSitesNote()->text()), kWaitMs);
    const SiteBundle::ParseResult bundle = SiteBundle::parse(site.last.value(topic), kEnglish);
    QVERIFY2(bundle.ok, qPrintable(bundle.reason));
    QCOMPARE(bundle.contents.schedule, u"week.vsched"_s);

    // The site's goodbye-less end: the broker's offline will shows. Then the broker goes.
    site.client.publish(u"vantrel/shop-1/status"_s, R"({"site":"shop-1","state":"offline"})", true);
    QTRY_COMPARE_WITH_TIMEOUT(pane->table()->sites().value(1).state, u"offline"_s, kWaitMs);
    site.client.stop();
    broker.stop();
    QTRY_VERIFY_WITH_TIMEOUT(pane->LblSitesState()->text().startsWith("Not connected"), kWaitMs);
    QVERIFY(!pane->sendMessageTo(u"shop-1"_s, SiteTopics::SayRequest { u"x"_s }));

    // Floating, the pane is a window of its own and still follows the language.
    pane->dock()->setFloating(true);
    window.SetLanguage(u"简体中文"_s);
    QCOMPARE(pane->ListSites()->model()->headerData(0, Qt::Horizontal).toString(), u"站点"_s);
    QCOMPARE(pane->CmdSendMessage()->text(), u"发送消息..."_s);
}

QTEST_MAIN(TestSitesWindow)
#include "tst_siteswindow.moc"
