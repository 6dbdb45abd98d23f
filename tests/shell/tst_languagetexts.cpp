#include "languageapplier.h"
#include "languagefile.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

// Reading Language.lng: the file name, the section lookup and the length of a text. The rules
// for putting the texts on controls are tested on the real windows (tests/app), save two that
// the windows' own handling hides.
class tst_LanguageTexts : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString folder() const { return m_dir.path(); }
    void writeLanguageFile(const QByteArray &contents, const QString &name = "Language.lng")
    {
        QFile::remove(m_dir.filePath("Language.lng"));
        QFile::remove(m_dir.filePath("language.lng"));
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contents);
    }

private slots:
    void lookups()
    {
        writeLanguageFile("[T]\nfile=&Datei\nlist=a,,b\n[简体中文]\nfile=文件(&F)\n");
        QCOMPARE(GetLanguageText(folder(), "T", "file"), QString("&Datei"));
        QCOMPARE(GetLanguageText(folder(), "t", "file"), QString("&Datei"));
        QCOMPARE(GetLanguageText(folder(), "简体中文", "file"), QString("文件(&F)"));
        // A missing key or section gives the key; lists keep their empty entries.
        QCOMPARE(GetLanguageText(folder(), "T", "new"), QString("new"));
        QCOMPARE(GetLanguageText(folder(), "X", "file"), QString("file"));
        QCOMPARE(splitLanguageList(GetLanguageText(folder(), "T", "list")),
            QStringList({ "a", "", "b" }));
        QVERIFY(LanguageSectionExists(folder(), "t"));
        QVERIFY(LanguageSectionExists(folder(), "简体中文"));
        QVERIFY(!LanguageSectionExists(folder(), "TBasic"));
    }

    void fileNameLetterCaseCounts()
    {
        writeLanguageFile("[T]\nfile=&Datei\n", "language.lng");
        QVERIFY(!LanguageFileExists(folder()));
        QCOMPARE(GetLanguageText(folder(), "T", "file"), QString("Unknow"));
        QVERIFY(!LanguageSectionExists(folder(), "T"));
    }

    void longTextIsCutAt254Bytes()
    {
        writeLanguageFile("[T]\nLblEffect=" + QByteArray(300, 'x')
            + "\nLblName=" + QByteArray(100, 'y') + QString("中").repeated(60).toUtf8() + "\n");
        QCOMPARE(GetLanguageText(folder(), "T", "LblEffect"), QString(254, 'x'));
        // Never half a character: 100 + 3 * 51 = 253 bytes.
        QCOMPARE(GetLanguageText(folder(), "T", "LblName"),
            QString(100, 'y') + QString("中").repeated(51));
    }

    void rulesTheWindowsHide()
    {
        writeLanguageFile("[T]\ntbToolBar=,Two\nCobEffect=e1,e2,e3\n");
        // An empty toolbar entry leaves the tooltip (a cleared one would fall back to the text).
        QToolBar bar;
        bar.setObjectName("tbToolBar");
        for (const char *text : { "a", "b" })
            bar.addAction(text)->setToolTip(QString("tip ") + text);
        ApplyControlText(&bar, "T", folder());
        QCOMPARE(bar.actions().at(0)->toolTip(), QString("tip a"));
        QCOMPARE(bar.actions().at(1)->toolTip(), QString("Two"));
        // The effect items are replaced with nothing selected and no change signal.
        QComboBox effects;
        effects.setObjectName("CobEffect");
        effects.addItems({ "x", "y" });
        effects.setCurrentIndex(1);
        QSignalSpy changes(&effects, &QComboBox::currentIndexChanged);
        ApplyControlText(&effects, "T", folder());
        QCOMPARE(effects.count(), 3);
        QCOMPARE(effects.currentIndex(), -1);
        QCOMPARE(changes.count(), 0);
    }
};

QTEST_MAIN(tst_LanguageTexts)
#include "tst_languagetexts.moc"
