#include "classinifile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

class tst_ClassIniFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // An INI object on `name` in the test folder, the file first filled with `bytes` if given.
    classIniFile iniOn(const QString &name, const QByteArray &bytes = QByteArray())
    {
        const QString path = m_dir.filePath(name);
        if (!bytes.isNull()) {
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                qFatal("cannot write %s", qPrintable(path));
            f.write(bytes);
        }
        classIniFile ini;
        ini.setINIFileName(path);
        return ini;
    }
    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void namesMatchWithoutCaseAndMissingReadsEmpty()
    {
        classIniFile ini = iniOn("case.ini");
        QCOMPARE(ini.GetIniKey("A", "b"), QString());
        QVERIFY(!QFile::exists(ini.INIFileName())); // reading creates nothing
        ini.WriteIniKey("ScreenSet", "IPStr", "1.2.3.4,5005,1");
        QCOMPARE(ini.GetIniKey("SCREENSET", "ipstr"), QString("1.2.3.4,5005,1"));
        // Another spelling replaces the key rather than adding a second one.
        ini.WriteIniKey("screenset", "ipSTR", "x");
        QCOMPARE(readAll(ini.INIFileName()), QByteArray("[ScreenSet]\nIPStr=x\n"));
        QCOMPARE(ini.GetIniKey("ScreenSet", "missing"), QString());
        QCOMPARE(ini.GetIniKey("Missing", "IPStr"), QString());
        QCOMPARE(classIniFile().GetIniKey("A", "b"), QString());
    }

    void replacementKeepsPlaceAndLayout()
    {
        classIniFile ini = iniOn("layout.ini",
            "; settings\r\n[ScreenSet]\r\n  ScreenWidth = 8 \t\r\nScreenHeight=1\r\n\r\n"
            "[TranceSet]\r\nTrance=0\r\n");
        QCOMPARE(ini.GetIniKey("ScreenSet", "ScreenWidth"), QString("8"));
        ini.WriteIniKey("ScreenSet", "ScreenWidth", "12");
        ini.WriteIniKey("ScreenSet", "PerPiex", "16");
        ini.WriteIniKey("Language", "Language", "English");
        QVERIFY(ini.lastWriteSucceeded());
        QCOMPARE(readAll(ini.INIFileName()),
            QByteArray("; settings\r\n[ScreenSet]\r\nScreenWidth=12\r\nScreenHeight=1\r\n"
                       "PerPiex=16\r\n\r\n[TranceSet]\r\nTrance=0\r\n\r\n[Language]\r\n"
                       "Language=English\r\n"));
    }

    void readIsCutTo1023Bytes()
    {
        classIniFile ini = iniOn("long.ini");
        ini.WriteIniKey("S", "K", QString(1500, QLatin1Char('a')));
        QCOMPARE(ini.GetIniKey("S", "K"), QString(1023, QLatin1Char('a')));
        // Cut at a character boundary: 341 characters of 3 UTF-8 bytes each.
        ini.WriteIniKey("S", "K", QString(400, QChar(0x4E2D)));
        QCOMPARE(ini.GetIniKey("S", "K"), QString(341, QChar(0x4E2D)));
    }

    void deleteKeyAndSection()
    {
        classIniFile ini = iniOn("del.ini", "[S]\na=1\nb=2\n[T]\nc=3\n");
        ini.DelIniKey("s", "A");
        QCOMPARE(ini.GetIniKey("S", "a"), QString());
        QCOMPARE(ini.GetIniKey("S", "b"), QString("2"));
        ini.DelIniSec("S");
        QCOMPARE(readAll(ini.INIFileName()), QByteArray("[T]\nc=3\n"));
        ini.DelIniSec("Nothing"); // nothing to remove is not a failure
        QVERIFY(ini.lastWriteSucceeded());
    }

    void lineBreaksCannotInjectKeys()
    {
        classIniFile ini = iniOn("inject.ini");
        ini.WriteIniKey("TranceSet", "ServerIP", "1.2.3.4\n[Evil]\r\nTrance=9");
        QCOMPARE(ini.GetIniKey("Evil", "Trance"), QString());
        QCOMPARE(ini.GetIniKey("TranceSet", "ServerIP"), QString("1.2.3.4 [Evil] Trance=9"));
    }

    void gbkFileStaysGbk()
    {
        classIniFile ini = iniOn("gbk.ini",
            QStringEncoder("GBK").encode(QStringLiteral("[Language]\nLanguage=简体中文\n")));
        QCOMPARE(ini.GetIniKey("Language", "Language"), QStringLiteral("简体中文"));
        ini.WriteIniKey("ScreenSet", "Note", QStringLiteral("屏幕"));
        const QByteArray bytes = readAll(ini.INIFileName());
        QCOMPARE(QString(QStringDecoder("GBK").decode(bytes)),
            QStringLiteral("[Language]\nLanguage=简体中文\n\n[ScreenSet]\nNote=屏幕\n"));
        QVERIFY(!bytes.contains(QStringLiteral("屏幕").toUtf8()));
    }

    void failedWriteIsReportedAndLeavesFileWhole()
    {
        // A path through a plain file can never be written.
        iniOn("plainfile", "x");
        classIniFile through = iniOn("plainfile/BaseSet.ini");
        through.WriteIniKey("S", "k", "v");
        QVERIFY(!through.lastWriteSucceeded());
        QCOMPARE(readAll(m_dir.filePath("plainfile")), QByteArray("x"));

        // A write cut short by a file size limit (EFBIG, also for root): the old file stays
        // whole, where writing over it in place would leave it truncated.
        classIniFile ini = iniOn("limited.ini", "[ScreenSet]\nScreenWidth=8\n");
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit old {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 64;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        ini.WriteIniKey("ScreenSet", "Note", QString(200, QLatin1Char('n')));
        ::setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!ini.lastWriteSucceeded());
        QCOMPARE(readAll(ini.INIFileName()), QByteArray("[ScreenSet]\nScreenWidth=8\n"));
        QCOMPARE(QDir(m_dir.path()).entryList({ "limited*" }, QDir::Files),
            QStringList({ "limited.ini" })); // no temporary file left behind
    }
};

QTEST_GUILESS_MAIN(tst_ClassIniFile)
#include "tst_classinifile.moc"
