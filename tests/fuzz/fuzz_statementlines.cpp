// Line splitting of statement texts, files and editors.
#include "FuzzInput.h"
#include "ibdb/StatementLines.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const QString text = input.rest();
    const QStringList lines = StatementLines::splitText(text);
    for (const QString &line : lines)
        fuzzCheck(!line.contains(u'\r') && !line.contains(u'\n'));
    // Joined with CR LF and split again, the lines come back unchanged.
    const QString joined = StatementLines::join(lines);
    fuzzCheck(StatementLines::splitText(joined) == lines);
    fuzzCheck(joined.size() >= text.size());
    // A statement ends at its first NUL: what is sent never holds one.
    const QStringList statement = StatementLines::split(text);
    fuzzCheck(!StatementLines::join(statement).contains(QChar(0)));
    fuzzCheck(statement.size() <= lines.size());
    return 0;
}
