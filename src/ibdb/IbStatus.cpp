#include "IbStatus.h"

#include "AppError.h"

namespace IbStatus {

bool failed(const ISC_STATUS *vector)
{
    return vector[0] == 1 && vector[1] != 0;
}

QString text(const ISC_STATUS *vector)
{
    // fb_interpret is bounded by the buffer size, unlike isc_interprete.
    char line[257];
    const ISC_STATUS *cursor = vector;
    QString message;
    while (fb_interpret(line, sizeof line, &cursor) != 0) {
        message += QLatin1Char('\r');
        message += QString::fromUtf8(line);
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
