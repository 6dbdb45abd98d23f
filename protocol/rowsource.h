#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The program-list rows a control packet is built from. Rows and columns are 1-based:
// column 1 is "NO.", 2..9 the effect values (Effect, Speed, Times, Repeat, EEffect, ESpeed,
// ETime, ERepeat), 10 TWidth, 11 THeight, 12 File Path.
class ControlRowSource
{
public:
    virtual ~ControlRowSource() = default;
    virtual int rowCount() const = 0;
    // The text of a cell; "" for a row or column that does not exist.
    virtual QString cellText(int row, int column) const = 0;
};

namespace ListColumn {
constexpr int Number = 1;
constexpr int Effect = 2;
constexpr int Speed = 3;
constexpr int Times = 4;
constexpr int Repeat = 5;
constexpr int EEffect = 6;
constexpr int ESpeed = 7;
constexpr int ETime = 8;
constexpr int ERepeat = 9;
constexpr int TWidth = 10;
constexpr int THeight = 11;
constexpr int FilePath = 12;
constexpr int Count = 12;
} // namespace ListColumn

// Rows held in memory, each a list of column texts starting with column 1.
class ListRowSource : public ControlRowSource
{
public:
    void appendRow(const QStringList &columns) { m_rows.append(columns); }
    int rowCount() const override { return int(m_rows.size()); }
    QString cellText(int row, int column) const override
    {
        if (row < 1 || row > m_rows.size() || column < 1 || column > m_rows.at(row - 1).size())
            return {};
        return m_rows.at(row - 1).at(column - 1);
    }

private:
    QList<QStringList> m_rows;
};
