#include "basesettings.h"
#include "classinifile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_BaseSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_counter = 0;

    QString freshFile(const QByteArray &contents)
    {
        const QString path = m_dir.filePath(QStringLiteral("BaseSet%1.ini").arg(++m_counter));
        if (!contents.isNull()) {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(contents);
        }
        return path;
    }
    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static QByteArray oldStyleFile()
    {
        return "[Screenset]\r\nScreenWidth=8\r\nScreenHeight=2\r\nPerPiex=16\r\nMaxIPList=3\r\n"
               "[TranceSet]\r\nTrance=1\r\nServerIP=10.0.0.5\r\nServerPort=5005\r\n"
               "CommPort=3\r\nCommSettings=19200,E,7,1.5\r\n"
               "IpStr=10.0.0.5,5005,1;10.0.0.6,5006,0\r\n"
               "[Language]\r\nLanguage=English\r\n";
    }

private slots:
    void loadsEveryField()
    {
        BaseSettings s;
        const SettingsLoadReport report = LoadBaseSettings(s, freshFile(oldStyleFile()));
        QVERIFY(!report.hasNews());
        QCOMPARE(s.ScreenWidth, qint16(8));
        QCOMPARE(s.ScreenHeight, qint16(2));
        QCOMPARE(s.PerPixel, qint16(16));
        QCOMPARE(s.Trance, qint16(1));
        QCOMPARE(s.ServerIP, QString("10.0.0.5"));
        QCOMPARE(s.ServerPort, QString("5005"));
        QCOMPARE(s.CommPort, QString("3"));
        QCOMPARE(s.CommSettings, QString("19200,E,7,1.5"));
        QCOMPARE(s.IpStr, QString("10.0.0.5,5005,1;10.0.0.6,5006,0"));
        QCOMPARE(s.Language, QString("English"));
        QCOMPARE(s.MaxIPList, qint16(3));
    }

    void saveUpdatesTheOldSectionsInPlace()
    {
        const QString path = freshFile(oldStyleFile());
        BaseSettings s;
        LoadBaseSettings(s, path);
        s.ScreenWidth = 12;
        s.IpStr = "1.1.1.1,1,1;2.2.2.2,2,0;3.3.3.3,3,1";
        QVERIFY(SaveBaseSettings(s, path));
        const QByteArray bytes = readAll(path);
        QCOMPARE(bytes.count("[Screenset]"), 1);
        QVERIFY(!bytes.contains("[ScreenSet]"));
        QCOMPARE(bytes.count("IpStr="), 1); // the stored spelling is kept, not duplicated
        QVERIFY(!bytes.contains("IPStr="));
        QVERIFY(bytes.contains("MaxIPList=3\r\n"));
        QVERIFY(bytes.contains("ScreenWidth=12\r\n"));

        BaseSettings again;
        LoadBaseSettings(again, path);
        QCOMPARE(again, s);
        QCOMPARE(again.IpStr.split(';').size(), 3);
        QCOMPARE(again.IpStr.split(';').at(1).section(',', 2), QString("0"));
    }

    void saveWritesCanonicalNamesInOrder()
    {
        const QString path = freshFile("[Language]\nLanguage=English\n");
        BaseSettings s = defaultBaseSettings();
        s.IpStr.clear();
        s.Trance = -3;
        QVERIFY(SaveBaseSettings(s, path));
        QCOMPARE(readAll(path),
                 QByteArray("[Language]\nLanguage=English\n\n[ScreenSet]\nScreenWidth=8\n"
                            "ScreenHeight=1\nPerPiex=16\n\n[TranceSet]\nTrance=-3\n"
                            "ServerIP=127.0.0.1\nServerPort=5005\nIPStr=\nCommPort=ttyS0\n"
                            "CommSettings=9600,N,8,1\n"));
        BaseSettings again;
        LoadBaseSettings(again, path);
        QCOMPARE(again.IpStr, QString());
        QCOMPARE(again.Trance, qint16(-3)); // an unknown link kind loads as is
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
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("key");
        QTest::addRow("empty") << QByteArray("ScreenWidth=") << "ScreenWidth";
        QTest::addRow("letters") << QByteArray("ScreenWidth=eight") << "ScreenWidth";
        QTest::addRow("too big") << QByteArray("ScreenWidth=40000") << "ScreenWidth";
        QTest::addRow("zero width") << QByteArray("ScreenWidth=0") << "ScreenWidth";
        QTest::addRow("negative scale") << QByteArray("PerPiex=-4") << "PerPiex";
        QTest::addRow("fraction") << QByteArray("ScreenHeight=1.5") << "ScreenHeight";
    }

    void unusableIntegersFallBackAndAreNamed()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, key);
        QByteArray file = "[ScreenSet]\nScreenWidth=8\nScreenHeight=2\nPerPiex=16\nMaxIPList=10\n"
                          "[TranceSet]\nTrance=2\n";
        const QByteArray name = line.left(line.indexOf('=') + 1);
        const int at = file.indexOf(name);
        file.replace(at, file.indexOf('\n', at) - at, line);
        BaseSettings s;
        const SettingsLoadReport report = LoadBaseSettings(s, freshFile(file));
        QCOMPARE(report.problems.size(), 1);
        QCOMPARE(report.problems.first().key, key);
        const QString message = report.message("English");
        QVERIFY2(message.contains(key), qPrintable(message));
        const BaseSettings defaults = defaultBaseSettings();
        if (key == "ScreenWidth")
            QCOMPARE(s.ScreenWidth, defaults.ScreenWidth);
        if (key == "PerPiex")
            QCOMPARE(s.PerPixel, defaults.PerPixel);
        if (key == "ScreenHeight")
            QCOMPARE(s.ScreenHeight, defaults.ScreenHeight);
    }

    void missingKeysAreReported()
    {
        BaseSettings s;
        const SettingsLoadReport report = LoadBaseSettings(s, freshFile("[Language]\nLanguage=jap\n"));
        QCOMPARE(report.problems.size(), 5);
        QCOMPARE(s.Language, QString("jap"));
        QCOMPARE(s.IpStr, QString());
        QCOMPARE(s.MaxIPList, qint16(10));
    }

    void failedSaveIsReportedAndLeavesNothingHalfWritten()
    {
        const QString blocker = freshFile("x");
        QVERIFY(!SaveBaseSettings(defaultBaseSettings(), blocker + "/BaseSet.ini"));
        QCOMPARE(readAll(blocker), QByteArray("x"));
        QVERIFY(settingsSaveFailedMessage("/x/BaseSet.ini", "English").contains("/x/BaseSet.ini"));
    }
};

QTEST_GUILESS_MAIN(tst_BaseSettings)
#include "tst_basesettings.moc"
