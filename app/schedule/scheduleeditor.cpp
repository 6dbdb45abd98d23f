#include "scheduleeditor.h"

#include "localtext.h"
#include "wallclock.h"

#include <QBrush>
#include <QDir>
#include <QFileInfo>
#include <QPalette>

namespace {

// Stands for the file of a schedule never saved: its folder is where relative shows are.
const QString kUnsavedName = QStringLiteral("untitled.vsched");

QString entrySection(int row)
{
    return QStringLiteral("Entry%1").arg(row + 1);
}

// The field of `texts` that `column` edits.
QString *field(ScheduleFile::EntryTexts &texts, int column)
{
    switch (column) {
    case ScheduleEditor::ShowColumn:
        return &texts.show;
    case ScheduleEditor::DaysColumn:
        return &texts.days;
    case ScheduleEditor::FromColumn:
        return &texts.from;
    case ScheduleEditor::ToColumn:
        return &texts.to;
    case ScheduleEditor::DatesColumn:
        return &texts.dates;
    default:
        return &texts.targets;
    }
}

} // namespace

ScheduleEditor::ScheduleEditor(const QString &folder, QObject *parent)
    : QAbstractTableModel(parent)
    , m_folder(folder)
    , m_language(QStringLiteral("English"))
    , m_headers { QStringLiteral("Show"), QStringLiteral("Days"), QStringLiteral("From"),
        QStringLiteral("To"), QStringLiteral("Dates"), QStringLiteral("Targets") }
{
    m_schedule.path = QDir(folder).absoluteFilePath(kUnsavedName);
}

QString ScheduleEditor::folder() const
{
    return QFileInfo(m_schedule.path).absolutePath();
}

void ScheduleEditor::setModified(bool modified)
{
    m_modified = modified;
    emit changed();
}

void ScheduleEditor::renameEntries()
{
    for (int i = 0; i < m_schedule.entries.size(); ++i)
        m_schedule.entries[i].section = entrySection(i);
}

QString ScheduleEditor::relativeShow(const QString &absolutePath) const
{
    const QString relative = QDir(folder()).relativeFilePath(absolutePath);
    return relative.startsWith(QLatin1String("..")) ? QDir::cleanPath(absolutePath) : relative;
}

QString ScheduleEditor::checkShow(const ScheduleEntry &entry, const QString &key) const
{
    Schedule one;
    one.path = m_schedule.path;
    if (key == QLatin1String("Default"))
        one.defaultShow = entry.show;
    else
        one.entries.append(entry);
    return ScheduleFile::checkShows(one, m_language);
}

QString ScheduleEditor::addEntry(const QString &show)
{
    ScheduleFile::EntryTexts texts;
    texts.section = entrySection(m_schedule.entries.size());
    texts.show = QDir::isAbsolutePath(show) ? relativeShow(show) : show;
    ScheduleEntry entry;
    QString fault = ScheduleFile::parseEntry(texts, m_language, &entry);
    if (fault.isEmpty())
        fault = checkShow(entry, QStringLiteral("Show"));
    if (!fault.isEmpty())
        return fault;
    const int row = m_schedule.entries.size();
    beginInsertRows({}, row, row);
    m_schedule.entries.append(entry);
    endInsertRows();
    setModified(true);
    return {};
}

QString ScheduleEditor::setField(int row, int column, const QString &text)
{
    if (row < 0 || row >= m_schedule.entries.size() || column < 0 || column >= kColumnCount)
        return {};
    ScheduleFile::EntryTexts texts = ScheduleFile::textsOf(m_schedule.entries.at(row));
    const QString trimmed = text.trimmed();
    QString *edited = field(texts, column);
    if (*edited == trimmed && edited->isNull() == trimmed.isEmpty())
        return {};
    // An emptied optional field is an absent key; an emptied show is refused by the parse.
    *edited = trimmed.isEmpty() && column != ShowColumn ? QString() : trimmed;
    ScheduleEntry entry;
    QString fault = ScheduleFile::parseEntry(texts, m_language, &entry);
    if (fault.isEmpty() && column == ShowColumn)
        fault = checkShow(entry, QStringLiteral("Show"));
    if (!fault.isEmpty())
        return fault;
    m_schedule.entries[row] = entry;
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
    setModified(true);
    return {};
}

QString ScheduleEditor::setDefaultShow(const QString &show)
{
    QString written = show.trimmed();
    if (QDir::isAbsolutePath(written))
        written = relativeShow(written);
    if (written == m_schedule.defaultShow)
        return {};
    if (!written.isEmpty()) {
        ScheduleEntry entry;
        entry.show = written;
        const QString fault = checkShow(entry, QStringLiteral("Default"));
        if (!fault.isEmpty())
            return fault;
    }
    m_schedule.defaultShow = written;
    setModified(true);
    return {};
}

void ScheduleEditor::removeEntry(int row)
{
    if (row < 0 || row >= m_schedule.entries.size())
        return;
    beginRemoveRows({}, row, row);
    m_schedule.entries.removeAt(row);
    endRemoveRows();
    renameEntries();
    setModified(true);
}

bool ScheduleEditor::moveEntry(int row, int step)
{
    const int to = row + step;
    if (row < 0 || row >= m_schedule.entries.size() || to < 0 || to >= m_schedule.entries.size()
        || (step != 1 && step != -1))
        return false;
    // beginMoveRows counts the destination before the move: one further when moving down.
    beginMoveRows({}, row, row, {}, step > 0 ? to + 1 : to);
    m_schedule.entries.move(row, to);
    endMoveRows();
    renameEntries();
    setModified(true);
    return true;
}

void ScheduleEditor::clear()
{
    beginResetModel();
    m_schedule = Schedule();
    m_schedule.path = QDir(m_folder).absoluteFilePath(kUnsavedName);
    m_filePath.clear();
    endResetModel();
    setModified(false);
}

QString ScheduleEditor::open(const QString &path)
{
    const ScheduleFile::ReadResult read = ScheduleFile::read(path, m_language);
    if (!read.ok)
        return read.message;
    beginResetModel();
    m_schedule = read.schedule;
    // Written back under fresh names in row order, so messages name entries that way now.
    renameEntries();
    m_filePath = m_schedule.path;
    endResetModel();
    setModified(false);
    return {};
}

QString ScheduleEditor::saveTo(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QString fault = ScheduleFile::checkShows(m_schedule, m_language);
    if (!fault.isEmpty()) {
        return fault
            + localText(m_language, QStringLiteral(" The schedule was not saved."),
                QStringLiteral("时间表未保存。"));
    }
    if (!ScheduleFile::write(absolute, m_schedule, m_language, &fault))
        return fault;
    // Show paths were rebased onto the new folder as they were written: read them back so.
    const ScheduleFile::ReadResult saved = ScheduleFile::read(absolute, m_language);
    beginResetModel();
    if (saved.ok) {
        m_schedule = saved.schedule;
        renameEntries();
    }
    m_schedule.path = absolute;
    m_filePath = absolute;
    endResetModel();
    setModified(false);
    return {};
}

int ScheduleEditor::entryAt(const QDateTime &moment) const
{
    return m_schedule.entryAt(WallClock::wallAt(moment));
}

QString ScheduleEditor::inForceText(int entry) const
{
    const QString show = m_schedule.showOf(entry);
    if (show.isEmpty()) {
        return localText(m_language,
            QStringLiteral("Default — no show: the signs keep what they have."),
            QStringLiteral("默认 — 无节目：显示屏保持原有内容。"));
    }
    const QString name = entry == Schedule::kDefault
        ? localText(m_language, QStringLiteral("Default"), QStringLiteral("默认"))
        : m_schedule.entryName(entry);
    return name + QStringLiteral(" — ") + show;
}

int ScheduleEditor::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_schedule.entries.size());
}

int ScheduleEditor::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant ScheduleEditor::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_schedule.entries.size())
        return {};
    ScheduleFile::EntryTexts texts = ScheduleFile::textsOf(m_schedule.entries.at(index.row()));
    const QString text = *field(texts, index.column());
    if (role == Qt::EditRole)
        return text;
    if (role == Qt::ForegroundRole && text.isNull())
        return QBrush(QPalette().color(QPalette::Disabled, QPalette::Text));
    if (role != Qt::DisplayRole)
        return {};
    if (!text.isNull())
        return text;
    switch (index.column()) {
    case DaysColumn:
        return QStringLiteral("Mon-Sun");
    case FromColumn:
        return QStringLiteral("00:00");
    case ToColumn:
        return QStringLiteral("24:00");
    case TargetsColumn:
        return localText(
            m_language, QStringLiteral("ticked targets"), QStringLiteral("勾选的目标"));
    default:
        return {};
    }
}

bool ScheduleEditor::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const QString fault = setField(index.row(), index.column(), value.toString());
    if (!fault.isEmpty()) {
        emit refused(fault);
        return false;
    }
    return true;
}

Qt::ItemFlags ScheduleEditor::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

QVariant ScheduleEditor::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return entrySection(section);
    return m_headers.value(section);
}

bool ScheduleEditor::setHeaderData(
    int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount
        || (role != Qt::DisplayRole && role != Qt::EditRole))
        return false;
    m_headers[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}
