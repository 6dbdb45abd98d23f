#include "atomicfile.h"

#include "filemode.h"

#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The new file takes the old one's owner and group, as a rewrite in place would keep them.
// Only root may give a file away; anyone may keep the group when it is one of theirs, so
// each is tried on its own and a refusal leaves the file ours.
void keepOwner(int fd, const QString &oldPath)
{
    struct stat old
    {
    };
    if (fd < 0 || ::stat(QFile::encodeName(oldPath).constData(), &old) != 0)
        return;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, uid_t(-1), old.st_gid);
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason)
{
    const bool replacing = QFileInfo::exists(path);
    // Root may write any file; a file whose mode lets nobody write stays as it is all the same.
    if (replacing && !fileModeAllowsWriting(path)) {
        if (reason)
            *reason = QStringLiteral("the file is read-only");
        return false;
    }
    // Unbuffered, so a short write shows in write()'s count; through the buffer Qt's final
    // flush can take a partial write for success and commit a cut file.
    QSaveFile file(path);
    qint64 written = -1;
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // QSaveFile gives the new file the old one's permission bits itself.
        if (replacing)
            keepOwner(file.handle(), path);
        written = file.write(bytes);
        if (written == bytes.size() && file.commit())
            return true;
    }
    if (reason) {
        // A short write sets no error of its own: say what happened rather than "Unknown error".
        *reason = written >= 0 && file.error() == QFileDevice::NoError
            ? QStringLiteral("the disk took only %1 of %2 bytes").arg(written).arg(bytes.size())
            : file.errorString();
    }
    file.cancelWriting();
    return false;
}
