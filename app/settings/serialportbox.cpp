#include "serialportbox.h"

#include "commsettingsfields.h"
#include "portprobe.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>

namespace {

QComboBox *makeSelector(const QString &name)
{
    auto *box = new QComboBox;
    box->setObjectName(name);
    box->setEditable(false);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

QLabel *makeLabel(const QString &name, const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

// Selects the entry whose text equals `text`; leaves the selection when there is none.
void selectEntry(QComboBox *box, const QString &text)
{
    if (text.isEmpty())
        return;
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        box->setCurrentIndex(index);
}

} // namespace

SerialPortBox::SerialPortBox(QWidget *parent)
    : QGroupBox(QStringLiteral("Serial port"), parent)
    , cboPort(makeSelector(QStringLiteral("cboPort")))
    , cboSpeed(makeSelector(QStringLiteral("cboSpeed")))
    , cboDataBits(makeSelector(QStringLiteral("cboDataBits")))
    , cboStopBits(makeSelector(QStringLiteral("cboStopBits")))
    , cboParity(makeSelector(QStringLiteral("cboParity")))
{
    setObjectName(QStringLiteral("FraSerial"));
    cboPort->setMinimumContentsLength(12);
    auto *layout = new QFormLayout(this);
    layout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    layout->addRow(makeLabel(QStringLiteral("LblPort"), QStringLiteral("Port"), cboPort), cboPort);
    layout->addRow(
        makeLabel(QStringLiteral("LblBaud"), QStringLiteral("Baud rate"), cboSpeed), cboSpeed);
    layout->addRow(
        makeLabel(QStringLiteral("LblDataBits"), QStringLiteral("Data bits"), cboDataBits),
        cboDataBits);
    layout->addRow(
        makeLabel(QStringLiteral("LblStopBits"), QStringLiteral("Stop bits"), cboStopBits),
        cboStopBits);
    layout->addRow(
        makeLabel(QStringLiteral("LblParity"), QStringLiteral("Parity"), cboParity), cboParity);
}

void SerialPortBox::load(const QString &commPort, const QString &commSettings,
    const QString &portInUse, const QString &language)
{
    const PortProbe probe;
    cboPort->clear();
    cboPort->addItems(probe.entries(commPort, portInUse));

    cboSpeed->clear();
    cboSpeed->addItems(CommSettingsFields::speedEntries());
    cboDataBits->clear();
    cboDataBits->addItems(CommSettingsFields::dataBitsEntries());
    cboParity->clear();
    cboParity->addItems(CommSettingsFields::parityEntries());
    cboStopBits->clear();
    cboStopBits->addItems(CommSettingsFields::stopBitsEntries());

    // The second port entry by tradition; the only one when there is just one, so a
    // single-port machine does not start with no port selected.
    cboPort->setCurrentIndex(cboPort->count() >= 2 ? 1 : cboPort->count() - 1);
    selectEntry(cboSpeed, CommSettingsFields::initialSpeed());
    selectEntry(cboDataBits, CommSettingsFields::initialDataBits());
    selectEntry(cboParity, CommSettingsFields::initialParity());
    selectEntry(cboStopBits, CommSettingsFields::initialStopBits());

    // The stored port is selected even without stored line settings: the two are
    // independent.
    QStringList portEntries;
    for (int i = 0; i < cboPort->count(); ++i)
        portEntries.append(cboPort->itemText(i));
    QString storedEntry = PortProbe::entryFor(commPort, portEntries);
    // A stored port that is not here now (an adapter unplugged) stays stored, shown as absent.
    if (storedEntry.isEmpty()) {
        storedEntry = PortProbe::absentEntry(commPort, language);
        if (!storedEntry.isEmpty())
            cboPort->addItem(storedEntry);
    }
    selectEntry(cboPort, storedEntry);

    if (commSettings.isEmpty())
        return;
    const CommSettingsFields stored = CommSettingsFields::fromStored(commSettings);
    selectEntry(cboSpeed, stored.speed);
    selectEntry(cboParity, stored.parity);
    selectEntry(cboDataBits, stored.dataBits);
    selectEntry(cboStopBits, stored.stopBits);
}

QString SerialPortBox::commPort() const
{
    return cboPort->currentIndex() >= 0 ? PortProbe::commPortFor(cboPort->currentText())
                                        : QString();
}

QString SerialPortBox::commSettings() const
{
    CommSettingsFields fields;
    fields.speed = cboSpeed->currentText();
    fields.parity = cboParity->currentText();
    fields.dataBits = cboDataBits->currentText();
    fields.stopBits = cboStopBits->currentText();
    return fields.toString();
}
