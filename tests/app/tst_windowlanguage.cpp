#include "windowfixture.h"

#include "effectpanel.h"
#include "formattoolbar.h"
#include "frmdocument.h"
#include "mainstatusbar.h"
#include "standardtoolbar.h"

#include "basesettings.h"
#include "classinifile.h"
#include "messages.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>

namespace {

QStringList itemTexts(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

QStringList headers(QTreeView *view)
{
    QStringList texts;
    for (int c = 0; c < view->model()->columnCount(); ++c)
        texts.append(view->model()->headerData(c, Qt::Horizontal).toString());
    return texts;
}

} // namespace

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
        f.writeSettings({});
        MDIFrmMain &w = f.start();
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
        QCOMPARE(w.tbFormatBar()->button("粗体")->toolTip(), QString("粗体"));
        QCOMPARE(w.tbFormatBar()->button("背景")->toolTip(), QString("页面背景"));
        QCOMPARE(w.tbToolBar()->button("插入表格")->toolTip(), QString("插入对象"));
        QCOMPARE(w.tbToolBar()->button("帮助")->toolTip(), QString("关于 Vantrel"));
        QCOMPARE(w.tbFormatBar()->button("粗体")->text(), QString("粗体")); // overflow menu
        QCOMPARE(w.tbFormatBar()->cboSize()->toolTip(), QString("字号"));
        QCOMPARE(itemTexts(f.control<QComboBox>("CobEffect")).size(), 11);
        QCOMPARE(f.control<QComboBox>("CobEffect")->itemText(0), QString("左移"));
        QCOMPARE(itemTexts(f.control<QComboBox>("CobEffectE")),
            QStringList({ "无", "左移", "右移", "上移", "下移", "静止" }));
        QCOMPARE(f.control<QComboBox>("CobEffect")->currentIndex(), 0);

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
        f.writeSettings({});
        MDIFrmMain &w = f.start();
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
        f.writeSettings({});
        MDIFrmMain &w = f.start();
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
    }

    void storedJapaneseIsSetAgainAtStart()
    {
        WindowFixture f;
        WindowFixture::Settings s;
        s.language = "jap";
        f.writeSettings(s);
        MDIFrmMain &w = f.start();
        QVERIFY(w.menus().jap->isChecked());
        QVERIFY(!w.menus().english->isChecked() && !w.menus().chinese->isChecked());
        // No section is applied: the built-in captions and effect items show.
        QCOMPARE(f.control<QMenu>("file")->title(), QString("&File"));
        QCOMPARE(f.control<QComboBox>("CobEffect")->currentText(), QString("rightleft"));
        QCOMPARE(storedLanguage(f), QString("jap"));
    }

    void storedChineseIsAppliedAtStart()
    {
        WindowFixture f;
        WindowFixture::Settings s;
        s.language = "简体中文";
        f.writeSettings(s);
        MDIFrmMain &w = f.start();
        QVERIFY(w.menus().chinese->isChecked());
        QCOMPARE(f.control<QMenu>("help")->title(), QString("帮助(&H)"));
        // Start-up fills the selectors after the texts: position 0 of the Chinese items.
        QCOMPARE(f.control<QComboBox>("CobEffect")->currentText(), QString("左移"));
        QCOMPARE(f.control<QComboBox>("CobEffectE")->currentText(), QString("无"));
        QCOMPARE(w.openDefaultDocument()->windowTitle(), QString("未命名"));
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
};

QTEST_MAIN(tst_WindowLanguage)
#include "tst_windowlanguage.moc"
