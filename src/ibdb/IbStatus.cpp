#include "ibdb/IbStatus.h"

#include "core/AppError.h"
#include "ibdb/NewerServerMessages.h"

namespace IbStatus {

bool failed(const ISC_STATUS *vector)
{
    return vector[0] == 1 && vector[1] != 0;
}

namespace {

// What fb_interpret puts in place of an argument the vector no longer holds.
const QLatin1String kMissingArgument("<Missing arg #");

// A line the client library has no text for, said in words where the code
// is one of a newer server's.
QString lineOf(const QString &interpreted, const NewerServerMessages::Item &item)
{
    if (interpreted != QLatin1String("unknown ISC error %1").arg(QString::number(item.code)))
        return interpreted;
    const QString text = NewerServerMessages::text(item.code, item.arguments);
    return text.isEmpty() ? interpreted : text;
}

} // namespace

QString text(const ISC_STATUS *vector)
{
    // fb_interpret is bounded by the buffer size, unlike isc_interprete.
    char line[4096];
    const ISC_STATUS *cursor = vector;
    QString message;
    for (auto item = NewerServerMessages::itemAt(cursor);
         fb_interpret(line, sizeof line, &cursor) != 0;
         item = NewerServerMessages::itemAt(cursor)) {
        const QString text = lineOf(QString::fromUtf8(line), item);
        // The client copies an error and its warnings into a vector of 20
        // words whatever room the caller has, cutting off the arguments of the
        // last lines when they do not fit; such a line could only be shown
        // garbled, and nothing after it can be complete either.
        if (text.contains(kMissingArgument))
            break;
        message += QLatin1Char('\r');
        message += text;
    }
    return message;
}

QString plainText(const ISC_STATUS *vector)
{
    QString lines = text(vector);
    lines.remove(0, 1);
    return lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

void check(const ISC_STATUS *vector)
{
    if (failed(vector))
        throw DatabaseError(text(vector));
}

} // namespace IbStatus
