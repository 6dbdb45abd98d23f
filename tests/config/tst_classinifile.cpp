#include "classinifile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

class tst_ClassIniFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeAll(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

private slots:
    void namesMatchWithoutCase()
    {
        classIniFile ini;
        ini.setINIFileName(path("case.ini"));
        ini.WriteIniKey("ScreenSet", "IPStr", "1.2.3.4,5005,1");
        QCOMPARE(ini.GetIniKey("Screenset", "IpStr"), QString("1.2.3.4,5005,1"));
        QCOMPARE(ini.GetIniKey("SCREENSET", "ipstr"), QString("1.2.3.4,5005,1"));
        // Writing with another spelling replaces the key rather than adding a second one.
        ini.WriteIniKey("screenset", "ipSTR", "x");
        QCOMPARE(readAll(path("case.ini")).count("="), 1);
        QCOMPARE(ini.GetIniKey("ScreenSet", "IPStr"), QString("x"));
    }

    void missingThingsReadEmpty()
    {
        classIniFile ini;
        ini.setINIFileName(path("absent.ini"));
        QCOMPARE(ini.GetIniKey("A", "b"), QString());
        QVERIFY(!QFile::exists(path("absent.ini")));
        ini.WriteIniKey("A", "b", "1");
        QCOMPARE(ini.GetIniKey("A", "missing"), QString());
        QCOMPARE(ini.GetIniKey("Missing", "b"), QString());
        classIniFile unnamed;
        QCOMPARE(unnamed.GetIniKey("A", "b"), QString());
    }

    void writeCreatesFileAndSection()
    {
        const QString file = path("new.ini");
        classIniFile ini;
        ini.setINIFileName(file);
        ini.WriteIniKey("TranceSet", "Trance", "2");
        QVERIFY(ini.lastWriteSucceeded());
        QCOMPARE(readAll(file), QByteArray("[TranceSet]\nTrance=2\n"));
    }

    void replacementKeepsPlaceAndLayout()
    {
        const QString file = path("layout.ini");
        writeAll(file, "; settings\r\n[ScreenSet]\r\nScreenWidth = 8\r\nScreenHeight=1\r\n\r\n"
                       "[TranceSet]\r\nTrance=0\r\n");
        classIniFile ini;
        ini.setINIFileName(file);
        ini.WriteIniKey("ScreenSet", "ScreenWidth", "12");
        ini.WriteIniKey("ScreenSet", "PerPiex", "16");
        ini.WriteIniKey("Language", "Language", "English");
        QCOMPARE(readAll(file),
                 QByteArray("; settings\r\n[ScreenSet]\r\nScreenWidth=12\r\nScreenHeight=1\r\n"
                            "PerPiex=16\r\n\r\n[TranceSet]\r\nTrance=0\r\n\r\n[Language]\r\n"
                            "Language=English\r\n"));
    }

    void valuesLoseSurroundingBlanks()
    {
        const QString file = path("blanks.ini");
        writeAll(file, "[S]\n  Key  =   some value \t\n");
        classIniFile ini;
        ini.setINIFileName(file);
        QCOMPARE(ini.GetIniKey("S", "Key"), QString("some value"));
    }

    void readIsCutTo1023Bytes()
    {
        classIniFile ini;
        ini.setINIFileName(path("long.ini"));
        ini.WriteIniKey("S", "K", QString(1500, QLatin1Char('a')));
        QCOMPARE(ini.GetIniKey("S", "K"), QString(1023, QLatin1Char('a')));
        // Multi-byte text is cut at a character boundary, never inside a character.
        ini.WriteIniKey("S", "K", QString(400, QChar(0x4E2D))); // 3 bytes each in UTF-8
        QCOMPARE(ini.GetIniKey("S", "K"), QString(341, QChar(0x4E2D)));
    }

    void deleteKeyAndSection()
    {
        classIniFile ini;
        ini.setINIFileName(path("del.ini"));
        ini.WriteIniKey("S", "a", "1");
        ini.WriteIniKey("S", "b", "2");
        ini.WriteIniKey("T", "c", "3");
        ini.DelIniKey("s", "A");
        QCOMPARE(ini.GetIniKey("S", "a"), QString());
        QCOMPARE(ini.GetIniKey("S", "b"), QString("2"));
        ini.DelIniSec("S");
        QCOMPARE(ini.GetIniKey("S", "b"), QString());
        QCOMPARE(ini.GetIniKey("T", "c"), QString("3"));
        ini.DelIniSec("Nothing"); // nothing to remove is not a failure
        QVERIFY(ini.lastWriteSucceeded());
    }

    void lineBreaksCannotInjectKeys()
    {
        classIniFile ini;
        ini.setINIFileName(path("inject.ini"));
        ini.WriteIniKey("TranceSet", "ServerIP", "1.2.3.4\n[Evil]\nTrance=9");
        QCOMPARE(ini.GetIniKey("Evil", "Trance"), QString());
        QCOMPARE(ini.GetIniKey("TranceSet", "ServerIP"), QString("1.2.3.4 [Evil] Trance=9"));
    }

    void gbkFileStaysGbk()
    {
        const QString file = path("gbk.ini");
        QStringEncoder gbk("GBK");
        writeAll(file, gbk.encode(QStringLiteral("[Language]\nLanguage=简体中文\n")));
        classIniFile ini;
        ini.setINIFileName(file);
        QCOMPARE(ini.GetIniKey("Language", "Language"), QStringLiteral("简体中文"));
        ini.WriteIniKey("ScreenSet", "Note", QStringLiteral("屏幕"));
        const QByteArray bytes = readAll(file);
        QStringDecoder decoder("GBK");
        QCOMPARE(QString(decoder.decode(bytes)),
                 QStringLiteral("[Language]\nLanguage=简体中文\n\n[ScreenSet]\nNote=屏幕\n"));
        QVERIFY(!bytes.contains(QStringLiteral("屏幕").toUtf8()));
    }

    void unwritablePathIsReported()
    {
        writeAll(path("plainfile"), "x");
        classIniFile ini;
        ini.setINIFileName(path("plainfile") + "/BaseSet.ini");
        ini.WriteIniKey("S", "k", "v");
        QVERIFY(!ini.lastWriteSucceeded());
        QCOMPARE(readAll(path("plainfile")), QByteArray("x"));
    }

    void failedWriteLeavesFileWhole()
    {
        const QString folder = path("readonly");
        QVERIFY(QDir().mkpath(folder));
        const QString file = folder + "/BaseSet.ini";
        writeAll(file, "[ScreenSet]\nScreenWidth=8\n");
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (QFileInfo(folder).isWritable())
            QSKIP("running with rights that ignore folder permissions");
        classIniFile ini;
        ini.setINIFileName(file);
        ini.WriteIniKey("ScreenSet", "ScreenWidth", "9");
        QVERIFY(!ini.lastWriteSucceeded());
        QCOMPARE(readAll(file), QByteArray("[ScreenSet]\nScreenWidth=8\n"));
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                      | QFileDevice::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(tst_ClassIniFile)
#include "tst_classinifile.moc"
