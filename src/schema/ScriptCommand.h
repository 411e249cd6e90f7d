#pragma once

#include <QString>

// One command of an isql script as the reader found it: a statement for the
// server, or one of isql's own commands, which the runner carries out itself.
struct ScriptCommand
{
    enum Kind {
        Statement,      // sent to the server as it stands
        Commit,         // COMMIT [WORK]
        Rollback,       // ROLLBACK [WORK]
        SetAutoDdl,     // SET AUTODDL [ON|OFF]; `argument` "ON", "OFF" or empty (toggles)
        SetDialect,     // SET SQL DIALECT n; `argument` the number
        SetNames,       // SET NAMES cs; `argument` the character set, upper case
        SetTransaction, // SET TRANSACTION …, which starts the transaction it describes
        Input,          // INPUT file; `argument` the file as written, quotes removed
        Refused,        // CONNECT, CREATE DATABASE: another database than the connected one
        Skipped,        // isql's display commands (SET LIST, SHOW …, OUTPUT)
        Exit,           // EXIT: commits and ends the script
        Quit,           // QUIT: rolls back and ends the script
    };

    Kind kind = Statement;
    // The command without the terminator, leading comments and outer blanks.
    QString text;
    QString argument;
    // 1-based line of the command's first character in its file or text.
    int line = 0;
    // Where that character is in the whole text, in UTF-16 units from its start.
    qint64 offset = 0;
};
