// The ALTER PROCEDURE text rebuilt from whatever the system tables hold.
#include "schema/ProcedureDdl.h"
#include "FuzzInput.h"
#include "ibdb/StatementLines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    // A parameter's name and type text as the catalogue holds them: one line
    // with no NUL, since the header is split into lines as a stored text is
    // (a default may end in a comment, and so in a line break).
    const auto oneLine = [&input] {
        QString text = input.text();
        text.remove(QLatin1Char('\n')).remove(QLatin1Char('\r')).remove(QChar(0));
        return text;
    };
    ProcedureDdl::Procedure procedure;
    procedure.name = input.text();
    procedure.source = input.text();
    const int inputs = input.integer() & 15;
    for (int i = 0; i < inputs && !input.atEnd(); ++i)
        procedure.inputs.append({oneLine(), oneLine()});
    while (!input.atEnd() && procedure.outputs.size() < 16)
        procedure.outputs.append({oneLine(), oneLine()});
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
