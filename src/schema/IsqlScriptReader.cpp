#include "schema/IsqlScriptReader.h"

#include "schema/IsqlCommands.h"

#include <QIODevice>

namespace {

constexpr qint64 kChunkBytes = 256 * 1024;

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

QChar closingOf(QChar opening)
{
    switch (opening.unicode()) {
    case u'(': return u')';
    case u'{': return u'}';
    case u'[': return u']';
    case u'<': return u'>';
    default: return opening;
    }
}

} // namespace

IsqlScriptReader::IsqlScriptReader(const QString &text) : m_buffer(text) {}

IsqlScriptReader::IsqlScriptReader(QIODevice *device) : m_device(device) {}

// Another chunk of the device, after letting go of what lies before the
// command being read.
bool IsqlScriptReader::fill()
{
    if (!m_device)
        return false;
    if (m_start > 0) {
        m_buffer.remove(0, m_start);
        m_dropped += m_start;
        m_pos -= m_start;
        m_start = 0;
    }
    const QByteArray bytes = m_device->read(kChunkBytes);
    if (bytes.isEmpty())
        return false;
    m_bytesRead += bytes.size();
    m_buffer += m_decoder.decode(bytes);
    return true;
}

bool IsqlScriptReader::available(qsizetype offset)
{
    while (m_pos + offset >= m_buffer.size()) {
        if (!fill())
            return false;
    }
    return true;
}

void IsqlScriptReader::advance()
{
    if (m_buffer.at(m_pos) == u'\n')
        ++m_line;
    ++m_pos;
    if (m_leading)
        m_start = m_pos;
}

void IsqlScriptReader::skipLineComment()
{
    while (available(0)) {
        const bool end = m_buffer.at(m_pos) == u'\n';
        advance();
        if (end)
            return;
    }
}

void IsqlScriptReader::skipBlockComment()
{
    advance();
    advance();
    while (available(0)) {
        if (m_buffer.at(m_pos) == u'*' && available(1) && m_buffer.at(m_pos + 1) == u'/') {
            advance();
            advance();
            return;
        }
        advance();
    }
}

// A doubled quote inside stands for the quote itself.
// A data load is mostly string literals: the characters up to the next
// quote are passed over a buffer at a time, their line breaks counted.
void IsqlScriptReader::skipQuoted(QChar quote)
{
    advance();
    while (available(0)) {
        const qsizetype next = m_buffer.indexOf(quote, m_pos);
        const qsizetype end = next < 0 ? m_buffer.size() : next;
        m_line += int(QStringView(m_buffer).sliced(m_pos, end - m_pos).count(u'\n'));
        m_pos = end;
        if (m_leading)
            m_start = m_pos;
        if (next < 0)
            continue;
        advance();
        if (!available(0) || m_buffer.at(m_pos) != quote)
            return;
        advance();
    }
}

// q'{…}': the string ends at the closing delimiter before a quote, so
// quotes inside need no doubling.
bool IsqlScriptReader::skipAlternativeString()
{
    if (m_pos > m_start && isNameCharacter(m_buffer.at(m_pos - 1)))
        return false;
    if (!available(2) || m_buffer.at(m_pos + 1) != u'\'')
        return false;
    const QChar closing = closingOf(m_buffer.at(m_pos + 2));
    for (int i = 0; i < 3; ++i)
        advance();
    while (available(0)) {
        if (m_buffer.at(m_pos) == closing && available(1) && m_buffer.at(m_pos + 1) == u'\'') {
            advance();
            advance();
            return true;
        }
        advance();
    }
    return true;
}

void IsqlScriptReader::skipBlanksAndComments()
{
    m_leading = true;
    m_start = m_pos;
    while (available(0)) {
        const QChar c = m_buffer.at(m_pos);
        if (c.isSpace())
            advance();
        else if (c == u'-' && available(1) && m_buffer.at(m_pos + 1) == u'-')
            skipLineComment();
        else if (c == u'/' && available(1) && m_buffer.at(m_pos + 1) == u'*')
            skipBlockComment();
        else
            break;
    }
    m_leading = false;
}

bool IsqlScriptReader::atTerminator()
{
    if (m_buffer.at(m_pos) != m_terminator.front())
        return false;
    if (!available(m_terminator.size() - 1))
        return false;
    return QStringView(m_buffer).mid(m_pos, m_terminator.size()) == m_terminator;
}

std::optional<ScriptCommand> IsqlScriptReader::next()
{
    for (;;) {
        skipBlanksAndComments();
        if (!available(0))
            return std::nullopt;
        const int line = m_line;
        const qint64 offset = m_dropped + m_pos;
        bool terminated = false;
        while (available(0)) {
            const QChar c = m_buffer.at(m_pos);
            if (atTerminator()) {
                terminated = true;
                break;
            }
            if (c == u'\'' || c == u'"')
                skipQuoted(c);
            else if (c == u'-' && available(1) && m_buffer.at(m_pos + 1) == u'-')
                skipLineComment();
            else if (c == u'/' && available(1) && m_buffer.at(m_pos + 1) == u'*')
                skipBlockComment();
            else if ((c == u'q' || c == u'Q') && skipAlternativeString())
                continue;
            else
                advance();
        }
        QString text = m_buffer.mid(m_start, m_pos - m_start).trimmed();
        if (terminated)
            m_pos += m_terminator.size();
        m_start = m_pos;
        if (auto command = take(std::move(text), line, offset))
            return command;
    }
}

// SET TERM is the reader's own; an empty command (two terminators) is none.
std::optional<ScriptCommand> IsqlScriptReader::take(QString text, int line, qint64 offset)
{
    if (text.isEmpty())
        return std::nullopt;
    if (const auto terminator = IsqlCommands::newTerminator(text)) {
        if (!terminator->isEmpty())
            m_terminator = *terminator;
        return std::nullopt;
    }
    ScriptCommand command = IsqlCommands::classify(text, line);
    command.offset = offset;
    return command;
}
