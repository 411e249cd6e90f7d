#pragma once

#include <QString>

// Names and strings written into statement texts so that the server reads
// back exactly what was meant.
namespace SqlLiteral {

// A name in double quotes with every double quote doubled: the stored name
// itself, whatever its case or characters (dialect 3 only).
QString quotedName(const QString &name);

// A name as a statement of the given dialect must spell it to mean the
// stored name: as it is in dialect 1, which has no quoted names; in dialect 3
// in double quotes when it would not read back as itself unquoted (lower or
// mixed case, blanks, other characters, a reserved word, a leading digit).
QString name(const QString &name, int dialect);
// True when a dialect-3 statement must quote the name.
bool needsQuotes(const QString &name);

// A string literal for a statement compiled in the given dialect: dialect 1
// takes double quotes (a double quote inside doubled), dialect 3 single
// quotes (a single quote inside doubled).
QString string(const QString &text, int dialect);

} // namespace SqlLiteral
