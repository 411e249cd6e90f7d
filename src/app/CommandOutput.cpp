#include "app/CommandOutput.h"

#include "core/MessageLines.h"

namespace CommandOutput {

bool write(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size())
           && std::fflush(stream) == 0;
}

void fail(const QString &message, bool oneLine)
{
    // A message with no text at all still tells that the command did not do its work.
    QString lines = MessageLines::plain(message);
    if (lines.trimmed().isEmpty())
        lines = QStringLiteral("failed, and the server gave no reason");
    if (oneLine)
        lines.replace(QLatin1Char('\n'), QLatin1String("; "));
    write(stderr, QStringLiteral("quorvel: ") + lines + QLatin1Char('\n'));
}

} // namespace CommandOutput
