#pragma once

#include <QString>

// Stored sources keep a "--" comment that ended their line when they were
// written, without the line break. Whatever the script writes after such a
// source would fall into the comment, so the source is closed first.
namespace TrailingComment {

// True when the text ends inside a "--" comment (not one in a string, a
// quoted name or a block comment).
bool endsInLineComment(const QString &text);

// The text with a line break after it when it ends inside a "--" comment.
QString closed(const QString &text);

} // namespace TrailingComment
