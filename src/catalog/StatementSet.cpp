#include "catalog/StatementSet.h"

#include "core/AppError.h"
#include "core/ProgramSettings.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"

#include <functional>

namespace {

const QString kSavepoint = QStringLiteral("QV_STATEMENT_SET");

// The refusal is what the user must read: a failure to undo after it (a
// lost server, say) must not take its place.
void quietly(const std::function<void()> &undo)
{
    try {
        undo();
    } catch (const AppError &) {
    }
}

void runCommitted(TIBDataBase *db, const QStringList &statements)
{
    try {
        for (const QString &statement : statements)
            db->ExecuteStatement(statement, false);
        db->Commit();
    } catch (const AppError &) {
        if (db->InTransaction())
            quietly([db] { db->Rollback(); });
        throw;
    }
}

void runInOpenTransaction(TIBDataBase *db, const QStringList &statements)
{
    db->ExecuteStatement(QStringLiteral("SAVEPOINT ") + kSavepoint, false);
    try {
        for (const QString &statement : statements)
            db->ExecuteStatement(statement, false);
    } catch (const AppError &) {
        if (db->InTransaction())
            quietly([db] {
                db->ExecuteStatement(QStringLiteral("ROLLBACK TO SAVEPOINT ") + kSavepoint, false);
            });
        throw;
    }
    db->ExecuteStatement(QStringLiteral("RELEASE SAVEPOINT ") + kSavepoint, false);
}

} // namespace

namespace StatementSet {

void run(const QStringList &statements)
{
    if (statements.isEmpty())
        return;
    TIBDataBase *db = DMSys->IBDataBase;
    if (ProgramSettings::instance().AutoCommit)
        runCommitted(db, statements);
    else
        runInOpenTransaction(db, statements);
}

} // namespace StatementSet
