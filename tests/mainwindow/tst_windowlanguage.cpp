#include "windowfixture.h"

#include "effectpanel.h"
#include "formattoolbar.h"
#include "frmset.h"
#include "mainstatusbar.h"
#include "standardtoolbar.h"

#include "basesettings.h"
#include "classinifile.h"
#include "messages.h"

#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
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
    static QString fileMenu(const WindowFixture &f) { return f.control<QMenu>("file")->title(); }

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

        // Menus and their items, frames, labels, buttons, the toolbars' tooltips (also the
        // overflow menu's texts), the size box, the list headers and the effect items.
        const QStringList texts = { fileMenu(f), w.menus().newPage->text(),
            f.control<QGroupBox>("FrmEffect")->title(), f.control<QLabel>("LblEffect")->text(),
            f.control<QPushButton>("CmdSendChecked")->text(),
            w.tbFormatBar()->button("背景")->toolTip(), w.tbFormatBar()->button("背景")->text(),
            w.tbToolBar()->button("插入表格")->toolTip(), w.tbFormatBar()->cboSize()->toolTip() };
        QCOMPARE(texts,
            QStringList({ "文件(&F)", "新建(&N)", "显示特效：", "进入特效", "发送页面", "页面背景",
                "页面背景", "插入对象", "字号" }));
        QCOMPARE(headers(f.list()),
            QStringList({ "序号", "进入特效", "速度", "时间", "重复", "退出特效", "退出速度",
                "退出时间", "退出重复", "文本宽度", "文本高度", "文件名" }));
        QCOMPARE(f.box("CobEffect")->count(), 11);
        QCOMPARE(f.box("CobEffect")->currentText(), QString("左移"));
        QCOMPARE(itemTexts(f.box("CobEffectE")),
            QStringList({ "无", "左移", "右移", "上移", "下移", "静止" }));
        // The labels the program fills keep their texts.
        QCOMPARE(f.control<QLabel>("LblTranceStyle")->text(), QString("TranceStyle:TCP/IP"));
        QCOMPARE(f.control<QLabel>("StatusNote")->text(), QString("a note of the program's own"));
        // Texts of the program's own follow, page windows included.
        QCOMPARE(f.page()->windowTitle(), QString("未命名"));
        QVERIFY(f.control<QDockWidget>("SignPreview")->windowTitle().startsWith("显示屏预览"));
        // Prompts come in the language from now on.
        QTest::mouseClick(f.control<QPushButton>("CmdSendChecked"), Qt::LeftButton);
        QCOMPARE(f.prompts.texts(), QStringList({ MsgText(Msg::AddTheFile, "简体中文") }));
        QCOMPARE(f.prompts.prompts.first().title, QString("系统提示"));

        // And back.
        w.menus().english->trigger();
        QCOMPARE(fileMenu(f), QString("&File"));
        QCOMPARE(headers(f.list()).first(), QString("NO."));
        QCOMPARE(f.box("CobEffectE")->itemText(5), QString("stay"));
        QCOMPARE(f.page()->windowTitle(), QString("Untitled"));
        QCOMPARE(storedLanguage(f), QString("English"));
    }

    // Message boxes and Qt's dialogs take their words from Qt's own catalogue.
    void qtTextsFollowTheLanguage()
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
        QCOMPARE(QCoreApplication::translate("QFileDialog", "File &name:"), "文件名称(&N)：");
        w.menus().jap->trigger(); // keeps the texts it has
        QCOMPARE(buttons().first(), "确定");
        w.menus().english->trigger();
        QCOMPARE(buttons(), english);
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
        QCOMPARE(f.rowTexts(1).at(1), QString("0"));
        w.menus().chinese->trigger();
        pickText(f.box("CobEffectE"), "上移");
        QCOMPARE(f.rowTexts(2).at(ListColumn::EEffect - 1), QString("3"));
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
        QCOMPARE(fileMenu(f), QString("文件(&F)")); // texts stay
        QCOMPARE(baseSettings().Language, QString("简体中文"));
        QCOMPARE(storedLanguage(f), QString("jap"));

        // A choice that cannot be stored holds for the session, and the status bar says so.
        QVERIFY(QFile::remove(f.path("BaseSet.ini")));
        QVERIFY(QDir(f.folder()).mkdir("BaseSet.ini"));
        w.SetLanguage("English");
        QCOMPARE(fileMenu(f), QString("&File"));
        QVERIFY2(w.PicStatusBar()->note().contains("could not be stored"),
            qPrintable(w.PicStatusBar()->note()));
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
        QCOMPARE(storedLanguage(f), language);
    }

    void missingLanguageFileShowsUnknow()
    {
        WindowFixture f;
        f.writeSettings({});
        QVERIFY(QFile::remove(f.path("Language.lng")));
        MDIFrmMain &w = f.start();
        QCOMPARE(QStringList({ fileMenu(f), w.menus().newPage->text(),
                     f.control<QLabel>("LblEffect")->text(), headers(f.list()).at(0),
                     w.tbFormatBar()->button("粗体")->toolTip() }),
            QStringList(5, "Unknow"));
        // Lists get one "Unknow": the first header or tooltip, the whole effect list.
        QCOMPARE(headers(f.list()).at(1), QString("Effect"));
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
};

QTEST_MAIN(tst_WindowLanguage)
#include "tst_windowlanguage.moc"
