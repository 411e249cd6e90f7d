#pragma once

#include "schema/ScriptLogRow.h"

// Told of a script run as it goes, on the thread that runs it.
class ScriptRunObserver
{
public:
    struct Progress
    {
        int command = 0;      // 1-based, over every file the run has read
        int commands = 0;     // of the editor's text; 0 for a file run
        qint64 bytesRead = 0; // of the file run's own file
        qint64 bytes = 0;
        QString file;
        int line = 0;
    };

    virtual ~ScriptRunObserver() = default;
    // Before each command.
    virtual void commandStarting(const Progress &progress, const ScriptCommand &command)
    {
        Q_UNUSED(progress);
        Q_UNUSED(command);
    }
    // After each command, once it has ended, with its row of the log.
    virtual void commandDone(const ScriptLogRow &row) { Q_UNUSED(row); }
    // A query of the script, whose rows are shown rather than run here;
    // throws AppError when it cannot be shown.
    virtual void queryFound(const ScriptCommand &query) { Q_UNUSED(query); }
};
