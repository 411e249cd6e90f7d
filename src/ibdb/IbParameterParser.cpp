#include "ibdb/IbParameterParser.h"

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'$';
}

bool isNameChar(QChar c)
{
    return isNameStart(c) || c.isDigit();
}

qsizetype wordEnd(const QString &s, qsizetype i)
{
    while (i < s.size() && isNameChar(s.at(i)))
        ++i;
    return i;
}

} // namespace

IbParameterParser::IbParameterParser(const QString &statement)
{
    m_text.reserve(statement.size());
    scan(statement);
}

void IbParameterParser::scan(const QString &s)
{
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s.at(i);
        const QChar next = i + 1 < s.size() ? s.at(i + 1) : QChar();
        if (c == u'\'' || c == u'"') {
            i = skipQuoted(s, i, c);
        } else if ((c == u'-' && next == u'-') || (c == u'/' && next == u'*')) {
            i = skipComment(s, i);
        } else if (c == u'?') {
            m_names.append(QString());
            m_text += u'?';
            ++i;
        } else if (c == u':' && (next == u'"' || isNameStart(next))) {
            i = readName(s, i + 1);
        } else if (isNameStart(c)) {
            i = readWord(s, i);
        } else {
            m_text += c;
            ++i;
        }
    }
}

qsizetype IbParameterParser::readWord(const QString &s, qsizetype i)
{
    qsizetype end = wordEnd(s, i);
    // Past the AS of EXECUTE BLOCK the text is the block's body, kept as written.
    if (opensBlockBody(QStringView(s).mid(i, end - i)))
        end = s.size();
    m_text += QStringView(s).mid(i, end - i);
    return end;
}

// In EXECUTE BLOCK only the input parameters before AS take values; a
// `:NAME` in the body reads one of the block's own variables.
bool IbParameterParser::opensBlockBody(QStringView word)
{
    ++m_words;
    if (m_words == 1)
        m_inBlock = word.compare(u"EXECUTE", Qt::CaseInsensitive) == 0;
    else if (m_words == 2)
        m_inBlock = m_inBlock && word.compare(u"BLOCK", Qt::CaseInsensitive) == 0;
    else
        return m_inBlock && word.compare(u"AS", Qt::CaseInsensitive) == 0;
    return false;
}

qsizetype IbParameterParser::skipQuoted(const QString &s, qsizetype i, QChar quote)
{
    // A doubled quote inside a literal closes and reopens it: same result.
    qsizetype end = s.indexOf(quote, i + 1);
    end = end < 0 ? s.size() : end + 1;
    m_text += QStringView(s).mid(i, end - i);
    return end;
}

qsizetype IbParameterParser::skipComment(const QString &s, qsizetype i)
{
    const bool line = s.at(i) == u'-';
    qsizetype end = s.indexOf(line ? QStringLiteral("\n") : QStringLiteral("*/"), i + 2);
    end = end < 0 ? s.size() : end + (line ? 0 : 2);
    m_text += QStringView(s).mid(i, end - i);
    return end;
}

qsizetype IbParameterParser::readName(const QString &s, qsizetype i)
{
    qsizetype end = i;
    QString name;
    if (s.at(i) == u'"') {
        end = s.indexOf(u'"', i + 1);
        end = end < 0 ? s.size() : end;
        name = s.mid(i + 1, end - i - 1);
        end = qMin(end + 1, s.size());
    } else {
        end = wordEnd(s, i);
        name = s.mid(i, end - i);
    }
    m_names.append(name);
    m_text += u'?';
    return end;
}

QString IbParameterParser::normalizedName(const QString &placeholder)
{
    QStringView name(placeholder);
    if (name.startsWith(u':'))
        name = name.mid(1);
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"'))
        name = name.mid(1, name.size() - 2);
    return name.toString();
}
