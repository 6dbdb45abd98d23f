#include "frmset.h"

#include "basesettings.h"
#include "languageapplier.h"
#include "languagefile.h"
#include "localtext.h"
#include "programfolder.h"
#include "promptbox.h"
#include "serialportbox.h"
#include "settingshost.h"
#include "targetlistbar.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The dialog's design size, 5880 x 5250 twips at 15 twips per pixel.
constexpr int kDesignWidth = 392;
constexpr int kDesignHeight = 350;
constexpr int kTargetRowsShown = 10;
constexpr int kTargetRowPadding = 4; // pixels a list row takes beyond its text

const QString kBasicSuffix = QStringLiteral("Basic");
const QString kEnglishBasic = QStringLiteral("EnglishBasic");
const QString kOptionName = QStringLiteral("Base_Option1");

constexpr int kTranceTab = 0;
constexpr int kScreenTab = 1;

QLabel *makeLabel(const QString &name, const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

QLineEdit *makeTextBox(const QString &name)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(name);
    return edit;
}

// A label's caption as the name of its field in a message.
QString fieldName(const QLabel *label)
{
    QString name = label->text();
    name.remove(QRegularExpression(QStringLiteral("[\\[(]&.[\\])]")));
    name.replace(QLatin1String("&&"), QString(QChar(0x1)));
    name.remove(QLatin1Char('&'));
    name.replace(QChar(0x1), QLatin1Char('&'));
    name = name.trimmed();
    while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))
        name.chop(1);
    return name.trimmed();
}

} // namespace

FrmSet::FrmSet(SettingsHost *host, BaseSettings *settings, const QString &iniPath,
    const QString &languageFolder, QWidget *parent)
    : QDialog(parent)
    , m_host(host)
    , m_settings(settings)
    , m_iniPath(iniPath)
    , m_languageFolder(languageFolder)
{
    setObjectName(QStringLiteral("FrmSet"));
    setWindowTitle(QStringLiteral("Base Set"));
    setModal(false);
    buildUi();
    connect(this, &QDialog::finished, this, &FrmSet::closed);
    m_opened = *m_settings;
    load();
}

FrmSet::FrmSet(SettingsHost *host, QWidget *parent)
    : FrmSet(host, &baseSettings(), baseSettingsPath(), languageFolder(), parent)
{ }

QString FrmSet::captionFromMenuText(const QString &menuText)
{
    QString caption = menuText;
    caption.remove(QStringLiteral("[&B]"));
    caption.remove(QRegularExpression(QStringLiteral("[\\[(]&[^\\])][\\])]")));
    caption.replace(QLatin1String("&&"), QString(QChar(0x1)));
    caption.remove(QLatin1Char('&'));
    caption.replace(QChar(0x1), QLatin1Char('&'));
    return caption.trimmed();
}

void FrmSet::buildUi()
{
    Base_TS = new QTabWidget;
    Base_TS->setObjectName(QStringLiteral("Base_TS"));

    // Link page: the link kind, then the serial or the TCP frame in the same place.
    auto *linkPage = new QWidget;
    auto *linkLayout = new QVBoxLayout(linkPage);

    auto *kindFrame = new QGroupBox(QStringLiteral("Link"));
    kindFrame->setObjectName(QStringLiteral("FraTrance"));
    auto *kindLayout = new QHBoxLayout(kindFrame);
    m_options = new QButtonGroup(this);
    const QStringList kindNames
        = { QStringLiteral("RS232"), QStringLiteral("BlueTooth"), QStringLiteral("TCP/IP") };
    for (int i = 0; i < kindNames.size(); ++i) {
        auto *option = new QRadioButton(kindNames.at(i));
        option->setObjectName(kOptionName);
        option->setProperty("index", i);
        m_options->addButton(option, i);
        kindLayout->addWidget(option);
        Base_Option1.append(option);
    }
    kindLayout->addStretch();
    connect(m_options, &QButtonGroup::idClicked, this, &FrmSet::Base_Option1_Click);
    linkLayout->addWidget(kindFrame);

    m_linkPages = new QStackedWidget;
    FraSerial = new SerialPortBox;
    m_linkPages->addWidget(FraSerial);

    auto *tcpFrame = new QGroupBox(QStringLiteral("TCP/IP targets"));
    tcpFrame->setObjectName(QStringLiteral("FraTcp"));
    FraTcp = tcpFrame;
    TxtServerIP = makeTextBox(QStringLiteral("TxtServerIP"));
    TxtServerPort = makeTextBox(QStringLiteral("TxtServerPort"));
    TxtServerPort->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 9);
    TxtServerIP->installEventFilter(this);
    TxtServerPort->installEventFilter(this);
    CmdIPListAdd = new QPushButton(QStringLiteral("IP Add"));
    CmdIPListAdd->setObjectName(QStringLiteral("CmdIPListAdd"));
    CmdIPListAdd->setAutoDefault(false);
    connect(CmdIPListAdd, &QPushButton::clicked, this, &FrmSet::CmdIPListAdd_Click);
    ListView1 = new QTreeWidget;
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setColumnCount(2);
    ListView1->setHeaderLabels({ QStringLiteral("IP Address"), QStringLiteral("IP Port") });
    ListView1->setRootIsDecorated(false);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    ListView1->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    ListView1->installEventFilter(this);
    // Ten targets at a glance: the dialog's default size grows to show them.
    ListView1->setMinimumHeight(ListView1->header()->sizeHint().height()
        + kTargetRowsShown * (ListView1->fontMetrics().height() + kTargetRowPadding)
        + 2 * ListView1->frameWidth());
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this,
        [this](QTreeWidgetItem *item) { ListView1_DblClick(item); });
    m_targetBar = new TargetListBar(ListView1,
        { [this] { return targetRows(); },
            [this](const QList<IpTarget> &rows) { setTargetRows(rows); },
            [this] { return m_settings->MaxIPList; }, [this] { return language(); } });
    auto *hint = new QLabel(QStringLiteral("双击数据行删除数据"));
    hint->setObjectName(QStringLiteral("LblIPHint"));
    hint->setWordWrap(true);
    QPalette hintPalette = hint->palette();
    hintPalette.setColor(
        QPalette::WindowText, hintPalette.color(QPalette::Disabled, QPalette::WindowText));
    hint->setPalette(hintPalette);
    auto *tcpLayout = new QGridLayout(tcpFrame);
    tcpLayout->addWidget(
        makeLabel(QStringLiteral("LblServerIP"), QStringLiteral("Server IP"), TxtServerIP), 0, 0);
    tcpLayout->addWidget(TxtServerIP, 0, 1, 1, 2);
    tcpLayout->addWidget(
        makeLabel(QStringLiteral("LblServerPort"), QStringLiteral("Server Port"), TxtServerPort), 1,
        0);
    tcpLayout->addWidget(TxtServerPort, 1, 1);
    tcpLayout->addWidget(CmdIPListAdd, 1, 2, Qt::AlignRight);
    tcpLayout->addWidget(ListView1, 2, 0, 1, 3);
    tcpLayout->addWidget(m_targetBar, 3, 0, 1, 3);
    tcpLayout->addWidget(hint, 4, 0, 1, 3);
    tcpLayout->setColumnStretch(1, 1);
    m_linkPages->addWidget(tcpFrame);
    linkLayout->addWidget(m_linkPages, 1);
    Base_TS->addTab(linkPage, QStringLiteral("Trance"));

    // Screen page.
    auto *screenPage = new QWidget;
    auto *screenLayout = new QVBoxLayout(screenPage);
    auto *screenFrame = new QGroupBox(QStringLiteral("Screen size"));
    screenFrame->setObjectName(QStringLiteral("FraScreen"));
    TxtWidth = makeTextBox(QStringLiteral("TxtWidth"));
    TxtHeight = makeTextBox(QStringLiteral("TxtHeight"));
    TxtPerpix = makeTextBox(QStringLiteral("TxtPerpix"));
    for (QLineEdit *edit : { TxtWidth, TxtHeight, TxtPerpix })
        edit->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 10);
    LblWidth = makeLabel(QStringLiteral("LblWidth"), QStringLiteral("Screen Width"), TxtWidth);
    LblHeight = makeLabel(QStringLiteral("LblHeight"), QStringLiteral("Screen Height"), TxtHeight);
    LblPerpix
        = makeLabel(QStringLiteral("LblPerpix"), QStringLiteral("Screen PerPixel"), TxtPerpix);
    auto *screenForm = new QFormLayout(screenFrame);
    screenForm->addRow(LblWidth, TxtWidth);
    screenForm->addRow(LblHeight, TxtHeight);
    screenForm->addRow(LblPerpix, TxtPerpix);
    auto *screenHint = new QLabel(
        QStringLiteral("Width and height count modules of 16 x 16 LEDs. PerPixel is the "
                       "number of canvas pixels one module side takes on the page."));
    screenHint->setObjectName(QStringLiteral("LblScreenHint"));
    screenHint->setWordWrap(true);
    screenHint->setPalette(hintPalette);
    screenForm->addRow(screenHint);
    screenLayout->addWidget(screenFrame);
    screenLayout->addStretch();
    Base_TS->addTab(screenPage, QStringLiteral("Screen"));

    CmdOK = new QPushButton(QStringLiteral("OK"));
    CmdOK->setObjectName(QStringLiteral("CmdOK"));
    CmdOK->setDefault(true);
    CmdCancle = new QPushButton(QStringLiteral("Close"));
    CmdCancle->setObjectName(QStringLiteral("CmdCancle"));
    CmdCancle->setAutoDefault(false);
    connect(CmdOK, &QPushButton::clicked, this, &FrmSet::CmdOK_Click);
    connect(CmdCancle, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CmdOK);
    buttons->addWidget(CmdCancle);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Base_TS, 1);
    layout->addLayout(buttons);
}

QString FrmSet::language() const
{
    return m_settings->Language;
}

void FrmSet::load()
{
    LoadPropertySettings();
    resize(QSize(kDesignWidth, kDesignHeight).expandedTo(minimumSizeHint()));

    const qint16 stored = m_settings->Trance;
    if (stored >= 0 && stored < Base_Option1.size()) {
        Base_Option1.at(stored)->setChecked(true);
        Base_Option1_Click(stored);
    } else {
        // A kind outside 0 to 2 selects no option; OK then asks for one.
        m_linkKind = -1;
        m_linkPages->setVisible(false);
    }

    TxtHeight->setText(QString::number(m_settings->ScreenHeight));
    TxtWidth->setText(QString::number(m_settings->ScreenWidth));
    TxtPerpix->setText(QString::number(m_settings->PerPixel));
    TxtServerIP->setText(m_settings->ServerIP);
    TxtServerPort->setText(m_settings->ServerPort);

    // A language the file has no dialog section for ("jap") keeps the English texts rather
    // than showing control names.
    m_languageSection = language() + kBasicSuffix;
    if (LanguageFileExists(m_languageFolder)
        && !LanguageSectionExists(m_languageFolder, m_languageSection))
        m_languageSection = kEnglishBasic;
    ApplyLanguage(this, m_languageSection, m_languageFolder);

    FillIpList(m_settings->IpStr);
    Base_TS->setCurrentIndex(kTranceTab);
}

void FrmSet::LoadPropertySettings()
{
    FraSerial->load(m_settings->CommPort, m_settings->CommSettings,
        m_host ? m_host->serialPortInUse() : QString(), language());
}

void FrmSet::Base_Option1_Click(int index)
{
    m_linkKind = qint16(index);
    m_linkPages->setVisible(true);
    m_linkPages->setCurrentWidget(index == 2 ? FraTcp : FraSerial);
}

QList<IpTarget> FrmSet::targetRows() const
{
    QList<IpTarget> rows;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = ListView1->topLevelItem(i);
        rows.append({ item->text(0), item->text(1), item->checkState(0) == Qt::Checked });
    }
    return rows;
}

void FrmSet::setTargetRows(const QList<IpTarget> &rows)
{
    ListView1->clear();
    for (const IpTarget &row : rows) {
        auto *item = new QTreeWidgetItem(ListView1, { row.address, row.port });
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable
            | Qt::ItemNeverHasChildren);
        item->setCheckState(0, row.ticked ? Qt::Checked : Qt::Unchecked);
    }
}

void FrmSet::FillIpList(const QString &ipStr)
{
    setTargetRows(IpTargetList::FillIpList(ipStr, m_settings->MaxIPList));
}

QString FrmSet::BuildIpListString() const
{
    return IpTargetList::BuildIpListString(targetRows());
}

void FrmSet::CmdIPListAdd_Click()
{
    const QString address = TxtServerIP->text().trimmed();
    const QString port = TxtServerPort->text().trimmed();
    QList<IpTarget> rows = targetRows();
    const IpTargetList::Refusal refusal
        = IpTargetList::checkAdd(rows, address, port, m_settings->MaxIPList);
    if (refusal == IpTargetList::SeparatorInText) {
        PromptBox::showText(this, IpTargetList::separatorRefusalText(language()),
            PromptIcon::Exclamation, language());
        return;
    }
    if (refusal != IpTargetList::Accepted) {
        PromptBox::show(this, qint16(refusal), language());
        return;
    }
    rows.append({ address, port, false });
    setTargetRows(rows);
    ListView1->setCurrentItem(ListView1->topLevelItem(ListView1->topLevelItemCount() - 1));
}

void FrmSet::ListView1_DblClick(QTreeWidgetItem *item)
{
    if (!item || ListView1->topLevelItemCount() == 0)
        return;
    if (!PromptBox::show(this, Msg::ConfirmDelete, language()))
        return;
    delete item;
}

bool FrmSet::screenFieldValue(QLineEdit *field, QLabel *label, int maximum, qint16 *value)
{
    bool ok = false;
    const int number = field->text().trimmed().toInt(&ok, 10);
    if (ok && number >= kMinScreenValue && number <= maximum) {
        *value = qint16(number);
        return true;
    }
    const QString name = fieldName(label);
    const QString typed = field->text().trimmed();
    PromptBox::showText(this,
        localText(language(),
            QStringLiteral("%1: \"%2\" is not a whole number from %3 to %4. Please "
                           "correct it; nothing has been saved.")
                .arg(name, typed)
                .arg(kMinScreenValue)
                .arg(maximum),
            QStringLiteral("%1：“%2”不是 %3 到 %4 之间的整数。请改正；设置尚未保存。")
                .arg(name, typed)
                .arg(kMinScreenValue)
                .arg(maximum)),
        PromptIcon::Exclamation, language());
    Base_TS->setCurrentIndex(kScreenTab);
    field->setFocus();
    field->selectAll();
    return false;
}

bool FrmSet::ReadSettingsFromDialog()
{
    qint16 width = 0;
    qint16 height = 0;
    qint16 perPixel = 0;
    if (!screenFieldValue(TxtWidth, LblWidth, kMaxScreenWidth, &width)
        || !screenFieldValue(TxtHeight, LblHeight, kMaxScreenHeight, &height)
        || !screenFieldValue(TxtPerpix, LblPerpix, kMaxPerPixel, &perPixel))
        return false;
    if (m_linkKind < 0) {
        PromptBox::showText(this,
            localText(language(),
                QStringLiteral("Please choose the link kind: RS232, BlueTooth or "
                               "TCP/IP."),
                QStringLiteral("请选择通信方式：RS232、BlueTooth 或 TCP/IP。")),
            PromptIcon::Exclamation, language());
        Base_TS->setCurrentIndex(kTranceTab);
        return false;
    }

    BaseSettings &s = *m_settings;
    s.Trance = m_linkKind;
    s.ScreenWidth = width;
    s.PerPixel = perPixel;
    s.ServerIP = TxtServerIP->text().trimmed();
    s.ScreenHeight = height;
    s.ServerPort = TxtServerPort->text().trimmed();
    s.CommPort = FraSerial->commPort();
    s.CommSettings = FraSerial->commSettings();
    s.IpStr = BuildIpListString();
    return true;
}

void FrmSet::ApplyScreenSettings()
{
    if (m_host)
        m_host->applyScreenSettings(m_settings->ScreenWidth, m_settings->ScreenHeight, m_linkKind);
}

void FrmSet::CmdOK_Click()
{
    // The events let through below could deliver a second click on OK.
    if (m_okRunning)
        return;
    const QScopedValueRollback<bool> running(m_okRunning, true);
    if (!ReadSettingsFromDialog())
        return;
    QCoreApplication::processEvents();
    m_linkTouched = m_linkTouched || m_host;
    if (!m_host || !m_host->openLink(m_settings->Trance))
        return; // the host told the user why; the edits stay in the dialog
    IniWriteFailure failure;
    if (!SaveBaseSettings(*m_settings, m_iniPath, &failure)) {
        PromptBox::showText(this, settingsSaveFailedMessage(m_iniPath, language(), failure),
            PromptIcon::Exclamation, language());
        return;
    }
    ApplyScreenSettings();
    accept();
}

void FrmSet::reject()
{
    // The copy is only memory until the file holds it: put the settings back as they were,
    // and the link back to them, so what runs matches what is stored.
    if (!(*m_settings == m_opened)) {
        *m_settings = m_opened;
        if (m_linkTouched && m_host)
            m_host->openLink(m_settings->Trance);
    }
    QDialog::reject();
}

QString FrmSet::runTimeErrorText(int number)
{
    switch (number) {
    case 380:
        return QStringLiteral("Invalid property value");
    case 383:
        return QStringLiteral("Property is read-only");
    case 394:
        return QStringLiteral("Property is write-only");
    case 8000:
        return QStringLiteral("Operation not valid while the port is opened");
    case 8002:
        return QStringLiteral("Invalid port number");
    case 8005:
        return QStringLiteral("Port has been used,please change another one");
    case 8012:
        return QStringLiteral("The device is not open");
    case 8015:
        return QStringLiteral("Could not set comm state,there may be one or more invalid "
                              "communications parameters");
    case 8018:
        return QStringLiteral("Operation valid only when the port is open");
    case 8020:
        return QStringLiteral("Error reading comm device");
    case 8021:
        return QStringLiteral("Internal error retrieving device control block for the port");
    default:
        return QStringLiteral("Other error...");
    }
}

void FrmSet::ShowRunTimeError(int number)
{
    QString title = QGuiApplication::applicationDisplayName();
    if (title.isEmpty())
        title = QStringLiteral("Vantrel");
    QMessageBox box(QMessageBox::NoIcon, title, runTimeErrorText(number), QMessageBox::Ok, this);
    box.exec();
}

bool FrmSet::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        // Enter in the target boxes adds the target instead of confirming the dialog.
        if (enter && (watched == TxtServerIP || watched == TxtServerPort)) {
            CmdIPListAdd_Click();
            return true;
        }
        if (key->key() == Qt::Key_Delete && watched == ListView1) {
            ListView1_DblClick(ListView1->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
