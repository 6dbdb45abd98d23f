#pragma once

#include <QTreeView>

// The program list ListView1: whole rows, one selectable at a time. The keyboard moves the
// highlight as the mouse does: a move to another row (arrows, Home, End, Page Up, Page Down,
// typing the start of a row's text) is reported like a click on that row, so the highlighted
// row is the row the selectors show and "SendChar" sends. Delete asks to remove the
// highlighted row, as a double-click does.
class ProgramListView : public QTreeView
{
    Q_OBJECT

public:
    explicit ProgramListView(QWidget *parent = nullptr);

    // The 1-based row highlighted, 0 for none.
    int highlightedRow() const;
    // Highlights 1-based `row`, or nothing when there is no such row.
    void highlightRow(int row);

signals:
    // The keyboard moved the highlight to 1-based `row`.
    void movedToRow(int row);
    // Delete was pressed on 1-based `row`.
    void deletePressed(int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
