#include "programlistpane.h"

#include "effectpanel.h"
#include "playlistmodel.h"
#include "programlistview.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kMargin = 120 / kTwipsPerPixel;

} // namespace

ProgramListPane::ProgramListPane(PlaylistModel *model, QWidget *parent)
    : QWidget(parent)
    , m_splitH(new QFrame(this))
    , m_list(new ProgramListView(this))
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

    m_list->setModel(model);
    m_list->header()->setStretchLastSection(true);
    m_list->header()->setSectionsMovable(false);
    m_list->header()->setMinimumSectionSize(24);
    for (int column = 1; column <= PlaylistModel::kColumnCount; ++column)
        m_list->setColumnWidth(
            column - 1, PlaylistModel::columnWidthTwips(column) / kTwipsPerPixel);

    connect(m_list, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit rowClicked(index.row() + 1);
    });
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit removeRequested(index.row() + 1);
    });
    connect(m_list, &ProgramListView::movedToRow, this, &ProgramListPane::rowClicked);
    connect(m_list, &ProgramListView::deletePressed, this, &ProgramListPane::removeRequested);

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
    return m_list->highlightedRow();
}

void ProgramListPane::selectRow(int row)
{
    m_list->highlightRow(row);
}
