#include "atomicfile.h"

#include <QSaveFile>

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason)
{
    // Unbuffered, so a short write shows in write()'s count; through the buffer Qt's final
    // flush can take a partial write for success and commit a cut file.
    QSaveFile file(path);
    qint64 written = -1;
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
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
