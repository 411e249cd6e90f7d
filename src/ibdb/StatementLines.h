#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// How a statement text passes through a line list on its way to the server.
namespace StatementLines {

// Splits at CR, LF and CR LF; the text ends at its first NUL character.
// A trailing line break does not start another line.
QStringList split(const QString &text);

// The same for files and editors, whose text goes on after a NUL character:
// it stays in its line, so nothing after it is lost on the next save.
QStringList splitText(const QString &text);

// Every line followed by CR LF, the last one included.
QString join(const QStringList &lines);

} // namespace StatementLines
