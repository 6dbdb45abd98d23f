#include "basesettings.h"
#include "classinifile.h"
#include "frmset.h"
#include "link.h"
#include "linksettings.h"
#include "messageboxanswerer.h"
#include "messages.h"
#include "promptsink.h"
#include "settingshost.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The far end of a real pseudo-terminal: its device path works as a serial port while the
// test holds it open, and stops working once closed.
class Pty
{
public:
    Pty()
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0)
            m_path = QString::fromLocal8Bit(name);
    }
    ~Pty() { close(); }
    QString path() const { return m_path; }
    void close()
    {
        if (m_master >= 0)
            ::close(m_master);
        if (m_slave >= 0)
            ::close(m_slave);
        m_master = m_slave = -1;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

// The main window's side of the dialog, over a real link.
class LinkHost : public SettingsHost, public PromptSink
{
public:
    explicit LinkHost(BaseSettings *settings)
        : m_settings(settings)
        , link(this)
    { }

    bool openLink(qint16 trance) override
    {
        ++opens;
        link.setSettings(LinkSettings::fromBaseSettings(*m_settings));
        return link.OpenTrance(trance);
    }
    void applyScreenSettings(qint16 width, qint16 height, qint16 trance) override
    {
        applied.append({ width, height, trance });
    }
    QString serialPortInUse() const override
    {
        return link.isSerialOpen() ? m_settings->CommPort : QString();
    }
    void inform(const QString &text, const QString &, PromptIcon) override { prompts << text; }
    bool confirm(const QString &, const QString &) override { return true; }

private:
    BaseSettings *m_settings;

public:
    Link link;
    QStringList prompts;
    QList<QList<int>> applied;
    int opens = 0;
};

} // namespace

class tst_FrmSet : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    BaseSettings m_settings;

    QString iniPath() const { return m_dir.filePath("BaseSet.ini"); }
    QByteArray iniBytes() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    template <typename T> static T *child(FrmSet &dialog, const char *name)
    {
        T *found = dialog.findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    static QRadioButton *option(FrmSet &dialog, int index)
    {
        for (QRadioButton *b : dialog.findChildren<QRadioButton *>("Base_Option1")) {
            if (b->property("index").toInt() == index)
                return b;
        }
        qFatal("no option %d", index);
    }
    static void show(FrmSet &dialog)
    {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    }
    static void clickOk(FrmSet &dialog) { child<QPushButton>(dialog, "CmdOK")->click(); }
    static void setText(FrmSet &dialog, const char *name, const QString &text)
    {
        child<QLineEdit>(dialog, name)->setText(text);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::copy(QStringLiteral(VANTREL_SOURCE_DIR "/data/Language.lng"),
            m_dir.filePath("Language.lng")));
    }

    void init()
    {
        m_settings = defaultBaseSettings();
        m_settings.Trance = 2;
        m_settings.IpStr = "10.0.0.1,5005,1;10.0.0.2,5006,0";
        m_settings.MaxIPList = 3;
        QFile::remove(iniPath());
        QVERIFY(SaveBaseSettings(m_settings, iniPath()));
        classIniFile ini;
        ini.setINIFileName(iniPath());
        ini.WriteIniKey("ScreenSet", "MaxIPList", "3");
        ini.WriteIniKey("Language", "Language", "English");
    }

    void loadShowsTheStoredSettings()
    {
        Pty pty;
        QVERIFY(!pty.path().isEmpty());
        m_settings.Trance = 1;
        m_settings.CommPort = pty.path();
        m_settings.CommSettings = "19200,e,7,1.5";
        m_settings.ScreenWidth = 12;
        m_settings.ScreenHeight = 3;
        m_settings.PerPixel = 20;
        LinkHost host(&m_settings);
        FrmSet dialog(&host, &m_settings, iniPath(), m_dir.path());
        show(dialog);

        QCOMPARE(child<QComboBox>(dialog, "cboSpeed")->currentText(), QString("19200"));
        QCOMPARE(child<QComboBox>(dialog, "cboParity")->currentText(), QString("Even"));
        QCOMPARE(child<QComboBox>(dialog, "cboDataBits")->currentText(), QString("7"));
        QCOMPARE(child<QComboBox>(dialog, "cboStopBits")->currentText(), QString("1.5"));
        QCOMPARE(child<QComboBox>(dialog, "cboPort")->currentText(), pty.path());
        QCOMPARE(child<QComboBox>(dialog, "cboSpeed")->count(), 17);
        QVERIFY(option(dialog, 1)->isChecked());
        QCOMPARE(dialog.linkKind(), qint16(1));
        QVERIFY(child<QComboBox>(dialog, "cboPort")->isVisible());
        QVERIFY(!child<QTreeWidget>(dialog, "ListView1")->isVisible());
        QCOMPARE(child<QTabWidget>(dialog, "Base_TS")->currentIndex(), 0);
        QCOMPARE(child<QLineEdit>(dialog, "TxtWidth")->text(), QString("12"));
        QCOMPARE(child<QLineEdit>(dialog, "TxtHeight")->text(), QString("3"));
        QCOMPARE(child<QLineEdit>(dialog, "TxtPerpix")->text(), QString("20"));
        QCOMPARE(child<QLineEdit>(dialog, "TxtServerIP")->text(), QString("127.0.0.1"));

        // Texts from the language file; option buttons keep their own.
        QCOMPARE(dialog.languageSection(), QString("EnglishBasic"));
        QCOMPARE(child<QPushButton>(dialog, "CmdCancle")->text(), QString("Close"));
        QCOMPARE(child<QTabWidget>(dialog, "Base_TS")->tabText(1), QString("Screen"));
        QCOMPARE(option(dialog, 2)->text(), QString("TCP/IP"));

        auto *list = child<QTreeWidget>(dialog, "ListView1");
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->headerItem()->text(0), QString("IP Address"));
        QCOMPARE(list->topLevelItem(0)->checkState(0), Qt::Checked);
        QCOMPARE(list->topLevelItem(1)->text(1), QString("5006"));
        QCOMPARE(list->topLevelItem(1)->checkState(0), Qt::Unchecked);
    }

    void linkKindChoosesTheFrame()
    {
        LinkHost host(&m_settings);
        FrmSet dialog(&host, &m_settings, iniPath(), m_dir.path());
        show(dialog);
        QVERIFY(child<QTreeWidget>(dialog, "ListView1")->isVisible());
        QVERIFY(!child<QComboBox>(dialog, "cboPort")->isVisible());
        option(dialog, 1)->click();
        QCOMPARE(dialog.linkKind(), qint16(1));
        QVERIFY(child<QComboBox>(dialog, "cboParity")->isVisible());
        QVERIFY(!child<QLineEdit>(dialog, "TxtServerIP")->isVisible());
        option(dialog, 0)->click();
        QVERIFY(child<QComboBox>(dialog, "cboSpeed")->isVisible());
        option(dialog, 2)->click();
        QVERIFY(!child<QComboBox>(dialog, "cboSpeed")->isVisible());
    }

    void unknownStoredPortKeepsTheInitialChoice()
    {
        m_settings.CommPort = "ttyUSB977";
        m_settings.CommSettings = "";
        LinkHost host(&m_settings);
        FrmSet dialog(&host, &m_settings, iniPath(), m_dir.path());
        auto *port = child<QComboBox>(dialog, "cboPort");
        QCOMPARE(port->findText("ttyUSB977"), -1);
        QCOMPARE(port->currentIndex(), port->count() >= 2 ? 1 : port->count() - 1);
        QCOMPARE(child<QComboBox>(dialog, "cboSpeed")->currentText(), QString("9600"));
        QCOMPARE(child<QComboBox>(dialog, "cboParity")->currentText(), QString("None"));
    }

    void ipAddRefusesInOrder()
    {
        LinkHost host(&m_settings);
        FrmSet dialog(&host, &m_settings, iniPath(), m_dir.path());
        show(dialog);
        MessageBoxAnswerer boxes;
        auto *add = child<QPushButton>(dialog, "CmdIPListAdd");
        auto *list = child<QTreeWidget>(dialog, "ListView1");

        setText(dialog, "TxtServerIP", "   ");
        setText(dialog, "TxtServerPort", "5005");
        add->click();
        setText(dialog, "TxtServerIP", " 10.0.0.1 ");
        add->click();
        setText(dialog, "TxtServerIP", "10.0.0.1,9");
        add->click();
        QCOMPARE(list->topLevelItemCount(), 2);
        setText(dialog, "TxtServerIP", "10.0.0.2");
        add->click(); // the same address with another port is a new target
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(2)->text(0), QString("10.0.0.2"));
        QCOMPARE(list->topLevelItem(2)->text(1), QString("5005"));
        QCOMPARE(list->topLevelItem(2)->checkState(0), Qt::Unchecked);
        QCOMPARE(child<QLineEdit>(dialog, "TxtServerIP")->text(), QString("10.0.0.2"));
        setText(dialog, "TxtServerIP", "");
        add->click(); // full: the count is tested before the empty address

        QCOMPARE(boxes.seen.size(), 4);
        QCOMPARE(boxes.seen.at(0).text, MsgText(Msg::FillInComplete, "English"));
        QCOMPARE(boxes.seen.at(0).icon, QMessageBox::Warning);
        QCOMPARE(boxes.seen.at(0).title, QString("Information"));
        QCOMPARE(boxes.seen.at(1).text, MsgText(Msg::AlreadyInList, "English"));
        QCOMPARE(boxes.seen.at(1).icon, QMessageBox::Information);
        QVERIFY(boxes.seen.at(2).text.contains("\",\""));
        QCOMPARE(boxes.seen.at(3).text, MsgText(Msg::ListReachedMaximum, "English"));
        QCOMPARE(boxes.seen.at(3).icon, QMessageBox::Warning);
        QCOMPARE(list->topLevelItemCount(), 3);
    }

    void promptsFollowTheLanguage()
    {
        m_settings.Language = "简体中文";
        LinkHost host(&m_settings);
        FrmSet dialog(&host, &m_settings, iniPath(), m_dir.path());
        QCOMPARE(child<QPushButton>(dialog, "CmdOK")->text(), QString("确定"));
        MessageBoxAnswerer boxes;
        setText(dialog, "TxtServerIP", "");
        child<QPushButton>(dialog, "CmdIPListAdd")->click();
        QCOMPARE(boxes.texts(), QStringList({ "请将信息填写完整！" }));
        QCOMPARE(boxes.seen.at(0).title, QString("系统提示"));

        // A language without a dialog section or prompts ("jap") keeps English, never blanks
        // or control names.
        m_settings.Language = "jap";
        FrmSet jap(&host, &m_settings, iniPath(), m_dir.path());
        QCOMPARE(jap.languageSection(), QString("EnglishBasic"));
        QCOMPARE(child<QLabel>(jap, "LblPort")->text(), QString("Port"));
        setText(jap, "TxtServerPort", "");
        child<QPushButton>(jap, "CmdIPListAdd")->click();
        QCOMPARE(boxes.seen.size(), 2);
        QCOMPARE(boxes.seen.at(1).text, MsgText(Msg::FillInComplete, "English"));
    }

    void doubleClickDeletesAfterConfirmation()
    {
        LinkHost host(&m_settings);
        FrmSet dialog(&host, &m_settings, iniPath(), m_dir.path());
        show(dialog);
        auto *list = child<QTreeWidget>(dialog, "ListView1");
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
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(0), QString("10.0.0.2"));
        QCOMPARE(dialog.BuildIpListString(), QString("10.0.0.2,5006,0"));
    }

    void okWithAWorkingSerialPortSaves()
    {
        Pty pty;
        m_settings.Trance = 0;
        m_settings.CommPort = pty.path();
        LinkHost host(&m_settings);
        FrmSet dialog(&host, &m_settings, iniPath(), m_dir.path());
        show(dialog);
        QSignalSpy closed(&dialog, &FrmSet::closed);
        child<QComboBox>(dialog, "cboSpeed")->setCurrentText("115200");
        child<QComboBox>(dialog, "cboParity")->setCurrentText("Odd");
        child<QComboBox>(dialog, "cboStopBits")->setCurrentText("2");
        setText(dialog, "TxtWidth", " 16 ");
        setText(dialog, "TxtHeight", "2");
        child<QTreeWidget>(dialog, "ListView1")->topLevelItem(1)->setCheckState(0, Qt::Checked);
        option(dialog, 1)->click();
        clickOk(dialog);

        QVERIFY(host.link.isSerialOpen());
        QCOMPARE(host.prompts, QStringList());
        QCOMPARE(host.applied, QList<QList<int>>({ { 16, 2, 1 } }));
        QCOMPARE(closed.count(), 1);
        QVERIFY(!dialog.isVisible());

        BaseSettings stored;
        LoadBaseSettings(stored, iniPath());
        QCOMPARE(stored.Trance, qint16(1));
        QCOMPARE(stored.CommPort, pty.path());
        QCOMPARE(stored.CommSettings, QString("115200,O,8,2"));
        QCOMPARE(stored.ScreenWidth, qint16(16));
        QCOMPARE(stored.ScreenHeight, qint16(2));
        QCOMPARE(stored.IpStr, QString("10.0.0.1,5005,1;10.0.0.2,5006,1"));
        QCOMPARE(stored.MaxIPList, qint16(3));
        QCOMPARE(stored.Language, QString("English"));
    }

    void okWithAFailingLinkLeavesTheFile()
    {
        auto pty = std::make_unique<Pty>();
        m_settings.Trance = 0;
        m_settings.CommPort = pty->path();
        LinkHost host(&m_settings);
        FrmSet dialog(&host, &m_settings, iniPath(), m_dir.path());
        show(dialog);
        QCOMPARE(child<QComboBox>(dialog, "cboPort")->currentText(), pty->path());
        pty.reset(); // the device is gone by the time OK opens it
        const QByteArray before = iniBytes();
        QSignalSpy closed(&dialog, &FrmSet::closed);
        setText(dialog, "TxtWidth", "20");
        clickOk(dialog);

        QCOMPARE(host.opens, 1);
        QCOMPARE(host.prompts.size(), 1);
        QVERIFY(host.prompts.at(0).startsWith(MsgText(Msg::PortInitError, "English")));
        QCOMPARE(iniBytes(), before);
        QVERIFY(host.applied.isEmpty());
        QVERIFY(dialog.isVisible());
        QCOMPARE(closed.count(), 0);
        QCOMPARE(m_settings.ScreenWidth, qint16(20)); // copied before the link was tried
    }

    void badScreenFieldNamesTheField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("label");
        QTest::newRow("letters in width") << "TxtWidth"
                                          << "abc"
                                          << "Screen Width";
        QTest::newRow("zero height") << "TxtHeight"
                                     << "0"
                                     << "Screen Height";
        QTest::newRow("beyond 16 bits") << "TxtPerpix"
                                        << "40000"
                                        << "Screen PerPixel";
        QTest::newRow("empty width") << "TxtWidth"
                                     << ""
                                     << "Screen Width";
        QTest::newRow("decimal height") << "TxtHeight"
                                        << "2.5"
                                        << "Screen Height";
    }
    void badScreenFieldNamesTheField()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, label);
        LinkHost host(&m_settings);
        FrmSet dialog(&host, &m_settings, iniPath(), m_dir.path());
        show(dialog);
        const BaseSettings before = m_settings;
        const QByteArray file = iniBytes();
        MessageBoxAnswerer boxes;
        option(dialog, 0)->click();
        setText(dialog, qPrintable(field), value);
        clickOk(dialog);

        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY2(boxes.seen.at(0).text.startsWith(label + ": \"" + value + "\""),
            qPrintable(boxes.seen.at(0).text));
        QVERIFY(dialog.isVisible());
        QCOMPARE(child<QTabWidget>(dialog, "Base_TS")->currentIndex(), 1);
        QCOMPARE(host.opens, 0);
        QCOMPARE(m_settings, before); // nothing copied, not even the new link kind
        QCOMPARE(iniBytes(), file);
    }

    void saveFailureIsReportedAndTheDialogStays()
    {
        LinkHost host(&m_settings);
        const QString unwritable = m_dir.filePath("no-such-folder/BaseSet.ini");
        FrmSet dialog(&host, &m_settings, unwritable, m_dir.path());
        show(dialog);
        MessageBoxAnswerer boxes;
        clickOk(dialog);
        QCOMPARE(boxes.texts(), QStringList({ settingsSaveFailedMessage(unwritable, "English") }));
        QVERIFY(dialog.isVisible());
        QVERIFY(host.applied.isEmpty());
    }

    void closingDiscardsTheEdits()
    {
        const BaseSettings before = m_settings;
        const QByteArray file = iniBytes();
        LinkHost host(&m_settings);
        for (int way = 0; way < 3; ++way) {
            FrmSet dialog(&host, &m_settings, iniPath(), m_dir.path());
            show(dialog);
            QSignalSpy closed(&dialog, &FrmSet::closed);
            setText(dialog, "TxtWidth", "99");
            option(dialog, 0)->click();
            if (way == 0)
                child<QPushButton>(dialog, "CmdCancle")->click();
            else if (way == 1)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                dialog.close();
            QCOMPARE(closed.count(), 1);
            QVERIFY(!dialog.isVisible());
        }
        QCOMPARE(m_settings, before);
        QCOMPARE(iniBytes(), file);
        QCOMPARE(host.opens, 0);
    }

    void targetListLimitAndEmptyList()
    {
        m_settings.IpStr = "a,1,1;b,2,1;c,3,1;d,4,1;e,5,1";
        LinkHost host(&m_settings);
        {
            FrmSet dialog(&host, &m_settings, iniPath(), m_dir.path());
            show(dialog);
            QCOMPARE(child<QTreeWidget>(dialog, "ListView1")->topLevelItemCount(), 3);
            clickOk(dialog);
            QVERIFY(!dialog.isVisible());
        }
        BaseSettings stored;
        LoadBaseSettings(stored, iniPath());
        QCOMPARE(stored.IpStr, QString("a,1,1;b,2,1;c,3,1"));

        {
            FrmSet dialog(&host, &m_settings, iniPath(), m_dir.path());
            show(dialog);
            child<QTreeWidget>(dialog, "ListView1")->clear();
            clickOk(dialog);
        }
        LoadBaseSettings(stored, iniPath());
        QCOMPARE(stored.IpStr, QString());
        QVERIFY(iniBytes().contains("IPStr=\n") || iniBytes().contains("IpStr=\n"));
    }

    void probeLeavesTheOpenLinkAlone()
    {
        Pty pty;
        m_settings.Trance = 0;
        m_settings.CommPort = pty.path();
        LinkHost host(&m_settings);
        host.link.setSettings(LinkSettings::fromBaseSettings(m_settings));
        QVERIFY(host.link.OpenTrance(0));
        FrmSet dialog(&host, &m_settings, iniPath(), m_dir.path());
        QVERIFY(host.link.isSerialOpen());
        QCOMPARE(child<QComboBox>(dialog, "cboPort")->currentText(), pty.path());
    }

    void unknownStoredLinkKindAsksForOne()
    {
        m_settings.Trance = 7;
        LinkHost host(&m_settings);
        FrmSet dialog(&host, &m_settings, iniPath(), m_dir.path());
        show(dialog);
        QCOMPARE(dialog.linkKind(), qint16(-1));
        MessageBoxAnswerer boxes;
        clickOk(dialog);
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY(boxes.seen.at(0).text.contains("RS232"));
        QCOMPARE(host.opens, 0);
        option(dialog, 2)->click();
        clickOk(dialog);
        QCOMPARE(host.opens, 1);
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(tst_FrmSet)
#include "tst_frmset.moc"
