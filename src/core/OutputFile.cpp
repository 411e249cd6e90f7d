#include "core/OutputFile.h"

#include "core/WholeFile.h"

#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace OutputFile {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A name for one of this process's open descriptors: writing goes to that
// descriptor as the shell opened it (appending, a pipe), not to a file
// opened anew at offset 0, let alone one renamed over it.
int descriptorNamed(const QString &fileName)
{
    if (fileName == QLatin1String("/dev/stdout"))
        return STDOUT_FILENO;
    if (fileName == QLatin1String("/dev/stderr"))
        return STDERR_FILENO;
    static const QRegularExpression numbered(
        QStringLiteral("^/(?:dev/fd|proc/self/fd)/(\\d{1,4})$"));
    const QRegularExpressionMatch match = numbered.match(fileName);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString writeAll(int descriptor, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return systemReason(written < 0 ? errno : ENOSPC);
        data += written;
        left -= written;
    }
    return QString();
}

QString writeStream(const QString &fileName, const QByteArray &bytes)
{
    const int descriptor =
        ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return systemReason(errno);
    QString reason = writeAll(descriptor, bytes);
    if (::close(descriptor) != 0 && reason.isEmpty())
        reason = systemReason(errno);
    return reason;
}

} // namespace

QString write(const QString &fileName, const QByteArray &bytes)
{
    const int descriptor = descriptorNamed(fileName);
    if (descriptor >= 0)
        return writeAll(descriptor, bytes);
    struct stat status = {};
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0)
        return errno == ENOENT ? WholeFile::write(fileName, bytes) : systemReason(errno);
    if (S_ISREG(status.st_mode))
        return WholeFile::write(fileName, bytes);
    if (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode) || S_ISSOCK(status.st_mode))
        return writeStream(fileName, bytes);
    if (S_ISDIR(status.st_mode))
        return systemReason(EISDIR);
    return QStringLiteral("not a regular file");
}

bool sameFile(const QString &first, const QString &second)
{
    struct stat one = {};
    struct stat other = {};
    return ::stat(QFile::encodeName(first).constData(), &one) == 0
           && ::stat(QFile::encodeName(second).constData(), &other) == 0
           && one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

} // namespace OutputFile
