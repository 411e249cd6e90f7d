#pragma once

#include <QString>
#include <QStringList>

// The database paths used before, one per line in "connect.hst" beside the
// executable. Entries keep the case they were typed in; lookups ignore it.
namespace ConnectionHistory {

QString defaultFileName();

// The file's lines, split at CR, LF or CR LF; an empty list when it is missing.
QStringList load(const QString &fileName, bool *exists = nullptr);
// Writes every entry followed by CR LF, replacing the file whole.
// Throws GeneralError when the file cannot be written, or when it is there
// but cannot be read (its entries were never loaded).
void save(const QString &fileName, const QStringList &entries);

// The entries followed by those on disk that they lack (letter case ignored):
// another copy of the program may have added paths since this one read the file.
QStringList merged(QStringList entries, const QStringList &onDisk);

// Position of the text among the entries, letter case ignored; -1 if absent.
qsizetype indexOf(const QStringList &entries, const QString &text);
// At exit the current path changes places with the first entry.
QStringList reorderedForExit(QStringList entries, const QString &current);

} // namespace ConnectionHistory
