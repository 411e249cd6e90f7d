#include "core/WholeFile.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace WholeFile {

namespace {

// Qt 6.4 tells a failed flush of its buffer as "Unknown error": the system's
// own reason ("No space left on device") is what the user needs.
QString reasonOf(const QSaveFile &file, int error)
{
    return error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : file.errorString();
}

} // namespace

QString write(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // QSaveFile buffers small writes, and Qt 6.4's commit() renames the
    // temporary file over the old one even when flushing that buffer failed
    // (ENOSPC, EFBIG): flushing first is the only way to hear of it.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = reasonOf(file, errno);
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

} // namespace WholeFile
