#include "classinifile.h"
#include "testfiles.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

class tst_ClassIniFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // An INI object on `name` in the test folder, the file first filled with `bytes` if given.
    classIniFile iniOn(const QString &name, const QByteArray &bytes = QByteArray())
    {
        const QString path = m_dir.filePath(name);
        if (!bytes.isNull() && !writeFile(path, bytes))
            qFatal("cannot write %s", qPrintable(path));
        classIniFile ini;
        ini.setINIFileName(path);
        return ini;
    }
    static struct stat statOf(const QString &path)
    {
        struct stat st = {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0)
            qFatal("cannot stat %s", qPrintable(path));
        return st;
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
        QCOMPARE(readFile(ini.INIFileName()), QByteArray("[ScreenSet]\nIPStr=x\n"));
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
        QCOMPARE(readFile(ini.INIFileName()),
            QByteArray("; settings\r\n[ScreenSet]\r\nScreenWidth=12\r\nScreenHeight=1\r\n"
                       "PerPiex=16\r\n\r\n[TranceSet]\r\nTrance=0\r\n\r\n[Language]\r\n"
                       "Language=English\r\n"));
    }

    void readIsCutTo1023Bytes()
    {
        // A file written by hand may hold more than a read returns.
        classIniFile ini = iniOn("long.ini", "[S]\nK=" + QByteArray(1500, 'a') + "\n");
        QCOMPARE(ini.GetIniKey("S", "K"), QString(1023, QLatin1Char('a')));
        // Cut at a character boundary: 341 characters of 3 UTF-8 bytes each.
        ini = iniOn("long.ini", "[S]\nK=" + QString(400, QChar(0x4E2D)).toUtf8() + "\n");
        QCOMPARE(ini.GetIniKey("S", "K"), QString(341, QChar(0x4E2D)));
        // Writing what would not read back whole is refused, naming the key.
        ini.WriteIniKey("S", "K", QString(1024, QLatin1Char('a')));
        QCOMPARE(ini.lastWriteFailure().key, QString("[S] K"));
        QCOMPARE(ini.GetIniKey("S", "K"), QString(341, QChar(0x4E2D)));
    }

    void deleteKeyAndSection()
    {
        classIniFile ini = iniOn("del.ini", "[S]\n# a=0\n; b=0\na=1\nb=2\n[T]\nc=3\n");
        // Comments hold no key, even with an '=' in them.
        QCOMPARE(ini.GetAllSections().first().keys,
            (QList<std::pair<QString, QString>> { { "a", "1" }, { "b", "2" } }));
        ini.DelIniKey("s", "A");
        QCOMPARE(ini.GetIniKey("S", "a"), QString());
        QCOMPARE(ini.GetIniKey("S", "b"), QString("2"));
        ini.DelIniSec("S");
        QCOMPARE(readFile(ini.INIFileName()), QByteArray("[T]\nc=3\n"));
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
        const QByteArray bytes = readFile(ini.INIFileName());
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
        QCOMPARE(readFile(m_dir.filePath("plainfile")), QByteArray("x"));
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
        QCOMPARE(readFile(ini.INIFileName()), QByteArray("[ScreenSet]\nScreenWidth=8\n"));
        QCOMPARE(QDir(m_dir.path()).entryList({ "limited*" }, QDir::Files),
            QStringList({ "limited.ini" })); // no temporary file left behind
    }

    // The kernel lets root read and write any file, so these hold only if the mode bits are
    // honoured by the program itself.
    void lockedFileIsLeftAlone_data()
    {
        using Kind = IniWriteFailure::Kind;
        QTest::addColumn<int>("mode");
        QTest::addColumn<char>("operation"); // w write, k delete key, s delete section
        QTest::addColumn<Kind>("kind");
        QTest::addRow("unreadable 0000, write") << 0000 << 'w' << Kind::Unreadable;
        QTest::addRow("write-only 0200, delete key") << 0200 << 'k' << Kind::Unreadable;
        QTest::addRow("unreadable 0000, delete absent section") << 0000 << 's' << Kind::Unreadable;
        QTest::addRow("read-only 0444, write") << 0444 << 'w' << Kind::ReadOnly;
        QTest::addRow("read-only 0444, delete section") << 0444 << 's' << Kind::ReadOnly;
    }
    void lockedFileIsLeftAlone()
    {
        QFETCH(int, mode);
        QFETCH(char, operation);
        QFETCH(IniWriteFailure::Kind, kind);
        const QByteArray before = "[ScreenSet]\nScreenWidth=8\n[Language]\nLanguage=English\n";
        classIniFile ini
            = iniOn(QStringLiteral("locked%1.ini").arg(QTest::currentDataTag()), before);
        const QByteArray path = QFile::encodeName(ini.INIFileName());
        QCOMPARE(::chmod(path.constData(), mode_t(mode)), 0);
        QCOMPARE(ini.isReadable(), kind != IniWriteFailure::Kind::Unreadable);
        if (operation == 'w')
            ini.WriteIniKey("Language", "Language", "jap");
        else if (operation == 'k')
            ini.DelIniKey("ScreenSet", "ScreenWidth");
        else
            ini.DelIniSec(kind == IniWriteFailure::Kind::Unreadable ? "Absent" : "ScreenSet");
        QVERIFY(!ini.lastWriteSucceeded());
        QCOMPARE(ini.lastWriteFailure().kind, kind);
        QCOMPARE(statOf(ini.INIFileName()).st_mode & 07777, mode_t(mode));
        QCOMPARE(::chmod(path.constData(), 0600), 0);
        QCOMPARE(readFile(ini.INIFileName()), before);
    }

    void replacementKeepsModeAndOwner()
    {
        classIniFile ini = iniOn("shared.ini", "[ScreenSet]\nScreenWidth=8\n");
        const QByteArray path = QFile::encodeName(ini.INIFileName());
        QCOMPARE(::chmod(path.constData(), 0664), 0);
        // Only root may give a file to another owner; others check the mode alone.
        const bool root = ::geteuid() == 0;
        if (root)
            QCOMPARE(::chown(path.constData(), 4321, 4322), 0);
        ini.WriteIniKey("ScreenSet", "ScreenWidth", "9");
        QVERIFY(ini.lastWriteSucceeded());
        QCOMPARE(readFile(ini.INIFileName()), QByteArray("[ScreenSet]\nScreenWidth=9\n"));
        const struct stat st = statOf(ini.INIFileName());
        QCOMPARE(st.st_mode & 07777, mode_t(0664));
        if (root)
            QCOMPARE(QList<uint>({ st.st_uid, st.st_gid }), QList<uint>({ 4321, 4322 }));
    }

    void severalKeysInOneReplacement()
    {
        classIniFile ini = iniOn("batch.ini", "[A]\nx=1\n");
        ini.writeIniKeys({ { "A", "x", "2" }, { "B", "y", "3" }, { "A", "z", "4" } });
        QVERIFY(ini.lastWriteSucceeded());
        QCOMPARE(readFile(ini.INIFileName()), QByteArray("[A]\nx=2\nz=4\n\n[B]\ny=3\n"));
        // One unwritable key refuses them all: none, or one that would read back as another.
        for (const QString bad : { "", "x=y" }) {
            ini.writeIniKeys({ { "A", "x", "5" }, { "A", bad, "6" } });
            QCOMPARE(ini.lastWriteFailure().kind, IniWriteFailure::Kind::NoName);
        }
        QCOMPARE(ini.GetIniKey("A", "x"), QString("2"));
    }
};

QTEST_GUILESS_MAIN(tst_ClassIniFile)
#include "tst_classinifile.moc"
