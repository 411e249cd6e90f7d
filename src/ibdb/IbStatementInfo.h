#pragma once

#include <ibase.h>

// What the server tells of a prepared statement through isc_dsql_sql_info.
// A failed call throws IbError.
namespace IbStatementInfo {

// The statement's kind: isc_info_sql_stmt_select, _insert, _update ...
int type(isc_stmt_handle statement);
// The kind found in an answer to isc_info_sql_stmt_type (from
// isc_dsql_prepare_m, say); 0 when the answer holds none.
int typeIn(const char *answer, int size);

// The rows the statement's last run changed, as the server counted them for
// that statement alone (a trigger's rows are its own requests'): an insert's
// inserted rows, an update's updated ones, a delete's deleted ones, and for
// any other kind all changes together. -1 when the server gives no count.
int rowsAffected(isc_stmt_handle statement, int type);

} // namespace IbStatementInfo
