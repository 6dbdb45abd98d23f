#pragma once

#include "schedule.h"
#include "schedulefile.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QStringList>

// The schedule being edited in the Schedule window: its entries as table rows (first match
// wins, so row order matters), the default show, the file it came from, and whether it has
// unsaved changes. Every change goes through the schedule library's checks, so the schedule
// held here is always one the agent would take; a bad value is refused with a message naming
// the entry and field, and nothing changes.
class ScheduleEditor : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { ShowColumn, DaysColumn, FromColumn, ToColumn, DatesColumn, TargetsColumn };
    static constexpr int kColumnCount = 6;

    // Until the schedule has a file, relative show paths are taken from `folder` (the program
    // folder, where the shows usually are).
    explicit ScheduleEditor(const QString &folder, QObject *parent = nullptr);

    void setLanguage(const QString &language) { m_language = language; }
    QString language() const { return m_language; }

    // The schedule as edited; its entries are named Entry1, Entry2 ... in row order.
    const Schedule &schedule() const { return m_schedule; }
    // The file opened or last saved; "" for a schedule never saved.
    QString filePath() const { return m_filePath; }
    // The folder relative show paths are taken from.
    QString folder() const;
    bool isModified() const { return m_modified; }

    // --- Editing; each returns "" when done, else the refusal and nothing changed.
    // Appends an entry for `show` (absolute, or relative to folder()) on every day, all day.
    QString addEntry(const QString &show);
    // Sets one field of entry `row` from the text an operator typed; an empty text removes an
    // optional field (all days, the whole day, no date range, the ticked targets).
    QString setField(int row, int column, const QString &text);
    // The show for when no entry applies; "" for none (the signs keep what they have).
    QString setDefaultShow(const QString &show);
    void removeEntry(int row);
    // Moves entry `row` one place up (-1) or down (+1); false at either end.
    bool moveEntry(int row, int step);

    // --- Files; each returns "" when done, else why not (nothing changed).
    // An empty schedule that has no file.
    void clear();
    QString open(const QString &path);
    // Writes the schedule atomically to `path` once it and every show it names are sound.
    QString saveTo(const QString &path);

    // A show path as the schedule writes it: relative to folder() when it lies beneath it.
    QString relativeShow(const QString &absolutePath) const;
    // The entry (or kDefault) in force at `moment` by the local wall clock.
    int entryAt(const QDateTime &moment) const;
    // "Entry2 — breakfast.vshow", "Default — evening.vshow", or that nothing is in force.
    QString inForceText(int entry) const;

    // QAbstractTableModel: the fields as the file writes them; absent ones show what they
    // mean (every day, 00:00, 24:00, the ticked targets) in grey and edit as empty.
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
        int role = Qt::EditRole) override;

signals:
    // The schedule, its file or its modified state changed: the chart and title follow.
    void changed();
    // An edit through setData was refused; `message` names the entry and field.
    void refused(const QString &message);

private:
    QString checkShow(const ScheduleEntry &entry, const QString &key) const;
    void renameEntries();
    void setModified(bool modified);

    QString m_folder;
    QString m_language;
    QString m_filePath;
    Schedule m_schedule;
    bool m_modified = false;
    QStringList m_headers;
};
