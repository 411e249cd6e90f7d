#pragma once

#include "schema/SchemaModel.h"

#include <QStringList>

// The database's publication (replication's one publication in Firebird 4)
// as the statements that set it again, without terminators: replication on,
// and which tables it carries. INCLUDE ALL also takes in every table made
// after it, so a database that chose it says so and then takes back the
// tables it left out.
namespace PublicationDdl {

QStringList statements(const SchemaModel &model);

} // namespace PublicationDdl
