#pragma once

#include <QObject>
#include <QStringList>

class QFileSystemWatcher;

// Wakes the agent when a file that a file field reads, or a stored value, changes. Files
// replaced by a rename drop out of a watch, so the list is renewed after every wake; folders
// are watched too (a file written anew appears there), all but the program folder, which
// the agent itself writes.
class FieldFileWatcher : public QObject
{
    Q_OBJECT

public:
    FieldFileWatcher(const QString &programFolder, QObject *parent = nullptr);

    // Watches `files` (absolute paths) and the values folder from now on, nothing else.
    void watch(const QStringList &files);

signals:
    void changed();

private:
    QString m_programFolder;
    QFileSystemWatcher *m_watcher;
};
