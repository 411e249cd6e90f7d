#pragma once

#include <QString>
#include <QStringList>

// Splits a metadata script into the statements to send, as isql reads it:
// each ends at the current terminator outside strings, quoted names and
// comments; SET TERM changes the terminator, SET SQL DIALECT and SET NAMES
// are the script's own settings, none of them is sent.
class ScriptStatements
{
public:
    explicit ScriptStatements(const QString &script);

    QStringList statements() const { return m_statements; }
    int dialect() const { return m_dialect; } // 0 when the script does not say
    // The connection character set the script was written for; empty when
    // it does not say.
    QString characterSet() const { return m_characterSet; }

private:
    void take(const QString &statement);

    QStringList m_statements;
    QString m_terminator = QStringLiteral(";");
    int m_dialect = 0;
    QString m_characterSet;
};
