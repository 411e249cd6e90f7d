#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class QSqlDatabase;

// A generator's current value over its whole 64-bit range. GEN_ID compiled
// in dialect 1 hands back only the low 32 bits, so the value is always read
// by a statement compiled in dialect 3, whatever the database's dialect.
namespace IbGeneratorValue {

// Throws DatabaseError with the server's text (an unknown generator, a
// closed connection).
qint64 read(const QSqlDatabase &database, const QString &name);

// The values of several generators, in order, read in one server call (a
// window of two thousand generators is no two thousand hand-offs). On a
// failure `values` holds those read before it, and the error is thrown.
void readAll(const QSqlDatabase &database, const QStringList &names, QList<qint64> &values);

// The statement that reads it, with the name quoted as stored.
QByteArray statement(const QString &name);

} // namespace IbGeneratorValue
