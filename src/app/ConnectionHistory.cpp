#include "app/ConnectionHistory.h"

#include "core/AppError.h"
#include "core/WholeFile.h"
#include "ibdb/StatementLines.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>

namespace ConnectionHistory {

QString defaultFileName()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("connect.hst"));
}

QStringList load(const QString &fileName, bool *exists)
{
    QFile file(fileName);
    const bool found = file.exists();
    if (exists)
        *exists = found;
    if (!found || !file.open(QIODevice::ReadOnly))
        return {};
    return StatementLines::splitText(QString::fromUtf8(file.readAll()));
}

void save(const QString &fileName, const QStringList &entries)
{
    // A history that is there but could not be read was never loaded:
    // replacing it would throw its entries away.
    QFile existing(fileName);
    if (existing.exists() && !existing.open(QIODevice::ReadOnly))
        throw GeneralError(QStringLiteral("Cannot read file \"%1\"").arg(fileName));
    existing.close();
    const QString failure = WholeFile::write(fileName, StatementLines::join(entries).toUtf8());
    if (!failure.isEmpty())
        throw GeneralError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, failure));
}

QStringList merged(QStringList entries, const QStringList &onDisk)
{
    for (const QString &entry : onDisk) {
        if (!entry.isEmpty() && indexOf(entries, entry) < 0)
            entries.append(entry);
    }
    return entries;
}

qsizetype indexOf(const QStringList &entries, const QString &text)
{
    const QLocale locale;
    const QString wanted = locale.toLower(text);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (locale.toLower(entries[i]) == wanted)
            return i;
    }
    return -1;
}

QStringList reorderedForExit(QStringList entries, const QString &current)
{
    const qsizetype found = indexOf(entries, current);
    if (found > 0)
        entries.swapItemsAt(0, found);
    return entries;
}

} // namespace ConnectionHistory
