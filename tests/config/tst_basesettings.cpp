#include "basesettings.h"
#include "testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

class tst_BaseSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_counter = 0;

    // A new file name in the test folder, the file written with `contents` unless null.
    QString freshFile(const QByteArray &contents)
    {
        const QString path = m_dir.filePath(QStringLiteral("BaseSet%1.ini").arg(++m_counter));
        if (!contents.isNull() && !writeFile(path, contents))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void oldSpellingsLoadAndAreKeptOnSave()
    {
        // Files of the older program say "Screenset" and "IpStr"; both must load, and a save
        // must update them in place rather than add "ScreenSet"/"IPStr" twins.
        const QByteArray old
            = "[Screenset]\r\nScreenWidth=8\r\nScreenHeight=2\r\nPerPiex=16\r\nMaxIPList=3\r\n"
              "[TranceSet]\r\nTrance=1\r\nServerIP=10.0.0.5\r\nServerPort=5005\r\nCommPort=3\r\n"
              "CommSettings=19200,E,7,1.5\r\nIpStr=10.0.0.5,5005,1;10.0.0.6,5006,0\r\n"
              "[Language]\r\nLanguage=English\r\n";
        const QString path = freshFile(old);
        BaseSettings s;
        QVERIFY(!LoadBaseSettings(s, path).hasNews());
        const BaseSettings expected { 8, 2, 16, 1, "10.0.0.5", "5005", "3", "19200,E,7,1.5",
            "10.0.0.5,5005,1;10.0.0.6,5006,0", "English", 3 };
        QCOMPARE(s, expected);

        s.ScreenWidth = 12;
        s.IpStr = "1.1.1.1,1,1;2.2.2.2,2,0";
        QVERIFY(SaveBaseSettings(s, path));
        QCOMPARE(readFile(path),
            QByteArray(old)
                .replace("Width=8", "Width=12")
                .replace("10.0.0.5,5005,1;10.0.0.6,5006,0", "1.1.1.1,1,1;2.2.2.2,2,0"));
    }

    void saveWritesCanonicalNamesInOrder()
    {
        // Neither Language nor MaxIPList is written by a save; an unknown link kind is kept.
        const QString path = freshFile("[Language]\nLanguage=jap\n");
        BaseSettings s = defaultBaseSettings();
        s.IpStr.clear();
        s.Trance = -3;
        s.Language = "English";
        s.MaxIPList = 4;
        QVERIFY(SaveBaseSettings(s, path));
        QCOMPARE(readFile(path),
            QByteArray("[Language]\nLanguage=jap\n\n[ScreenSet]\nScreenWidth=8\n"
                       "ScreenHeight=1\nPerPiex=16\n\n[TranceSet]\nTrance=-3\n"
                       "ServerIP=127.0.0.1\nServerPort=5005\nIPStr=\nCommPort=ttyS0\n"
                       "CommSettings=9600,N,8,1\n"));
        BaseSettings again;
        LoadBaseSettings(again, path);
        QCOMPARE(again.Trance, qint16(-3));
    }

    void missingFileIsCreatedWithDefaults()
    {
        const QString path = freshFile(QByteArray());
        BaseSettings s;
        const SettingsLoadReport report = LoadBaseSettings(s, path);
        QVERIFY(report.fileCreated);
        QVERIFY(report.message("English").contains(path));
        QVERIFY(!report.message(QStringLiteral("简体中文")).isEmpty());
        QCOMPARE(s, defaultBaseSettings());
        BaseSettings again;
        QVERIFY(!LoadBaseSettings(again, path).hasNews());
        QCOMPARE(again, defaultBaseSettings());
    }

    void unusableIntegersFallBackAndAreNamed_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addRow("empty") << QByteArray("ScreenWidth") << QByteArray();
        QTest::addRow("letters") << QByteArray("ScreenWidth") << QByteArray("eight");
        QTest::addRow("too big") << QByteArray("ScreenWidth") << QByteArray("40000");
        QTest::addRow("zero width") << QByteArray("ScreenWidth") << QByteArray("0");
        QTest::addRow("negative scale") << QByteArray("PerPiex") << QByteArray("-4");
        QTest::addRow("fraction") << QByteArray("ScreenHeight") << QByteArray("1.5");
        QTest::addRow("over 1000 targets") << QByteArray("MaxIPList") << QByteArray("1001");
    }
    void unusableIntegersFallBackAndAreNamed()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        const QByteArray good = "[ScreenSet]\nScreenWidth=9\nScreenHeight=2\nPerPiex=20\n"
                                "MaxIPList=10\n[TranceSet]\nTrance=2\n";
        BaseSettings expected;
        LoadBaseSettings(expected, freshFile(good));
        const auto field = [&key](BaseSettings &b) -> qint16 & {
            return key == "PerPiex"     ? b.PerPixel
                : key == "ScreenHeight" ? b.ScreenHeight
                : key == "MaxIPList"    ? b.MaxIPList
                                        : b.ScreenWidth;
        };
        BaseSettings defaults = defaultBaseSettings();
        field(expected) = field(defaults);
        QByteArray bad = good;
        const int at = bad.indexOf(key + '=') + key.size() + 1;
        bad.replace(at, bad.indexOf('\n', at) - at, value);

        BaseSettings s;
        const SettingsLoadReport report = LoadBaseSettings(s, freshFile(bad));
        QCOMPARE(s, expected); // only the bad key changed, to its default
        QCOMPARE(report.problems.size(), 1);
        QCOMPARE(report.problems.first().key, QString(key));
        const QString message = report.message("English");
        QVERIFY2(message.contains(QString(key)) && message.contains(QString(value)),
            qPrintable(message));
    }

    void missingKeysAreReported()
    {
        BaseSettings s;
        const SettingsLoadReport report
            = LoadBaseSettings(s, freshFile("[Language]\nLanguage=jap\n"));
        QCOMPARE(report.problems.size(), 5);
        QCOMPARE(s.Language, QString("jap"));
        QCOMPARE(s.MaxIPList, qint16(10));

        LoadBaseSettings(s, freshFile("[ScreenSet]\nMaxIPList=1000\n"));
        QCOMPARE(s.MaxIPList, qint16(1000)); // the most a file may give
    }

    // The kernel lets root read and write anything: the mode bits are what must hold.
    void lockedFileIsNeverReplaced_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("reason");
        QTest::addRow("unreadable 0000") << 0000 << false << "could not be read";
        QTest::addRow("read-only 0444") << 0444 << true << "read-only";
    }
    void lockedFileIsNeverReplaced()
    {
        QFETCH(int, mode);
        QFETCH(bool, readable);
        QFETCH(QString, reason);
        const QByteArray before = "[ScreenSet]\nScreenWidth=9\nScreenHeight=2\nPerPiex=16\n"
                                  "MaxIPList=4\n[TranceSet]\nTrance=0\nCommPort=3\n";
        const QString path = freshFile(before);
        const QByteArray name = QFile::encodeName(path);
        QCOMPARE(::chmod(name.constData(), mode_t(mode)), 0);

        BaseSettings s;
        const SettingsLoadReport report = LoadBaseSettings(s, path);
        QCOMPARE(report.unreadable, !readable);
        QCOMPARE(s.ScreenWidth, qint16(readable ? 9 : defaultBaseSettings().ScreenWidth));
        if (!readable)
            QVERIFY(report.message("English").contains(path + " could not be read"));

        IniWriteFailure failure;
        s.ScreenWidth = 12;
        QVERIFY(!SaveBaseSettings(s, path, &failure));
        const QString message = settingsSaveFailedMessage(path, "English", failure);
        QVERIFY2(message.contains(path) && message.contains(reason), qPrintable(message));
        QVERIFY(!settingsSaveFailedMessage(path, "简体中文", failure).contains(reason));

        struct stat st
        {
        };
        QCOMPARE(::stat(name.constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(mode));
        QCOMPARE(::chmod(name.constData(), 0600), 0);
        QCOMPARE(readFile(path), before);
    }

    void longValuesReadBackWholeOrAreRefused()
    {
        BaseSettings s = defaultBaseSettings();
        s.IpStr = QString("host-name.example.org,5005,1;").repeated(1000).chopped(1);
        const QString path = freshFile(QByteArray());
        QVERIFY(SaveBaseSettings(s, path));
        BaseSettings again;
        LoadBaseSettings(again, path);
        QCOMPARE(again.IpStr, s.IpStr);
        const QByteArray saved = readFile(path);
        // What would not read back whole is refused, named, and the file stays as it was.
        for (const QString key : { "IPStr", "CommPort" }) {
            BaseSettings bad = again;
            const bool list = key == "IPStr";
            (list ? bad.IpStr : bad.CommPort) = QString(list ? kMaxTargetListBytes + 1 : 1024, 'x');
            IniWriteFailure failure;
            QVERIFY(!SaveBaseSettings(bad, path, &failure));
            QVERIFY(
                settingsSaveFailedMessage(path, "English", failure).contains("[TranceSet] " + key));
            QCOMPARE(readFile(path), saved);
        }
    }

    void saveFailingPartWayChangesNothing()
    {
        // The disk takes a little more than the file holds: a key-by-key save would have
        // stored the new width and then failed on the long target list.
        BaseSettings s = defaultBaseSettings();
        const QString path = freshFile(QByteArray());
        QVERIFY(SaveBaseSettings(s, path));
        const QByteArray before = readFile(path);
        s.ScreenWidth = 12;
        s.IpStr = QString("10.0.0.1,5005,1;").repeated(20).chopped(1);

        ::signal(SIGXFSZ, SIG_IGN);
        rlimit old {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = rlim_t(before.size() + 16);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        IniWriteFailure failure;
        const bool saved = SaveBaseSettings(s, path, &failure);
        ::setrlimit(RLIMIT_FSIZE, &old);

        QVERIFY(!saved);
        QCOMPARE(failure.kind, IniWriteFailure::Kind::System);
        QVERIFY(!failure.reason.isEmpty());
        QCOMPARE(readFile(path), before);
    }
};

QTEST_GUILESS_MAIN(tst_BaseSettings)
#include "tst_basesettings.moc"
