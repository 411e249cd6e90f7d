#pragma once

#include "ibdb/IbTransactionCounters.h"

#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>

// What the monitoring tables show at one moment: the attachments the server
// lets the current user see, their transactions and statements, each with
// its I/O, and the header's transaction markers. Read in a read-only
// snapshot transaction of its own, so the lists agree with one another and
// the tool's own transaction never holds the monitoring snapshot.
class MonitorSnapshot
{
public:
    // One row of a list: its key, the attachment it belongs to (its own key
    // for an attachment), that attachment's user, and the values of the
    // list's columns in their order.
    struct Row
    {
        qint64 id = 0;
        qint64 attachmentId = 0;
        QString user;
        QVariantList values;
    };

    static QStringList attachmentColumns();
    static QStringList transactionColumns();
    static QStringList statementColumns();

    // Throws DatabaseError with the server's text.
    static MonitorSnapshot read(const QSqlDatabase &connection);

    QList<Row> attachments;
    QList<Row> transactions;
    QList<Row> statements;
    IbTransactionCounters counters;
    qint64 ownAttachment = 0;
    // Whether the server shows this user every attachment, or only the user's own.
    bool seesAll = false;

    const Row *attachment(qint64 id) const;
    QList<Row> transactionsOf(qint64 attachmentId) const;
    QList<Row> statementsOf(qint64 attachmentId) const;
};
