#pragma once

#include "uikit/RowWriter.h"

// A JSON array of objects, one a line, keyed by the column names. Numbers a
// double would change (a long decimal, a 64-bit integer past 2^53) are
// strings holding their exact text.
class JsonWriter : public RowWriter
{
public:
    using RowWriter::RowWriter;

    void begin(const Columns &columns) override;
    void row(const QVariantList &values) override;
    void end() override;

private:
    QStringList m_keys;
    bool m_first = true;
};
