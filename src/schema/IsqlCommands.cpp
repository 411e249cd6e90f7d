#include "schema/IsqlCommands.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace {

// The first words in upper case, each with where the text after it starts.
struct Words
{
    QStringList upper;
    QList<qsizetype> ends;
};

Words leadingWords(const QString &text, int count)
{
    static const QRegularExpression word(QStringLiteral("\\S+"));
    Words words;
    auto it = word.globalMatch(text);
    while (it.hasNext() && words.upper.size() < count) {
        const auto match = it.next();
        words.upper << match.captured().toUpper();
        words.ends << match.capturedEnd();
    }
    return words;
}

// isql's SET options that change only how it shows things.
bool isDisplayOption(const QString &option)
{
    static const QSet<QString> options{
        QStringLiteral("LIST"),        QStringLiteral("ECHO"),
        QStringLiteral("STAT"),        QStringLiteral("STATS"),
        QStringLiteral("COUNT"),       QStringLiteral("PLAN"),
        QStringLiteral("PLANONLY"),    QStringLiteral("BLOB"),
        QStringLiteral("BLOBDISPLAY"), QStringLiteral("WIDTH"),
        QStringLiteral("HEADING"),     QStringLiteral("BAIL"),
        QStringLiteral("WARNINGS"),    QStringLiteral("WNG"),
        QStringLiteral("TIME"),        QStringLiteral("SQLDA_DISPLAY"),
        QStringLiteral("EXPLAIN"),     QStringLiteral("ROWCOUNT"),
        QStringLiteral("PER_TABLE_STATS"), QStringLiteral("KEEP_TRAN_PARAMS"),
        QStringLiteral("MAXROWS"),     QStringLiteral("EXEC_PATH_DISPLAY"),
        QStringLiteral("AUTOTERM")};
    return options.contains(option);
}

bool isDisplayCommand(const QString &first)
{
    static const QSet<QString> commands{
        QStringLiteral("SHOW"),     QStringLiteral("OUTPUT"),   QStringLiteral("OUT"),
        QStringLiteral("HELP"),     QStringLiteral("?"),        QStringLiteral("EDIT"),
        QStringLiteral("SHELL"),    QStringLiteral("BLOBDUMP"), QStringLiteral("BLOBVIEW"),
        QStringLiteral("ADD"),      QStringLiteral("COPY")};
    return commands.contains(first);
}

QString unquoted(QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && (text.front() == u'\'' || text.front() == u'"')
        && text.back() == text.front())
        return text.mid(1, text.size() - 2);
    return text;
}

ScriptCommand::Kind kindOfSet(const Words &w, QString &argument)
{
    if (w.upper.size() == 1)
        return ScriptCommand::Skipped;
    const QString &option = w.upper.at(1);
    const QString third = w.upper.value(2);
    if (option == u"AUTODDL" || option == u"AUTO") {
        if (w.upper.size() > 3 || (w.upper.size() == 3 && third != u"ON" && third != u"OFF"))
            return ScriptCommand::Statement;
        argument = third;
        return ScriptCommand::SetAutoDdl;
    }
    if (option == u"SQL" && third == u"DIALECT" && w.upper.size() == 4) {
        argument = w.upper.at(3);
        return ScriptCommand::SetDialect;
    }
    if (option == u"NAMES" && w.upper.size() == 3) {
        argument = third;
        return ScriptCommand::SetNames;
    }
    if (option == u"TRANSACTION")
        return ScriptCommand::SetTransaction;
    // SET TIME shows times; SET TIME ZONE is the server's.
    if (option == u"TIME" && third == u"ZONE")
        return ScriptCommand::Statement;
    return isDisplayOption(option) ? ScriptCommand::Skipped : ScriptCommand::Statement;
}

ScriptCommand::Kind kindOf(const QString &text, const Words &w, QString &argument)
{
    const QString first = w.upper.value(0);
    const QString second = w.upper.value(1);
    const bool alone = w.upper.size() == 1;
    if ((first == u"COMMIT" || first == u"ROLLBACK")
        && (alone || (w.upper.size() == 2 && second == u"WORK")))
        return first == u"COMMIT" ? ScriptCommand::Commit : ScriptCommand::Rollback;
    if (first == u"SET")
        return kindOfSet(w, argument);
    if ((first == u"INPUT" || first == u"IN") && w.upper.size() > 1) {
        argument = unquoted(text.mid(w.ends.at(0)));
        return ScriptCommand::Input;
    }
    if (first == u"CONNECT"
        || (first == u"CREATE" && (second == u"DATABASE" || second == u"SCHEMA")))
        return ScriptCommand::Refused;
    if (alone && first == u"EXIT")
        return ScriptCommand::Exit;
    if (alone && first == u"QUIT")
        return ScriptCommand::Quit;
    return isDisplayCommand(first) ? ScriptCommand::Skipped : ScriptCommand::Statement;
}

} // namespace

ScriptCommand IsqlCommands::classify(const QString &text, int line)
{
    ScriptCommand command;
    command.text = text;
    command.line = line;
    const Words words = leadingWords(text, 4);
    command.kind = kindOf(text, words, command.argument);
    return command;
}

std::optional<QString> IsqlCommands::newTerminator(const QString &text)
{
    const Words words = leadingWords(text, 3);
    if (words.upper.size() < 3 || words.upper.at(0) != u"SET" || words.upper.at(1) != u"TERM")
        return std::nullopt;
    return text.mid(words.ends.at(1)).trimmed().section(QRegularExpression(QStringLiteral("\\s")),
                                                        0, 0);
}
