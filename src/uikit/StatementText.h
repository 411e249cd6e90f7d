#pragma once

#include <QString>
#include <QStringList>

// How a statement text moves between editors, files and the server. Editors
// hold line feeds; texts outside them end their lines with CR LF.
namespace StatementText {

// Line ends CR LF, CR and LF all become the editor's line feed.
QString toEditor(const QString &text);

// The editor's text as displayed: its lines separated by CR LF, with a line
// end after the last line only when the user typed one.
QString fromEditor(const QString &plainText);

// The editor's lines; a trailing line break starts no further line.
QStringList lines(const QString &plainText);

} // namespace StatementText
