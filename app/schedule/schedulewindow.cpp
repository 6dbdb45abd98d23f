#include "schedulewindow.h"

#include "agentstatepane.h"
#include "scheduleeditor.h"
#include "weekchart.h"

#include "languageapplier.h"
#include "languagefile.h"
#include "localtext.h"
#include "messages.h"
#include "programfolder.h"
#include "promptsink.h"
#include "schedulefile.h"
#include "showfile.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>

namespace {

using namespace std::chrono_literals;

constexpr auto kMinute = 60s;
const QString kSectionSuffix = QStringLiteral("Schedule");
const QString kEnglishSection = QStringLiteral("EnglishSchedule");

QPushButton *button(const char *name, const char *caption)
{
    auto *b = new QPushButton(QString::fromUtf8(caption));
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QLabel *label(const char *name, const char *caption)
{
    auto *l = new QLabel(QString::fromUtf8(caption));
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

// Cell edits go to the editor, which checks them; a refused text comes back into the cell's
// editor, so the operator corrects it rather than typing it again.
class EntryDelegate : public QStyledItemDelegate
{
public:
    EntryDelegate(ScheduleEditor *editor, std::function<void(const QString &)> refuse,
        QAbstractItemView *view)
        : QStyledItemDelegate(view)
        , m_editor(editor)
        , m_refuse(std::move(refuse))
        , m_view(view)
    { }

    void setEditorData(QWidget *widget, const QModelIndex &index) const override
    {
        auto *edit = qobject_cast<QLineEdit *>(widget);
        if (edit && m_rejected.isValid() && index == m_rejected) {
            edit->setText(m_rejectedText);
            m_rejected = QPersistentModelIndex();
            return;
        }
        QStyledItemDelegate::setEditorData(widget, index);
    }

    void setModelData(
        QWidget *widget, QAbstractItemModel *, const QModelIndex &index) const override
    {
        auto *edit = qobject_cast<QLineEdit *>(widget);
        if (!edit)
            return;
        const QString text = edit->text();
        const QString fault = m_editor->setField(index.row(), index.column(), text);
        if (fault.isEmpty())
            return;
        // After the editor has closed: a message box inside the commit would commit again.
        const QPersistentModelIndex at(index);
        QTimer::singleShot(0, m_view, [this, at, text, fault] {
            m_refuse(fault);
            if (!at.isValid())
                return;
            m_rejected = at;
            m_rejectedText = text;
            m_view->setCurrentIndex(at);
            m_view->edit(at);
        });
    }

private:
    ScheduleEditor *m_editor;
    std::function<void(const QString &)> m_refuse;
    QAbstractItemView *m_view;
    mutable QPersistentModelIndex m_rejected;
    mutable QString m_rejectedText;
};

} // namespace

ScheduleWindow::ScheduleWindow(const ScheduleWindowServices &services, const QString &programFolder,
    const QString &languageFolder, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_services(services)
    , m_languageFolder(languageFolder)
{
    setObjectName(QStringLiteral("FrmSchedule"));
    m_editor = new ScheduleEditor(programFolder, this);
    m_editor->setLanguage(language());
    m_agent = new AgentStatePane(programFolder, language());
    buildUi();
    connect(m_editor, &ScheduleEditor::changed, this, &ScheduleWindow::showSchedule);
    connect(
        m_editor, &ScheduleEditor::refused, this, &ScheduleWindow::refuse, Qt::QueuedConnection);

    m_minuteTimer = new QTimer(this);
    m_minuteTimer->setSingleShot(true);
    connect(m_minuteTimer, &QTimer::timeout, this, &ScheduleWindow::showInForce);
    applyTexts();
    showSchedule();
    resize(960, 780);
    if (parent)
        parent->installEventFilter(this);
}

ScheduleWindow *ScheduleWindow::showFrom(QWidget *owner, const ScheduleWindowServices &services)
{
    auto *window = owner->findChild<ScheduleWindow *>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new ScheduleWindow(services, programFolder(), languageFolder(), owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QString ScheduleWindow::language() const
{
    return m_services.language ? m_services.language() : QStringLiteral("English");
}

PromptSink &ScheduleWindow::prompts() const
{
    return m_services.prompts();
}

void ScheduleWindow::buildUi()
{
    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("ListScheduleEntries"));
    m_table->setModel(m_editor);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
        | QAbstractItemView::AnyKeyPressed);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setItemDelegate(new EntryDelegate(
        m_editor, [this](const QString &message) { refuse(message); }, m_table));

    QPushButton *add = button("CmdEntryAdd", "&Add...");
    QPushButton *remove = button("CmdEntryRemove", "&Remove");
    QPushButton *up = button("CmdEntryUp", "Move &Up");
    QPushButton *down = button("CmdEntryDown", "Move &Down");
    connect(add, &QPushButton::clicked, this, &ScheduleWindow::addEntry);
    connect(remove, &QPushButton::clicked, this, &ScheduleWindow::removeEntry);
    connect(up, &QPushButton::clicked, this, &ScheduleWindow::moveEntryUp);
    connect(down, &QPushButton::clicked, this, &ScheduleWindow::moveEntryDown);
    auto *entryButtons = new QVBoxLayout;
    for (QPushButton *b : { add, remove, up, down })
        entryButtons->addWidget(b);
    entryButtons->addStretch();

    QPushButton *open = button("CmdScheduleOpen", "&Open...");
    QPushButton *save = button("CmdScheduleSave", "&Save");
    QPushButton *saveAs = button("CmdScheduleSaveAs", "Save &As...");
    connect(open, &QPushButton::clicked, this, &ScheduleWindow::openSchedule);
    connect(save, &QPushButton::clicked, this, &ScheduleWindow::saveSchedule);
    connect(saveAs, &QPushButton::clicked, this, &ScheduleWindow::saveScheduleAs);
    auto *fileButtons = new QHBoxLayout;
    for (QPushButton *b : { open, save, saveAs })
        fileButtons->addWidget(b);
    fileButtons->addStretch();

    m_defaultShow = new QLineEdit;
    m_defaultShow->setObjectName(QStringLiteral("TxtDefaultShow"));
    connect(m_defaultShow, &QLineEdit::editingFinished, this, &ScheduleWindow::commitDefaultShow);
    QPushButton *browse = button("CmdDefaultBrowse", "&Browse...");
    connect(browse, &QPushButton::clicked, this, &ScheduleWindow::browseDefaultShow);
    m_inForce = label("LblInForceEntry", "");
    m_inForce->setProperty("languageText", false);
    QFont bold = m_inForce->font();
    bold.setBold(true);
    m_inForce->setFont(bold);

    auto *fields = new QGridLayout;
    QLabel *defaultLabel = label("LblDefaultShow", "Default show:");
    defaultLabel->setBuddy(m_defaultShow);
    fields->addWidget(defaultLabel, 0, 0);
    fields->addWidget(m_defaultShow, 0, 1);
    fields->addWidget(browse, 0, 2);
    fields->addWidget(label("LblInForce", "In force now:"), 1, 0);
    fields->addWidget(m_inForce, 1, 1, 1, 2);

    QPushButton *back = button("CmdWeekBack", "< Week");
    QPushButton *now = button("CmdWeekNow", "This Week");
    QPushButton *next = button("CmdWeekNext", "Week >");
    connect(back, &QPushButton::clicked, this, [this] { showWeek(m_weekOffset - 1); });
    connect(now, &QPushButton::clicked, this, [this] { showWeek(0); });
    connect(next, &QPushButton::clicked, this, [this] { showWeek(m_weekOffset + 1); });
    m_week = label("LblWeekDates", "");
    m_week->setProperty("languageText", false);
    auto *weekBar = new QHBoxLayout;
    weekBar->addWidget(m_week, 1);
    for (QPushButton *b : { back, now, next })
        weekBar->addWidget(b);

    m_chart = new WeekChart;

    auto *tableRow = new QHBoxLayout;
    tableRow->addWidget(m_table, 1);
    tableRow->addLayout(entryButtons);
    auto *schedulePage = new QWidget;
    schedulePage->setObjectName(QStringLiteral("SchedulePage"));
    auto *page = new QVBoxLayout(schedulePage);
    page->addLayout(fileButtons);
    page->addLayout(tableRow, 2);
    page->addLayout(fields);
    page->addLayout(weekBar);
    page->addWidget(m_chart, 5);

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("ScheduleTabs"));
    m_tabs->addTab(schedulePage, QStringLiteral("Schedule"));
    m_tabs->addTab(m_agent, QStringLiteral("Agent"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
}

void ScheduleWindow::applyTexts()
{
    // A language the file has no section for keeps the English texts.
    QString section = language() + kSectionSuffix;
    if (LanguageFileExists(m_languageFolder) && !LanguageSectionExists(m_languageFolder, section))
        section = kEnglishSection;
    ApplyLanguage(this, section, m_languageFolder);
    m_editor->setLanguage(language());
    m_agent->setLanguage(language());
}

void ScheduleWindow::changeEvent(QEvent *event)
{
    // The interface language switched: Qt's catalogue was exchanged, so this comes.
    if (event->type() == QEvent::LanguageChange && m_editor->language() != language()) {
        applyTexts();
        showSchedule();
    }
    QWidget::changeEvent(event);
}

void ScheduleWindow::showSchedule()
{
    const QString name = m_editor->filePath().isEmpty()
        ? localText(language(), QStringLiteral("untitled"), QStringLiteral("未命名"))
        : QFileInfo(m_editor->filePath()).fileName();
    setWindowTitle(name + QStringLiteral("[*] — ")
        + localText(language(), QStringLiteral("Schedule"), QStringLiteral("时间表")));
    setWindowModified(m_editor->isModified());
    if (!m_defaultShow->hasFocus() || m_defaultShow->text() == m_editor->schedule().defaultShow)
        m_defaultShow->setText(m_editor->schedule().defaultShow);
    showWeek(m_weekOffset);
}

void ScheduleWindow::showWeek(int weeksFromNow)
{
    m_weekOffset = weeksFromNow;
    const QDate day = QDate::currentDate().addDays(7 * weeksFromNow);
    m_chart->setSchedule(m_editor->schedule(), day, language());
    const QDate monday = m_chart->monday();
    m_week->setText(
        localText(
            language(), QStringLiteral("The week %1 to %2:"), QStringLiteral("%1 至 %2 这一周："))
            .arg(monday.toString(Qt::ISODate), monday.addDays(6).toString(Qt::ISODate)));
    showInForce();
}

void ScheduleWindow::showInForce()
{
    const QDateTime now = QDateTime::currentDateTime();
    // Past midnight into a new week: the chart moves on with it.
    const QDate shown = now.date().addDays(7 * m_weekOffset);
    if (m_chart->monday() != shown.addDays(1 - shown.dayOfWeek())) {
        showWeek(m_weekOffset);
        return;
    }
    m_inForce->setText(m_editor->inForceText(m_editor->entryAt(now)));
    m_chart->setNow(now);
    // Again at the start of the next minute, when an entry may begin or end.
    const auto untilNextMinute
        = std::chrono::milliseconds(std::chrono::milliseconds(kMinute).count()
            - now.time().second() * 1000 - now.time().msec());
    m_minuteTimer->start(untilNextMinute);
}

QString ScheduleWindow::inForceText() const
{
    return m_inForce->text();
}

void ScheduleWindow::refuse(const QString &message)
{
    prompts().inform(message, PromptTitle(language()), PromptIcon::Exclamation);
}

bool ScheduleWindow::mayDiscardChanges()
{
    if (!m_editor->isModified())
        return true;
    const QString name
        = m_editor->filePath().isEmpty() ? QString() : QFileInfo(m_editor->filePath()).fileName();
    return prompts().confirm(name.isEmpty()
            ? localText(language(),
                QStringLiteral("The schedule has changes that are not saved. Discard them?"),
                QStringLiteral("时间表有未保存的更改。要放弃这些更改吗？"))
            : localText(language(),
                QStringLiteral("The schedule \"%1\" has changes that are not saved. Discard them?")
                    .arg(name),
                QStringLiteral("时间表“%1”有未保存的更改。要放弃这些更改吗？").arg(name)),
        PromptTitle(language()));
}

bool ScheduleWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The program ends with its main window: this window closes first, asking about unsaved
    // changes, and keeps the program open when the operator wants to keep them.
    auto *owner = qobject_cast<QWidget *>(watched);
    if (event->type() == QEvent::Close && owner == parentWidget() && owner->isEnabled()
        && isVisible() && !close()) {
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ScheduleWindow::closeEvent(QCloseEvent *event)
{
    if (mayDiscardChanges())
        event->accept();
    else
        event->ignore();
}

bool ScheduleWindow::openFile(const QString &path)
{
    if (!mayDiscardChanges())
        return false;
    const QString fault = m_editor->open(path);
    if (!fault.isEmpty()) {
        refuse(fault);
        return false;
    }
    return true;
}

void ScheduleWindow::openSchedule()
{
    const QString path = m_services.openFileName(
        localText(language(), QStringLiteral("Open Schedule"), QStringLiteral("打开时间表")),
        ScheduleFile::dialogFilter(language()) + QStringLiteral("|*.") + ScheduleFile::suffix(),
        m_editor->folder());
    if (!path.isEmpty())
        openFile(path);
}

bool ScheduleWindow::saveSchedule()
{
    if (m_editor->filePath().isEmpty())
        return saveScheduleAs();
    const QString fault = m_editor->saveTo(m_editor->filePath());
    if (!fault.isEmpty())
        refuse(fault);
    return fault.isEmpty();
}

bool ScheduleWindow::saveScheduleAs()
{
    const QString proposed = m_editor->filePath().isEmpty()
        ? localText(language(), QStringLiteral("Week.vsched"), QStringLiteral("时间表.vsched"))
        : QFileInfo(m_editor->filePath()).fileName();
    QString path = m_services.saveFileName(
        localText(language(), QStringLiteral("Save Schedule As"), QStringLiteral("时间表另存为")),
        ScheduleFile::dialogFilter(language()) + QStringLiteral("|*.") + ScheduleFile::suffix(),
        m_editor->folder(), proposed, ScheduleFile::suffix());
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + ScheduleFile::suffix();
    const QString fault = m_editor->saveTo(path);
    if (!fault.isEmpty())
        refuse(fault);
    return fault.isEmpty();
}

QString ScheduleWindow::pickShow(const QString &title)
{
    return m_services.openFileName(title,
        ShowFile::dialogFilter(language()) + QStringLiteral("|*.") + ShowFile::suffix(),
        m_editor->folder());
}

void ScheduleWindow::addEntry()
{
    const QString show = pickShow(localText(
        language(), QStringLiteral("Show of the New Entry"), QStringLiteral("新条目的节目")));
    if (show.isEmpty())
        return;
    const QString fault = m_editor->addEntry(show);
    if (!fault.isEmpty()) {
        refuse(fault);
        return;
    }
    m_table->selectRow(m_editor->rowCount() - 1);
}

void ScheduleWindow::removeEntry()
{
    const int row = m_table->currentIndex().row();
    m_editor->removeEntry(row);
}

void ScheduleWindow::moveEntry(int step)
{
    const QModelIndex current = m_table->currentIndex();
    if (current.isValid() && m_editor->moveEntry(current.row(), step))
        m_table->setCurrentIndex(m_editor->index(current.row() + step, current.column()));
}

void ScheduleWindow::commitDefaultShow()
{
    const QString fault = m_editor->setDefaultShow(m_defaultShow->text());
    if (!fault.isEmpty())
        refuse(fault); // the text stays in the box for the operator to correct
}

void ScheduleWindow::browseDefaultShow()
{
    const QString show = pickShow(
        localText(language(), QStringLiteral("Default Show"), QStringLiteral("默认节目")));
    if (show.isEmpty())
        return;
    const QString fault = m_editor->setDefaultShow(show);
    if (!fault.isEmpty())
        refuse(fault);
    m_defaultShow->setText(m_editor->schedule().defaultShow);
}
