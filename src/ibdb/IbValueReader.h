#pragma once

#include "IbBlobStream.h"

#include <ibase.h>

#include <QVariant>

// Turns a fetched XSQLVAR into the value the layer delivers: CHAR without
// trailing blanks, text as UTF-8, scaled integers as double, text blobs as
// QString, NULL as a null QVariant of the column's type.
class IbValueReader
{
public:
    explicit IbValueReader(IbBlobStream blobs) : m_blobs(blobs) {}

    QVariant read(const XSQLVAR &var) const;

private:
    static QVariant text(const XSQLVAR &var, const char *data, qsizetype length);
    static QVariant scaled(qint64 value, int scale, QMetaType::Type integerType);
    QVariant blob(const XSQLVAR &var) const;

    IbBlobStream m_blobs;
};
