#include "basesettings.h"
#include "messages.h"
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

    void unusableIntegersFallBackAndAreNamed_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addRow("empty") << QByteArray("ScreenWidth") << QByteArray();
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
        const int at = good.indexOf(key + '=');
        const int end = good.indexOf('\n', at) + 1;
        // Only the bad key changes, to its default: as if it were not there.
        BaseSettings expected;
        LoadBaseSettings(expected, freshFile(QByteArray(good).remove(at, end - at)));
        QByteArray bad = good;
        bad.replace(at, end - at, key + '=' + value + '\n');
        BaseSettings s;
        const SettingsLoadReport report = LoadBaseSettings(s, freshFile(bad));
        QCOMPARE(s, expected);
        QCOMPARE(report.problems.size(), 1);
        QCOMPARE(report.problems.first().key, QString(key));
        const QString message = report.message("English");
        QVERIFY2(message.contains(QString(key)) && message.contains(QString(value)),
            qPrintable(message));
    }

    void missingFileAndKeysGetDefaults()
    {
        const QString path = freshFile(QByteArray());
        BaseSettings s;
        SettingsLoadReport report = LoadBaseSettings(s, path);
        QVERIFY(report.fileCreated);
        QVERIFY(report.message("English").contains(path));
        QVERIFY(!report.message(QStringLiteral("简体中文")).isEmpty());
        QCOMPARE(s, defaultBaseSettings());
        BaseSettings again;
        QVERIFY(!LoadBaseSettings(again, path).hasNews());
        QCOMPARE(again, defaultBaseSettings());
        report = LoadBaseSettings(s, freshFile("[Language]\nLanguage=jap\n"));
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
        struct stat st = {};
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

    // The prompt catalogue, in the language of the settings.
    void languages_data()
    {
        // The first and last message of the catalogue, the box title; "" where there is none.
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("title");
        const QStringList english { "Please Select One Creact File ID", "IP Link Error!" };
        const QString chinese = QStringLiteral("简体中文");
        QTest::newRow("English") << "English" << english << "Information";
        QTest::newRow("Chinese") << chinese
                                 << QStringList { QStringLiteral("请选择要传输的文件"),
                                        QStringLiteral("IP地址连接失败!") }
                                 << QStringLiteral("系统提示");
        // The language name must match exactly; "jap" has a title but no texts of its own.
        QTest::newRow("jap") << "jap" << QStringList { "", "" } << "Information";
        QTest::newRow("lower case") << "english" << QStringList { "", "" } << "";
        QTest::newRow("unknown") << "Deutsch" << QStringList { "", "" } << "";
    }
    void languages()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, texts);
        QFETCH(QString, title);
        QCOMPARE(QStringList({ MsgText(1, language), MsgText(13, language) }), texts);
        QCOMPARE(MsgTitle(language), title);
        // A box is never empty: languages without built-in prompts show the English ones.
        const bool own = !texts.first().isEmpty();
        QCOMPARE(PromptText(1, language), own ? texts.first() : MsgText(1, "English"));
        QCOMPARE(PromptText(13, language), own ? texts.last() : MsgText(13, "English"));
        QCOMPARE(PromptTitle(language), title.isEmpty() ? QString("Information") : title);
        // Just outside the catalogue there is nothing.
        for (const int outside : { 0, 14, -1 })
            QCOMPARE(MsgText(qint16(outside), language) + PromptText(qint16(outside), language),
                QString());
    }

    void currentLanguageIsRead()
    {
        baseSettings().Language = QStringLiteral("简体中文");
        QCOMPARE(MsgText(7), QStringLiteral("发送失败!"));
        QCOMPARE(MsgTitle(), QStringLiteral("系统提示"));
        baseSettings().Language = "English";
        QCOMPARE(MsgText(13), QString("IP Link Error!"));
    }
};

QTEST_GUILESS_MAIN(tst_BaseSettings)
#include "tst_basesettings.moc"
