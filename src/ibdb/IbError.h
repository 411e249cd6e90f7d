#pragma once

#include "core/AppError.h"

#include <ibase.h>

#include <QSqlError>

// A failure inside the data-access layer on its way to a QSqlError. Server
// failures carry the server's text as the database text and nothing as the
// driver text, so QSqlError::text() is exactly what the server said; the
// layer's own refusals carry their text as the driver text.
class IbError : public DatabaseError
{
public:
    // Throws the server's error when the status vector reports one.
    static void check(const ISC_STATUS *status, QSqlError::ErrorType type);
    // The layer's own refusal (no server involved).
    static IbError refusal(const QString &text, QSqlError::ErrorType type);

    QSqlError toSqlError() const { return m_error; }
    // The attachment itself is gone, not just this request refused.
    bool connectionLost() const { return m_connectionLost; }

private:
    explicit IbError(const QSqlError &error, bool connectionLost = false);

    QSqlError m_error;
    bool m_connectionLost = false;
};
