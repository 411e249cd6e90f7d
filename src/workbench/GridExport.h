#pragma once

#include <QChar>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

// Every row of a grid's query into a file, read again from the server as it
// is written, so that no more than one batch of rows is held however many
// the query returns. The file is replaced whole or not at all: a cancelled
// or failed export leaves the old file, or none, as it was.
class GridExport
{
public:
    enum class Format { Csv, Json, Sql };

    struct Target
    {
        QString path;
        Format format = Format::Csv;
        QChar separator = QLatin1Char(',');
        // Where an INSERT script inserts, when the grid names no table.
        QString table{};
    };

    // Told the rows written so far now and then; false cancels.
    using Progress = std::function<bool(qint64 rows)>;

    // The query's columns are named as the grid titles them; an INSERT
    // script inserts into table, or where the user says when it is empty.
    GridExport(QSqlDatabase database, QString statement, QStringList names, QString table);

    // Writes every row; throws GeneralError or DatabaseError on a failure and
    // SilentAbort when cancelled, the old file being left either way.
    qint64 write(const Target &target, const Progress &progress) const;

    // The user's command: asks for the file (its type names the format) and
    // for a CSV file the separator, writes with a progress box and Cancel,
    // and says how it ended.
    void run() const;

    // The format a file name's suffix names, CSV by default.
    static Format formatOf(const QString &path);
    // The separator as typed: one character, or "Tab".
    static QChar separatorOf(const QString &typed);

private:
    qint64 writeRows(QIODevice *device, const Target &target, const Progress &progress) const;
    bool ask(Target &target) const;
    static QString leftAsItWas(const QString &path, bool existed);

    QSqlDatabase m_database;
    QString m_statement;
    QStringList m_names;
    QString m_table;
};
