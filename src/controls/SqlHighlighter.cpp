#include "controls/SqlHighlighter.h"

#include <QColor>
#include <QFont>
#include <QSet>

namespace {

// Firebird 3 reserved words, with the non-reserved words that start or shape
// PSQL and DDL statements, so a trigger body reads as well as a CREATE.
const char *const kKeywords[] = {
    "ACTIVE", "ADD", "ADMIN", "AFTER", "ALL", "ALTER", "AND", "ANY", "AS", "ASC",
    "ASCENDING", "AT", "AUTO", "AUTONOMOUS", "AVG", "BEFORE", "BEGIN", "BETWEEN",
    "BIGINT", "BLOB", "BOOLEAN", "BOTH", "BREAK", "BY", "CASCADE", "CASE", "CAST",
    "CHAR", "CHARACTER", "CHECK", "CLOSE", "COLLATE", "COLUMN", "COMMIT", "COMPUTED",
    "CONDITIONAL", "CONNECT", "CONSTRAINT", "CONTAINING", "CONTINUE", "COUNT", "CREATE",
    "CROSS", "CURRENT", "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP",
    "CURRENT_USER", "CURSOR", "DATABASE", "DATE", "DAY", "DEC", "DECIMAL", "DECLARE",
    "DEFAULT", "DELETE", "DELETING", "DESC", "DESCENDING", "DISCONNECT", "DISTINCT",
    "DO", "DOMAIN", "DOUBLE", "DROP", "ELSE", "END", "ENTRY_POINT", "ESCAPE",
    "EXCEPTION", "EXECUTE", "EXISTS", "EXIT", "EXTERNAL", "EXTRACT", "FALSE", "FETCH",
    "FILTER", "FIRST", "FLOAT", "FOR", "FOREIGN", "FROM", "FULL", "FUNCTION",
    "GENERATOR", "GEN_ID", "GLOBAL", "GRANT", "GROUP", "HAVING", "HOUR", "IF", "IN",
    "INACTIVE", "INDEX", "INNER", "INSENSITIVE", "INSERT", "INSERTING", "INT",
    "INTEGER", "INTO", "IS", "JOIN", "KEY", "LAST", "LEADING", "LEAVE", "LEFT", "LIKE",
    "LONG", "LOWER", "MATCHING", "MAX", "MERGE", "MIN", "MINUTE", "MONTH", "NATIONAL",
    "NATURAL", "NCHAR", "NEW", "NEXT", "NO", "NOT", "NULL", "NULLS", "NUMERIC", "OF",
    "OLD", "ON", "ONLY", "OPEN", "OR", "ORDER", "OUTER", "PACKAGE", "PARAMETER",
    "PLAN", "POSITION", "POST_EVENT", "PRECISION", "PRIMARY", "PROCEDURE", "RECREATE",
    "REFERENCES", "RELEASE", "RETURN", "RETURNING", "RETURNS", "RETURNING_VALUES",
    "REVOKE", "RIGHT", "ROLLBACK", "ROW_COUNT", "ROWS", "SAVEPOINT", "SCALAR_ARRAY",
    "SECOND", "SELECT", "SEQUENCE", "SET", "SIMILAR", "SKIP", "SMALLINT", "SOME",
    "SQLCODE", "SQLSTATE", "START", "STARTING", "SUBSTRING", "SUM", "SUSPEND", "TABLE",
    "THEN", "TIME", "TIMESTAMP", "TO", "TRAILING", "TRIGGER", "TRIM", "TRUE", "TYPE",
    "UNION", "UNIQUE", "UNKNOWN", "UPDATE", "UPDATING", "UPPER", "USER", "USING",
    "VALUE", "VALUES", "VARCHAR", "VARIABLE", "VARYING", "VIEW", "WHEN", "WHERE",
    "WHILE", "WITH", "WORK", "YEAR",
};

const QSet<QString> &keywords()
{
    static const QSet<QString> set = [] {
        QSet<QString> words;
        for (const char *word : kKeywords)
            words.insert(QString::fromLatin1(word));
        return words;
    }();
    return set;
}

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// The end of the number starting at `from`: digits, a fraction, an exponent,
// or a 0x hexadecimal literal.
int numberEnd(const QString &text, int from)
{
    const int length = text.size();
    int i = from;
    if (text.mid(i, 2).compare(QLatin1String("0x"), Qt::CaseInsensitive) == 0) {
        i += 2;
        while (i < length && QStringLiteral("0123456789abcdefABCDEF").contains(text[i]))
            ++i;
        return i;
    }
    while (i < length && text[i].isDigit())
        ++i;
    if (i < length && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < length && text[i].isDigit())
            ++i;
    }
    if (i + 1 < length && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < length && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ++j;
        if (j < length && text[j].isDigit()) {
            while (j < length && text[j].isDigit())
                ++j;
            i = j;
        }
    }
    return i;
}

} // namespace

SqlHighlighter::SqlHighlighter(QTextDocument *document, DoubleQuotes doubleQuotes)
    : QSyntaxHighlighter(static_cast<QObject *>(document)),
      m_text(document),
      m_doubleQuotes(doubleQuotes)
{
    // Connected before the highlighter's own reaction to a change, so a text
    // grown too large is let go of before it would be coloured.
    connect(document, &QTextDocument::contentsChange, this, &SqlHighlighter::followSize);
    if (document->characterCount() <= kLargestColoured) {
        setDocument(document);
        m_colouring = true;
    }
}

SqlHighlighter::~SqlHighlighter()
{
    // The base class lets go of the document as it is destroyed, and the
    // document reports that as a change: by then this part of the object is
    // gone, so its slot must not hear of it.
    disconnect(m_text, &QTextDocument::contentsChange, this, nullptr);
}

void SqlHighlighter::followSize()
{
    const bool small = m_text->characterCount() <= kLargestColoured;
    if (!small && m_colouring) {
        // Only the reaction to changes goes: letting go of the document
        // altogether would give each of its lines a layout just to clear it.
        disconnect(m_text, &QTextDocument::contentsChange, this, nullptr);
        connect(m_text, &QTextDocument::contentsChange, this, &SqlHighlighter::followSize);
        m_colouring = false;
    } else if (small && !m_colouring) {
        setDocument(nullptr);
        setDocument(m_text);
        rehighlight();
        m_colouring = true;
    }
}

void SqlHighlighter::setDoubleQuotes(DoubleQuotes doubleQuotes)
{
    if (doubleQuotes == m_doubleQuotes)
        return;
    m_doubleQuotes = doubleQuotes;
    if (m_colouring)
        rehighlight();
}

QTextCharFormat SqlHighlighter::format(Kind kind)
{
    QTextCharFormat format;
    switch (kind) {
    case Kind::Keyword:
        format.setForeground(QColor(0x00, 0x00, 0x80));
        format.setFontWeight(QFont::Bold);
        break;
    case Kind::String:
        format.setForeground(QColor(0x80, 0x00, 0x00));
        break;
    case Kind::QuotedName:
        format.setForeground(QColor(0x00, 0x60, 0x60));
        break;
    case Kind::Comment:
        format.setForeground(QColor(0x00, 0x70, 0x00));
        format.setFontItalic(true);
        break;
    case Kind::Number:
        format.setForeground(QColor(0x80, 0x00, 0x80));
        break;
    }
    return format;
}

bool SqlHighlighter::isKeyword(QStringView word)
{
    return keywords().contains(word.toString().toUpper());
}

SqlHighlighter::Kind SqlHighlighter::doubleQuoteKind() const
{
    return m_doubleQuotes == DoubleQuotes::DelimitString ? Kind::String : Kind::QuotedName;
}

int SqlHighlighter::closingQuote(const QString &text, int from, QChar quote)
{
    int i = from;
    while ((i = text.indexOf(quote, i)) >= 0) {
        if (i + 1 < text.size() && text[i + 1] == quote) {
            i += 2;
            continue;
        }
        return i + 1;
    }
    return -1;
}

void SqlHighlighter::highlightBlock(const QString &text)
{
    const int length = text.size();
    int i = 0;
    setCurrentBlockState(Plain);

    // What the previous line left open continues here.
    auto carryOn = [&](State state) {
        if (state == InComment) {
            const int close = text.indexOf(QLatin1String("*/"));
            const int end = close < 0 ? length : close + 2;
            setFormat(0, end, format(Kind::Comment));
            if (close < 0)
                setCurrentBlockState(InComment);
            return end;
        }
        const QChar quote = state == InSingleQuotes ? QLatin1Char('\'') : QLatin1Char('"');
        const int close = closingQuote(text, 0, quote);
        const int end = close < 0 ? length : close;
        setFormat(0, end, format(state == InSingleQuotes ? Kind::String : doubleQuoteKind()));
        if (close < 0)
            setCurrentBlockState(state);
        return end;
    };
    const int previous = previousBlockState();
    if (previous == InComment || previous == InSingleQuotes || previous == InDoubleQuotes) {
        i = carryOn(State(previous));
        if (currentBlockState() != Plain)
            return;
    }

    while (i < length) {
        const QChar c = text[i];
        const QChar next = i + 1 < length ? text[i + 1] : QChar();
        if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            setFormat(i, length - i, format(Kind::Comment));
            return;
        }
        if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const int close = text.indexOf(QLatin1String("*/"), i + 2);
            const int end = close < 0 ? length : close + 2;
            setFormat(i, end - i, format(Kind::Comment));
            if (close < 0) {
                setCurrentBlockState(InComment);
                return;
            }
            i = end;
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const bool single = c == QLatin1Char('\'');
            const int close = closingQuote(text, i + 1, c);
            const int end = close < 0 ? length : close;
            setFormat(i, end - i, format(single ? Kind::String : doubleQuoteKind()));
            if (close < 0) {
                setCurrentBlockState(single ? InSingleQuotes : InDoubleQuotes);
                return;
            }
            i = end;
            continue;
        }
        if (isWordStart(c)) {
            int end = i + 1;
            while (end < length && isWordPart(text[end]))
                ++end;
            if (isKeyword(QStringView(text).mid(i, end - i)))
                setFormat(i, end - i, format(Kind::Keyword));
            i = end;
            continue;
        }
        if (c.isDigit() || (c == QLatin1Char('.') && next.isDigit())) {
            const int end = numberEnd(text, i);
            setFormat(i, end - i, format(Kind::Number));
            i = end;
            continue;
        }
        ++i;
    }
}
