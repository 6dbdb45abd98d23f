#pragma once

#include <QWidget>

class EffectPanel;
class PlaylistModel;
class QFrame;
class QTreeView;

// The bottom pane's contents: the etched line SplitH along the top, the program list
// ListView1 (growing with the window) and, on its right, the effect panel.
class ProgramListPane : public QWidget
{
    Q_OBJECT

public:
    explicit ProgramListPane(PlaylistModel *model, QWidget *parent = nullptr);

    QTreeView *ListView1() const { return m_list; }
    EffectPanel *effectPanel() const { return m_effects; }

    // The 1-based row selected in the list, 0 for none.
    int selectedRow() const;
    void selectRow(int row);

signals:
    // A row was clicked (the first press of a double-click included).
    void rowClicked(int row);
    // A row was double-clicked, or Delete was pressed on the selected row.
    void removeRequested(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QFrame *m_splitH;
    QTreeView *m_list;
    EffectPanel *m_effects;
};
