#pragma once

#include <QString>

#include <functional>
#include <optional>

// A window rebuilds a statement from what it read when it showed an object;
// another user may have altered or dropped the object since, and a statement
// built from the old reading would undo that change without a word. So the
// window reads the object again first, in the same command, and builds from
// what the catalogue holds now.
namespace ShownObject {

// What the window shows of the object, as the statement it would build;
// nullopt when it shows no such object.
using Statement = std::function<std::optional<QString>()>;

// Reads the object again through `reread`, which leaves the window showing
// it as it is now, and compares the statements built before and after. A
// changed object is told and the command goes on from its current text; a
// dropped one ends the command with a GeneralError that says so.
void readAgain(const QString &name, const Statement &statement,
               const std::function<void()> &reread);

// Ends the command: the object is gone from the catalogue.
[[noreturn]] void dropped(const QString &name);

} // namespace ShownObject
