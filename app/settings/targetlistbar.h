#pragma once

#include "iptargetlist.h"

#include <QWidget>

#include <functional>

class QPushButton;
class QTreeWidget;

// The buttons under the settings dialog's target list that make a long list workable: tick
// every row or none, and import or export the rows as a target file ("address,port,flag"
// lines). The rows come and go through the dialog, which owns the list.
class TargetListBar : public QWidget
{
    Q_OBJECT

public:
    // Target files larger than this are refused unread.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;
    // A refused import names at most this many bad lines in the box; all are in its details.
    static constexpr int kProblemsShown = 12;

    struct Access
    {
        std::function<QList<IpTarget>()> rows;
        std::function<void(const QList<IpTarget> &)> setRows;
        std::function<qint16()> maxRows;
        std::function<QString()> language;
    };

    TargetListBar(QTreeWidget *list, Access access, QWidget *parent = nullptr);

    // Ticks (or unticks) every row of the list.
    void tickAll(bool ticked);
    // Replaces the rows with the targets of the file at `path`. False, after showing every
    // problem, when the file cannot be read or has a bad line, or when the operator declines
    // to empty the list for a file without targets; the rows are then unchanged.
    bool importTargets(const QString &path);
    // Writes the rows to `path` in one step; false, after saying why, when it cannot.
    bool exportTargets(const QString &path);

private:
    void CmdIPImport_Click();
    void CmdIPExport_Click();
    void refuse(const QString &text, const QStringList &details = {});
    QString fileFilter() const;

    QTreeWidget *m_list;
    Access m_access;
    QString m_folder; // where the last import or export was
};
