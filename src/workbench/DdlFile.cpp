#include "workbench/DdlFile.h"

#include "core/AppError.h"
#include "core/WholeFile.h"
#include "ibdb/StatementLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace DdlFile {

QString filter()
{
    return QStringLiteral("DDL statements (*.DDL);;All files (*.*)");
}

QString scriptFilter()
{
    return QStringLiteral("DDL statements (*.DDL);;SQL scripts (*.sql);;All files (*.*)");
}

QString withDefaultExtension(const QString &fileName)
{
    return QFileInfo(fileName).suffix().isEmpty() ? fileName + QStringLiteral(".DDL") : fileName;
}

QStringList read(const QString &fileName)
{
    return StatementLines::splitText(readText(fileName));
}

QString readText(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        throw GeneralError(QStringLiteral("Cannot open file \"%1\". %2")
                               .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    }
    return QString::fromUtf8(file.readAll());
}

void write(const QString &fileName, const QStringList &lines)
{
    const QString failure = WholeFile::write(fileName, StatementLines::join(lines).toUtf8());
    if (!failure.isEmpty()) {
        throw GeneralError(QStringLiteral("Cannot create file \"%1\". %2")
                               .arg(QDir::toNativeSeparators(fileName), failure));
    }
}

} // namespace DdlFile
