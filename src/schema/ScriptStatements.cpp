#include "schema/ScriptStatements.h"

#include <QRegularExpression>

namespace {

// Where the quoted part or comment that starts at `at` ends (one past it).
qsizetype skipQuoted(const QString &text, qsizetype at)
{
    const QChar quote = text.at(at);
    qsizetype i = at + 1;
    while (i < text.size()) {
        if (text.at(i) == quote) {
            if (i + 1 < text.size() && text.at(i + 1) == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

qsizetype skipComment(const QString &text, qsizetype at)
{
    if (text.at(at + 1) == QLatin1Char('*')) {
        const qsizetype end = text.indexOf(QLatin1String("*/"), at + 2);
        return end < 0 ? text.size() : end + 2;
    }
    const qsizetype end = text.indexOf(QLatin1Char('\n'), at);
    return end < 0 ? text.size() : end + 1;
}

bool startsComment(const QString &text, qsizetype at)
{
    if (at + 1 >= text.size())
        return false;
    const QChar c = text.at(at), next = text.at(at + 1);
    return (c == QLatin1Char('/') && next == QLatin1Char('*'))
           || (c == QLatin1Char('-') && next == QLatin1Char('-'));
}

// A statement that is comments and blanks only sends nothing.
bool isEmptyStatement(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.at(i).isSpace())
            ++i;
        else if (startsComment(text, i))
            i = skipComment(text, i);
        else
            return false;
    }
    return true;
}

} // namespace

ScriptStatements::ScriptStatements(const QString &script)
{
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < script.size()) {
        const QChar c = script.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            i = skipQuoted(script, i);
        } else if (startsComment(script, i)) {
            i = skipComment(script, i);
        } else if (script.mid(i, m_terminator.size()) == m_terminator) {
            take(script.mid(start, i - start));
            i += m_terminator.size();
            start = i;
        } else {
            ++i;
        }
    }
    take(script.mid(start));
}

void ScriptStatements::take(const QString &statement)
{
    if (isEmptyStatement(statement))
        return;
    static const QRegularExpression setTerm(QStringLiteral("^\\s*SET\\s+TERM\\s+(\\S+)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression setDialect(
        QStringLiteral("^\\s*SET\\s+SQL\\s+DIALECT\\s+(\\d)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    // Comments before a SET command belong to nothing that is sent.
    QString text = statement;
    qsizetype lead = 0;
    while (lead < text.size() && (text.at(lead).isSpace() || startsComment(text, lead)))
        lead = text.at(lead).isSpace() ? lead + 1 : skipComment(text, lead);
    const QString command = text.mid(lead);
    if (const auto term = setTerm.match(command); term.hasMatch()) {
        m_terminator = term.captured(1);
        return;
    }
    if (const auto dialect = setDialect.match(command); dialect.hasMatch()) {
        m_dialect = dialect.captured(1).toInt();
        return;
    }
    static const QRegularExpression setNames(QStringLiteral("^\\s*SET\\s+NAMES\\s+(\\w+)\\s*$"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (const auto names = setNames.match(command); names.hasMatch()) {
        m_characterSet = names.captured(1).toUpper();
        return;
    }
    m_statements << command.trimmed();
}
