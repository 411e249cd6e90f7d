#pragma once

#include "uikit/RowWriter.h"

// An INSERT statement a row, each on a line of its own ended by CR LF, in
// the database's dialect: names as that dialect must spell them, literals
// that read back as the stored values, NULL as NULL.
class InsertWriter : public RowWriter
{
public:
    InsertWriter(QIODevice *device, const QString &table, int dialect)
        : RowWriter(device), m_table(table), m_dialect(dialect) {}

    void begin(const Columns &columns) override;
    void row(const QVariantList &values) override;

private:
    QString m_table;
    int m_dialect;
    QString m_head;
};
