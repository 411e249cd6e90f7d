#pragma once

#include "uikit/RowWriter.h"

#include <QChar>

// Comma-separated values (RFC 4180): a header line of the column names,
// lines ended by CR LF, a field quoted when it holds the separator, a quote
// or a line break. NULL is an empty field, an empty string a quoted one, so
// the two stay apart.
class CsvWriter : public RowWriter
{
public:
    CsvWriter(QIODevice *device, QChar separator) : RowWriter(device), m_separator(separator) {}

    void begin(const Columns &columns) override;
    void row(const QVariantList &values) override;

    // One field as the line carries it.
    QString field(const QString &text, bool null) const;

private:
    void line(const QStringList &fields);

    QChar m_separator;
    // The line being made, kept for its capacity.
    QString m_line;
};
