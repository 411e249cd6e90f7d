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

void writeSqlite(const QString &path, const QStringList &statements)
{
    const QString name = QStringLiteral("foreign-repository");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot make %s", qPrintable(path));
        for (const QString &statement : statements) {
            QSqlQuery query(db);
            if (!query.exec(statement))
                qFatal("cannot make %s", qPrintable(path));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// A real repository of 2,000 entries with 12 KB in its middle overwritten.
void writeDamaged(const QString &path)
{
    writeSqlite(path,
                {QStringLiteral("CREATE TABLE DVSRC (\"OBJECT NAME\" VARCHAR(30) NOT NULL "
                                "PRIMARY KEY, \"OBJECT SOURCE\" TEXT)"),
                 QStringLiteral("WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N "
                                "WHERE I < 2000) INSERT INTO DVSRC SELECT 'ENTRY_' || I, "
                                "printf('%.200c', 'x') FROM N")});
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.seek(file.size() / 2)
        || file.write(QByteArray(12 * 1024, '\x5a')) != 12 * 1024)
        qFatal("cannot damage %s", qPrintable(path));
}

} // namespace

QStringList kinds()
{
    return {QStringLiteral("random bytes"), QStringLiteral("empty file"),
            QStringLiteral("another schema"), QStringLiteral("table without its text"),
            QStringLiteral("damaged")};
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
        writeSqlite(path, {QStringLiteral("CREATE TABLE CUSTOMERS (ID INTEGER, NAME TEXT)")});
    } else if (kind == QLatin1String("damaged")) {
        writeDamaged(path);
    } else {
        writeSqlite(path, {QStringLiteral("CREATE TABLE DVSRC (\"OBJECT NAME\" VARCHAR(30))")});
    }
}

} // namespace ForeignRepository
