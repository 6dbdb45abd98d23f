#include "basesettings.h"
#include "messageboxanswerer.h"
#include "messages.h"
#include "ptypeer.h"
#include "settingsdialogdriver.h"
#include "settingshost.h"
#include "targetlistbar.h"
#include "testfiles.h"

#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The main window's side of the dialog: every link opens. Saving and applying through the
// real main window and link are tested in tests/mainwindow.
class FakeHost : public SettingsHost
{
public:
    bool openLink(qint16 trance) override
    {
        ++opens;
        openedKinds.append(trance);
        return opens > failOpens;
    }
    void applyScreenSettings(qint16 width, qint16 height, qint16 trance) override
    {
        applied.append({ width, height, trance });
    }
    QString serialPortInUse() const override { return {}; }

    QList<QList<int>> applied;
    QList<int> openedKinds;
    int opens = 0;
    int failOpens = 0; // the first so many opens fail
};

} // namespace

// The settings dialog on its own: what it shows of the stored settings, the target list,
// and the refusals of OK.
class tst_FrmSet : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    BaseSettings m_settings;
    FakeHost m_host;

    QString iniPath() const { return m_dir.filePath("BaseSet.ini"); }
    QByteArray iniBytes() const { return readFile(iniPath()); }
    QString written(const QString &name, const QByteArray &bytes) const
    {
        return ::writeFile(m_dir.filePath(name), bytes) ? m_dir.filePath(name) : QString();
    }
    std::unique_ptr<FrmSet> openDialog(const QString &path = QString())
    {
        auto dialog = std::make_unique<FrmSet>(
            &m_host, &m_settings, path.isEmpty() ? iniPath() : path, m_dir.path());
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.get()))
            qFatal("dialog not shown");
        return dialog;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::copy(QStringLiteral(VANTREL_SOURCE_DIR "/data/Language.lng"),
            m_dir.filePath("Language.lng")));
    }

    void init()
    {
        m_host = FakeHost();
        m_settings = defaultBaseSettings();
        m_settings.Trance = 2;
        m_settings.IpStr = "10.0.0.1,5005,1;10.0.0.2,5006,0";
        m_settings.MaxIPList = 3;
        QFile::remove(iniPath());
        QVERIFY(SaveBaseSettings(m_settings, iniPath()));
    }

    void loadShowsTheStoredSettings()
    {
        PtyPeer pty; // a port that opens, outside the machine's own list
        QVERIFY(pty.open());
        m_settings.Trance = 1;
        m_settings.CommPort = pty.devicePath();
        m_settings.CommSettings = "19200,e,7,1.5";
        m_settings.ScreenWidth = 12;
        m_settings.ScreenHeight = 3;
        m_settings.PerPixel = 20;
        m_settings.IpStr += ";10.0.0.3,1,1;10.0.0.4,2,1"; // one more than MaxIPList
        auto dialog = openDialog();
        QCOMPARE(shown(*dialog,
                     { "cboSpeed", "cboParity", "cboDataBits", "cboStopBits", "cboPort", "TxtWidth",
                         "TxtHeight", "TxtPerpix", "TxtServerIP" }),
            QStringList(
                { "19200", "Even", "7", "1.5", pty.devicePath(), "12", "3", "20", "127.0.0.1" }));
        QVERIFY(option(*dialog, 1)->isChecked());
        // The list string is rebuilt from the rows' texts and tick boxes.
        auto *list = child<QTreeWidget>(*dialog, "ListView1");
        list->topLevelItem(1)->setCheckState(0, Qt::Checked);
        list->topLevelItem(1)->setText(1, "7");
        QCOMPARE(dialog->BuildIpListString(), "10.0.0.1,5005,1;10.0.0.2,7,1;10.0.0.3,1,1");
        // The link kind chooses the frame shown.
        for (int kind : { 2, 1, 2, 0 }) {
            option(*dialog, kind)->click();
            QCOMPARE(dialog->linkKind(), qint16(kind));
            QCOMPARE(child<QWidget>(*dialog, "cboStopBits")->isVisible(), kind != 2);
            QCOMPARE(list->isVisible(), kind == 2);
        }
    }

    void ipAddRefusesInOrder()
    {
        auto dialog = openDialog();
        MessageBoxAnswerer boxes;
        auto *list = child<QTreeWidget>(*dialog, "ListView1");
        const auto add = [&](const QString &address) {
            setText(*dialog, "TxtServerIP", address);
            click(*dialog, "CmdIPListAdd");
        };
        setText(*dialog, "TxtServerPort", "5005");
        add("   "); // blank: incomplete
        add(" 10.0.0.1 "); // listed already, once trimmed
        add("10.0.0.1,9"); // would split the stored row
        QCOMPARE(list->topLevelItemCount(), 2);
        add("10.0.0.2"); // the same address with another port is a new, unticked target
        QCOMPARE(dialog->BuildIpListString(), "10.0.0.1,5005,1;10.0.0.2,5006,0;10.0.0.2,5005,0");
        QCOMPARE(shown(*dialog, { "TxtServerIP" }), QStringList({ "10.0.0.2" }));
        add(""); // full: the count is tested before the empty address
        QCOMPARE(list->topLevelItemCount(), 3);
        QStringList texts = boxes.texts();
        QVERIFY(texts.value(2).contains("\",\""));
        texts[2].clear();
        QCOMPARE(texts,
            QStringList(
                { MsgText(Msg::FillInComplete, "English"), MsgText(Msg::AlreadyInList, "English"),
                    QString(), MsgText(Msg::ListReachedMaximum, "English") }));
        QCOMPARE(boxes.seen.at(0).title, QString("Information"));
        QCOMPARE(boxes.seen.at(0).icon, QMessageBox::Warning);
        QCOMPARE(boxes.seen.at(1).icon, QMessageBox::Information);
    }

    void longTargetListsAreTickedAndMovedAsFiles()
    {
        m_settings.MaxIPList = 1000;
        QStringList rows;
        for (int i = 0; i < 1000; ++i)
            rows << QStringLiteral("10.0.%1.%2,5005,%3").arg(i / 250).arg(i % 250).arg(i % 2);
        m_settings.IpStr = rows.join(';');
        auto dialog = openDialog();
        MessageBoxAnswerer boxes;
        auto *list = child<QTreeWidget>(*dialog, "ListView1");
        QCOMPARE(list->topLevelItemCount(), 1000);
        QVERIFY(list->verticalScrollBar()->maximum() > 0);
        // Ten targets show at the dialog's default size.
        QVERIFY(list->visualItemRect(list->topLevelItem(9)).bottom() < list->viewport()->height());
        click(*dialog, "CmdTickAll");
        QVERIFY(!dialog->BuildIpListString().contains(",0"));
        const QString exported = m_dir.filePath("fleet.txt");
        QVERIFY(dialog->targetListBar()->exportTargets(exported));
        click(*dialog, "CmdTickNone");
        QVERIFY(!dialog->BuildIpListString().contains(",1"));
        // A file with a bad line changes nothing; a sound one replaces the list.
        const QString bad = written("bad.txt", "10.9.9.9,5005,1\n10.9.9.8,port,1\n");
        const QString before = dialog->BuildIpListString();
        QVERIFY(!dialog->targetListBar()->importTargets(bad));
        QCOMPARE(dialog->BuildIpListString(), before);
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY2(boxes.seen.first().text.contains("Line 2: the port \"port\""),
            qPrintable(boxes.seen.first().text));
        QVERIFY(dialog->targetListBar()->importTargets(exported));
        QCOMPARE(list->topLevelItemCount(), 1000);
        QVERIFY(!dialog->BuildIpListString().contains(",0"));
        QVERIFY(!dialog->targetListBar()->importTargets(m_dir.filePath("missing.txt")));
        QCOMPARE(boxes.seen.size(), 2);
        // A file without targets empties the list only when the operator says so.
        const QString none = written("none.txt", "");
        boxes.answer = QMessageBox::No;
        QVERIFY(!dialog->targetListBar()->importTargets(none));
        QCOMPARE(list->topLevelItemCount(), 1000);
        QCOMPARE(boxes.seen.last().icon, QMessageBox::Question);
        boxes.answer = QMessageBox::Yes;
        QVERIFY(dialog->targetListBar()->importTargets(none));
        QCOMPARE(list->topLevelItemCount(), 0);
    }

    // A language without a dialog section or prompts ("jap") keeps English, never blanks or
    // control names.
    void promptsFollowTheLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("said"); // the port's label, the prompt and its title
        QTest::newRow("Chinese") << u"简体中文"_s
                                 << QStringList({ "端口", "请将信息填写完整！", "系统提示" });
        QTest::newRow("jap") << u"jap"_s
                             << QStringList({ "Port", MsgText(Msg::FillInComplete, "English"),
                                    "Information" });
    }
    void promptsFollowTheLanguage()
    {
        QFETCH(QString, language);
        m_settings.Language = language;
        FrmSet dialog(&m_host, &m_settings, iniPath(), m_dir.path());
        MessageBoxAnswerer boxes;
        setText(dialog, "TxtServerPort", "");
        click(dialog, "CmdIPListAdd");
        QCOMPARE(boxes.seen.size(), 1);
        QTEST(QStringList({ child<QLabel>(dialog, "LblPort")->text(), boxes.seen.at(0).text,
                  boxes.seen.at(0).title }),
            "said");
    }

    void doubleClickDeletesAfterConfirmation()
    {
        auto dialog = openDialog();
        auto *list = child<QTreeWidget>(*dialog, "ListView1");
        const QPoint row = list->visualItemRect(list->topLevelItem(0)).center();
        MessageBoxAnswerer boxes;
        // A double-click is a press followed by a double-click event on the same row.
        const auto doubleClick = [&] {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
        };
        boxes.answer = QMessageBox::Cancel;
        doubleClick();
        QCOMPARE(boxes.texts(), QStringList({ MsgText(Msg::ConfirmDelete, "English") }));
        QCOMPARE(boxes.seen.at(0).icon, QMessageBox::Question);
        QCOMPARE(list->topLevelItemCount(), 2);
        boxes.answer = QMessageBox::Ok;
        doubleClick();
        QCOMPARE(dialog->BuildIpListString(), QString("10.0.0.2,5006,0"));
    }

    void badScreenFieldNamesTheField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("limits");
        QTest::newRow("letters in width")
            << u"TxtWidth"_s << u"abc"_s << u"Screen Width"_s << u"1 to 127"_s;
        // The packets carry width x 2 and height x 16 in one byte each.
        QTest::newRow("width past a packet")
            << u"TxtWidth"_s << u"128"_s << u"Screen Width"_s << u"1 to 127"_s;
        QTest::newRow("height past a packet")
            << u"TxtHeight"_s << u"16"_s << u"Screen Height"_s << u"1 to 15"_s;
        QTest::newRow("decimal height")
            << u"TxtHeight"_s << u"2.5"_s << u"Screen Height"_s << u"1 to 15"_s;
        QTest::newRow("beyond 16 bits")
            << u"TxtPerpix"_s << u"40000"_s << u"Screen PerPixel"_s << u"1 to 32767"_s;
    }
    void badScreenFieldNamesTheField()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, label);
        QFETCH(QString, limits);
        auto dialog = openDialog();
        const BaseSettings before = m_settings;
        const QByteArray file = iniBytes();
        MessageBoxAnswerer boxes;
        option(*dialog, 0)->click();
        setText(*dialog, field, value);
        click(*dialog, "CmdOK");
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY2(boxes.seen.at(0).text.startsWith(label + ": \"" + value + "\"")
                && boxes.seen.at(0).text.contains(limits),
            qPrintable(boxes.seen.at(0).text));
        QVERIFY(dialog->isVisible());
        QCOMPARE(child<QTabWidget>(*dialog, "Base_TS")->currentIndex(), 1);
        QCOMPARE(m_host.opens, 0);
        QCOMPARE(m_settings, before); // nothing copied, not even the new link kind
        QCOMPARE(iniBytes(), file);
    }

    void absentStoredPortIsKept()
    {
        // Only the targets are edited: OK keeps the port the machine does not have now.
        const QStringList port = { "78", "简体中文", "COM78（不存在）" };
        m_settings.CommPort = port.at(0);
        m_settings.Language = port.at(1);
        auto dialog = openDialog();
        QCOMPARE(shown(*dialog, { "cboPort" }).first(), port.at(2));
        dialog->FillIpList("10.0.0.9,5009,1");
        click(*dialog, "CmdOK");
        QVERIFY2(iniBytes().contains("CommPort=" + port.at(0).toUtf8() + "\n"), iniBytes());
    }

    void okNeedsALinkKindAndReportsAFailedSave()
    {
        // An unknown stored link kind selects none; OK asks for one and does nothing else.
        m_settings.Trance = 7;
        const QString unwritable = m_dir.filePath("no-such-folder/BaseSet.ini");
        auto dialog = openDialog(unwritable);
        QCOMPARE(dialog->linkKind(), qint16(-1));
        MessageBoxAnswerer boxes;
        click(*dialog, "CmdOK");
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY(boxes.seen.at(0).text.contains("RS232"));
        QCOMPARE(m_host.opens, 0);
        // With a kind the link opens, but the settings cannot be saved: nothing is applied
        // and the dialog stays for another try. (The saving OK: tests/mainwindow.)
        option(*dialog, 2)->click();
        click(*dialog, "CmdOK");
        QCOMPARE(m_host.opens, 1);
        QVERIFY(
            boxes.texts().value(1).startsWith("The settings could not be saved to " + unwritable));
        QVERIFY(dialog->isVisible() && m_host.applied.isEmpty());
    }

    void closeAfterARefusedLinkDiscardsTheCopy()
    {
        m_host.failOpens = 1;
        const BaseSettings before = m_settings;
        auto dialog = openDialog();
        option(*dialog, 0)->click();
        setText(*dialog, "TxtWidth", "20");
        click(*dialog, "CmdOK");
        QCOMPARE(m_settings.ScreenWidth, qint16(20)); // copied before the link opens
        click(*dialog, "CmdCancle");
        QVERIFY(!dialog->isVisible());
        QCOMPARE(m_settings, before);
        // The link goes back to the kind the record holds again.
        QCOMPARE(m_host.openedKinds, QList<int>({ 0, 2 }));
        // Closing an untouched dialog opens nothing.
        openDialog()->close();
        QCOMPARE(m_host.opens, 2);
    }
};

QTEST_MAIN(tst_FrmSet)
#include "tst_frmset.moc"
