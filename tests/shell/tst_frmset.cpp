#include "basesettings.h"
#include "classinifile.h"
#include "frmset.h"
#include "messageboxanswerer.h"
#include "messages.h"
#include "settingshost.h"
#include "testpty.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The main window's side of the dialog: every link opens. Saving and applying through the
// real main window and link are tested in tests/app.
class FakeHost : public SettingsHost
{
public:
    bool openLink(qint16) override
    {
        ++opens;
        return true;
    }
    void applyScreenSettings(qint16 width, qint16 height, qint16 trance) override
    {
        applied.append({ width, height, trance });
    }
    QString serialPortInUse() const override { return {}; }

    QList<QList<int>> applied;
    int opens = 0;
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
        m_host = FakeHost();
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
        TestPty pty;
        QVERIFY(!pty.path().isEmpty());
        m_settings.Trance = 1;
        m_settings.CommPort = pty.path();
        m_settings.CommSettings = "19200,e,7,1.5";
        m_settings.ScreenWidth = 12;
        m_settings.ScreenHeight = 3;
        m_settings.PerPixel = 20;
        m_settings.IpStr += ";10.0.0.3,1,1;10.0.0.4,2,1"; // one more than MaxIPList
        FrmSet dialog(&m_host, &m_settings, iniPath(), m_dir.path());
        show(dialog);

        QCOMPARE(child<QComboBox>(dialog, "cboSpeed")->currentText(), QString("19200"));
        QCOMPARE(child<QComboBox>(dialog, "cboParity")->currentText(), QString("Even"));
        QCOMPARE(child<QComboBox>(dialog, "cboDataBits")->currentText(), QString("7"));
        QCOMPARE(child<QComboBox>(dialog, "cboStopBits")->currentText(), QString("1.5"));
        QCOMPARE(child<QComboBox>(dialog, "cboPort")->currentText(), pty.path());
        QCOMPARE(child<QComboBox>(dialog, "cboSpeed")->count(), 17);
        QVERIFY(option(dialog, 1)->isChecked());
        QCOMPARE(dialog.linkKind(), qint16(1));
        QCOMPARE(child<QTabWidget>(dialog, "Base_TS")->currentIndex(), 0);
        QCOMPARE(child<QLineEdit>(dialog, "TxtWidth")->text(), QString("12"));
        QCOMPARE(child<QLineEdit>(dialog, "TxtHeight")->text(), QString("3"));
        QCOMPARE(child<QLineEdit>(dialog, "TxtPerpix")->text(), QString("20"));
        QCOMPARE(child<QLineEdit>(dialog, "TxtServerIP")->text(), QString("127.0.0.1"));

        auto *list = child<QTreeWidget>(dialog, "ListView1");
        QCOMPARE(
            dialog.BuildIpListString(), QString("10.0.0.1,5005,1;10.0.0.2,5006,0;10.0.0.3,1,1"));
        QCOMPARE(list->headerItem()->text(0), QString("IP Address"));
        QCOMPARE(list->topLevelItem(0)->checkState(0), Qt::Checked);
        QCOMPARE(list->topLevelItem(1)->text(1), QString("5006"));
        QCOMPARE(list->topLevelItem(1)->checkState(0), Qt::Unchecked);
    }

    void linkKindChoosesTheFrame()
    {
        FrmSet dialog(&m_host, &m_settings, iniPath(), m_dir.path());
        show(dialog);
        const auto shown = [&dialog] {
            QStringList names;
            for (const char *name : { "cboPort", "cboSpeed", "cboParity", "cboDataBits",
                     "cboStopBits", "TxtServerIP", "ListView1" })
                if (dialog.findChild<QWidget *>(name)->isVisible())
                    names << name;
            return names.join(' ');
        };
        const QString serial = "cboPort cboSpeed cboParity cboDataBits cboStopBits";
        const QString tcp = "TxtServerIP ListView1";
        QCOMPARE(shown(), tcp);
        option(dialog, 1)->click();
        QCOMPARE(dialog.linkKind(), qint16(1));
        QCOMPARE(shown(), serial);
        option(dialog, 2)->click();
        QCOMPARE(shown(), tcp);
        option(dialog, 0)->click();
        QCOMPARE(dialog.linkKind(), qint16(0));
        QCOMPARE(shown(), serial);
    }

    void unknownStoredPortKeepsTheInitialChoice()
    {
        m_settings.CommPort = "ttyUSB977";
        m_settings.CommSettings = "";
        FrmSet dialog(&m_host, &m_settings, iniPath(), m_dir.path());
        auto *port = child<QComboBox>(dialog, "cboPort");
        QCOMPARE(port->findText("ttyUSB977"), -1);
        QCOMPARE(port->currentIndex(), port->count() >= 2 ? 1 : port->count() - 1);
        QCOMPARE(child<QComboBox>(dialog, "cboSpeed")->currentText(), QString("9600"));
        QCOMPARE(child<QComboBox>(dialog, "cboParity")->currentText(), QString("None"));
    }

    void ipAddRefusesInOrder()
    {
        FrmSet dialog(&m_host, &m_settings, iniPath(), m_dir.path());
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
        FrmSet dialog(&m_host, &m_settings, iniPath(), m_dir.path());
        MessageBoxAnswerer boxes;
        setText(dialog, "TxtServerIP", "");
        child<QPushButton>(dialog, "CmdIPListAdd")->click();
        QCOMPARE(boxes.texts(), QStringList({ "请将信息填写完整！" }));
        QCOMPARE(boxes.seen.at(0).title, QString("系统提示"));

        // A language without a dialog section or prompts ("jap") keeps English, never blanks
        // or control names.
        m_settings.Language = "jap";
        FrmSet jap(&m_host, &m_settings, iniPath(), m_dir.path());
        QCOMPARE(jap.languageSection(), QString("EnglishBasic"));
        QCOMPARE(child<QLabel>(jap, "LblPort")->text(), QString("Port"));
        setText(jap, "TxtServerPort", "");
        child<QPushButton>(jap, "CmdIPListAdd")->click();
        QCOMPARE(boxes.seen.size(), 2);
        QCOMPARE(boxes.seen.at(1).text, MsgText(Msg::FillInComplete, "English"));
    }

    void doubleClickDeletesAfterConfirmation()
    {
        FrmSet dialog(&m_host, &m_settings, iniPath(), m_dir.path());
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
        QCOMPARE(dialog.BuildIpListString(), QString("10.0.0.2,5006,0"));
    }

    void badScreenFieldNamesTheField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("label");
        QTest::newRow("letters in width") << u"TxtWidth"_s << u"abc"_s << u"Screen Width"_s;
        QTest::newRow("empty width") << u"TxtWidth"_s << u""_s << u"Screen Width"_s;
        QTest::newRow("zero height") << u"TxtHeight"_s << u"0"_s << u"Screen Height"_s;
        QTest::newRow("decimal height") << u"TxtHeight"_s << u"2.5"_s << u"Screen Height"_s;
        QTest::newRow("beyond 16 bits") << u"TxtPerpix"_s << u"40000"_s << u"Screen PerPixel"_s;
    }
    void badScreenFieldNamesTheField()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, label);
        FrmSet dialog(&m_host, &m_settings, iniPath(), m_dir.path());
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
        QCOMPARE(m_host.opens, 0);
        QCOMPARE(m_settings, before); // nothing copied, not even the new link kind
        QCOMPARE(iniBytes(), file);
    }

    void saveFailureIsReportedAndTheDialogStays()
    {
        const QString unwritable = m_dir.filePath("no-such-folder/BaseSet.ini");
        FrmSet dialog(&m_host, &m_settings, unwritable, m_dir.path());
        show(dialog);
        MessageBoxAnswerer boxes;
        clickOk(dialog);
        QCOMPARE(boxes.texts(), QStringList({ settingsSaveFailedMessage(unwritable, "English") }));
        QVERIFY(dialog.isVisible());
        QVERIFY(m_host.applied.isEmpty());
    }

    void unknownStoredLinkKindAsksForOne()
    {
        m_settings.Trance = 7;
        FrmSet dialog(&m_host, &m_settings, iniPath(), m_dir.path());
        show(dialog);
        QCOMPARE(dialog.linkKind(), qint16(-1));
        MessageBoxAnswerer boxes;
        clickOk(dialog);
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY(boxes.seen.at(0).text.contains("RS232"));
        QCOMPARE(m_host.opens, 0);
        option(dialog, 2)->click();
        clickOk(dialog);
        QCOMPARE(m_host.opens, 1);
        QCOMPARE(m_host.applied, QList<QList<int>>({ { 8, 1, 2 } }));
        QVERIFY(!dialog.isVisible());
        BaseSettings stored;
        LoadBaseSettings(stored, iniPath());
        QCOMPARE(stored.Trance, qint16(2));
    }
};

QTEST_MAIN(tst_FrmSet)
#include "tst_frmset.moc"
