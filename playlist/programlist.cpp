#include "programlist.h"

#include "wholenumber.h"

QStringList ProgramList::defaultEffectValues()
{
    return { QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("1"),
        QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("1") };
}

int ProgramList::rowCount() const
{
    return m_model.rowCount();
}

QString ProgramList::cellText(int row, int column) const
{
    return m_model.cell(row, column);
}

bool ProgramList::AddFileToListView(
    const QString &FileName, const QString &txtWidth, const QString &txtHeight)
{
    if (rowCount() >= kMaxRows)
        return false;
    m_model.appendRow(QStringList { QString() } + defaultEffectValues()
        + QStringList { txtWidth, txtHeight, FileName });
    RenumberListView();
    return true;
}

bool ProgramList::replaceRows(QList<QStringList> rows)
{
    if (rows.size() > kMaxRows)
        return false;
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].isEmpty())
            rows[i].append(QString());
        rows[i][0] = QString::number(i + 1);
    }
    m_model.setRows(std::move(rows));
    CurrentRow = 0;
    return true;
}

void ProgramList::RenumberListView()
{
    for (int i = 1; i <= rowCount(); ++i)
        m_model.setCell(i, ListColumn::Number, QString::number(i));
}

ProgramList::Change ProgramList::ChangeListView(
    qint16 ListIndex, int ColIndex, const QString &value)
{
    if (IsLoading)
        return Change::Skipped;
    if (ListIndex >= 1 && rowCount() >= CurrentRow && ListIndex <= rowCount()) {
        if (ColIndex < ListColumn::Effect || ColIndex > ListColumn::THeight)
            return Change::Skipped;
        m_model.setCell(ListIndex, ColIndex, value);
        return Change::Written;
    }
    if (rowCount() > 0) {
        // The pick is lost; it only makes the first row the one the next pick writes.
        CurrentRow = 1;
        return Change::MovedToFirstRow;
    }
    return Change::ListEmpty;
}

QStringList ProgramList::clickRow(int row)
{
    const QStringList texts = m_model.rowTexts(row);
    if (!texts.isEmpty())
        CurrentRow = qint16(row);
    return texts;
}

bool ProgramList::removeRow(int row)
{
    if (!m_model.removeListRow(row))
        return false;
    RenumberListView();
    return true;
}

qint16 ProgramList::textWidthForFile(const QString &fileName) const
{
    for (int row = 1; row <= rowCount(); ++row) {
        if (m_model.cell(row, ListColumn::FilePath) == fileName)
            return wholeNumber(m_model.cell(row, ListColumn::TWidth)).value_or(0);
    }
    return 0;
}
