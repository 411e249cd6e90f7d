#include "support/ForeignRepository.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace ForeignRepository {

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

void writeSqlite(const QString &path, const QString &statement)
{
    const QString name = QStringLiteral("foreign-repository");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QSqlQuery query(db);
        if (!db.open() || !query.exec(statement))
            qFatal("cannot make %s", qPrintable(path));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

QStringList kinds()
{
    return {QStringLiteral("random bytes"), QStringLiteral("empty file"),
            QStringLiteral("another schema"), QStringLiteral("table without its text")};
}

void make(const QString &path, const QString &kind)
{
    if (kind == QLatin1String("random bytes")) {
        QByteArray bytes(8192, '\0');
        QRandomGenerator generator(25);
        for (char &byte : bytes)
            byte = char(generator.bounded(256));
        writeBytes(path, bytes);
    } else if (kind == QLatin1String("empty file")) {
        writeBytes(path, QByteArray());
    } else if (kind == QLatin1String("another schema")) {
        writeSqlite(path, QStringLiteral("CREATE TABLE CUSTOMERS (ID INTEGER, NAME TEXT)"));
    } else {
        writeSqlite(path, QStringLiteral("CREATE TABLE DVSRC (\"OBJECT NAME\" VARCHAR(30))"));
    }
}

} // namespace ForeignRepository
