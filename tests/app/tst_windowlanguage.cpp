#include "windowfixture.h"

#include "effectpanel.h"
#include "formattoolbar.h"
#include "frmdocument.h"
#include "frmset.h"
#include "mainstatusbar.h"
#include "standardtoolbar.h"

#include "basesettings.h"
#include "classinifile.h"
#include "messages.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

// The interface language of the real main window: the Language menu, the texts of
// Language.lng on every kind of control, the stored choice, and the prompts.
class tst_WindowLanguage : public QObject
{
    Q_OBJECT

private:
    static QString storedLanguage(const WindowFixture &f)
    {
        classIniFile ini;
        ini.setINIFileName(f.path("BaseSet.ini"));
        return ini.GetIniKey("Language", "Language");
    }
    static QTreeView *list(WindowFixture &f) { return f.control<QTreeView>("ListView1"); }

private slots:
    void chineseReachesEveryKindOfControl()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        w.showNote("a note of the program's own");
        w.menus().chinese->trigger();

        QVERIFY(w.menus().chinese->isChecked());
        QVERIFY(!w.menus().english->isChecked() && !w.menus().jap->isChecked());
        QCOMPARE(baseSettings().Language, QString("简体中文"));
        QCOMPARE(storedLanguage(f), QString("简体中文"));

        // Menus and their items, labels, frames, buttons.
        QCOMPARE(f.control<QMenu>("file")->title(), QString("文件(&F)"));
        QCOMPARE(w.menus().newPage->text(), QString("新建(&N)"));
        QCOMPARE(w.menus().baseSet->text(), QString("基本设置(&B)"));
        QCOMPARE(w.menus().about->text(), QString("关于 Vantrel"));
        QCOMPARE(f.control<QGroupBox>("FrmEffect")->title(), QString("显示特效："));
        QCOMPARE(f.control<QLabel>("LblEffect")->text(), QString("进入特效"));
        QCOMPARE(f.control<QLabel>("LblTxtWidth")->text(), QString("文本宽度"));
        QCOMPARE(f.control<QLabel>("LblName")->text(), QString("Vantrel V2.0"));
        QCOMPARE(f.control<QPushButton>("CmdSendChecked")->text(), QString("发送页面"));
        // The labels the program fills keep their texts.
        QCOMPARE(f.control<QLabel>("LblTranceStyle")->text(), QString("TranceStyle:TCP/IP"));
        QCOMPARE(f.control<QLabel>("LblProgressValue")->text(), QString("0%"));
        QCOMPARE(f.control<QLabel>("StatusNote")->text(), QString("a note of the program's own"));

        // List headers, toolbar tooltips, effect selector items.
        QCOMPARE(headers(list(f)),
            QStringList({ "序号", "进入特效", "速度", "时间", "重复", "退出特效", "退出速度",
                "退出时间", "退出重复", "文本宽度", "文本高度", "文件名" }));
        QCOMPARE(w.tbFormatBar()->button("背景")->toolTip(), QString("页面背景"));
        QCOMPARE(w.tbToolBar()->button("插入表格")->toolTip(), QString("插入对象"));
        QCOMPARE(w.tbFormatBar()->button("背景")->text(), QString("页面背景")); // overflow menu
        QCOMPARE(w.tbFormatBar()->cboSize()->toolTip(), QString("字号"));
        QCOMPARE(f.control<QComboBox>("CobEffect")->count(), 11);
        QCOMPARE(itemTexts(f.control<QComboBox>("CobEffectE")),
            QStringList({ "无", "左移", "右移", "上移", "下移", "静止" }));
        QCOMPARE(f.control<QComboBox>("CobEffect")->currentText(), QString("左移"));

        // Texts of the program's own follow, page windows included.
        QCOMPARE(w.openDefaultDocument()->windowTitle(), QString("未命名"));
        QVERIFY(f.control<QDockWidget>("SignPreview")->windowTitle().startsWith("显示屏预览"));

        // Prompts come in the language from now on.
        QTest::mouseClick(f.control<QPushButton>("CmdSendChecked"), Qt::LeftButton);
        QCOMPARE(f.prompts.texts(), QStringList({ MsgText(Msg::AddTheFile, "简体中文") }));
        QCOMPARE(f.prompts.prompts.first().title, QString("系统提示"));

        // And back.
        w.menus().english->trigger();
        QCOMPARE(f.control<QMenu>("file")->title(), QString("&File"));
        QCOMPARE(headers(list(f)).first(), QString("NO."));
        QCOMPARE(f.control<QComboBox>("CobEffectE")->itemText(5), QString("stay"));
        QCOMPARE(w.openDefaultDocument()->windowTitle(), QString("Untitled"));
        QCOMPARE(storedLanguage(f), QString("English"));
    }

    void effectSelectorsKeepTheCurrentRowsChoice()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        for (const char *name : { "a.rtf", "b.rtf" })
            w.AddFileToListView(name, "8", "2");
        ProgramList &pl = w.programList();
        pl.model()->setCell(2, ListColumn::Effect, "7");
        pl.model()->setCell(2, ListColumn::EEffect, "5");
        clickIndex(list(f), list(f)->model()->index(1, 0));
        QCOMPARE(pl.CurrentRow, qint16(2));
        const QStringList before = pl.model()->rowTexts(2);

        w.menus().chinese->trigger();
        QCOMPARE(f.control<QComboBox>("CobEffect")->currentText(), QString("百叶窗"));
        QCOMPARE(f.control<QComboBox>("CobEffectE")->currentText(), QString("静止"));
        w.menus().english->trigger();
        QCOMPARE(f.control<QComboBox>("CobEffect")->currentText(), QString("shutter"));
        // No row's stored positions change, and a pick still writes positions.
        QCOMPARE(pl.model()->rowTexts(2), before);
        QCOMPARE(pl.model()->rowTexts(1).at(1), QString("0"));
        w.menus().chinese->trigger();
        pickText(f.control<QComboBox>("CobEffectE"), "上移");
        QCOMPARE(pl.model()->rowTexts(2).at(ListColumn::EEffect - 1), QString("3"));
        QVERIFY(f.prompts.prompts.isEmpty());
    }

    void japaneseMovesOnlyTheCheckMark()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        w.menus().chinese->trigger();
        w.menus().jap->trigger();
        QVERIFY(w.menus().jap->isChecked());
        QVERIFY(!w.menus().chinese->isChecked() && !w.menus().english->isChecked());
        QCOMPARE(f.control<QMenu>("file")->title(), QString("文件(&F)")); // texts stay
        QCOMPARE(baseSettings().Language, QString("简体中文"));
        QCOMPARE(storedLanguage(f), QString("jap"));

        // A name the menu does not offer changes nothing but is stored.
        w.SetLanguage("klingon");
        QVERIFY(w.menus().jap->isChecked());
        QCOMPARE(storedLanguage(f), QString("klingon"));

        // A choice that cannot be stored holds for the session, and the status bar says so.
        QVERIFY(QFile::remove(f.path("BaseSet.ini")));
        QVERIFY(QDir(f.folder()).mkdir("BaseSet.ini"));
        w.SetLanguage("English");
        QCOMPARE(f.control<QMenu>("file")->title(), QString("&File"));
        QVERIFY2(w.PicStatusBar()->note().contains("could not be stored"),
            qPrintable(w.PicStatusBar()->note()));
        QVERIFY(f.prompts.prompts.isEmpty());
    }

    void storedLanguageIsSetAgainAtStart_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("fileMenu");
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("exitEffect");
        QTest::addColumn<QString>("page");
        // "jap" applies no section: the built-in captions and effect items show.
        QTest::newRow("jap") << u"jap"_s << u"&File"_s << u"rightleft"_s << u"none"_s
                             << u"Untitled"_s;
        // Start-up fills the selectors after the texts: position 0 of the Chinese items.
        QTest::newRow("Chinese") << u"简体中文"_s << u"文件(&F)"_s << u"左移"_s << u"无"_s
                                 << u"未命名"_s;
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
        QTEST(f.control<QMenu>("file")->title(), "fileMenu");
        QTEST(f.control<QComboBox>("CobEffect")->currentText(), "effect");
        QTEST(f.control<QComboBox>("CobEffectE")->currentText(), "exitEffect");
        QTEST(w.openDefaultDocument()->windowTitle(), "page");
        QCOMPARE(storedLanguage(f), language);
    }

    void missingLanguageFileShowsUnknow()
    {
        WindowFixture f;
        f.writeSettings({});
        QVERIFY(QFile::remove(f.path("Language.lng")));
        MDIFrmMain &w = f.start();
        QCOMPARE(f.control<QMenu>("file")->title(), QString("Unknow"));
        QCOMPARE(w.menus().newPage->text(), QString("Unknow"));
        QCOMPARE(f.control<QLabel>("LblEffect")->text(), QString("Unknow"));
        QCOMPARE(headers(list(f)).at(0), QString("Unknow"));
        QCOMPARE(headers(list(f)).at(1), QString("Effect"));
        QCOMPARE(w.tbFormatBar()->button("粗体")->toolTip(), QString("Unknow"));
        QCOMPARE(w.tbFormatBar()->button("斜体")->toolTip(), QString("Italic"));
        QCOMPARE(itemTexts(f.control<QComboBox>("CobEffect")), QStringList({ "Unknow" }));
        QCOMPARE(itemTexts(f.control<QComboBox>("CobEffectE")), QStringList({ "Unknow" }));
        // The operator is told why, without a box to answer.
        QVERIFY(w.PicStatusBar()->note().contains("Language.lng"));
        QVERIFY(f.prompts.prompts.isEmpty());
    }

    void languageFileRules()
    {
        WindowFixture f;
        f.writeFile("Language.lng",
            "[English]\n"
            "file=&Datei\n"
            "tbToolBar=One,,Three,Four,Five,Six,Seven,Eight,Nine,Ten\n"
            "ListView1=H1,,H3\n"
            "CobEffect=e1,e2,e3\n"
            "CobSpeed=must,not,apply\n"
            "LblTranceStyle=must not apply\n"
            "[EnglishBasic]\n"
            "Base_TS=,Screen2\n"
            "Base_Option1=must not apply\n"
            "TxtServerIP=must not apply\n"
            "ListView1=Address,Port,Extra\n");
        MDIFrmMain &w = f.startWith();
        QCOMPARE(f.control<QMenu>("file")->title(), QString("&Datei"));
        // A key missing from the section gives the control's name.
        QCOMPARE(w.menus().newPage->text(), QString("new"));
        QCOMPARE(f.control<QGroupBox>("FrmEffect")->title(), QString("FrmEffect"));
        QCOMPARE(f.control<QComboBox>("CobEffectE")->currentText(), QString("CobEffectE"));
        // Toolbar tooltips by button, separators not counted, empty entries skipped, extra
        // ones ignored.
        const QList<QAction *> buttons = w.tbToolBar()->buttons();
        QStringList tips;
        for (QAction *button : buttons)
            tips << button->toolTip();
        QCOMPARE(tips,
            QStringList(
                { "One", "Open", "Three", "Four", "Five", "Six", "Seven", "Eight", "Nine" }));
        // An empty header entry empties its header; columns without an entry keep theirs.
        QCOMPARE(headers(list(f)).mid(0, 4), QStringList({ "H1", "", "H3", "Times" }));
        // Effect items replaced, other selectors and the program's own labels untouched.
        QCOMPARE(itemTexts(f.control<QComboBox>("CobEffect")), QStringList({ "e1", "e2", "e3" }));
        QCOMPARE(f.control<QComboBox>("CobEffect")->currentText(), QString("e1"));
        QCOMPARE(f.control<QComboBox>("CobSpeed")->count(), 25);
        QCOMPARE(f.control<QLabel>("LblTranceStyle")->text(), QString("TranceStyle:TCP/IP"));

        // The settings dialog: an empty tab entry leaves the caption; option buttons and text
        // boxes keep their own texts.
        w.menus().baseSet->trigger();
        QPointer<FrmSet> dialog = shownWindow<FrmSet>();
        QVERIFY(dialog);
        const auto *tabs = dialog->findChild<QTabWidget *>("Base_TS");
        QCOMPARE(tabs->tabText(0), QString("Trance"));
        QCOMPARE(tabs->tabText(1), QString("Screen2"));
        QCOMPARE(dialog->findChild<QLabel *>("LblPort")->text(), QString("LblPort"));
        QCOMPARE(dialog->findChild<QRadioButton *>("Base_Option1")->text(), QString("RS232"));
        QCOMPARE(dialog->findChild<QLineEdit *>("TxtServerIP")->text(), QString("127.0.0.1"));
        QCOMPARE(headers(dialog->findChild<QTreeWidget *>("ListView1")),
            QStringList({ "Address", "Port" }));
        dialog->close();
        QTRY_VERIFY_WITH_TIMEOUT(w.isEnabled(), 5000);
    }
};

QTEST_MAIN(tst_WindowLanguage)
#include "tst_windowlanguage.moc"
