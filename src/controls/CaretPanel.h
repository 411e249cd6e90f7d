#pragma once

#include <QString>

// The caret position an editor shows in the frame's third status panel.
namespace CaretPanel {

// " line|column" for an editor holding plainText (line feeds only), with the
// selection starting at selectionStart and the caret at caret, both counted
// as the editor counts them. Line ends count two characters, as they do in
// the saved text: the line is the one holding the selection start, the
// column is measured from the first character of the caret's line.
QString text(const QString &plainText, int selectionStart, int caret);

// " line|column|statement line" for the trigger editor: the line and column
// of the selection start, and that line's number in the statement, which
// puts headerLines lines before the editor's text.
QString withStatementLine(const QString &plainText, int selectionStart, int headerLines);

// What the panel shows while no editor has the focus.
inline QString empty() { return QStringLiteral(" "); }

} // namespace CaretPanel
