#include "programlistview.h"

#include <QKeyEvent>

ProgramListView::ProgramListView(QWidget *parent)
    : QTreeView(parent)
{
    setObjectName(QStringLiteral("ListView1"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setExpandsOnDoubleClick(false);
}

int ProgramListView::highlightedRow() const
{
    const QModelIndexList rows
        = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? 0 : rows.constFirst().row() + 1;
}

void ProgramListView::highlightRow(int row)
{
    if (!model() || !selectionModel())
        return;
    if (row < 1 || row > model()->rowCount()) {
        // No focus mark left behind either: the next arrow key starts from the top.
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = model()->index(row - 1, 0);
    if (currentIndex().row() != index.row() || highlightedRow() != row)
        setCurrentIndex(index);
    scrollTo(index);
}

void ProgramListView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        if (const int row = highlightedRow())
            emit deletePressed(row);
        event->accept();
        return;
    }
    const int before = highlightedRow();
    QTreeView::keyPressEvent(event);
    const int after = highlightedRow();
    if (after != 0 && after != before)
        emit movedToRow(after);
}
