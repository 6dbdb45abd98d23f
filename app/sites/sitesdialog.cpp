#include "sitesdialog.h"

#include "basesettings.h"
#include "brokercheck.h"
#include "classinifile.h"
#include "languageapplier.h"
#include "languagefile.h"
#include "localtext.h"
#include "sitessettings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

namespace {

const QString kSectionSuffix = QStringLiteral("Sites");

template <typename Widget> Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel *label(const char *name, const char *text)
{
    return named(new QLabel(QString::fromUtf8(text)), name);
}

} // namespace

SitesDialog::SitesDialog(const QString &iniPath, const QString &programFolder,
    const QString &languageFolder, const QString &language, QWidget *parent)
    : QDialog(parent)
    , m_iniPath(iniPath)
    , m_programFolder(programFolder)
    , m_language(language)
    , m_check(new BrokerCheck(this))
    , m_broker(named(new QLineEdit, "TxtBroker"))
    , m_site(named(new QLineEdit, "TxtSite"))
    , m_user(named(new QLineEdit, "TxtUser"))
    , m_passwordFile(named(new QLineEdit, "TxtPasswordFile"))
    , m_caFile(named(new QLineEdit, "TxtCAFile"))
    , m_homeAssistant(
          named(new QCheckBox(QStringLiteral("Home Assistant discovery")), "ChkHomeAssistant"))
    , m_test(named(new QPushButton(QStringLiteral("Test connection")), "CmdTest"))
    , m_message(named(new QLabel, "LblSitesMessage"))
    , m_ok(named(new QPushButton(QStringLiteral("OK")), "CmdOK"))
{
    setObjectName(QStringLiteral("FrmSites"));
    setWindowTitle(localText(language, QStringLiteral("Sites"), QStringLiteral("站点")));
    m_broker->setPlaceholderText(QStringLiteral("mqtt://host:1883"));
    m_site->setPlaceholderText(SitesSettingsFile::defaultSiteName(QSysInfo::machineHostName()));

    const auto withBrowse = [this](QLineEdit *field, const char *name) {
        auto *row = new QHBoxLayout;
        row->addWidget(field);
        auto *browse = named(new QPushButton(QStringLiteral("...")), name);
        browse->setProperty("languageText", false);
        browse->setMaximumWidth(
            browse->fontMetrics().horizontalAdvance(QStringLiteral("....")) * 2);
        connect(browse, &QPushButton::clicked, this, [this, field] { this->browse(field); });
        row->addWidget(browse);
        return row;
    };
    auto *form = new QFormLayout;
    form->addRow(label("LblBroker", "Broker"), m_broker);
    form->addRow(label("LblSite", "Site name"), m_site);
    form->addRow(label("LblUser", "User"), m_user);
    form->addRow(
        label("LblPasswordFile", "Password file"), withBrowse(m_passwordFile, "CmdPasswordFile"));
    form->addRow(label("LblCAFile", "CA file"), withBrowse(m_caFile, "CmdCAFile"));
    form->addRow(QString(), m_homeAssistant);

    m_message->setProperty("languageText", false);
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *testRow = new QHBoxLayout;
    testRow->addWidget(m_test);
    testRow->addStretch();

    auto *cancel = named(new QPushButton(QStringLiteral("Cancel")), "CmdCancel");
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(m_ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);
    m_ok->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(testRow);
    layout->addWidget(m_message);
    layout->addStretch();
    layout->addWidget(buttons);

    connect(m_ok, &QPushButton::clicked, this, &SitesDialog::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_test, &QPushButton::clicked, this, &SitesDialog::testConnection);
    connect(m_check, &BrokerCheck::finished, this, [this](bool ok, const QString &text) {
        m_test->setEnabled(true);
        showMessage(ok, text);
    });

    // A language without a section of its own keeps the English texts.
    QString section = language + kSectionSuffix;
    if (!LanguageSectionExists(languageFolder, section))
        section = QStringLiteral("English") + kSectionSuffix;
    ApplyLanguage(this, section, languageFolder);
    load();
    resize(qMax(sizeHint().width(), 520), sizeHint().height());
}

void SitesDialog::load()
{
    classIniFile ini;
    ini.setINIFileName(m_iniPath);
    const QString section = SitesSettingsFile::section();
    m_broker->setText(ini.GetIniKey(section, QStringLiteral("Broker")));
    m_site->setText(ini.GetIniKey(section, QStringLiteral("Site")));
    m_user->setText(ini.GetIniKey(section, QStringLiteral("User")));
    m_passwordFile->setText(ini.GetIniKey(section, QStringLiteral("PasswordFile")));
    m_caFile->setText(ini.GetIniKey(section, QStringLiteral("CAFile")));
    m_homeAssistant->setChecked(
        ini.GetIniKey(section, QStringLiteral("HomeAssistant")) == QLatin1String("1"));
}

namespace {

SitesSettingsFile::ReadResult parseFields(
    const SitesDialog &d, const QString &programFolder, const QString &language)
{
    return SitesSettingsFile::parse(d.TxtBroker()->text().trimmed(), d.TxtSite()->text().trimmed(),
        d.TxtUser()->text().trimmed(), d.TxtPasswordFile()->text().trimmed(),
        d.TxtCAFile()->text().trimmed(),
        d.ChkHomeAssistant()->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
        programFolder, language);
}

} // namespace

void SitesDialog::save()
{
    const SitesSettingsFile::ReadResult read = parseFields(*this, m_programFolder, m_language);
    if (!read.ok) {
        showMessage(false, read.message);
        return;
    }
    const QString section = SitesSettingsFile::section();
    const auto key = [&](const char *name, const QString &value) {
        return IniKeyValue { section, QString::fromLatin1(name), value.trimmed() };
    };
    classIniFile ini;
    ini.setINIFileName(m_iniPath);
    ini.writeIniKeys(
        { key("Broker", m_broker->text()), key("Site", m_site->text()), key("User", m_user->text()),
            key("PasswordFile", m_passwordFile->text()), key("CAFile", m_caFile->text()),
            key("HomeAssistant",
                m_homeAssistant->isChecked() ? QStringLiteral("1") : QStringLiteral("0")) });
    if (!ini.lastWriteSucceeded()) {
        showMessage(
            false, settingsSaveFailedMessage(m_iniPath, m_language, ini.lastWriteFailure()));
        return;
    }
    emit saved();
    accept();
}

void SitesDialog::testConnection()
{
    const SitesSettingsFile::ReadResult read = parseFields(*this, m_programFolder, m_language);
    if (!read.ok || !read.settings.enabled) {
        showMessage(false,
            read.ok ? localText(m_language, QStringLiteral("Give the broker's address first."),
                QStringLiteral("请先填写代理服务器地址。"))
                    : read.message);
        return;
    }
    m_test->setEnabled(false);
    showMessage(true,
        localText(m_language, QStringLiteral("Connecting to %1 ...").arg(read.settings.broker),
            QStringLiteral("正在连接 %1 ...").arg(read.settings.broker)));
    m_check->start(read.settings, m_language);
}

void SitesDialog::showMessage(bool ok, const QString &text)
{
    m_message->setStyleSheet(ok ? QString() : QStringLiteral("color: #b00000"));
    m_message->setText(text);
}

void SitesDialog::browse(QLineEdit *field)
{
    const QString path = QFileDialog::getOpenFileName(this, QString(), field->text());
    if (!path.isEmpty())
        field->setText(path);
}
