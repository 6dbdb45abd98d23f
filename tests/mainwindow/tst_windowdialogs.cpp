#include "windowfixture.h"

#include "frmabout.h"
#include "link.h"
#include "mainstatusbar.h"
#include "messageboxanswerer.h"
#include "ptypeer.h"
#include "settingsdialogdriver.h"
#include "standardtoolbar.h"

#include "basesettings.h"
#include "messages.h"

#include <QDir>
#include <QLabel>
#include <QTreeWidget>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

FrmSet *openSettings(MDIFrmMain &w)
{
    w.menus().baseSet->trigger();
    FrmSet *dialog = shownWindow<FrmSet>();
    if (dialog && !QTest::qWaitForWindowExposed(dialog))
        qWarning("the settings dialog was not exposed");
    return dialog;
}

} // namespace

// The settings dialog and the About box opened from the real main window, which stays
// disabled until they close by any means, and the Tools menu's programs.
class tst_WindowDialogs : public QObject
{
    Q_OBJECT

private slots:
    void settingsDialogLocksTheWindowUntilClosed_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : { "Close button", "close box, Chinese", "Escape" })
            QTest::newRow(how) << QString::fromLatin1(how);
    }
    void settingsDialogLocksTheWindowUntilClosed()
    {
        QFETCH(QString, how);
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        const bool chinese = how.endsWith("Chinese");
        if (chinese)
            w.menus().chinese->trigger();
        const QByteArray before = f.bytes("BaseSet.ini");
        QPointer<FrmSet> dialog = openSettings(w);
        QVERIFY(dialog && dialog->isEnabled() && !w.isEnabled());
        QCOMPARE(dialog->windowTitle(), chinese ? u"基本设置"_s : u"Base Set"_s);
        QVERIFY(!w.close()); // the locked window ignores its close box
        setText(*dialog, "TxtWidth", "30"); // discarded
        option(*dialog, 0)->click();
        if (how == "Close button")
            QTest::mouseClick(child<QPushButton>(*dialog, "CmdCancle"), Qt::LeftButton);
        else if (how == "close box, Chinese")
            dialog->close();
        else
            QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(dialog.isNull(), 5000); // every opening builds it afresh
        QVERIFY(w.isEnabled());
        QCOMPARE(f.bytes("BaseSet.ini"), before);
        QCOMPARE(baseSettings().ScreenWidth, qint16(8));
    }

    void okWithAWorkingSerialPortSavesAndApplies()
    {
        PtyPeer pty;
        QVERIFY(pty.open());
        WindowFixture f;
        WindowFixture::Settings s;
        s.commPort = pty.devicePath();
        MDIFrmMain &w = f.startWith(s);
        QPointer<FrmSet> dialog = openSettings(w);
        QVERIFY(dialog);
        child<QTreeWidget>(*dialog, "ListView1")->topLevelItem(0)->setCheckState(0, Qt::Checked);
        option(*dialog, 0)->click();
        QCOMPARE(child<QComboBox>(*dialog, "cboPort")->currentText(), pty.devicePath());
        child<QComboBox>(*dialog, "cboSpeed")->setCurrentText("19200");
        child<QComboBox>(*dialog, "cboParity")->setCurrentText("Odd");
        child<QComboBox>(*dialog, "cboStopBits")->setCurrentText("2");
        setText(*dialog, "TxtWidth", " 4 ");
        setText(*dialog, "TxtHeight", "3");
        QTest::mouseClick(child<QPushButton>(*dialog, "CmdOK"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(dialog.isNull(), 5000);
        QVERIFY(w.isEnabled() && f.prompts.prompts.isEmpty());
        // Saved...
        QCOMPARE(
            QStringList({ f.iniValue("TranceSet", "Trance"), f.iniValue("TranceSet", "CommPort"),
                f.iniValue("TranceSet", "CommSettings"), f.iniValue("ScreenSet", "ScreenWidth"),
                f.iniValue("ScreenSet", "ScreenHeight") }),
            QStringList({ "0", pty.devicePath(), "19200,O,8,2", "4", "3" }));
        // ...in effect in the window...
        QCOMPARE(f.control<QLabel>("LblTranceStyle")->text(), QString("TranceStyle:RS232"));
        QCOMPARE(f.canvas()->canvasSize(), QSize(4 * 16 + 2, 3 * 16 + 2));
        // ...and in the link, which holds the port open with the new line settings.
        QVERIFY(w.link().isSerialOpen());
        QCOMPARE(w.link().settings().CommSettings, QString("19200,O,8,2"));
        // The next opening lists the port the link holds and selects it, leaving it open.
        dialog = openSettings(w);
        QVERIFY(dialog);
        QCOMPARE(child<QComboBox>(*dialog, "cboPort")->currentText(), pty.devicePath());
        QVERIFY(w.link().isSerialOpen());
        dialog->close();
        QTRY_VERIFY_WITH_TIMEOUT(w.isEnabled(), 5000);
    }

    void okWithAFailingLinkLeavesTheFile()
    {
        auto pty = std::make_unique<PtyPeer>();
        QVERIFY(pty->open());
        WindowFixture f;
        WindowFixture::Settings s;
        s.commPort = pty->devicePath();
        MDIFrmMain &w = f.startWith(s);
        const QByteArray before = f.bytes("BaseSet.ini");
        QPointer<FrmSet> dialog = openSettings(w);
        QVERIFY(dialog);
        option(*dialog, 0)->click();
        QCOMPARE(child<QComboBox>(*dialog, "cboPort")->currentText(), pty->devicePath());
        setText(*dialog, "TxtWidth", "4");
        pty.reset(); // the device is gone by the time OK opens it
        QTest::mouseClick(child<QPushButton>(*dialog, "CmdOK"), Qt::LeftButton);
        // The link said why; nothing is saved or applied and the dialog stays, the window
        // still locked.
        QCOMPARE(f.prompts.prompts.size(), 1);
        QVERIFY(f.prompts.texts().first().startsWith(MsgText(Msg::PortInitError, "English")));
        QVERIFY(dialog && dialog->isVisible() && !w.isEnabled());
        QCOMPARE(f.control<QLabel>("LblTranceStyle")->text(), QString("TranceStyle:TCP/IP"));
        QCOMPARE(baseSettings().ScreenWidth, qint16(4)); // copied for the link to use
        dialog->close();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.isNull(), 5000);
        QVERIFY(w.isEnabled());
        QCOMPARE(f.bytes("BaseSet.ini"), before);
        // Closing discards the copy; the TCP link of the record opens again without a word.
        QCOMPARE(baseSettings().ScreenWidth, qint16(8));
        QCOMPARE(baseSettings().Trance, qint16(2));
        QCOMPARE(f.prompts.prompts.size(), 1);
    }

    // As root the kernel would let every write through: the mode bits must hold on their own.
    void lockedSettingsFileOutlivesStartUpAndSave_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("reason");
        QTest::addRow("unreadable 0000") << 0000 << u"could not be read"_s;
        QTest::addRow("read-only 0444") << 0444 << u"read-only"_s;
    }
    void lockedSettingsFileOutlivesStartUpAndSave()
    {
        QFETCH(int, mode);
        QFETCH(QString, reason);
        WindowFixture f;
        f.writeSettings({});
        const QByteArray before = f.bytes("BaseSet.ini");
        const QByteArray ini = QFile::encodeName(f.path("BaseSet.ini"));
        QCOMPARE(::chmod(ini.constData(), mode_t(mode)), 0);
        const auto modeAndBytes = [&] {
            struct stat st
            {
            };
            ::stat(ini.constData(), &st);
            ::chmod(ini.constData(), 0600);
            const bool same
                = (st.st_mode & 07777) == mode_t(mode) && f.bytes("BaseSet.ini") == before;
            ::chmod(ini.constData(), mode_t(mode));
            return same;
        };
        // Start-up: an unreadable file is named and left alone; a read-only one that holds
        // the language needs no write and no word.
        MDIFrmMain &w = f.start();
        const bool readable = mode != 0;
        QCOMPARE(f.prompts.prompts.size(), readable ? 0 : 1);
        if (!readable)
            QVERIFY(f.prompts.texts().first().contains("could not be read"));
        QCOMPARE(w.PicStatusBar()->note().isEmpty(), readable);
        QVERIFY(modeAndBytes());
        // The settings dialog: the link opens, the save is refused with the reason, and Close
        // leaves memory as it was.
        const BaseSettings loaded = baseSettings();
        QPointer<FrmSet> dialog = openSettings(w);
        QVERIFY(dialog);
        setText(*dialog, "TxtWidth", "4");
        MessageBoxAnswerer boxes;
        QTest::mouseClick(child<QPushButton>(*dialog, "CmdOK"), Qt::LeftButton);
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY2(boxes.seen.first().text.contains(reason), qPrintable(boxes.seen.first().text));
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(baseSettings().ScreenWidth, qint16(4));
        QTest::mouseClick(child<QPushButton>(*dialog, "CmdCancle"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(dialog.isNull(), 5000);
        QCOMPARE(baseSettings(), loaded);
        QCOMPARE(f.box("CobTxtWidth")->currentText(), QString("8"));
        // A language pick holds for the session and says why it was not stored.
        w.menus().chinese->trigger();
        QCOMPARE(baseSettings().Language, u"简体中文"_s);
        QVERIFY2(w.PicStatusBar()->note().contains(readable ? u"只读"_s : u"无法读取"_s),
            qPrintable(w.PicStatusBar()->note()));
        QVERIFY(modeAndBytes());
    }

    void aboutBoxLocksTheWindowUntilClosed_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Help menu, OK") << u"OK"_s;
        QTest::newRow("toolbar key, close box") << u"box"_s;
        QTest::newRow("Help menu, deleted unclosed") << u"delete"_s;
    }
    void aboutBoxLocksTheWindowUntilClosed()
    {
        QFETCH(QString, how);
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        QApplication::setActiveWindow(&w);
        (how == "box" ? w.tbToolBar()->button("帮助") : w.menus().about)->trigger();
        QPointer<frmAbout> about = shownWindow<frmAbout>();
        QVERIFY(about && !w.isEnabled());
        QVERIFY(about->isEnabled()); // no child of the disabled window: it takes input
        // It says where this run keeps its settings and pages.
        QCOMPARE(child<QLabel>(*about, "LblProgramFolder")->text(),
            "Settings and pages: " + QDir::toNativeSeparators(f.folder()));
        if (how == "OK")
            QTest::mouseClick(child<QPushButton>(*about, "Command1"), Qt::LeftButton);
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
        // Fake programs that leave a marker file for each start, using only shell built-ins:
        // PATH holds nothing else.
        QTemporaryDir bin, markers;
        for (const QString name : { "mousepad", "pinta" }) {
            QFile script(QDir(bin.path()).filePath(name));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(
                u"#!/bin/sh\necho started > \"%1/%2.$$\"\n"_s.arg(markers.path(), name).toUtf8());
            script.close();
            QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        }
        const auto started = [&markers](const QString &name) {
            return QDir(markers.path()).entryList({ name + ".*" }, QDir::Files).size();
        };
        const QByteArray path = qgetenv("PATH");
        const auto restorePath = qScopeGuard([path] { qputenv("PATH", path); });
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        qputenv("PATH", QFile::encodeName(bin.path()));
        w.menus().notebook->trigger();
        w.menus().notebook->trigger();
        w.menus().painter->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(started("mousepad"), 2, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(started("pinta"), 1, 10000);
        QVERIFY(f.prompts.prompts.isEmpty());
        // Nothing to start: a message in the interface language says what to install.
        QTemporaryDir empty;
        qputenv("PATH", QFile::encodeName(empty.path()));
        w.menus().painter->trigger();
        QCOMPARE(f.prompts.texts().size(), 1);
        QVERIFY(f.prompts.texts().first().startsWith("No paint program was found"));
        QVERIFY(f.prompts.texts().first().endsWith("sudo apt install kolourpaint"));
        w.menus().chinese->trigger();
        w.menus().notebook->trigger();
        QVERIFY(f.prompts.texts().last().startsWith("未找到纯文本编辑器"));
    }
};

QTEST_MAIN(tst_WindowDialogs)
#include "tst_windowdialogs.moc"
