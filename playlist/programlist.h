#pragma once

#include "playlistmodel.h"
#include "rowsource.h"

#include <QString>
#include <QStringList>

// The program list: the rows of page files with their effect values, which row is current,
// and the rules by which rows are added, edited through the effect selectors, and removed.
// The list lives in memory only. The window shows model() and forwards its events here.
class ProgramList : public ControlRowSource
{
public:
    // Row numbers are 16-bit signed, so the list holds at most this many rows.
    static constexpr int kMaxRows = 32767;

    // The effect values of a row that is added: Effect 0, Speed 3, Times 0, Repeat 1, EEffect 0,
    // ESpeed 3, ETime 0, ERepeat 1 (columns 2 to 9).
    static QStringList defaultEffectValues();

    PlaylistModel *model() { return &m_model; }
    const PlaylistModel *model() const { return &m_model; }

    // ControlRowSource: 1-based rows and columns.
    int rowCount() const override;
    QString cellText(int row, int column) const override;

    // The 1-based number of the row last clicked, 0 before any click. Removing rows does not
    // change it, so it may name a row that no longer exists.
    qint16 CurrentRow = 0;
    // True while the start-up fills the selectors: selector changes then write nothing.
    bool IsLoading = false;

    // Appends a row for `FileName` with the default effect values and the given text size,
    // and renumbers. The new row is neither current nor selected. False, with nothing added,
    // when the list already holds kMaxRows rows.
    bool AddFileToListView(
        const QString &FileName, const QString &txtWidth, const QString &txtHeight);

    // Replaces the whole list with `rows` (twelve texts each, as a show holds them) and
    // renumbers; no row is current afterwards. False, with nothing changed, beyond kMaxRows.
    bool replaceRows(QList<QStringList> rows);

    // Sets every row's "NO." to its 1-based position.
    void RenumberListView();

    // What a selector pick did.
    enum class Change {
        Written, // the value went into row ListIndex
        Skipped, // start-up is filling the selectors, or no column has that code
        MovedToFirstRow, // no valid current row: CurrentRow became 1 and nothing was written
        ListEmpty, // no rows: the operator must add a file first (message 1)
    };

    // Writes `value` (the selector's picked text, or its position as text for the two effect
    // lists) into column `ColIndex` (2..11) of row `ListIndex`, the current row.
    Change ChangeListView(qint16 ListIndex, int ColIndex, const QString &value);

    // A click on 1-based row `row`: it becomes CurrentRow. Returns its twelve texts, or an
    // empty list (CurrentRow unchanged) when there is no such row.
    QStringList clickRow(int row);

    // Removes 1-based row `row` and renumbers; CurrentRow is left as it is. False when there
    // is no such row.
    bool removeRow(int row);

    // Whether CurrentRow names an existing row.
    bool hasCurrentRow() const { return CurrentRow >= 1 && CurrentRow <= rowCount(); }

    // The text width a file browser click shows `fileName` with: the TWidth of the first row
    // whose File Path is exactly `fileName`, as a whole number; 0 when no row names it or its
    // TWidth is not a whole number.
    qint16 textWidthForFile(const QString &fileName) const;

private:
    PlaylistModel m_model;
};
