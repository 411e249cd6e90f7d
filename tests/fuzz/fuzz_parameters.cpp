// Named-parameter rewriting of catalogue queries: :NAME, :"NAME" and ?.
#include "FuzzInput.h"
#include "ibdb/IbParameterParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const QString statement = input.rest();
    const IbParameterParser parser(statement);
    const QString positional = parser.positionalText();
    // Every parameter becomes one '?', so the text never grows.
    fuzzCheck(positional.size() <= statement.size());
    fuzzCheck(positional.count(u'?') >= parser.names().size());
    // The rewritten text has no names left to find.
    const IbParameterParser again(positional);
    fuzzCheck(again.positionalText() == positional);
    fuzzCheck(again.names().size() == parser.names().size());
    for (const QString &name : again.names())
        fuzzCheck(name.isEmpty());
    // A bound placeholder finds its parameter in either spelling.
    for (const QString &name : parser.names()) {
        fuzzCheck(IbParameterParser::normalizedName(":\"" + name + "\"") == name);
        if (!name.isEmpty() && !name.contains(u'"') && !name.contains(u':'))
            fuzzCheck(IbParameterParser::normalizedName(":" + name) == name);
    }
    return 0;
}
