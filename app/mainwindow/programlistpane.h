#pragma once

#include <QWidget>

class EffectPanel;
class PlaylistModel;
class ProgramListView;
class QFrame;
class QTreeView;

// The bottom pane's contents: the etched line SplitH along the top, the program list
// ListView1 (growing with the window) and, on its right, the effect panel.
class ProgramListPane : public QWidget
{
    Q_OBJECT

public:
    explicit ProgramListPane(PlaylistModel *model, QWidget *parent = nullptr);

    ProgramListView *ListView1() const { return m_list; }
    EffectPanel *effectPanel() const { return m_effects; }

    // The 1-based row highlighted in the list, 0 for none.
    int selectedRow() const;
    // Highlights 1-based `row` (the current row), or nothing when there is no such row.
    void selectRow(int row);

signals:
    // A row was clicked (the first press of a double-click included), or the keyboard moved
    // the highlight to it.
    void rowClicked(int row);
    // A row was double-clicked, or Delete was pressed on the highlighted row.
    void removeRequested(int row);

private:
    QFrame *m_splitH;
    ProgramListView *m_list;
    EffectPanel *m_effects;
};
