// The ALTER PROCEDURE text rebuilt from whatever the system tables hold.
#include "schema/ProcedureDdl.h"
#include "FuzzInput.h"
#include "ibdb/StatementLines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    ProcedureDdl::Procedure procedure;
    procedure.name = input.text();
    procedure.source = input.text();
    const int inputs = input.integer() & 15;
    for (int i = 0; i < inputs && !input.atEnd(); ++i)
        procedure.inputs.append({input.text(), input.text()});
    while (!input.atEnd() && procedure.outputs.size() < 16)
        procedure.outputs.append({input.text(), input.text()});
    const QStringList lines = ProcedureDdl::lines(procedure);
    const QString text = ProcedureDdl::text(procedure);
    fuzzCheck(text == StatementLines::join(lines));
    fuzzCheck(lines.contains(QStringLiteral("AS")));
    // Names and types go in as they are, whatever they hold ("%1" included).
    fuzzCheck(lines.first() == QStringLiteral("ALTER PROCEDURE ") + procedure.name + u' ');
    if (!procedure.inputs.isEmpty()) {
        for (const ProcedureDdl::Parameter &parameter : procedure.inputs)
            fuzzCheck(lines[1].contains(u' ' + parameter.name + u' ' + parameter.typeText));
    }
    return 0;
}
