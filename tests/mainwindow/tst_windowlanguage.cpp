#include "windowfixture.h"

#include "basesettings.h"
#include "formattoolbar.h"
#include "frmset.h"
#include "languageapplier.h"
#include "languagefile.h"
#include "mainstatusbar.h"
#include "messages.h"
#include "schedulewindow.h"
#include "sendmessagedialog.h"
#include "sitesdialog.h"
#include "standardtoolbar.h"

#include <QAction>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTreeWidget>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kLanguageFile = QStringLiteral(VANTREL_SOURCE_DIR "/data/Language.lng");

// The keys of `section` of the shipped language file.
QStringList sectionKeys(const QString &section)
{
    QSettings ini(kLanguageFile, QSettings::IniFormat);
    ini.beginGroup(section);
    return ini.childKeys();
}

// The value as the program reads it; "<missing>" when the section has no such key.
QString text(const QString &section, const QString &key)
{
    classIniFile ini;
    ini.setINIFileName(kLanguageFile);
    QString value;
    return ini.findIniKey(section, key, &value, kMaxLanguageTextBytes) ? value : u"<missing>"_s;
}

} // namespace

// The interface language of the real main window: the Language menu, the texts of
// Language.lng on every kind of control, the stored choice, and the prompts.
class tst_WindowLanguage : public QObject
{
    Q_OBJECT

private:
    static QString fileMenu(const WindowFixture &f) { return f.control<QMenu>("file")->title(); }

private slots:
    void chineseReachesEveryKindOfControl()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        w.showNote("own note"); // short: a long one is elided to the room the bar has
        w.menus().chinese->trigger();
        QVERIFY(w.menus().chinese->isChecked() && !w.menus().english->isChecked());
        QCOMPARE(baseSettings().Language, QString("简体中文"));
        QCOMPARE(f.iniValue("Language", "Language"), QString("简体中文"));
        // Menus and their items, frames, labels, buttons, the toolbars' tooltips (also the
        // overflow menu's texts), the size box, the list headers and the effect items.
        const QStringList texts = { fileMenu(f), f.control<QGroupBox>("FrmEffect")->title(),
            f.control<QPushButton>("CmdSendChecked")->text(),
            w.tbFormatBar()->button("背景")->text(), w.tbToolBar()->button("插入表格")->toolTip(),
            w.tbFormatBar()->cboSize()->toolTip() };
        QCOMPARE(texts,
            QStringList({ "文件(&F)", "显示特效：", "发送页面", "页面背景", "插入表格", "字号" }));
        QCOMPARE(headers(f.list()).last(), QString("文件名"));
        QCOMPARE(f.box("CobEffect")->currentText(), QString("左移"));
        QCOMPARE(f.box("CobEffectE")->itemText(5), QString("静止"));
        // The labels the program fills keep their texts.
        QCOMPARE(f.control<QLabel>("LblTranceStyle")->text(), QString("TranceStyle:TCP/IP"));
        QCOMPARE(f.control<QLabel>("StatusNote")->text(), QString("own note"));
        // Texts of the program's own follow, page windows included.
        QCOMPARE(f.page()->windowTitle(), QString("未命名"));
        QVERIFY(f.control<QDockWidget>("SignPreview")->windowTitle().startsWith("显示屏预览"));
        // Prompts come in the language from now on.
        f.press("CmdSendChecked");
        QCOMPARE(f.prompts.texts(), QStringList({ MsgText(Msg::AddTheFile, "简体中文") }));
        // And back.
        w.menus().english->trigger();
        QCOMPARE(fileMenu(f), QString("&File"));
        QCOMPARE(f.page()->windowTitle(), QString("Untitled"));
        QCOMPARE(f.iniValue("Language", "Language"), QString("English"));
    }

    // Message boxes and Qt's dialogs take their words from Qt's own catalogue.
    void qtTextsAndTheJapaneseItem()
    {
        const auto buttons = [] {
            QMessageBox box(QMessageBox::Question, "t", "x",
                QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
            QStringList texts;
            for (auto b :
                { QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::No })
                texts << box.button(b)->text();
            return texts;
        };
        const QStringList english = { "OK", "Cancel", "&Yes", "&No" };
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        QCOMPARE(buttons(), english);
        w.menus().chinese->trigger();
        QCOMPARE(buttons(), QStringList({ "确定", "取消", "是(&Y)", "否(&N)" }));
        // "jap" moves only the check mark: every text stays, and so does the language in use.
        w.menus().jap->trigger();
        QVERIFY(w.menus().jap->isChecked());
        QVERIFY(!w.menus().chinese->isChecked() && !w.menus().english->isChecked());
        QCOMPARE(buttons().first(), "确定");
        QCOMPARE(fileMenu(f), QString("文件(&F)"));
        QCOMPARE(baseSettings().Language, QString("简体中文"));
        QCOMPARE(f.iniValue("Language", "Language"), QString("jap"));
        w.menus().english->trigger();
        QCOMPARE(buttons(), english);
        QVERIFY(f.prompts.prompts.isEmpty());
    }

    void effectSelectorsKeepTheCurrentRowsChoice()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        f.addRows({ "a.rtf", "b.rtf" });
        ProgramList &pl = w.programList();
        pl.model()->setCell(2, ListColumn::Effect, "7");
        pl.model()->setCell(2, ListColumn::EEffect, "5");
        clickIndex(f.list(), f.row(2));
        const QStringList before = f.rowTexts(2);
        w.menus().chinese->trigger();
        QCOMPARE(f.box("CobEffect")->currentText(), QString("百叶窗"));
        QCOMPARE(f.box("CobEffectE")->currentText(), QString("静止"));
        w.menus().english->trigger();
        QCOMPARE(f.box("CobEffect")->currentText(), QString("shutter"));
        // No row's stored positions change, and a pick still writes positions.
        QCOMPARE(f.rowTexts(2), before);
        w.menus().chinese->trigger();
        pickText(f.box("CobEffectE"), "上移");
        QCOMPARE(f.rowTexts(2).at(ListColumn::EEffect - 1), QString("3"));
        QVERIFY(f.prompts.prompts.isEmpty());
    }

    void storedLanguageIsSetAgainAtStart_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("shown"); // File menu, both effects, the page's caption
        // "jap" applies no section: the built-in captions and effect items show.
        QTest::newRow("jap") << u"jap"_s
                             << QStringList({ "&File", "rightleft", "none", "Untitled" });
        // Start-up fills the selectors after the texts: position 0 of the Chinese items.
        QTest::newRow("Chinese") << u"简体中文"_s
                                 << QStringList({ "文件(&F)", "左移", "无", "未命名" });
    }
    void storedLanguageIsSetAgainAtStart()
    {
        QFETCH(QString, language);
        WindowFixture f;
        WindowFixture::Settings s;
        s.language = language;
        MDIFrmMain &w = f.startWith(s);
        QCOMPARE(w.menus().jap->isChecked(), language == "jap");
        QCOMPARE(w.menus().chinese->isChecked(), language != "jap");
        QVERIFY(!w.menus().english->isChecked());
        QTEST(QStringList({ fileMenu(f), f.box("CobEffect")->currentText(),
                  f.box("CobEffectE")->currentText(), f.page()->windowTitle() }),
            "shown");
        QCOMPARE(f.iniValue("Language", "Language"), language);
    }

    void missingLanguageFileShowsUnknow()
    {
        WindowFixture f;
        f.writeSettings({});
        QVERIFY(QFile::remove(f.path("Language.lng")));
        MDIFrmMain &w = f.start();
        QCOMPARE(QStringList({ fileMenu(f), f.control<QLabel>("LblEffect")->text(),
                     headers(f.list()).at(0), w.tbFormatBar()->button("粗体")->toolTip() }),
            QStringList(4, "Unknow"));
        // Lists get one "Unknow": the first header or tooltip, the whole effect list.
        QCOMPARE(w.tbFormatBar()->button("斜体")->toolTip(), QString("Italic"));
        QCOMPARE(itemTexts(f.box("CobEffect")) + itemTexts(f.box("CobEffectE")),
            QStringList({ "Unknow", "Unknow" }));
        // The operator is told why, without a box to answer.
        QVERIFY(w.PicStatusBar()->note().contains("Language.lng"));
        QVERIFY(f.prompts.prompts.isEmpty());
    }

    // What tests/settings, tests/language and tests/playlist leave to the real controls: toolbar
    // entries by button, and the kinds of control that take no text.
    void languageFileRules()
    {
        WindowFixture f;
        f.writeFile("Language.lng",
            "[English]\ntbToolBar=One,,Three,Four,Five,Six,Seven,Eight,Nine,Ten\n"
            "CobSpeed=must,not,apply\nLblTranceStyle=must not apply\n"
            "[EnglishBasic]\nBase_TS=,Screen2\nBase_Option1=must not apply\n"
            "TxtServerIP=must not apply\nListView1=Address,Port,Extra\n");
        MDIFrmMain &w = f.startWith();
        // Separators not counted, empty entries skipped, extra ones ignored.
        QStringList tips;
        for (QAction *button : w.tbToolBar()->buttons())
            tips << button->toolTip();
        QCOMPARE(tips,
            QStringList(
                { "One", "Open", "Three", "Four", "Five", "Six", "Seven", "Eight", "Nine" }));
        QCOMPARE(f.box("CobSpeed")->count(), 25);
        QCOMPARE(f.control<QLabel>("LblTranceStyle")->text(), QString("TranceStyle:TCP/IP"));
        w.menus().baseSet->trigger();
        QPointer<FrmSet> dialog = shownWindow<FrmSet>();
        QVERIFY(dialog);
        const auto *tabs = dialog->findChild<QTabWidget *>("Base_TS");
        QCOMPARE(QStringList({ tabs->tabText(0), tabs->tabText(1),
                     dialog->findChild<QLabel *>("LblPort")->text(),
                     dialog->findChild<QRadioButton *>("Base_Option1")->text(),
                     dialog->findChild<QLineEdit *>("TxtServerIP")->text() }),
            QStringList({ "Trance", "Screen2", "LblPort", "RS232", "127.0.0.1" }));
        QCOMPARE(headers(dialog->findChild<QTreeWidget *>("ListView1")),
            QStringList({ "Address", "Port" }));
        dialog->close();
        QTRY_VERIFY_WITH_TIMEOUT(w.isEnabled(), 5000);
    }

    void everyLookedUpKeyExists_data()
    {
        // "…Basic": the settings dialog's; "…Schedule": the Schedule window's; "…Sites": the
        // Sites and message dialogs'.
        QTest::addColumn<QString>("section");
        for (const char *section : { "English", "简体中文", "EnglishBasic", "简体中文Basic",
                 "EnglishSchedule", "简体中文Schedule", "EnglishSites", "简体中文Sites" })
            QTest::newRow(section) << QString::fromUtf8(section);
    }
    void everyLookedUpKeyExists()
    {
        QFETCH(QString, section);
        QString suffix;
        for (const QString &s : { u"Basic"_s, u"Schedule"_s, u"Sites"_s })
            if (section.endsWith(s))
                suffix = s;
        const QString english = u"English"_s + suffix;
        QTemporaryDir folder;
        setProgramFolder(folder.path());
        BaseSettings settings = defaultBaseSettings();
        std::vector<std::unique_ptr<QWidget>> windows;
        if (suffix == "Basic") {
            windows.push_back(
                std::make_unique<FrmSet>(nullptr, &settings, QString(), folder.path()));
        } else if (suffix == "Schedule") {
            windows.push_back(std::make_unique<ScheduleWindow>(
                ScheduleWindowServices(), folder.path(), folder.path()));
        } else if (suffix == "Sites") {
            windows.push_back(std::make_unique<SitesDialog>(
                folder.filePath("BaseSet.ini"), folder.path(), folder.path(), u"English"_s));
            windows.push_back(
                std::make_unique<SendMessageDialog>(u"all"_s, folder.path(), u"English"_s));
        } else {
            windows.push_back(std::make_unique<MDIFrmMain>());
        }
        QStringList named;
        QList<QObject *> controls;
        for (const auto &window : windows)
            controls += languageControls(window.get());
        for (QObject *control : controls) {
            named.append(control->objectName());
            if (languageControlKind(control) == LanguageControlKind::None)
                continue;
            const QString key = control->objectName();
            const QString value = text(section, key);
            QVERIFY2(value != "<missing>", qPrintable(section + " has no key " + key));
            QVERIFY2(!value.isEmpty() && !splitLanguageList(value).contains(QString()),
                qPrintable(section + ": an empty text for " + key));
            const int capacity = languageListCapacity(control);
            QVERIFY2(capacity <= 0 || splitLanguageList(value).size() == capacity,
                qPrintable(QStringLiteral("%1: %2 has %3 entries for %4 places")
                               .arg(section, key)
                               .arg(splitLanguageList(value).size())
                               .arg(capacity)));
        }
        const QStringList keys = sectionKeys(section);
        QVERIFY(keys.size() > 10);
        for (const QString &key : keys) {
            QVERIFY2(named.contains(key), qPrintable(section + ": no control is named " + key));
            // Only the language names and the program's name read the same in both.
            if (section != english
                && !QStringList({ "English", "chinese", "jap", "LblName" }).contains(key))
                QVERIFY2(text(section, key) != text(english, key),
                    qPrintable(section + ": untranslated " + key));
        }
    }
};

QTEST_MAIN(tst_WindowLanguage)
#include "tst_windowlanguage.moc"
