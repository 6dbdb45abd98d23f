#pragma once

#include <QDialog>
#include <QString>

class BrokerCheck;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Set > Sites: the broker this machine shares with its sites, kept in the [Sites] section of
// BaseSet.ini. OK checks the values as every reader of the section does and writes the whole
// section in one atomic write, every other section left as it was; a bad value is named in
// the dialog and nothing is written. "Test connection" tries the values in the fields
// without saving them and never blocks the window.
class SitesDialog : public QDialog
{
    Q_OBJECT

public:
    // The language file's section for the dialog is `language` + "Sites".
    SitesDialog(const QString &iniPath, const QString &programFolder, const QString &languageFolder,
        const QString &language, QWidget *parent = nullptr);

    QLineEdit *TxtBroker() const { return m_broker; }
    QLineEdit *TxtSite() const { return m_site; }
    QLineEdit *TxtUser() const { return m_user; }
    QLineEdit *TxtPasswordFile() const { return m_passwordFile; }
    QLineEdit *TxtCAFile() const { return m_caFile; }
    QCheckBox *ChkHomeAssistant() const { return m_homeAssistant; }
    QPushButton *CmdTest() const { return m_test; }
    QPushButton *CmdOK() const { return m_ok; }
    // What the last OK or test said.
    QLabel *LblSitesMessage() const { return m_message; }

signals:
    // [Sites] was written: whoever reads it reads it again.
    void saved();

private:
    void load();
    void save();
    void testConnection();
    void showMessage(bool ok, const QString &text);
    void browse(QLineEdit *field);

    QString m_iniPath;
    QString m_programFolder;
    QString m_language;
    BrokerCheck *m_check;
    QLineEdit *m_broker;
    QLineEdit *m_site;
    QLineEdit *m_user;
    QLineEdit *m_passwordFile;
    QLineEdit *m_caFile;
    QCheckBox *m_homeAssistant;
    QPushButton *m_test;
    QLabel *m_message;
    QPushButton *m_ok;
};
