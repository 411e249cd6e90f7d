#pragma once

#include <QString>
#include <QStringList>

// Finds the parameters of a statement text: `?`, `:NAME` and `:"NAME"`
// (`$` belongs to names, as in RDB$RELATION_NAME). String literals in single
// and double quotes (dialect 1 reads "..." as a string), comments and the
// body of an EXECUTE BLOCK are skipped. The server sees every parameter as `?`.
class IbParameterParser
{
public:
    explicit IbParameterParser(const QString &statement);

    // The statement with every parameter replaced by `?`.
    QString positionalText() const { return m_text; }
    // One entry per parameter in order: its name, or empty for `?`.
    QStringList names() const { return m_names; }

    // The name a placeholder refers to: ":NAME", ":\"NAME\"", "\"NAME\"" and
    // "NAME" all give NAME.
    static QString normalizedName(const QString &placeholder);

private:
    void scan(const QString &statement);
    qsizetype skipQuoted(const QString &s, qsizetype i, QChar quote);
    qsizetype skipComment(const QString &s, qsizetype i);
    qsizetype readName(const QString &s, qsizetype i);
    qsizetype readWord(const QString &s, qsizetype i);
    bool opensBlockBody(QStringView word);

    QString m_text;
    QStringList m_names;
    int m_words = 0;
    bool m_inBlock = false;
};
