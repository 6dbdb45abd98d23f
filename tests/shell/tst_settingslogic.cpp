#include "commsettingsfields.h"
#include "frmset.h"
#include "iptargetlist.h"
#include "portprobe.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// The settings dialog's logic without its window: the target list string, the stored serial
// settings, the port list and the dialog's caption.
class tst_SettingsLogic : public QObject
{
    Q_OBJECT

private slots:
    void fillIpList_data()
    {
        QTest::addColumn<QString>("ipStr");
        QTest::addColumn<int>("maxRows");
        QTest::addColumn<QString>("rebuilt");

        QTest::newRow("empty string is no rows") << "" << 10 << "";
        QTest::newRow("three rows, middle unticked")
            << "1.1.1.1,1,1;2.2.2.2,2,0;3.3.3.3,3,1" << 10 << "1.1.1.1,1,1;2.2.2.2,2,0;3.3.3.3,3,1";
        // Row positions are counted empty ones included: with 2 allowed, ";a,1,1" keeps
        // only position 1 of the first two.
        QTest::newRow("empty rows count against the limit") << ";a,1,1;b,2,1" << 2 << "a,1,1";
        QTest::newRow("more rows than allowed")
            << "a,1,1;b,2,0;c,3,1;d,4,1" << 3 << "a,1,1;b,2,0;c,3,1";
        QTest::newRow("no rows allowed") << "a,1,1" << 0 << "";
        QTest::newRow("negative limit") << "a,1,1" << -5 << "";
        QTest::newRow("flag by numeric value") << "a,1,01;b,2,1.0;c,3, 1;d,4,1x;e,5,2;f,6," << 10
                                               << "a,1,1;b,2,1;c,3,1;d,4,0;e,5,0;f,6,0";
        QTest::newRow("missing fields") << "a;b,2" << 10 << "a,,0;b,2,0";
        QTest::newRow("trailing separator") << "a,1,1;" << 10 << "a,1,1";
    }
    void fillIpList()
    {
        QFETCH(QString, ipStr);
        QFETCH(int, maxRows);
        QFETCH(QString, rebuilt);
        const QList<IpTarget> rows = IpTargetList::FillIpList(ipStr, qint16(maxRows));
        QCOMPARE(IpTargetList::BuildIpListString(rows), rebuilt);
    }

    void addRefusalsInOrder_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("maxRows");
        QTest::addColumn<int>("refusal");

        // The list holds a,1 and b,2. The refusals' order and messages: tst_frmset.
        const int full = IpTargetList::ListFull;
        const int empty = IpTargetList::FieldEmpty;
        const int separator = IpTargetList::SeparatorInText;
        QTest::newRow("full list wins over a duplicate") << u"a"_s << u"1"_s << 2 << full;
        QTest::newRow("empty port") << u"c"_s << u""_s << 10 << empty;
        QTest::newRow("comma would split the row") << u"c,d"_s << u"1"_s << 10 << separator;
        QTest::newRow("semicolon would split the list") << u"c"_s << u"1;2"_s << 10 << separator;
        QTest::newRow("duplicate after trimming")
            << u" a "_s << u" 1"_s << 10 << int(IpTargetList::AlreadyListed);
        QTest::newRow("same address, other port")
            << u"a"_s << u"2"_s << 10 << int(IpTargetList::Accepted);
        QTest::newRow("comparison is case-sensitive")
            << u"A"_s << u"1"_s << 10 << int(IpTargetList::Accepted);
    }
    void addRefusalsInOrder()
    {
        QFETCH(QString, address);
        QFETCH(QString, port);
        QFETCH(int, maxRows);
        QFETCH(int, refusal);
        const QList<IpTarget> rows = { { "a", "1", true }, { "b", "2", false } };
        QCOMPARE(int(IpTargetList::checkAdd(rows, address, port, qint16(maxRows))), refusal);
    }

    void storedCommSettings_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("fields"); // speed, parity, data bits, stop bits

        QTest::newRow("initial") << u"9600,N,8,1"_s << QStringList({ "9600", "None", "8", "1" });
        QTest::newRow("1.5 stop bits shift the rest")
            << u"19200,E,7,1.5"_s << QStringList({ "19200", "Even", "7", "1.5" });
        QTest::newRow("lower-case parity")
            << u"115200,o,8,2"_s << QStringList({ "115200", "Odd", "8", "2" });
        QTest::newRow("mark") << u"4800,m,5,1"_s << QStringList({ "4800", "Mark", "5", "1" });
        QTest::newRow("space") << u"110,S,4,2"_s << QStringList({ "110", "Space", "4", "2" });
        QTest::newRow("unknown parity letter")
            << u"9600,X,8,1"_s << QStringList({ "9600", "", "8", "1" });
        QTest::newRow("too short for a speed")
            << u"N,8,1"_s << QStringList({ "", "None", "8", "1" });
        QTest::newRow("garbage") << u"ab"_s << QStringList({ "", "", "", "b" });
        QTest::newRow("empty") << u""_s << QStringList({ "", "", "", "" });
    }
    void storedCommSettings()
    {
        QFETCH(QString, stored);
        const CommSettingsFields f = CommSettingsFields::fromStored(stored);
        QTEST(QStringList({ f.speed, f.parity, f.dataBits, f.stopBits }), "fields");
    }

    void commSettingsString()
    {
        CommSettingsFields fields;
        fields.speed = QStringLiteral(" 9600 ");
        fields.parity = QStringLiteral("None");
        fields.dataBits = QStringLiteral("8");
        fields.stopBits = QStringLiteral("1.5");
        QCOMPARE(fields.toString(), QStringLiteral("9600,N,8,1.5"));
        // Every combination the selectors offer reads back as it was written.
        for (const QString &speed : CommSettingsFields::speedEntries()) {
            for (const QString &parity : CommSettingsFields::parityEntries()) {
                for (const QString &stop : CommSettingsFields::stopBitsEntries()) {
                    fields = { speed, parity, QStringLiteral("7"), stop };
                    const CommSettingsFields back
                        = CommSettingsFields::fromStored(fields.toString());
                    QCOMPARE(back.speed, speed);
                    QCOMPARE(back.parity, parity);
                    QCOMPARE(back.dataBits, QStringLiteral("7"));
                    QCOMPARE(back.stopBits, stop);
                }
            }
        }
    }

    void portEntries()
    {
        PortProbe probe;
        probe.setMachinePorts({ "ttyS0", "ttyS1", "ttyUSB0" });
        QStringList tried;
        bool opens = true;
        probe.setOpenCheck([&](const QString &path) {
            tried << path;
            return opens;
        });

        // A stored port the machine lists is not tried again.
        QCOMPARE(probe.entries("ttyUSB0", {}), QStringList({ "ttyS0", "ttyS1", "ttyUSB0" }));
        QCOMPARE(probe.entries("/dev/ttyUSB0", {}), QStringList({ "ttyS0", "ttyS1", "ttyUSB0" }));
        QCOMPARE(probe.entries("2", {}), QStringList({ "ttyS0", "ttyS1", "ttyUSB0" }));
        QVERIFY(tried.isEmpty());

        // A stored port elsewhere is listed when it opens, in the form it was stored.
        QCOMPARE(probe.entries("/dev/pts/7", {}),
            QStringList({ "ttyS0", "ttyS1", "ttyUSB0", "/dev/pts/7" }));
        QCOMPARE(tried, QStringList({ "/dev/pts/7" }));
        QCOMPARE(probe.entries("12", {}), QStringList({ "ttyS0", "ttyS1", "ttyUSB0", "COM12" }));
        QCOMPARE(tried.last(), QStringLiteral("/dev/ttyS11"));

        // A port that does not open is left out; one the link holds open is listed untouched.
        opens = false;
        tried.clear();
        QCOMPARE(probe.entries("ttyACM0", {}), QStringList({ "ttyS0", "ttyS1", "ttyUSB0" }));
        QCOMPARE(probe.entries("ttyACM0", "/dev/ttyACM0"),
            QStringList({ "ttyS0", "ttyS1", "ttyUSB0", "ttyACM0" }));
        QCOMPARE(tried, QStringList({ "/dev/ttyACM0" }));

        // COM ports count from 1; nothing is stored, nothing is tried.
        tried.clear();
        QCOMPARE(probe.entries("0", {}).size(), 3);
        QCOMPARE(probe.entries("", {}).size(), 3);
        QVERIFY(tried.isEmpty());
    }

    void portNamesStoredAndFound()
    {
        QCOMPARE(PortProbe::commPortFor("COM12"), QStringLiteral("12"));
        QCOMPARE(PortProbe::commPortFor("ttyUSB0"), QStringLiteral("ttyUSB0"));
        QCOMPARE(PortProbe::commPortFor("/dev/pts/3"), QStringLiteral("/dev/pts/3"));
        const QStringList entries = { "ttyS0", "ttyS11", "COM20", "/dev/pts/3" };
        QCOMPARE(PortProbe::entryFor("12", entries), QStringLiteral("ttyS11"));
        QCOMPARE(PortProbe::entryFor("COM1", entries), QStringLiteral("ttyS0"));
        QCOMPARE(PortProbe::entryFor("com20", entries), QStringLiteral("COM20"));
        QCOMPARE(PortProbe::entryFor("/dev/pts/3", entries), QStringLiteral("/dev/pts/3"));
        QCOMPARE(PortProbe::entryFor("ttyUSB9", entries), QString());
        QCOMPARE(PortProbe::entryFor("", entries), QString());
    }

    void systemPortsAreSerialFamiliesOnly()
    {
        static const QRegularExpression family(QStringLiteral("^(ttyS|ttyUSB|ttyACM|rfcomm)\\d+$"));
        for (const QString &name : PortProbe::systemPorts())
            QVERIFY2(family.match(name).hasMatch(), qPrintable(name));
    }

    void captionFromMenuText_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("caption");
        QTest::newRow("english") << u"&Base Set"_s << u"Base Set"_s;
        QTest::newRow("bracket form") << u"基本设置[&B]"_s << u"基本设置"_s;
        QTest::newRow("parenthesis form") << u"基本设置(&B)"_s << u"基本设置"_s;
        QTest::newRow("doubled ampersand") << u"Save && &Send"_s << u"Save & Send"_s;
    }
    void captionFromMenuText()
    {
        QFETCH(QString, menu);
        QTEST(FrmSet::captionFromMenuText(menu), "caption");
    }
};

QTEST_MAIN(tst_SettingsLogic)
#include "tst_settingslogic.moc"
