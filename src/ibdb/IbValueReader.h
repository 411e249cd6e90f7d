#pragma once

#include "ibdb/IbBlobStream.h"

#include <ibase.h>

#include <QVariant>

// Turns a fetched XSQLVAR into the value the layer delivers: CHAR without
// trailing blanks, text as UTF-8, scaled integers as double, text blobs as
// QString, NULL as a null QVariant of the column's type.
//
// Exact reading keeps what the toolkit's types would round: scaled integers
// come as their decimal text at the column's scale, DATE, TIME and TIMESTAMP
// as ISO text with the ten-thousandths of a second when they are not zero;
// such a column's NULL is a null QString. FLOAT stays a float. The text goes back to the server
// unchanged when it is bound again.
class IbValueReader
{
public:
    explicit IbValueReader(IbBlobStream blobs, bool exact = false)
        : m_blobs(blobs), m_exact(exact) {}

    QVariant read(const XSQLVAR &var) const;

    // True when exact reading gives the column's values as text.
    static bool readsAsText(const XSQLVAR &var);
    static QString decimalText(qint64 value, int scale);
    static QString dateText(ISC_DATE date);
    static QString timeText(ISC_TIME time);
    // A blob column's value, from its content.
    static QVariant blobValue(const XSQLVAR &var, const QByteArray &content);
    // A CHAR or VARCHAR column's value, from its bytes.
    static QVariant text(const XSQLVAR &var, const char *data, qsizetype length);

private:
    QVariant exactText(const XSQLVAR &var) const;
    static QVariant scaled(qint64 value, int scale, QMetaType::Type integerType);
    QVariant blob(const XSQLVAR &var) const;

    IbBlobStream m_blobs;
    bool m_exact;
};
