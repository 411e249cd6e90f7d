#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

// Colours Firebird SQL and PSQL: keywords, strings, comments and numbers.
// Strings and block comments may run over several lines. Whether a double
// quote opens a string or a delimited name depends on the SQL dialect, so the
// owner says which it is.
class SqlHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    enum class Kind { Keyword, String, QuotedName, Comment, Number };
    enum class DoubleQuotes { DelimitString, DelimitName };

    SqlHighlighter(QTextDocument *document, DoubleQuotes doubleQuotes);
    ~SqlHighlighter() override;

    // Above this many characters a text is left uncoloured: a loaded dump of
    // that size is no statement to read, and colouring it would cost more
    // than loading it. Colours come back when the text is small again.
    static constexpr int kLargestColoured = 2'000'000;
    bool isColouring() const { return m_colouring; }

    DoubleQuotes doubleQuotes() const { return m_doubleQuotes; }
    void setDoubleQuotes(DoubleQuotes doubleQuotes);

    static QTextCharFormat format(Kind kind);
    static bool isKeyword(QStringView word);

protected:
    void highlightBlock(const QString &text) override;

private:
    // Where a block ends, carried into the next one.
    enum State { Plain = -1, InComment = 1, InSingleQuotes = 2, InDoubleQuotes = 3 };

    // From `from`, the end of the quoted text closed by `quote` (a doubled
    // quote is part of the text), or -1 when the line ends first.
    static int closingQuote(const QString &text, int from, QChar quote);
    Kind doubleQuoteKind() const;
    void followSize();

    QTextDocument *m_text;
    DoubleQuotes m_doubleQuotes;
    bool m_colouring = false;
};
