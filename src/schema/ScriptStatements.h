#pragma once

#include <QString>
#include <QStringList>

// The statements of a metadata script to send, as the isql script reader
// finds them; SET TERM, SET SQL DIALECT and SET NAMES are the script's own
// settings, isql's display commands and transaction ends are none of the
// catalogue's, and none of them is sent.
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
    QStringList m_statements;
    int m_dialect = 0;
    QString m_characterSet;
};
