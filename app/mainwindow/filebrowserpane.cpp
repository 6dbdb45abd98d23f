#include "filebrowserpane.h"

#include "localtext.h"

#include "pagefolder.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QListWidget>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kListLeft = 40 / 15; // twips to pixels

} // namespace

FileBrowserPane::FileBrowserPane(QWidget *parent)
    : QWidget(parent)
    , m_list(new QListWidget(this))
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("LeftBarContents"));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    m_list->setObjectName(QStringLiteral("File1"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    showTexts(QStringLiteral("English"));

    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(kRefreshMs);
    connect(m_timer, &QTimer::timeout, this, &FileBrowserPane::refresh);
    m_timer->start();

    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (item && !item->text().isEmpty())
            emit fileClicked(item->text());
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        if (item && !item->text().isEmpty())
            emit fileDoubleClicked(item->text());
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(kListLeft, 0, 0, 0);
    layout->addWidget(m_list);
}

void FileBrowserPane::setFolder(const QString &folder)
{
    m_folder = folder;
}

QString FileBrowserPane::selectedName() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void FileBrowserPane::refresh()
{
    const QStringList names = m_folder.isEmpty() ? QStringList() : listPageFiles(m_folder);
    if (names == m_names)
        return;
    const QString selected = selectedName();
    const int scroll = m_list->verticalScrollBar()->value();

    m_names = names;
    const QFileIconProvider icons;
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    for (const QString &name : names) {
        auto *item = new QListWidgetItem(
            icons.icon(QFileInfo(m_folder + QLatin1Char('/') + name)), name, m_list);
        if (name == selected) {
            m_list->setCurrentItem(item);
            item->setSelected(true);
        }
    }
    m_list->verticalScrollBar()->setValue(scroll);
    m_list->setUpdatesEnabled(true);
}

void FileBrowserPane::showTexts(const QString &language)
{
    m_list->setToolTip(localText(language,
        QStringLiteral("Click a page to show it; double-click it to add it to the program list."),
        QStringLiteral("单击页面文件即可显示；双击则加入节目列表。")));
}
