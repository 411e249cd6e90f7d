#include "ibdb/SqlLiteral.h"

#include <QSet>

namespace SqlLiteral {

namespace {

QString enclosed(QString text, QChar quote)
{
    text.replace(quote, QString(2, quote));
    return quote + text + quote;
}

// The words Firebird 3 reserves: unquoted, they are read as keywords.
const QSet<QString> &reservedWords()
{
    static const QSet<QString> words = [] {
        const char *const list[] = {
            "ADD", "ADMIN", "ALL", "ALTER", "AND", "ANY", "AS", "AT", "AVG", "BEGIN",
            "BETWEEN", "BIGINT", "BIT_LENGTH", "BLOB", "BOOLEAN", "BOTH", "BY", "CASE",
            "CAST", "CHAR", "CHAR_LENGTH", "CHARACTER", "CHARACTER_LENGTH", "CHECK",
            "CLOSE", "COLLATE", "COLUMN", "COMMIT", "CONNECT", "CONSTRAINT", "CORR", "COUNT",
            "COVAR_POP", "COVAR_SAMP", "CREATE", "CROSS", "CURRENT", "CURRENT_CONNECTION",
            "CURRENT_DATE", "CURRENT_ROLE", "CURRENT_TIME", "CURRENT_TIMESTAMP",
            "CURRENT_TRANSACTION", "CURRENT_USER", "CURSOR", "DATE", "DAY", "DEC",
            "DECIMAL", "DECLARE", "DEFAULT", "DELETE", "DELETING", "DETERMINISTIC",
            "DISCONNECT", "DISTINCT", "DOUBLE", "DROP", "ELSE", "END", "ESCAPE", "EXECUTE",
            "EXISTS", "EXTERNAL", "EXTRACT", "FALSE", "FETCH", "FILTER", "FLOAT", "FOR",
            "FOREIGN", "FROM", "FULL", "FUNCTION", "GDSCODE", "GLOBAL", "GRANT", "GROUP",
            "HAVING", "HOUR", "IN", "INDEX", "INNER", "INSENSITIVE", "INSERT", "INSERTING",
            "INT", "INTEGER", "INTO", "IS", "JOIN", "LEADING", "LEFT", "LIKE", "LONG",
            "LOWER", "MAX", "MAXIMUM_SEGMENT", "MERGE", "MIN", "MINUTE", "MONTH", "NATIONAL",
            "NATURAL", "NCHAR", "NO", "NOT", "NULL", "NUMERIC", "OCTET_LENGTH", "OF",
            "OFFSET", "ON", "ONLY", "OPEN", "OR", "ORDER", "OUTER", "OVER", "PARAMETER",
            "PLAN", "POSITION", "POST_EVENT", "PRECISION", "PRIMARY", "PROCEDURE",
            "RDB$DB_KEY", "RDB$RECORD_VERSION", "REAL", "RECORD_VERSION", "RECREATE",
            "RECURSIVE", "REFERENCES", "REGR_AVGX", "REGR_AVGY", "REGR_COUNT",
            "REGR_INTERCEPT", "REGR_R2", "REGR_SLOPE", "REGR_SXX", "REGR_SXY", "REGR_SYY",
            "RELEASE", "RETURN", "RETURNING_VALUES", "RETURNS", "REVOKE", "RIGHT",
            "ROLLBACK", "ROW", "ROW_COUNT", "ROWS", "SAVEPOINT", "SCROLL", "SECOND",
            "SELECT", "SENSITIVE", "SET", "SIMILAR", "SMALLINT", "SOME", "SQLCODE",
            "SQLSTATE", "START", "STDDEV_POP", "STDDEV_SAMP", "SUM", "TABLE", "THEN", "TIME",
            "TIMESTAMP", "TO", "TRAILING", "TRIGGER", "TRIM", "TRUE", "UNION", "UNIQUE",
            "UNKNOWN", "UPDATE", "UPDATING", "UPPER", "USER", "USING", "VALUE", "VALUES",
            "VAR_POP", "VAR_SAMP", "VARCHAR", "VARIABLE", "VARYING", "VIEW", "WHEN", "WHERE",
            "WHILE", "WITH", "YEAR"};
        QSet<QString> set;
        for (const char *word : list)
            set.insert(QString::fromLatin1(word));
        return set;
    }();
    return words;
}

bool isPlainCharacter(QChar c, bool first)
{
    if (c >= u'A' && c <= u'Z')
        return true;
    if (first)
        return false;
    return (c >= u'0' && c <= u'9') || c == u'_' || c == u'$';
}

} // namespace

bool needsQuotes(const QString &name)
{
    if (name.isEmpty())
        return true;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isPlainCharacter(name.at(i), i == 0))
            return true;
    }
    return reservedWords().contains(name);
}

QString name(const QString &name, int dialect)
{
    return dialect == 3 && needsQuotes(name) ? quotedName(name) : name;
}

QString quotedName(const QString &name)
{
    return enclosed(name, QLatin1Char('"'));
}

QString string(const QString &text, int dialect)
{
    return enclosed(text, dialect == 1 ? QLatin1Char('"') : QLatin1Char('\''));
}

} // namespace SqlLiteral
