#include "schema/ScriptStatements.h"

#include "schema/IsqlScriptReader.h"

ScriptStatements::ScriptStatements(const QString &script)
{
    IsqlScriptReader reader(script);
    while (const auto command = reader.next()) {
        switch (command->kind) {
        case ScriptCommand::SetDialect:
            m_dialect = command->argument.toInt();
            break;
        case ScriptCommand::SetNames:
            m_characterSet = command->argument;
            break;
        case ScriptCommand::Commit:
        case ScriptCommand::Rollback:
        case ScriptCommand::Skipped:
        case ScriptCommand::SetAutoDdl:
            break;
        default:
            m_statements << command->text;
        }
    }
}
