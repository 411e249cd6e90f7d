// The INSERT and UPDATE texts of the view trigger wizards, from any grid.
#include "catalog/ViewTriggerStatements.h"
#include "core/AppError.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const QString relation = input.text();
    const QString alias = input.text();
    QList<StatementRow> rows;
    while (!input.atEnd() && rows.size() < 64)
        rows.append({input.text(), input.text(), input.text()});
    for (bool update : {false, true}) {
        try {
            const QString text = update
                                     ? ViewTriggerStatements::BuildUpdateStatement(relation,
                                                                                   alias, rows)
                                     : ViewTriggerStatements::BuildInsertStatement(relation, rows);
            fuzzCheck(!relation.isEmpty());
            fuzzCheck(text.endsWith(QStringLiteral("\r\n")));
            fuzzCheck(text.contains(relation));
        } catch (const GeneralError &error) {
            fuzzCheck(relation.isEmpty());
            fuzzCheck(error.message() == ViewTriggerStatements::noRelationMessage());
        }
    }
    for (const StatementRow &row : rows) {
        const QString modified = ViewTriggerStatements::WithModifier(row.value, "NEW.");
        fuzzCheck(row.value.isEmpty() ? modified.isEmpty() : modified.startsWith("NEW."));
    }
    return 0;
}
