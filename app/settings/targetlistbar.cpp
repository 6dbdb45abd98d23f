#include "targetlistbar.h"

#include "atomicfile.h"
#include "localtext.h"
#include "messages.h"
#include "promptbox.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

namespace {

QPushButton *makeButton(const char *name, const char *caption, QWidget *parent)
{
    auto *button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

TargetListBar::TargetListBar(QTreeWidget *list, Access access, QWidget *parent)
    : QWidget(parent)
    , m_list(list)
    , m_access(std::move(access))
{
    auto *tickAllButton = makeButton("CmdTickAll", "Tick all", this);
    auto *tickNoneButton = makeButton("CmdTickNone", "Tick none", this);
    auto *importButton = makeButton("CmdIPImport", "Import...", this);
    auto *exportButton = makeButton("CmdIPExport", "Export...", this);
    connect(tickAllButton, &QPushButton::clicked, this, [this] { tickAll(true); });
    connect(tickNoneButton, &QPushButton::clicked, this, [this] { tickAll(false); });
    connect(importButton, &QPushButton::clicked, this, &TargetListBar::CmdIPImport_Click);
    connect(exportButton, &QPushButton::clicked, this, &TargetListBar::CmdIPExport_Click);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tickAllButton);
    layout->addWidget(tickNoneButton);
    layout->addStretch(1);
    layout->addWidget(importButton);
    layout->addWidget(exportButton);
}

void TargetListBar::tickAll(bool ticked)
{
    const Qt::CheckState state = ticked ? Qt::Checked : Qt::Unchecked;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        m_list->topLevelItem(i)->setCheckState(0, state);
}

bool TargetListBar::importTargets(const QString &path)
{
    const QString language = m_access.language();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        refuse(localText(language,
            QStringLiteral("%1 cannot be read: %2.").arg(path, file.errorString()),
            QStringLiteral("无法读取 %1：%2。").arg(path, file.errorString())));
        return false;
    }
    if (file.size() > kMaxFileBytes) {
        refuse(localText(language,
            QStringLiteral("%1 is too large for a target list (more than %2 KiB); nothing was "
                           "imported.")
                .arg(path)
                .arg(kMaxFileBytes / 1024),
            QStringLiteral("%1 太大，不是目标列表（超过 %2 KiB），未导入任何内容。")
                .arg(path)
                .arg(kMaxFileBytes / 1024)));
        return false;
    }
    const TargetFileRead read
        = IpTargetList::readTargetFile(file.readAll(), m_access.maxRows(), language);
    if (!read.ok()) {
        refuse(localText(language,
                   QStringLiteral("Nothing was imported from %1: %2 problem(s).")
                       .arg(path)
                       .arg(read.problems.size()),
                   QStringLiteral("未从 %1 导入任何内容：共 %2 处问题。")
                       .arg(path)
                       .arg(read.problems.size())),
            read.problems);
        return false;
    }
    if (read.rows.isEmpty() && !m_access.rows().isEmpty()) {
        // A file with no targets empties the list: only when the operator says so.
        QMessageBox ask(QMessageBox::Question, PromptTitle(language),
            localText(language,
                QStringLiteral("%1 lists no targets. Importing it empties the target list. "
                               "Empty the list?")
                    .arg(path),
                QStringLiteral("%1 中没有任何目标。导入它会清空目标列表。要清空列表吗？")
                    .arg(path)),
            QMessageBox::Yes | QMessageBox::No, this);
        ask.setDefaultButton(QMessageBox::No);
        if (ask.exec() != QMessageBox::Yes)
            return false;
    }
    m_access.setRows(read.rows);
    m_folder = QFileInfo(path).absolutePath();
    return true;
}

bool TargetListBar::exportTargets(const QString &path)
{
    const QString language = m_access.language();
    QString reason;
    if (!writeFileAtomically(path, IpTargetList::targetFileText(m_access.rows()), &reason)) {
        while (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        refuse(localText(language, QStringLiteral("%1 could not be written: %2.").arg(path, reason),
            QStringLiteral("无法写入 %1：%2。").arg(path, reason)));
        return false;
    }
    m_folder = QFileInfo(path).absolutePath();
    return true;
}

void TargetListBar::CmdIPImport_Click()
{
    const QString language = m_access.language();
    const QString path = QFileDialog::getOpenFileName(this,
        localText(language, QStringLiteral("Import targets"), QStringLiteral("导入目标")), m_folder,
        fileFilter());
    if (!path.isEmpty())
        importTargets(path);
}

void TargetListBar::CmdIPExport_Click()
{
    const QString language = m_access.language();
    const QString path = QFileDialog::getSaveFileName(this,
        localText(language, QStringLiteral("Export targets"), QStringLiteral("导出目标")),
        m_folder.isEmpty() ? QStringLiteral("targets.txt")
                           : m_folder + QStringLiteral("/targets.txt"),
        fileFilter());
    if (!path.isEmpty())
        exportTargets(path);
}

void TargetListBar::refuse(const QString &text, const QStringList &details)
{
    const QString language = m_access.language();
    QString message = text;
    if (!details.isEmpty()) {
        message += QStringLiteral("\n\n") + details.mid(0, kProblemsShown).join(QLatin1Char('\n'));
        if (details.size() > kProblemsShown) {
            message += QLatin1Char('\n')
                + localText(language,
                    QStringLiteral("... and %1 more (see the details).")
                        .arg(details.size() - kProblemsShown),
                    QStringLiteral("……另有 %1 处（见详细信息）。")
                        .arg(details.size() - kProblemsShown));
        }
    }
    QMessageBox box(QMessageBox::Warning, PromptTitle(language), message, QMessageBox::Ok, this);
    if (details.size() > kProblemsShown)
        box.setDetailedText(details.join(QLatin1Char('\n')));
    box.exec();
}

QString TargetListBar::fileFilter() const
{
    return localText(m_access.language(),
        QStringLiteral("Target lists (*.txt *.csv);;All files (*)"),
        QStringLiteral("目标列表 (*.txt *.csv);;所有文件 (*)"));
}
