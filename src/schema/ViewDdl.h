#pragma once

#include <QString>
#include <QStringList>

// The CREATE VIEW statement the structure window rebuilds from a view's
// stored source, as plain data in and text out, so it needs no database.
namespace ViewDdl {

// CREATE VIEW <name> / (<columns>) / AS / the stored source, each line
// ended by CR LF. Names come as stored, without padding. The source is split at CR, LF or CR LF. Names are
// spelled as a statement of the given dialect needs them.
QString text(const QString &viewName, const QStringList &columns, const QString &source,
             int dialect = 1);

} // namespace ViewDdl
