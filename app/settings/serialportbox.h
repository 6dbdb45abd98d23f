#pragma once

#include <QGroupBox>

class QComboBox;

// The settings dialog's serial frame FraSerial: the port cboPort and the line settings
// cboSpeed, cboDataBits, cboStopBits and cboParity, each with its label.
class SerialPortBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit SerialPortBox(QWidget *parent = nullptr);

    // Fills the five selectors (the port probe first) and selects the stored port `commPort`
    // and line settings `commSettings`. The port `portInUse` (held open by the program, "" for
    // none) is listed without being touched; a stored port that is not here now stays
    // stored, listed as absent in `language`.
    void load(const QString &commPort, const QString &commSettings, const QString &portInUse,
        const QString &language);

    // The port to store, "" when none is selected.
    QString commPort() const;
    // The line settings to store, such as 9600,N,8,1.
    QString commSettings() const;

private:
    QComboBox *cboPort;
    QComboBox *cboSpeed;
    QComboBox *cboDataBits;
    QComboBox *cboStopBits;
    QComboBox *cboParity;
};
