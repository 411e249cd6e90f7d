#pragma once

#include "ibdb/IbHandles.h"

#include <QByteArray>

#include <ibase.h>

// What the server tells of a prepared statement through isc_dsql_sql_info.
// A failed call throws IbError.
namespace IbStatementInfo {

// The statement's kind: isc_info_sql_stmt_select, _insert, _update ...
int type(isc_stmt_handle statement);
// The kind found in an answer to isc_info_sql_stmt_type (from
// isc_dsql_prepare_m, say); 0 when the answer holds none.
int typeIn(const char *answer, int size);

// An INSERT, UPDATE or DELETE; a change is one of those or DDL, which the
// tool runs as prepared rather than through immediate execution.
bool isDml(int type);
bool isChange(int type);

// Allocates the statement and prepares the text in the transaction, asked
// for its kind alone (a plain prepare would also describe its columns and
// parameters, as much work as running a short UPDATE) and for `items` more,
// answered into `answer`. Its kind, or 0 with `status` saying why when it
// did not allocate or prepare.
int prepareForKind(ISC_STATUS *status, isc_db_handle *database, isc_tr_handle *transaction,
                   IbStatement &statement, const QByteArray &text, int dialect,
                   const QByteArray &items, QByteArray &answer);

// The rows the statement's last run changed, as the server counted them for
// that statement alone (a trigger's rows are its own requests'): an insert's
// inserted rows, an update's updated ones, a delete's deleted ones, and for
// any other kind all changes together. -1 when the server gives no count.
int rowsAffected(isc_stmt_handle statement, int type);

} // namespace IbStatementInfo
