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
        QTest::newRow("ticks kept") << "1.1.1.1,1,1;2.2.2.2,2,0" << 10 << "1.1.1.1,1,1;2.2.2.2,2,0";
        // Empty row positions count against the limit: with 2 allowed, only "a" is kept.
        QTest::newRow("empty rows count") << ";a,1,1;b,2,1" << 2 << "a,1,1";
        QTest::newRow("over the limit") << "a,1,1;b,2,0;c,3,1" << 2 << "a,1,1;b,2,0";
        QTest::newRow("negative limit") << "a,1,1" << -5 << "";
        QTest::newRow("flag by numeric value") << "a,1,01;b,2,1.0;c,3, 1;d,4,1x;e,5,2;f,6," << 10
                                               << "a,1,1;b,2,1;c,3,1;d,4,0;e,5,0;f,6,0";
        QTest::newRow("missing fields, trailing separator") << "a;b,2;" << 10 << "a,,0;b,2,0";
        const QString fleet = QString("10.0.0.1,5005,1;").repeated(1000).chopped(1);
        QTest::newRow("1000 rows") << fleet << 1000 << fleet;
    }
    void fillIpList()
    {
        QFETCH(QString, ipStr);
        QFETCH(int, maxRows);
        QTEST(IpTargetList::BuildIpListString(IpTargetList::FillIpList(ipStr, qint16(maxRows))),
            "rebuilt");
    }

    void targetFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("maxRows");
        QTest::addColumn<QString>("rows"); // as a stored list, when the file is taken
        QTest::addColumn<QStringList>("problems");
        QTest::newRow("sound, CRLF, blank lines, blanks around fields")
            << QByteArray("\xEF\xBB\xBF"
                          "10.0.0.1,5005,1\r\n\r\n sign-2.local , 6000 ,0\r\n")
            << 10 << "10.0.0.1,5005,1;sign-2.local,6000,0" << QStringList();
        QTest::newRow("empty file") << QByteArray() << 10 << "" << QStringList();
        QTest::newRow("every bad line by number")
            << QByteArray("10.0.0.1,5005,1\n10.0.0.2,5005\n,5005,1\n10.0.0.3,70000,1\n"
                          "10.0.0.4,80,yes\n10.0.0.1,5005,0\na;b,1,1\n10.0.0.5,6,1,x\n")
            << 10 << ""
            << QStringList { "Line 2: \"10.0.0.2,5005\" is not address,port,flag.",
                   "Line 3: the address is empty.",
                   "Line 4: the port \"70000\" is not a number from 1 to 65535.",
                   "Line 5: the flag \"yes\" is neither 1 (send to it) nor 0.",
                   "Line 6: 10.0.0.1:5005 is already listed on line 1.",
                   "Line 7: " + IpTargetList::separatorRefusalText("English"),
                   "Line 8: \"10.0.0.5,6,1,x\" is not address,port,flag." };
        QTest::newRow("more than the list takes")
            << QByteArray("a,1,1\nb,2,1\nc,3,1\n") << 2 << ""
            << QStringList { "The file lists 3 targets; the list takes at most 2 (MaxIPList in "
                             "BaseSet.ini)." };
        QTest::newRow("hostile addresses, a port with zeros")
            << QByteArray("a,80,1\na,0080,0\nb\x1b[2J,80,1\n" + QByteArray(256, 'c') + ",80,1\n")
            << 10 << ""
            << QStringList { "Line 2: a:0080 is already listed on line 1.",
                   "Line 3: the address holds a control character.",
                   "Line 4: the address is longer than 255 characters." };
        QTest::newRow("not UTF-8") << QByteArray("10.0.0.1,\xFF,1\n") << 10 << ""
                                   << QStringList { "The file is not UTF-8 text." };
    }
    void targetFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, maxRows);
        const TargetFileRead read = IpTargetList::readTargetFile(file, qint16(maxRows), "English");
        QTEST(read.problems, "problems");
        QTEST(IpTargetList::BuildIpListString(read.rows), "rows");
        if (read.ok()) {
            const QByteArray again = IpTargetList::targetFileText(read.rows);
            QCOMPARE(
                IpTargetList::readTargetFile(again, qint16(maxRows), "English").rows, read.rows);
        }
    }

    void addRefusalsInOrder_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("maxRows");
        QTest::addColumn<int>("refusal");
        // The list holds a,1 and b,2. The messages and their order: tst_frmset.
        using L = IpTargetList;
        QTest::newRow("full before duplicate") << u"a"_s << u"1"_s << 2 << int(L::ListFull);
        QTest::newRow("empty port") << u"c"_s << u""_s << 10 << int(L::FieldEmpty);
        QTest::newRow("semicolon") << u"c"_s << u"1;2"_s << 10 << int(L::SeparatorInText);
        QTest::newRow("trimmed duplicate") << u" a "_s << u" 1"_s << 10 << int(L::AlreadyListed);
        QTest::newRow("same port with zeros") << u"a"_s << u"001"_s << 10 << int(L::AlreadyListed);
        QTest::newRow("case-sensitive") << u"A"_s << u"1"_s << 10 << int(L::Accepted);
    }
    void addRefusalsInOrder()
    {
        QFETCH(QString, address);
        QFETCH(QString, port);
        QFETCH(int, maxRows);
        const QList<IpTarget> rows = { { "a", "1", true }, { "b", "2", false } };
        QTEST(int(IpTargetList::checkAdd(rows, address, port, qint16(maxRows))), "refusal");
    }

    void storedCommSettings_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("fields"); // speed, parity, data bits, stop bits
        QTest::newRow("initial") << u"9600,N,8,1"_s << u"9600 None 8 1"_s;
        QTest::newRow("1.5 stop bits") << u"19200,E,7,1.5"_s << u"19200 Even 7 1.5"_s;
        QTest::newRow("lower-case parity") << u"115200,o,8,2"_s << u"115200 Odd 8 2"_s;
        QTest::newRow("unknown parity") << u"9600,X,8,1"_s << u"9600  8 1"_s;
        QTest::newRow("no speed") << u"N,8,1"_s << u" None 8 1"_s;
    }
    void storedCommSettings()
    {
        QFETCH(QString, stored);
        const CommSettingsFields f = CommSettingsFields::fromStored(stored);
        QTEST(QStringList({ f.speed, f.parity, f.dataBits, f.stopBits }).join(' '), "fields");
    }

    void commSettingsRoundTrip()
    {
        // Every combination the selectors offer reads back as it was written.
        for (const QString &speed : CommSettingsFields::speedEntries())
            for (const QString &parity : CommSettingsFields::parityEntries())
                for (const QString &stop : CommSettingsFields::stopBitsEntries()) {
                    const CommSettingsFields back = CommSettingsFields::fromStored(
                        CommSettingsFields { speed, parity, u"7"_s, stop }.toString());
                    QCOMPARE(QStringList({ back.speed, back.parity, back.dataBits, back.stopBits }),
                        QStringList({ speed, parity, u"7"_s, stop }));
                }
    }

    void portEntries()
    {
        struct Case
        {
            QString stored, heldByLink;
            bool opens;
            QStringList extra, tried; // extra: listed after the machine's own ports
        };
        const Case cases[] = {
            // A stored port the machine lists is not tried again.
            { "ttyUSB0", "", true, {}, {} }, { "2", "", true, {}, {} }, // COM2 is ttyS1
            // Elsewhere, it is listed when it opens, in the form it was stored.
            { "/dev/pts/7", "", true, { "/dev/pts/7" }, { "/dev/pts/7" } },
            { "12", "", true, { "COM12" }, { "/dev/ttyS11" } },
            { "ttyACM0", "", false, {}, { "/dev/ttyACM0" } },
            // The port the link holds open is listed without being touched.
            { "ttyACM0", "/dev/ttyACM0", false, { "ttyACM0" }, {} },
            { "0", "", true, {}, {} }, // COM ports count from 1
        };
        for (const Case &c : cases) {
            PortProbe probe;
            probe.setMachinePorts({ "ttyS0", "ttyS1", "ttyUSB0" });
            QStringList tried;
            probe.setOpenCheck([&](const QString &path) { return tried << path, c.opens; });
            QCOMPARE(probe.entries(c.stored, c.heldByLink),
                QStringList({ "ttyS0", "ttyS1", "ttyUSB0" }) + c.extra);
            QCOMPARE(tried, c.tried);
        }
    }

    void portNamesStoredAndFound()
    {
        QCOMPARE(PortProbe::commPortFor("COM12"), u"12"_s);
        QCOMPARE(PortProbe::commPortFor("/dev/pts/3"), u"/dev/pts/3"_s);
        const QStringList entries = { "ttyS0", "ttyS11", "COM20", "/dev/pts/3" };
        const QStringList stored { "12", "COM1", "com20", "/dev/pts/3", "ttyUSB9", "" };
        const QStringList found { "ttyS11", "ttyS0", "COM20", "/dev/pts/3", "", "" };
        for (int i = 0; i < stored.size(); ++i)
            QCOMPARE(PortProbe::entryFor(stored[i], entries), found[i]);
    }

    void captionFromMenuText()
    {
        QCOMPARE(FrmSet::captionFromMenuText(u"基本设置(&B)"_s), u"基本设置"_s);
        QCOMPARE(FrmSet::captionFromMenuText(u"Save && &Send"_s), u"Save & Send"_s);
    }
};

QTEST_MAIN(tst_SettingsLogic)
#include "tst_settingslogic.moc"
