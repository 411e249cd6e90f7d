#pragma once

#include <QStringList>

// Statements that stand or fall together, run in the tool's own transaction
// one after another. With auto-commit they are committed together, and on
// a refusal rolled back together; without it they stay in the open
// transaction for the user to commit, and a refusal takes back only what
// the set itself did, up to a savepoint, leaving the user's earlier work.
// Throws the server's refusal.
namespace StatementSet {

void run(const QStringList &statements);

} // namespace StatementSet
