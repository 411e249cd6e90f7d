// The ALTER PROCEDURE text rebuilt from whatever the system tables hold.
#include "FuzzInput.h"
#include "ProcedureDdl.h"
#include "StatementLines.h"

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
    return 0;
}
