#pragma once

#include <QString>
#include <QStringList>

// .DDL files: one statement text of plain 8-bit text (UTF-8 here).
namespace DdlFile {

// "DDL statements|*.DDL|All files|*.*" as the file dialogs take it.
QString filter();
// The same with isql scripts beside them, for files to be run.
QString scriptFilter();

// The name with ".DDL" added when it has no extension.
QString withDefaultExtension(const QString &fileName);

// The file's lines; a line ends at CR, LF or CR LF. Throws GeneralError.
QStringList read(const QString &fileName);
// The file's text as it is, line ends included. Throws GeneralError.
QString readText(const QString &fileName);

// Every line followed by CR LF, written beside the old file and renamed
// over it, so a failure never leaves half a file. Throws GeneralError.
void write(const QString &fileName, const QStringList &lines);

} // namespace DdlFile
