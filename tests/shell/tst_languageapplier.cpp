#include "basesettings.h"
#include "classinifile.h"
#include "languageapplier.h"
#include "languagefile.h"
#include "languageswitch.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>

namespace {

// A main window with one control of every kind, named as the language file knows them.
struct TestWindow
{
    QMainWindow window;
    QMenu *file = nullptr;
    QAction *newAction = nullptr;
    QAction *english = nullptr;
    QAction *chinese = nullptr;
    QAction *jap = nullptr;
    QToolBar *toolBar = nullptr;
    QList<QAction *> toolButtons;
    QTreeWidget *list = nullptr;
    QTabWidget *tabs = nullptr;
    QGroupBox *frame = nullptr;
    QLabel *label = nullptr;
    QLabel *tranceStyle = nullptr;
    QLabel *optedOut = nullptr;
    QCheckBox *check = nullptr;
    QPushButton *button = nullptr;
    QRadioButton *option = nullptr;
    QComboBox *effect = nullptr;
    QComboBox *otherCombo = nullptr;
    QLineEdit *text = nullptr;
    QLabel *dialogLabel = nullptr;
    QLabel *pageLabel = nullptr;

    TestWindow()
    {
        window.setWindowTitle("Caption");
        file = window.menuBar()->addMenu("&File");
        file->setObjectName("file");
        newAction = file->addAction("&New");
        newAction->setObjectName("new");
        file->addSeparator();
        QMenu *language = file->addMenu("&Language");
        language->setObjectName("language");
        english = language->addAction("English");
        english->setObjectName("English");
        chinese = language->addAction("简体中文");
        chinese->setObjectName("chinese");
        jap = language->addAction("日文");
        jap->setObjectName("jap");

        toolBar = window.addToolBar("tools");
        toolBar->setObjectName("tbToolBar");
        for (const char *key : { "新建", "打开", "保存" }) {
            QAction *a = toolBar->addAction(QString::fromUtf8(key));
            a->setToolTip("old " + QString::fromUtf8(key));
            a->setObjectName(QString::fromUtf8(key)); // a toolbar-only action is no menu item
            toolButtons << a;
        }
        toolBar->insertSeparator(toolButtons.at(1));
        toolBar->insertWidget(toolButtons.at(2), new QComboBox); // a box is no button

        auto *central = new QWidget;
        window.setCentralWidget(central);
        list = new QTreeWidget(central);
        list->setObjectName("ListView1");
        list->setColumnCount(3);
        list->setHeaderLabels({ "a", "b", "c" });
        tabs = new QTabWidget(central);
        tabs->setObjectName("Base_TS");
        tabs->addTab(new QWidget, "t1");
        tabs->addTab(new QWidget, "t2");
        frame = new QGroupBox("frame", central);
        frame->setObjectName("FrmEffect");
        label = new QLabel("label", frame);
        label->setObjectName("LblEffect");
        tranceStyle = new QLabel("TranceStyle:RS232", central);
        tranceStyle->setObjectName("LblTranceStyle");
        optedOut = new QLabel("note", central);
        optedOut->setObjectName("LblName");
        optedOut->setProperty("languageText", false);
        check = new QCheckBox("check", central);
        check->setObjectName("ChkA");
        button = new QPushButton("button", central);
        button->setObjectName("CmdExit");
        option = new QRadioButton("RS232", central);
        option->setObjectName("Base_Option1");
        effect = new QComboBox(central);
        effect->setObjectName("CobEffect");
        effect->addItems({ "rightleft", "leftright" });
        otherCombo = new QComboBox(central);
        otherCombo->setObjectName("CobSpeed");
        otherCombo->addItems({ "1", "2" });
        text = new QLineEdit("typed", central);
        text->setObjectName("TxtA");

        auto *dialog = new QDialog(&window);
        dialogLabel = new QLabel("dialog", dialog);
        dialogLabel->setObjectName("LblEffect");
        auto *mdi = new QMdiArea(central);
        QMdiSubWindow *page = mdi->addSubWindow(new QWidget);
        pageLabel = new QLabel("page", page->widget());
        pageLabel->setObjectName("LblEffect");
    }
};

} // namespace

class tst_LanguageApplier : public QObject
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
    static QByteArray sample()
    {
        return "; test texts\n"
               "[T]\n"
               "file=&Datei\n"
               "new=&Neu\n"
               "language=&Sprache\n"
               "English=English\n"
               "tbToolBar=One,,Three,Four\n"
               "ListView1=H1,,H3,H4\n"
               "Base_TS=,Tab2\n"
               "FrmEffect=Frame text\n"
               "LblEffect=Label text\n"
               "LblTranceStyle=must not apply\n"
               "ChkA=Check text\n"
               "CmdExit=Button text\n"
               "Base_Option1=must not apply\n"
               "CobEffect=e1,e2,e3\n"
               "CobSpeed=must,not,apply\n"
               "TxtA=must not apply\n"
               "[简体中文]\n"
               "file=文件(&F)\n"
               "CobEffect=左移,右移\n"
               "[English]\n"
               "file=&File\n"
               "CobEffect=rightleft,leftright\n";
    }

private slots:
    void init() { writeLanguageFile(sample()); }

    void everyKindTakesItsText()
    {
        TestWindow w;
        ApplyLanguage(&w.window, "T", folder());
        QCOMPARE(w.window.windowTitle(), QString("Caption"));
        QCOMPARE(w.file->title(), QString("&Datei"));
        QCOMPARE(w.newAction->text(), QString("&Neu"));
        QCOMPARE(w.frame->title(), QString("Frame text"));
        QCOMPARE(w.label->text(), QString("Label text"));
        QCOMPARE(w.tranceStyle->text(), QString("TranceStyle:RS232"));
        QCOMPARE(w.optedOut->text(), QString("note"));
        QCOMPARE(w.check->text(), QString("Check text"));
        QCOMPARE(w.button->text(), QString("Button text"));
        QCOMPARE(w.option->text(), QString("RS232"));
        QCOMPARE(w.otherCombo->count(), 2);
        QCOMPARE(w.otherCombo->itemText(0), QString("1"));
        QCOMPARE(w.text->text(), QString("typed"));
        // Toolbar-only actions take tooltips through their toolbar, never a caption.
        QCOMPARE(w.toolButtons.at(0)->text(), QString("新建"));
        // Dialogs and page windows inside the window keep their texts.
        QCOMPARE(w.dialogLabel->text(), QString("dialog"));
        QCOMPARE(w.pageLabel->text(), QString("page"));
    }

    void listRules()
    {
        TestWindow w;
        ApplyLanguage(&w.window, "T", folder());
        // Toolbar: entries by button, separators and widgets not counted, empty ones skipped,
        // extra ones ignored.
        QCOMPARE(w.toolButtons.at(0)->toolTip(), QString("One"));
        QCOMPARE(w.toolButtons.at(1)->toolTip(), QString("old 打开"));
        QCOMPARE(w.toolButtons.at(2)->toolTip(), QString("Three"));
        QCOMPARE(languageListCapacity(w.toolBar), 3);
        // List view: an empty entry empties its header; extra entries ignored.
        QCOMPARE(w.list->headerItem()->text(0), QString("H1"));
        QCOMPARE(w.list->headerItem()->text(1), QString());
        QCOMPARE(w.list->headerItem()->text(2), QString("H3"));
        QCOMPARE(w.list->columnCount(), 3);
        // Tab strip: an empty entry leaves its caption.
        QCOMPARE(w.tabs->tabText(0), QString("t1"));
        QCOMPARE(w.tabs->tabText(1), QString("Tab2"));
    }

    void effectSelectorIsRefilledWithNothingSelected()
    {
        TestWindow w;
        w.effect->setCurrentIndex(1);
        QSignalSpy picks(w.effect, &QComboBox::currentIndexChanged);
        ApplyControlText(w.effect, "T", folder());
        QCOMPARE(w.effect->count(), 3);
        QCOMPARE(w.effect->itemText(2), QString("e3"));
        QCOMPARE(w.effect->currentIndex(), -1);
        QCOMPARE(picks.count(), 0); // a pick handler never writes the replacement into a row
    }

    void missingKeyGivesTheControlName()
    {
        TestWindow w;
        w.frame->setObjectName("FrameWithoutKey");
        w.list->setObjectName("ListWithoutKey");
        ApplyLanguage(&w.window, "T", folder());
        QCOMPARE(w.frame->title(), QString("FrameWithoutKey"));
        QCOMPARE(w.list->headerItem()->text(0), QString("ListWithoutKey"));
        QCOMPARE(w.list->headerItem()->text(1), QString("b"));
    }

    void missingFileGivesUnknow()
    {
        QFile::remove(m_dir.filePath("Language.lng"));
        TestWindow w;
        ApplyLanguage(&w.window, "T", folder());
        QCOMPARE(w.file->title(), QString("Unknow"));
        QCOMPARE(w.label->text(), QString("Unknow"));
        QCOMPARE(w.list->headerItem()->text(0), QString("Unknow"));
        QCOMPARE(w.list->headerItem()->text(1), QString("b"));
        QCOMPARE(w.toolButtons.at(0)->toolTip(), QString("Unknow"));
        QCOMPARE(w.toolButtons.at(2)->toolTip(), QString("old 保存"));
        QCOMPARE(w.tabs->tabText(0), QString("Unknow"));
        QCOMPARE(w.effect->count(), 1);
        QCOMPARE(w.effect->itemText(0), QString("Unknow"));
    }

    void fileNameLetterCaseCounts()
    {
        writeLanguageFile(sample(), "language.lng");
        QVERIFY(!LanguageFileExists(folder()));
        QCOMPARE(GetLanguageText(folder(), "T", "file"), QString("Unknow"));
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

    void emptySectionChangesNothing()
    {
        TestWindow w;
        ApplyLanguage(&w.window, QString(), folder());
        QCOMPARE(w.file->title(), QString("&File"));
        QCOMPARE(w.effect->count(), 2);
    }

    void sectionLookup()
    {
        QVERIFY(LanguageSectionExists(folder(), "T"));
        QVERIFY(LanguageSectionExists(folder(), "english"));
        QVERIFY(LanguageSectionExists(folder(), "简体中文"));
        QVERIFY(!LanguageSectionExists(folder(), "japBasic"));
        QFile::remove(m_dir.filePath("Language.lng"));
        QVERIFY(!LanguageSectionExists(folder(), "T"));
    }

    void controlOrderIsStable()
    {
        TestWindow w;
        QStringList first;
        for (QObject *o : languageControls(&w.window))
            first << o->objectName();
        QStringList second;
        for (QObject *o : languageControls(&w.window))
            second << o->objectName();
        QCOMPARE(first, second);
        QVERIFY(first.indexOf("file") < first.indexOf("new"));
        QCOMPARE(first.count("LblEffect"), 1); // the dialog's and the page's are not walked
    }

    void switchingLanguages()
    {
        TestWindow w;
        BaseSettings settings;
        settings.Language = "English";
        classIniFile ini;
        ini.setINIFileName(m_dir.filePath("BaseSet.ini"));
        ini.WriteIniKey("ScreenSet", "ScreenWidth", "8");
        LanguageSwitch languages(&w.window, &settings, folder());

        QVERIFY(languages.SetLanguage("简体中文"));
        QCOMPARE(w.file->title(), QString("文件(&F)"));
        QCOMPARE(w.effect->itemText(0), QString("左移"));
        QCOMPARE(settings.Language, QString("简体中文"));
        QVERIFY(w.chinese->isChecked() && !w.english->isChecked() && !w.jap->isChecked());
        QCOMPARE(ini.GetIniKey("Language", "Language"), QString("简体中文"));

        // "jap" moves only the check mark and is stored; texts and the field stay.
        QVERIFY(languages.SetLanguage("jap"));
        QVERIFY(w.jap->isChecked() && !w.english->isChecked() && !w.chinese->isChecked());
        QCOMPARE(w.file->title(), QString("文件(&F)"));
        QCOMPARE(settings.Language, QString("简体中文"));
        QCOMPARE(ini.GetIniKey("Language", "Language"), QString("jap"));
        // At the next start the stored "jap" comes back the same way.
        QVERIFY(languages.SetLanguage(ini.GetIniKey("Language", "Language")));
        QVERIFY(w.jap->isChecked());

        QVERIFY(languages.SetLanguage("English"));
        QCOMPARE(w.file->title(), QString("&File"));
        QCOMPARE(w.effect->itemText(1), QString("leftright"));
        QVERIFY(w.english->isChecked() && !w.chinese->isChecked() && !w.jap->isChecked());
        QCOMPARE(settings.Language, QString("English"));

        // Another name changes nothing but is stored; "english" is another name.
        QVERIFY(languages.SetLanguage("english"));
        QVERIFY(w.english->isChecked());
        QCOMPARE(settings.Language, QString("English"));
        QCOMPARE(ini.GetIniKey("Language", "Language"), QString("english"));
        QCOMPARE(ini.GetIniKey("ScreenSet", "ScreenWidth"), QString("8"));
    }

    void unwritableSettingsFileIsReported()
    {
        TestWindow w;
        BaseSettings settings;
        QTemporaryDir readOnly;
        LanguageSwitch languages(&w.window, &settings, readOnly.filePath("missing/folder"));
        QVERIFY(!languages.SetLanguage("English"));
    }
};

QTEST_MAIN(tst_LanguageApplier)
#include "tst_languageapplier.moc"
