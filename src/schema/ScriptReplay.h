#pragma once

#include "ibdb/IbHandles.h"

#include <QString>
#include <QStringList>

// A metadata script run into a database as isql runs it: each statement
// committed on its own, over an attachment of the connection character set
// the script was written for, so that its literals mean what they meant.
class ScriptReplay
{
public:
    // Throws DatabaseError with the server's text when the attachment is refused.
    ScriptReplay(const QString &path, const QString &user, const QString &password,
                 const QString &characterSet);

    // Stops at the first statement refused: DatabaseError names it and gives
    // the server's lines, one line each.
    void run(const QStringList &statements, int dialect);

private:
    void execute(const QString &statement, int dialect);

    IbAttachment m_attachment;
};
