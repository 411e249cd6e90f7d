#pragma once

#include "schema/ScriptCommand.h"

#include <optional>

// What a command of an isql script is, from its leading words, as isql tells
// its own commands from the statements it sends.
namespace IsqlCommands {

// The command's kind and argument; `text` is the command without its
// terminator and leading comments.
ScriptCommand classify(const QString &text, int line);

// SET TERM's new terminator, or none when the text is no SET TERM.
std::optional<QString> newTerminator(const QString &text);

} // namespace IsqlCommands
