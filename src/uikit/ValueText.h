#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

// A grid value as the files and the clipboard carry it: exactly what is
// stored. The driver's exact reading gives scaled numbers and temporal values
// as the server's own text and long blobs as previews; the declared type
// (the column's field type) tells a decimal's text from a string's.
namespace ValueText {

// The value, a long blob's preview read whole in its fetching transaction.
// Throws when the transaction that could read it is over.
QVariant whole(const QVariant &value);

bool isNull(const QVariant &value);

// The value as plain text: numbers in their shortest exact form, binary as
// hexadecimal digits, booleans as true and false; empty for NULL.
QString plain(const QVariant &value);

// A JSON value: null, true, false, a number where a double reads it back as
// the same number, else a string.
QString json(const QVariant &value, QMetaType::Type declared);

// A literal of a statement in that dialect: NULL, a number, TRUE or FALSE,
// the server's hexadecimal literal for binary, else a string literal.
QString sql(const QVariant &value, QMetaType::Type declared, int dialect);

// A JSON string literal of the text.
QString jsonString(const QString &text);

} // namespace ValueText
