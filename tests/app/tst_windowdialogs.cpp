#include "windowfixture.h"

#include "frmabout.h"
#include "frmdocument.h"
#include "frmset.h"
#include "link.h"
#include "linksettings.h"
#include "pagecanvas.h"
#include "standardtoolbar.h"
#include "testpty.h"

#include "basesettings.h"
#include "messages.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QRadioButton *option(FrmSet *dialog, int index)
{
    for (QRadioButton *b : dialog->findChildren<QRadioButton *>("Base_Option1")) {
        if (b->property("index").toInt() == index)
            return b;
    }
    qFatal("no option %d", index);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Sets PATH for the test's length and puts it back afterwards.
class PathOverride
{
public:
    explicit PathOverride(const QString &path)
        : m_old(qgetenv("PATH"))
    {
        qputenv("PATH", QFile::encodeName(path));
    }
    ~PathOverride() { qputenv("PATH", m_old); }

private:
    QByteArray m_old;
};

} // namespace

// The settings dialog and the About box opened from the real main window, which stays
// disabled until they close by any means, and the Tools menu's programs.
class tst_WindowDialogs : public QObject
{
    Q_OBJECT

private:
    static FrmSet *openSettings(MDIFrmMain &w)
    {
        w.menus().baseSet->trigger();
        FrmSet *dialog = shownWindow<FrmSet>();
        if (dialog && !QTest::qWaitForWindowExposed(dialog))
            qWarning("the settings dialog was not exposed");
        return dialog;
    }

private slots:
    void settingsDialogLocksTheWindowUntilClosed_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QString>("title"); // the menu item's text less its "&"
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("ok");
        QTest::addColumn<QString>("screenTab");
        QTest::newRow("Close button")
            << u"button"_s << false << u"Base Set"_s << u"EnglishBasic"_s << u"OK"_s << u"Screen"_s;
        QTest::newRow("close box, Chinese") << u"box"_s << true << u"基本设置"_s
                                            << u"简体中文Basic"_s << u"确定"_s << u"屏幕设置"_s;
        QTest::newRow("Escape") << u"escape"_s << false << u"Base Set"_s << u"EnglishBasic"_s
                                << u"OK"_s << u"Screen"_s;
    }
    void settingsDialogLocksTheWindowUntilClosed()
    {
        QFETCH(QString, how);
        QFETCH(bool, chinese);
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        if (chinese)
            w.menus().chinese->trigger();
        const QByteArray before = fileBytes(f.path("BaseSet.ini"));

        QPointer<FrmSet> dialog = openSettings(w);
        QVERIFY(dialog);
        QVERIFY(!w.isEnabled());
        QVERIFY(dialog->isEnabled());
        QTEST(dialog->windowTitle(), "title");
        QTEST(dialog->languageSection(), "section");
        QTEST(child<QPushButton>(dialog, "CmdOK")->text(), "ok");
        QTEST(child<QTabWidget>(dialog, "Base_TS")->tabText(1), "screenTab");
        QVERIFY(dialog->width() >= 5880 / 15); // its design width, not shrunk to fit
        QVERIFY(!w.close()); // the locked window ignores its close box
        QVERIFY(w.isVisible());
        child<QLineEdit>(dialog, "TxtWidth")->setText("30"); // discarded
        option(dialog, 0)->click();

        if (how == "button")
            QTest::mouseClick(child<QPushButton>(dialog, "CmdCancle"), Qt::LeftButton);
        else if (how == "box")
            dialog->close();
        else
            QTest::keyClick(dialog, Qt::Key_Escape);

        QTRY_VERIFY_WITH_TIMEOUT(dialog.isNull(), 5000); // every opening builds it afresh
        QVERIFY(w.isEnabled());
        QCOMPARE(fileBytes(f.path("BaseSet.ini")), before);
        QCOMPARE(baseSettings().ScreenWidth, qint16(8));
        QCOMPARE(baseSettings().Trance, qint16(2));
        QCOMPARE(f.control<QComboBox>("CobTxtWidth")->currentText(), QString("8"));
    }

    void okWithAWorkingSerialPortSavesAndApplies()
    {
        TestPty pty;
        QVERIFY(!pty.path().isEmpty());
        WindowFixture f;
        WindowFixture::Settings s;
        s.commPort = pty.path();
        MDIFrmMain &w = f.startWith(s);
        QCOMPARE(f.control<QLabel>("LblTranceStyle")->text(), QString("TranceStyle:TCP/IP"));

        QPointer<FrmSet> dialog = openSettings(w);
        QVERIFY(dialog);
        child<QTreeWidget>(dialog, "ListView1")->topLevelItem(0)->setCheckState(0, Qt::Checked);
        option(dialog, 0)->click();
        QCOMPARE(child<QComboBox>(dialog, "cboPort")->currentText(), pty.path());
        child<QComboBox>(dialog, "cboSpeed")->setCurrentText("19200");
        child<QComboBox>(dialog, "cboParity")->setCurrentText("Odd");
        child<QComboBox>(dialog, "cboStopBits")->setCurrentText("2");
        child<QLineEdit>(dialog, "TxtWidth")->setText(" 4 ");
        child<QLineEdit>(dialog, "TxtHeight")->setText("3");
        QTest::mouseClick(child<QPushButton>(dialog, "CmdOK"), Qt::LeftButton);

        QTRY_VERIFY_WITH_TIMEOUT(dialog.isNull(), 5000);
        QVERIFY(w.isEnabled());
        QVERIFY(f.prompts.prompts.isEmpty());
        // Saved...
        BaseSettings stored;
        LoadBaseSettings(stored, f.path("BaseSet.ini"));
        QCOMPARE(stored.Trance, qint16(0));
        QCOMPARE(stored.CommPort, pty.path());
        QCOMPARE(stored.CommSettings, QString("19200,O,8,2"));
        QCOMPARE(stored.ScreenWidth, qint16(4));
        QCOMPARE(stored.ScreenHeight, qint16(3));
        QCOMPARE(stored.IpStr, QString("127.0.0.1,9,1"));
        QCOMPARE(stored.MaxIPList, qint16(10));
        QCOMPARE(stored.Language, QString("English"));
        // ...in effect in the window...
        QCOMPARE(f.control<QLabel>("LblTranceStyle")->text(), QString("TranceStyle:RS232"));
        QCOMPARE(f.control<QComboBox>("CobTxtWidth")->currentText(), QString("4"));
        QCOMPARE(f.control<QComboBox>("CobTxtHeight")->currentText(), QString("3"));
        QCOMPARE(w.openDefaultDocument()->rtfText()->size(), QSize(4 * 16 + 2, 3 * 16 + 2));
        // ...and in the link, which holds the port open with the new line settings.
        QVERIFY(w.link().isSerialOpen());
        QCOMPARE(w.link().settings().CommPort, pty.path());
        QCOMPARE(w.link().settings().CommSettings, QString("19200,O,8,2"));
        QVERIFY(!w.serialPortInUse().isEmpty());

        // The next opening lists the port the link holds and selects it, leaving it open.
        dialog = openSettings(w);
        QVERIFY(dialog);
        QCOMPARE(child<QComboBox>(dialog, "cboPort")->currentText(), pty.path());
        QVERIFY(w.link().isSerialOpen());
        dialog->close();
        QTRY_VERIFY_WITH_TIMEOUT(w.isEnabled(), 5000);
    }

    void okWithAFailingLinkLeavesTheFile()
    {
        auto pty = std::make_unique<TestPty>();
        WindowFixture f;
        WindowFixture::Settings s;
        s.commPort = pty->path();
        MDIFrmMain &w = f.startWith(s);
        const QByteArray before = fileBytes(f.path("BaseSet.ini"));

        QPointer<FrmSet> dialog = openSettings(w);
        QVERIFY(dialog);
        option(dialog, 0)->click();
        QCOMPARE(child<QComboBox>(dialog, "cboPort")->currentText(), pty->path());
        child<QLineEdit>(dialog, "TxtWidth")->setText("4");
        pty.reset(); // the device is gone by the time OK opens it
        QTest::mouseClick(child<QPushButton>(dialog, "CmdOK"), Qt::LeftButton);

        // The link said why; nothing is saved or applied and the dialog stays, the window
        // still locked.
        QCOMPARE(f.prompts.prompts.size(), 1);
        QVERIFY(f.prompts.texts().first().startsWith(MsgText(Msg::PortInitError, "English")));
        QCOMPARE(fileBytes(f.path("BaseSet.ini")), before);
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!w.isEnabled());
        QCOMPARE(f.control<QLabel>("LblTranceStyle")->text(), QString("TranceStyle:TCP/IP"));
        QCOMPARE(f.control<QComboBox>("CobTxtWidth")->currentText(), QString("8"));

        dialog->close();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.isNull(), 5000);
        QVERIFY(w.isEnabled());
        QCOMPARE(fileBytes(f.path("BaseSet.ini")), before);
    }

    void aboutBoxLocksTheWindowUntilClosed_data()
    {
        QTest::addColumn<bool>("fromToolBar");
        QTest::addColumn<QString>("how");
        QTest::newRow("Help menu, OK") << false << u"OK"_s;
        QTest::newRow("toolbar key, close box") << true << u"box"_s;
        QTest::newRow("Help menu, Escape") << false << u"escape"_s;
        QTest::newRow("Help menu, deleted unclosed") << false << u"delete"_s;
    }
    void aboutBoxLocksTheWindowUntilClosed()
    {
        QFETCH(bool, fromToolBar);
        QFETCH(QString, how);
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        QApplication::setActiveWindow(&w);
        if (fromToolBar)
            w.tbToolBar()->button("帮助")->trigger();
        else
            w.menus().about->trigger();
        QPointer<frmAbout> about = shownWindow<frmAbout>();
        QVERIFY(about);
        QVERIFY(!w.isEnabled());
        QVERIFY(about->isEnabled()); // no child of the disabled window: it takes input
        QCOMPARE(about->windowTitle(), QString("About Vantrel V2.0..."));
        QVERIFY(
            child<QLabel>(about, "Label1")->text().startsWith("Vantrel V2.0\n\n版本 2.0.0.0\n"));
        QVERIFY(!child<QLabel>(about, "Picture1")->pixmap().isNull());

        if (how == "OK")
            QTest::mouseClick(child<QPushButton>(about, "Command1"), Qt::LeftButton);
        else if (how == "escape")
            QTest::keyClick(about, Qt::Key_Escape);
        else if (how == "box")
            about->close();
        else
            delete about.data();
        QTRY_VERIFY_WITH_TIMEOUT(about.isNull(), 5000);
        QVERIFY(w.isEnabled());
        if (how != "delete")
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), &w, 5000);
    }

    void toolsStartTheDesktopsPrograms()
    {
        QTemporaryDir bin;
        QTemporaryDir markers;
        for (const char *name : { "mousepad", "pinta" }) {
            QFile script(QDir(bin.path()).filePath(name));
            QVERIFY(script.open(QIODevice::WriteOnly));
            // Only shell built-ins: PATH holds nothing but the fake programs.
            script.write(QStringLiteral("#!/bin/sh\necho started > \"%1/%2.$$\"\n")
                             .arg(markers.path(), QString::fromLatin1(name))
                             .toUtf8());
            script.close();
            QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        const auto started = [&markers](const char *name) {
            return QDir(markers.path())
                .entryList({ QString::fromLatin1(name) + ".*" }, QDir::Files)
                .size();
        };

        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        {
            const PathOverride path(bin.path());
            w.menus().notebook->trigger();
            w.menus().notebook->trigger();
            w.menus().painter->trigger();
        }
        QTRY_COMPARE_WITH_TIMEOUT(started("mousepad"), 2, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(started("pinta"), 1, 10000);
        QVERIFY(f.prompts.prompts.isEmpty());

        // Nothing to start: a message in the interface language says what to install.
        QTemporaryDir empty;
        const PathOverride path(empty.path());
        w.menus().painter->trigger();
        QCOMPARE(f.prompts.texts().size(), 1);
        QVERIFY(f.prompts.texts().first().startsWith("No paint program was found"));
        QVERIFY(f.prompts.texts().first().endsWith("sudo apt install kolourpaint"));
        QCOMPARE(f.prompts.prompts.first().icon, PromptIcon::Exclamation);
        w.menus().chinese->trigger();
        w.menus().notebook->trigger();
        QVERIFY(f.prompts.texts().last().startsWith("未找到纯文本编辑器"));
        QVERIFY(f.prompts.texts().last().endsWith("sudo apt install mousepad"));
        QCOMPARE(f.prompts.prompts.last().title, QString("系统提示"));
        QVERIFY(w.isEnabled());
    }
};

QTEST_MAIN(tst_WindowDialogs)
#include "tst_windowdialogs.moc"
