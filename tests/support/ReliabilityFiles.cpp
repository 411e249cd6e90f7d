#include "support/ReliabilityFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sys/fsuid.h>
#include <unistd.h>

namespace ReliabilityFiles {

namespace {

const unsigned kNobody = 65534;

QByteArray hugeText(const QByteArray &prefix)
{
    const qsizetype size = 100 * 1024 * 1024;
    QByteArray line = prefix + "/a/long/path/to/a/database/file/segment/";
    line += QByteArray(100 - line.size() - 2, 'x') + "\r\n";
    QByteArray text;
    text.reserve(size);
    while (text.size() + line.size() <= size)
        text += line;
    return text;
}

QByteArray binary()
{
    QByteArray bytes;
    for (int round = 0; round < 64; ++round) {
        for (int value = 0; value < 256; ++value)
            bytes += char((value * 7 + round * 13) & 0xff);
    }
    return bytes;
}

void setMode(const QString &path, QFileDevice::Permissions permissions)
{
    if (!QFile::setPermissions(path, permissions))
        qFatal("cannot change the permissions of %s", qPrintable(path));
}

const QFileDevice::Permissions kAll = QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                      | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                      | QFileDevice::WriteOther | QFileDevice::ExeOther;
const QFileDevice::Permissions kReadOnlyDir = QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                              | QFileDevice::ReadOther | QFileDevice::ExeOther;

} // namespace

QList<Kind> allKinds()
{
    return {Kind::Empty,       Kind::Binary,        Kind::Huge,       Kind::NulBytes,
            Kind::InvalidUtf8, Kind::MixedLineEnds, Kind::Unreadable, Kind::UnwritableDir};
}

const char *name(Kind kind)
{
    switch (kind) {
    case Kind::Empty:
        return "empty";
    case Kind::Binary:
        return "binary";
    case Kind::Huge:
        return "huge";
    case Kind::NulBytes:
        return "NUL bytes";
    case Kind::InvalidUtf8:
        return "invalid UTF-8";
    case Kind::MixedLineEnds:
        return "mixed line ends";
    case Kind::Unreadable:
        return "unreadable";
    case Kind::UnwritableDir:
        return "unwritable folder";
    }
    return "?";
}

QByteArray content(Kind kind, const QByteArray &prefix)
{
    switch (kind) {
    case Kind::Empty:
        return {};
    case Kind::Binary:
        return binary();
    case Kind::Huge:
        return hugeText(prefix);
    case Kind::NulBytes:
        return prefix + "1\r\n" + prefix + QByteArray("2\0tail\r\n", 8) + prefix + "3\r\n"
               + QByteArray(4096, '\0');
    case Kind::InvalidUtf8:
        return prefix + "1-B\xfcro\r\n" + prefix + "2-\xe2\x82\r\n" + prefix + "3\xff\xfe\r\n";
    case Kind::MixedLineEnds:
        return prefix + "1\r" + prefix + "2\n" + prefix + "3\r\n\n" + prefix + "4";
    case Kind::Unreadable:
    case Kind::UnwritableDir:
        return prefix + "1\r\n" + prefix + "2\r\n";
    }
    return {};
}

void make(const QString &path, Kind kind, const QByteArray &text)
{
    const QString folder = QFileInfo(path).absolutePath();
    QDir().mkpath(folder);
    setMode(folder, kAll);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write %s", qPrintable(path));
    file.close();
    setMode(path, kAll & ~(QFileDevice::ExeOwner | QFileDevice::ExeOther));
    if (kind == Kind::Unreadable)
        setMode(path, {});
    if (kind == Kind::UnwritableDir)
        setMode(folder, kReadOnlyDir);
}

QString tempRoot()
{
    const QString root = qEnvironmentVariable("QUORVEL_TEST_TMP");
    const QString folder = root.isEmpty() ? QDir::tempPath() : root;
    QDir().mkpath(folder);
    return folder;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

QStringList generation(int number, int lineCount)
{
    QStringList lines;
    lines.reserve(lineCount);
    for (int i = 0; i < lineCount; ++i) {
        const QString line = QStringLiteral("generation %1 line %2 ").arg(number).arg(i);
        lines << line.leftJustified(98, u'.');
    }
    return lines;
}

int wholeGeneration(const QStringList &lines, int lineCount)
{
    if (lines.size() != lineCount)
        return -1;
    const QStringList words = lines.value(0).split(u' ');
    bool isNumber = false;
    const int number = words.value(1).toInt(&isNumber);
    return isNumber && lines == generation(number, lineCount) ? number : -1;
}

bool needsOrdinaryUser(Kind kind)
{
    return kind == Kind::Unreadable || kind == Kind::UnwritableDir;
}

AsOrdinaryUser::AsOrdinaryUser(bool active) : m_active(active)
{
    if (!m_active)
        return;
    m_gid = setfsgid(kNobody);
    m_uid = setfsuid(kNobody);
}

AsOrdinaryUser::~AsOrdinaryUser()
{
    if (!m_active)
        return;
    setfsuid(m_uid);
    setfsgid(m_gid);
}

} // namespace ReliabilityFiles
