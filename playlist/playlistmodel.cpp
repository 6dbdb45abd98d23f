#include "playlistmodel.h"

#include "rowsource.h"

PlaylistModel::PlaylistModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_headers(defaultHeaderTexts())
{ }

int PlaylistModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PlaylistModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant PlaylistModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= kColumnCount)
        return {};
    const int column = index.column() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return m_rows.at(index.row()).at(index.column());
    case Qt::ToolTipRole:
        // The page file names the row, and its column is often scrolled out of sight.
        return m_rows.at(index.row()).at(ListColumn::FilePath - 1);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columnAlignment(column) | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant PlaylistModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_headers.at(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columnAlignment(section + 1) | Qt::AlignVCenter);
    return {};
}

bool PlaylistModel::setHeaderData(
    int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount
        || (role != Qt::DisplayRole && role != Qt::EditRole))
        return false;
    m_headers[section] = value.toString();
    emit headerDataChanged(Qt::Horizontal, section, section);
    return true;
}

void PlaylistModel::appendRow(const QStringList &columns)
{
    QStringList row = columns.mid(0, kColumnCount);
    while (row.size() < kColumnCount)
        row.append(QString());
    const int at = int(m_rows.size());
    beginInsertRows(QModelIndex(), at, at);
    m_rows.append(row);
    endInsertRows();
}

void PlaylistModel::setRows(QList<QStringList> rows)
{
    for (QStringList &row : rows) {
        if (row.size() > kColumnCount)
            row = row.mid(0, kColumnCount);
        while (row.size() < kColumnCount)
            row.append(QString());
    }
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

bool PlaylistModel::removeListRow(int row)
{
    if (row < 1 || row > m_rows.size())
        return false;
    beginRemoveRows(QModelIndex(), row - 1, row - 1);
    m_rows.removeAt(row - 1);
    endRemoveRows();
    return true;
}

QString PlaylistModel::cell(int row, int column) const
{
    if (row < 1 || row > m_rows.size() || column < 1 || column > kColumnCount)
        return {};
    return m_rows.at(row - 1).at(column - 1);
}

bool PlaylistModel::setCell(int row, int column, const QString &text)
{
    if (row < 1 || row > m_rows.size() || column < 1 || column > kColumnCount)
        return false;
    QString &stored = m_rows[row - 1][column - 1];
    if (stored != text) {
        stored = text;
        const QModelIndex at = index(row - 1, column - 1);
        emit dataChanged(at, at, { Qt::DisplayRole });
    }
    return true;
}

QStringList PlaylistModel::rowTexts(int row) const
{
    if (row < 1 || row > m_rows.size())
        return {};
    return m_rows.at(row - 1);
}

void PlaylistModel::setHeaderTexts(const QStringList &texts)
{
    const int count = qMin(int(texts.size()), kColumnCount);
    for (int i = 0; i < count; ++i)
        m_headers[i] = texts.at(i);
    if (count > 0)
        emit headerDataChanged(Qt::Horizontal, 0, count - 1);
}

QStringList PlaylistModel::defaultHeaderTexts()
{
    return { QStringLiteral("NO."), QStringLiteral("Effect"), QStringLiteral("Speed"),
        QStringLiteral("Times"), QStringLiteral("Repeat"), QStringLiteral("EEffect"),
        QStringLiteral("ESpeed"), QStringLiteral("ETime"), QStringLiteral("ERepeat"),
        QStringLiteral("TWidth"), QStringLiteral("THeight"), QStringLiteral("File Path") };
}

int PlaylistModel::columnWidthTwips(int column)
{
    if (column == ListColumn::Number)
        return 500;
    if (column == ListColumn::FilePath)
        return 5000;
    return 800;
}

Qt::Alignment PlaylistModel::columnAlignment(int column)
{
    return column >= ListColumn::Effect && column <= ListColumn::Repeat ? Qt::AlignHCenter
                                                                        : Qt::AlignLeft;
}
