#include "fieldfilewatcher.h"

#include "valuestore.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>

FieldFileWatcher::FieldFileWatcher(const QString &programFolder, QObject *parent)
    : QObject(parent)
    , m_programFolder(QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath()))
    , m_watcher(new QFileSystemWatcher(this))
{
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &FieldFileWatcher::changed);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &FieldFileWatcher::changed);
}

void FieldFileWatcher::watch(const QStringList &files)
{
    QStringList wanted;
    const QString values = ValueStore(m_programFolder).folder();
    if (QFileInfo(values).isDir())
        wanted.append(values);
    for (const QString &file : files) {
        const QFileInfo info(file);
        if (info.exists())
            wanted.append(info.absoluteFilePath());
        const QString folder = QDir::cleanPath(info.absolutePath());
        if (folder != m_programFolder && QFileInfo(folder).isDir())
            wanted.append(folder);
    }
    wanted.removeDuplicates();
    const QStringList watched = m_watcher->files() + m_watcher->directories();
    for (const QString &path : watched) {
        if (!wanted.contains(path))
            m_watcher->removePath(path);
    }
    for (const QString &path : std::as_const(wanted)) {
        if (!watched.contains(path))
            m_watcher->addPath(path);
    }
}
