#include "programlistpane.h"

#include "effectpanel.h"
#include "playlistmodel.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kMargin = 120 / kTwipsPerPixel;

} // namespace

ProgramListPane::ProgramListPane(PlaylistModel *model, QWidget *parent)
    : QWidget(parent)
    , m_splitH(new QFrame(this))
    , m_list(new QTreeView(this))
    , m_effects(new EffectPanel(this))
{
    setObjectName(QStringLiteral("BottomBarContents"));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    // The etched separator: a shadow line over a highlight line.
    m_splitH->setObjectName(QStringLiteral("SplitH"));
    m_splitH->setFrameShape(QFrame::HLine);
    m_splitH->setFrameShadow(QFrame::Sunken);
    m_splitH->setFixedHeight(60 / kTwipsPerPixel);

    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setModel(model);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setExpandsOnDoubleClick(false);
    m_list->header()->setStretchLastSection(true);
    m_list->header()->setSectionsMovable(false);
    m_list->header()->setMinimumSectionSize(24);
    for (int column = 1; column <= PlaylistModel::kColumnCount; ++column)
        m_list->setColumnWidth(
            column - 1, PlaylistModel::columnWidthTwips(column) / kTwipsPerPixel);
    m_list->installEventFilter(this);

    connect(m_list, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit rowClicked(index.row() + 1);
    });
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit removeRequested(index.row() + 1);
    });

    auto *body = new QHBoxLayout;
    body->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    body->setSpacing(kMargin + 4);
    body->addWidget(m_list, 1);
    body->addWidget(m_effects, 0, Qt::AlignTop);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_splitH);
    layout->addLayout(body, 1);
}

int ProgramListPane::selectedRow() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.constFirst().row() + 1;
}

void ProgramListPane::selectRow(int row)
{
    if (row < 1 || row > m_list->model()->rowCount()) {
        m_list->clearSelection();
        return;
    }
    const QModelIndex index = m_list->model()->index(row - 1, 0);
    m_list->setCurrentIndex(index);
    m_list->scrollTo(index);
}

bool ProgramListPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete && selectedRow() > 0) {
            emit removeRequested(selectedRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
