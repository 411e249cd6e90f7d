// Type text from the type columns of RDB$FIELDS, whatever they hold.
#include "catalog/FieldTypeText.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const int type = input.integer();
    const int scale = input.integer();
    const int charLength = input.integer();
    const int subType = input.integer();
    const int segmentLength = input.integer();
    const QString text = FieldTypeText(type, scale, charLength, subType, segmentLength);
    fuzzCheck(text.size() < 200);
    fuzzCheck(!text.contains(u'\r') && !text.contains(u'\n'));
    return 0;
}
