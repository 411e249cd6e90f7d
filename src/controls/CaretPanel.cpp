#include "controls/CaretPanel.h"

namespace CaretPanel {

namespace {

// Index in the text with CR LF line ends of an editor position.
int savedIndex(const QString &plainText, int position)
{
    return position + int(plainText.left(position).count(QLatin1Char('\n')));
}

int lineStart(const QString &plainText, int position)
{
    return position <= 0 ? 0 : int(plainText.lastIndexOf(QLatin1Char('\n'), position - 1)) + 1;
}

int lineNumber(const QString &plainText, int position)
{
    return int(plainText.left(position).count(QLatin1Char('\n'))) + 1;
}

} // namespace

QString text(const QString &plainText, int selectionStart, int caret)
{
    const int line = lineNumber(plainText, selectionStart);
    const int column = savedIndex(plainText, selectionStart)
                       - savedIndex(plainText, lineStart(plainText, caret));
    return QStringLiteral(" %1|%2").arg(line).arg(column);
}

QString withStatementLine(const QString &plainText, int selectionStart, int headerLines)
{
    const int line = lineNumber(plainText, selectionStart);
    return QStringLiteral(" %1|%2|%3")
        .arg(line)
        .arg(selectionStart - lineStart(plainText, selectionStart))
        .arg(line + headerLines);
}

} // namespace CaretPanel
