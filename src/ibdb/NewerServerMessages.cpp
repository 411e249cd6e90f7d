#include "ibdb/NewerServerMessages.h"

#include <algorithm>
#include <iterator>

namespace NewerServerMessages {

namespace {

struct Message
{
    ISC_STATUS code;
    const char *text;
};

// In code order; the words are Firebird 4's own messages, made plain.
constexpr Message kMessages[] = {
    {335545138, "DECFLOAT precision must be 16 or 34"},
    {335545139, "Decimal float division by zero: a DECFLOAT value was divided by zero"},
    {335545140, "Decimal float inexact result: the result cannot be represented exactly"},
    {335545141, "Decimal float invalid operation: the result of the operation is undefined"},
    {335545142, "Decimal float overflow: the exponent of the result is greater than the "
                "type allows"},
    {335545143, "Decimal float underflow: the exponent of the result is less than the "
                "type allows"},
    {335545154, "Invalid DECFLOAT trap state {0}"},
    {335545155, "Invalid DECFLOAT rounding mode {0}"},
    {335545158, "Precision must be from {0} to {1}"},
    {335545199, "Numeric literal too long"},
    {335545213, "Invalid time zone offset: {0}; an offset is +hh:mm or -hh:mm, from "
                "-14:00 to +14:00"},
    {335545214, "Invalid time zone region: {0}"},
    {335545215, "Invalid time zone ID: {0}"},
    {335545255, "Invalid time zone bind mode {0}"},
    {335545256, "Invalid DECFLOAT bind mode {0}"},
    {335545257, "Invalid length {0} of a hexadecimal text: it must be a multiple of 2"},
    {335545258, "Invalid hexadecimal digit {0} at position {1}"},
    {335545259, "Error processing the connection's data type binding \"{0}\""},
    {335545260, "The following statement failed: {0}"},
    {335545261, "Cannot convert {0} to {1}"},
};

} // namespace

QString text(ISC_STATUS code, const QStringList &arguments)
{
    const auto *found = std::lower_bound(
        std::begin(kMessages), std::end(kMessages), code,
        [](const Message &message, ISC_STATUS wanted) { return message.code < wanted; });
    if (found == std::end(kMessages) || found->code != code)
        return {};
    QString message = QString::fromUtf8(found->text);
    for (qsizetype i = 0; i < arguments.size(); ++i)
        message.replace(QStringLiteral("{%1}").arg(i), arguments[i]);
    return message;
}

Item itemAt(const ISC_STATUS *cursor)
{
    // "No error, only warnings": the first warning follows an empty error.
    if (cursor[0] == isc_arg_gds && cursor[1] == 0 && cursor[2] == isc_arg_warning)
        cursor += 2;
    if (cursor[0] != isc_arg_gds && cursor[0] != isc_arg_warning)
        return {};
    Item item{cursor[1], {}};
    for (const ISC_STATUS *argument = cursor + 2;;) {
        switch (argument[0]) {
        case isc_arg_string:
            item.arguments << QString::fromUtf8(reinterpret_cast<const char *>(argument[1]));
            argument += 2;
            break;
        case isc_arg_number:
            item.arguments << QString::number(argument[1]);
            argument += 2;
            break;
        case isc_arg_cstring:
            item.arguments << QString::fromUtf8(reinterpret_cast<const char *>(argument[2]),
                                                qsizetype(argument[1]));
            argument += 3;
            break;
        default:
            return item;
        }
    }
}

} // namespace NewerServerMessages
