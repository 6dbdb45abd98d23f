#include "windowfixture.h"

#include "formattoolbar.h"
#include "frmabout.h"
#include "frmdocument.h"
#include "frmset.h"
#include "link.h"
#include "linksettings.h"
#include "mainstatusbar.h"
#include "pagecanvas.h"
#include "standardtoolbar.h"

#include "basesettings.h"
#include "messages.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <pty.h>
#include <unistd.h>

#include <memory>

namespace {

// A real pseudo-terminal: its device path works as a serial port while the test holds it.
class Pty
{
public:
    Pty()
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0)
            m_path = QString::fromLocal8Bit(name);
    }
    ~Pty()
    {
        if (m_master >= 0)
            ::close(m_master);
        if (m_slave >= 0)
            ::close(m_slave);
    }
    QString path() const { return m_path; }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

// The shown top-level window of type T (the dialogs are lifted out of the main window).
template <typename T> T *shownWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *found = qobject_cast<T *>(w); found && found->isVisible())
            return found;
    }
    return nullptr;
}

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
        QTest::newRow("Close button") << "button";
        QTest::newRow("close box") << "box";
        QTest::newRow("Escape") << "escape";
    }
    void settingsDialogLocksTheWindowUntilClosed()
    {
        QFETCH(QString, how);
        WindowFixture f;
        f.writeSettings({});
        MDIFrmMain &w = f.start();
        const QByteArray before = fileBytes(f.path("BaseSet.ini"));

        QPointer<FrmSet> dialog = openSettings(w);
        QVERIFY(dialog);
        QVERIFY(!w.isEnabled());
        QVERIFY(dialog->isEnabled());
        QCOMPARE(dialog->windowTitle(), QString("Base Set")); // "&Base Set" less the "&"
        QCOMPARE(dialog->languageSection(), QString("EnglishBasic"));
        QVERIFY(dialog->width() >= 5880 / 15); // its design width, not shrunk to fit
        QVERIFY(!w.close()); // the locked window ignores its close box
        QVERIFY(w.isVisible());
        child<QLineEdit>(dialog, "TxtWidth")->setText("30"); // discarded

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
        QCOMPARE(f.control<QComboBox>("CobTxtWidth")->currentText(), QString("8"));
    }

    void okWithAWorkingSerialPortSavesAndApplies()
    {
        Pty pty;
        QVERIFY(!pty.path().isEmpty());
        WindowFixture f;
        WindowFixture::Settings s;
        s.commPort = pty.path();
        f.writeSettings(s);
        MDIFrmMain &w = f.start();
        QCOMPARE(f.control<QLabel>("LblTranceStyle")->text(), QString("TranceStyle:TCP/IP"));

        QPointer<FrmSet> dialog = openSettings(w);
        QVERIFY(dialog);
        option(dialog, 0)->click();
        QCOMPARE(child<QComboBox>(dialog, "cboPort")->currentText(), pty.path());
        child<QComboBox>(dialog, "cboSpeed")->setCurrentText("19200");
        child<QLineEdit>(dialog, "TxtWidth")->setText("4");
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
        QCOMPARE(stored.CommSettings, QString("19200,N,8,1"));
        QCOMPARE(stored.ScreenWidth, qint16(4));
        QCOMPARE(stored.ScreenHeight, qint16(3));
        // ...in effect in the window...
        QCOMPARE(f.control<QLabel>("LblTranceStyle")->text(), QString("TranceStyle:RS232"));
        QCOMPARE(f.control<QComboBox>("CobTxtWidth")->currentText(), QString("4"));
        QCOMPARE(f.control<QComboBox>("CobTxtHeight")->currentText(), QString("3"));
        QCOMPARE(w.openDefaultDocument()->rtfText()->size(), QSize(4 * 16 + 2, 3 * 16 + 2));
        // ...and in the link, which holds the port open with the new line settings.
        QVERIFY(w.link().isSerialOpen());
        QCOMPARE(w.link().settings().CommPort, pty.path());
        QCOMPARE(w.link().settings().CommSettings, QString("19200,N,8,1"));
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
        auto pty = std::make_unique<Pty>();
        WindowFixture f;
        WindowFixture::Settings s;
        s.commPort = pty->path();
        f.writeSettings(s);
        MDIFrmMain &w = f.start();
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

    void settingsDialogInChinese()
    {
        WindowFixture f;
        f.writeSettings({});
        MDIFrmMain &w = f.start();
        w.menus().chinese->trigger();
        QPointer<FrmSet> dialog = openSettings(w);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QString("基本设置")); // "基本设置(&B)" less "(&B)"
        QCOMPARE(dialog->languageSection(), QString("简体中文Basic"));
        QCOMPARE(child<QPushButton>(dialog, "CmdOK")->text(), QString("确定"));
        QCOMPARE(child<QTabWidget>(dialog, "Base_TS")->tabText(1), QString("屏幕设置"));
        QTest::mouseClick(child<QPushButton>(dialog, "CmdCancle"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(w.isEnabled(), 5000);
    }

    void aboutBoxLocksTheWindowUntilClosed_data()
    {
        QTest::addColumn<bool>("fromToolBar");
        QTest::addColumn<bool>("byButton");
        QTest::newRow("Help menu, OK") << false << true;
        QTest::newRow("toolbar key, close box") << true << false;
    }
    void aboutBoxLocksTheWindowUntilClosed()
    {
        QFETCH(bool, fromToolBar);
        QFETCH(bool, byButton);
        WindowFixture f;
        f.writeSettings({});
        MDIFrmMain &w = f.start();
        QApplication::setActiveWindow(&w);
        if (fromToolBar)
            w.tbToolBar()->button("帮助")->trigger();
        else
            w.menus().about->trigger();
        QPointer<frmAbout> about = shownWindow<frmAbout>();
        QVERIFY(about);
        QVERIFY(!w.isEnabled());
        QCOMPARE(about->windowTitle(), QString("About Vantrel V2.0..."));

        if (byButton)
            QTest::mouseClick(child<QPushButton>(about, "Command1"), Qt::LeftButton);
        else
            about->close();
        QTRY_VERIFY_WITH_TIMEOUT(about.isNull(), 5000);
        QVERIFY(w.isEnabled());
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
        f.writeSettings({});
        MDIFrmMain &w = f.start();
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
        QCOMPARE(f.prompts.texts(),
            QStringList({ ExternalToolLauncher::notFoundMessage(
                ExternalToolLauncher::Tool::PaintProgram, "English") }));
        QCOMPARE(f.prompts.prompts.first().icon, PromptIcon::Exclamation);
        w.menus().chinese->trigger();
        w.menus().notebook->trigger();
        QCOMPARE(f.prompts.texts().last(),
            ExternalToolLauncher::notFoundMessage(
                ExternalToolLauncher::Tool::TextEditor, "简体中文"));
        QCOMPARE(f.prompts.prompts.last().title, QString("系统提示"));
        QVERIFY(w.isEnabled());
    }
};

QTEST_MAIN(tst_WindowDialogs)
#include "tst_windowdialogs.moc"
