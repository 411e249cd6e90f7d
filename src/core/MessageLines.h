#pragma once

#include <QString>

// The server's text arrives as lines each led by a carriage return. Shown
// that way, a terminal overwrites each line with the next and a message box
// opens on an empty line: what a person reads has its lines apart as lines.
namespace MessageLines {

// Lines separated by "\n", with no carriage return and no empty line before
// the first or after the last.
QString plain(const QString &message);

} // namespace MessageLines
