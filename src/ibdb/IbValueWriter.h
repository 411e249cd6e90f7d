#pragma once

#include "ibdb/IbBlobStream.h"
#include "ibdb/IbSqlda.h"

#include <QVariant>

// Puts bound values into an input XSQLDA. A value whose Qt type fits the
// parameter's declared type is sent in that type; anything else is sent as
// text and converted by the server, which reports what it cannot convert.
// Text goes as UTF-8; blob parameters are written as blobs first.
class IbValueWriter
{
public:
    IbValueWriter(IbSqlda &sqlda, IbBlobStream blobs) : m_sqlda(sqlda), m_blobs(blobs) {}

    void write(int i, const XSQLVAR &declared, const QVariant &value);

    // The text the server is sent for a value that is not sent in its own type.
    static QByteArray textOf(const QVariant &value);

private:
    bool writeTemporal(int i, int type, const QVariant &value);
    bool writeNumber(int i, const QVariant &value);
    void writeText(int i, const QByteArray &bytes, int charset);
    template <typename T>
    void writeScalar(int i, int type, const T &value);

    IbSqlda &m_sqlda;
    IbBlobStream m_blobs;
};
