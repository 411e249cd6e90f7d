#pragma once

#include <QByteArray>
#include <QString>

// Where a command line's -o sends its text. A regular file, or a name not
// there yet, is replaced whole (WholeFile); a FIFO, a terminal, a device or
// the program's own standard output or error named as /dev/stdout,
// /dev/fd/N and the like is written into as a stream, never replaced by a
// regular file of that name; a folder or a block device is refused.
namespace OutputFile {

// An empty string on success, otherwise the system's reason.
QString write(const QString &fileName, const QByteArray &bytes);

// Whether two existing paths, however spelt or linked, name one file.
bool sameFile(const QString &first, const QString &second);

} // namespace OutputFile
