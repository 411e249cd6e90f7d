#pragma once

#include <QByteArray>
#include <QString>

class TestDatabase;

// Schemas set up by the server's own client, isql-fb, as a user would: the
// metadata script's replays and the Firebird employee sample.
class IsqlScript
{
public:
    // Where Debian's examples package puts the employee sample.
    static QString employeeSample();
    // A gzipped isql script without its CREATE DATABASE: the database is made.
    static QByteArray unpacked(const QString &gzipFile);
    // Runs the script into the database (no attachment may hold it), stopping
    // at the first error: empty when it ran through, else what isql said.
    // The connection character set is isql's default (NONE) unless named.
    static QString replay(const TestDatabase &db, const QByteArray &script,
                          const QString &characterSet = QString());
    // Everything isql says, errors included, running the script on the
    // database (no attachment may hold it).
    static QByteArray output(const TestDatabase &db, const QByteArray &script);
};
