#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// The rows of the program list as the list view shows them: twelve text columns per row
// ("NO.", the eight effect values, TWidth, THeight, File Path). Every value is held as text,
// exactly as the rows are edited; nothing here interprets them. Row and column numbers in the
// non-model functions are 1-based, as the program list counts them.
class PlaylistModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int kColumnCount = 12;

    explicit PlaylistModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // The language file sets the column headers through this; only horizontal display texts.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
        int role = Qt::EditRole) override;

    // Appends a row; `columns` is padded or cut to twelve texts.
    void appendRow(const QStringList &columns);
    // Replaces every row at once (one reset, not a signal per row); each row is padded or
    // cut to twelve texts.
    void setRows(QList<QStringList> rows);
    const QList<QStringList> &rows() const { return m_rows; }
    // Removes 1-based row `row`; false when there is no such row.
    bool removeListRow(int row);
    // The text of a cell; "" for a row or column that does not exist.
    QString cell(int row, int column) const;
    // Sets the text of a cell; false when there is no such cell.
    bool setCell(int row, int column, const QString &text);
    // The twelve texts of a row; empty when there is no such row.
    QStringList rowTexts(int row) const;

    // Header texts: entry i becomes the header of column i, empty entries included; entries
    // beyond the twelfth are ignored and columns beyond the list keep their text.
    void setHeaderTexts(const QStringList &texts);
    QStringList headerTexts() const { return m_headers; }
    static QStringList defaultHeaderTexts();

    // Column width in twips (15 twips = 1 pixel): 500 for "NO.", 5000 for "File Path",
    // 800 for the others.
    static int columnWidthTwips(int column);
    // Columns 2 to 5 are centred, the others left-aligned.
    static Qt::Alignment columnAlignment(int column);

private:
    QList<QStringList> m_rows;
    QStringList m_headers;
};
