#pragma once

#include "schema/ScriptCommand.h"

#include <QString>

#include <memory>

class StatementProfile;

// What one command of a script run did: a row of the run's log.
struct ScriptLogRow
{
    // The file the command came from; empty for the editor's own text.
    QString file;
    ScriptCommand command;
    // Rows the statement inserted, updated or deleted; -1 for any other.
    int rows = -1;
    qint64 milliseconds = 0;
    // The server's or the tool's refusal; empty when the command ran.
    QString error;
    // What the runner did instead of sending it ("skipped: …"), if anything.
    QString note;
    // Its plans and reads, when the run was asked for them and it ran.
    std::shared_ptr<const StatementProfile> profile;

    QString firstLine() const { return command.text.section(u'\n', 0, 0).trimmed(); }
    bool failed() const { return !error.isEmpty(); }
};
