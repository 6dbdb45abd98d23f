#include "languageapplier.h"
#include "languagefile.h"

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Reading Language.lng: the file name, the section lookup and the length of a text. The rules
// for putting the texts on controls are tested on the real windows (tests/mainwindow), save one
// that the windows' own handling hides.
class tst_LanguageTexts : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString folder(const QByteArray &contents, const QString &name = "Language.lng")
    {
        QFile::remove(m_dir.filePath("Language.lng"));
        QFile::remove(m_dir.filePath("language.lng"));
        QFile f(m_dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(contents) < 0)
            qFatal("cannot write %s", qPrintable(f.fileName()));
        return m_dir.path();
    }

private slots:
    void lookups()
    {
        // The file name's letter case counts: "language.lng" is no language file.
        QString dir = folder("[T]\nfile=&Datei\n", "language.lng");
        QVERIFY(!LanguageFileExists(dir));
        QCOMPARE(GetLanguageText(dir, "T", "file"), QString("Unknow"));
        QVERIFY(!LanguageSectionExists(dir, "T"));
        dir = folder("[T]\nfile=&Datei\nlist=a,,b\nLblEffect=" + QByteArray(300, 'x')
            + "\nLblName=" + QByteArray(100, 'y') + QString("中").repeated(60).toUtf8()
            + "\n[简体中文]\nfile=文件(&F)\n");
        QCOMPARE(GetLanguageText(dir, "t", "file"), QString("&Datei"));
        QCOMPARE(GetLanguageText(dir, "简体中文", "file"), QString("文件(&F)"));
        // A missing key or section gives the key; lists keep their empty entries.
        QCOMPARE(GetLanguageText(dir, "T", "new"), QString("new"));
        QCOMPARE(GetLanguageText(dir, "X", "file"), QString("file"));
        QCOMPARE(
            splitLanguageList(GetLanguageText(dir, "T", "list")), QStringList({ "a", "", "b" }));
        QVERIFY(LanguageSectionExists(dir, "t") && !LanguageSectionExists(dir, "TBasic"));
        // Texts are cut at 254 bytes, never inside a character: 100 + 3 x 51 = 253 bytes.
        QCOMPARE(GetLanguageText(dir, "T", "LblEffect"), QString(254, 'x'));
        QCOMPARE(
            GetLanguageText(dir, "T", "LblName"), QString(100, 'y') + QString("中").repeated(51));
    }

    void effectItemsReplacedSilently()
    {
        // The new items come with nothing selected and no change signal, which would otherwise
        // write into the current program-list row.
        QComboBox effects;
        effects.setObjectName("CobEffect");
        effects.addItems({ "x", "y" });
        effects.setCurrentIndex(1);
        QSignalSpy changes(&effects, &QComboBox::currentIndexChanged);
        ApplyControlText(&effects, "T", folder("[T]\nCobEffect=e1,e2,e3\n"));
        QCOMPARE(effects.count(), 3);
        QCOMPARE(effects.currentIndex(), -1);
        QCOMPARE(changes.count(), 0);
    }
};

QTEST_MAIN(tst_LanguageTexts)
#include "tst_languagetexts.moc"
