#pragma once

#include "basesettings.h"
#include "iptargetlist.h"

#include <QDialog>
#include <QList>

class SerialPortBox;
class SettingsHost;
class TargetListBar;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The settings dialog: link kind, serial line settings, TCP targets and screen geometry.
// Shown without a modal loop; every opening builds it afresh. OK copies the fields into the
// settings record, opens the link through the host and, only when it opens, saves the
// settings and puts them into effect; Close discards the edits, also those an OK that failed
// had copied: the record is again as it was when the dialog opened, and a link that OK
// opened or closed is opened again with it.
class FrmSet : public QDialog
{
    Q_OBJECT

public:
    // `settings` is the record edited, saved to `iniPath`; the texts come from the language
    // file in `languageFolder`. All must outlive the dialog.
    FrmSet(SettingsHost *host, BaseSettings *settings, const QString &iniPath,
        const QString &languageFolder, QWidget *parent = nullptr);
    // With the global settings record, BaseSet.ini and Language.lng of the program folder.
    explicit FrmSet(SettingsHost *host, QWidget *parent = nullptr);

    // The dialog caption for a menu item's text: "[&B]" and "(&B)" accelerator suffixes and
    // "&" markers removed ("&Base Set" gives "Base Set", "基本设置(&B)" gives "基本设置").
    static QString captionFromMenuText(const QString &menuText);

    // Fills the five serial selectors (the port probe first) and selects the stored values.
    void LoadPropertySettings();

    // Replaces the target list with the rows of `ipStr` (at most MaxIPList row positions).
    void FillIpList(const QString &ipStr);
    // The target list as a stored string.
    QString BuildIpListString() const;
    // Tick all / none, import and export under the target list.
    TargetListBar *targetListBar() const { return m_targetBar; }

    // Copies the fields into the settings record. False, after telling the user which field
    // is wrong, when a screen field is outside its range (kScreenFieldRanges) or no link kind
    // is chosen; the record is then unchanged.
    bool ReadSettingsFromDialog();

    // Puts the record's screen size and the chosen link kind into effect through the host.
    void ApplyScreenSettings();

    // The text of a run-time error number, "Other error..." for numbers the table lacks.
    static QString runTimeErrorText(int number);
    // Shows that text with an OK button, no icon and the application's title.
    void ShowRunTimeError(int number);

    // The selected link kind (0 RS232, 1 BlueTooth, 2 TCP/IP); -1 while none is chosen.
    qint16 linkKind() const { return m_linkKind; }
    // The language file section the dialog took its texts from.
    QString languageSection() const { return m_languageSection; }

    // Screen fields take whole numbers from 1. The sign's packets carry the width x 2 and
    // the height x 16 in one byte each; PerPixel is only held to 16 bits.
    static constexpr int kMinScreenValue = 1;
    static constexpr int kMaxScreenWidth = 127;
    static constexpr int kMaxScreenHeight = 15;
    static constexpr int kMaxPerPixel = 32767;

signals:
    // The dialog closed by any means: OK after the link opened, Close, Escape, the close box.
    void closed();

public slots:
    // Close, Escape and the close box: the edits are discarded.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildUi();
    void load();
    void Base_Option1_Click(int index);
    void CmdOK_Click();
    void CmdIPListAdd_Click();
    void ListView1_DblClick(QTreeWidgetItem *item);
    bool screenFieldValue(QLineEdit *field, QLabel *label, int maximum, qint16 *value);
    QList<IpTarget> targetRows() const;
    void setTargetRows(const QList<IpTarget> &rows);
    QString language() const;

    SettingsHost *m_host;
    BaseSettings *m_settings;
    QString m_iniPath;
    QString m_languageFolder;
    QString m_languageSection;
    qint16 m_linkKind = -1;
    bool m_okRunning = false;
    BaseSettings m_opened; // the record as the dialog found it
    bool m_linkTouched = false; // an OK opened (or tried to open) a link

    QTabWidget *Base_TS = nullptr;
    QButtonGroup *m_options = nullptr;
    QList<QRadioButton *> Base_Option1;
    QStackedWidget *m_linkPages = nullptr;
    SerialPortBox *FraSerial = nullptr;
    QWidget *FraTcp = nullptr;
    QLineEdit *TxtServerIP = nullptr;
    QLineEdit *TxtServerPort = nullptr;
    QPushButton *CmdIPListAdd = nullptr;
    QTreeWidget *ListView1 = nullptr;
    TargetListBar *m_targetBar = nullptr;
    QLineEdit *TxtWidth = nullptr;
    QLineEdit *TxtHeight = nullptr;
    QLineEdit *TxtPerpix = nullptr;
    QLabel *LblWidth = nullptr;
    QLabel *LblHeight = nullptr;
    QLabel *LblPerpix = nullptr;
    QPushButton *CmdOK = nullptr;
    QPushButton *CmdCancle = nullptr;
};
