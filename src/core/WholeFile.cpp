#include "core/WholeFile.h"

#include <QSaveFile>

namespace WholeFile {

QString write(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // QSaveFile buffers small writes, and Qt 6.4's commit() renames the
    // temporary file over the old one even when flushing that buffer failed
    // (ENOSPC, EFBIG): flushing first is the only way to hear of it.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

} // namespace WholeFile
