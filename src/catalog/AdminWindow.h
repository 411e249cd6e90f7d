#pragma once

#include <QSqlDatabase>
#include <QStringList>

#include <functional>

class QTreeWidget;
class QWidget;

// What the administration windows (attachments, users, roles, privileges)
// share: their read-only lists, the connection and dialect they work in, and
// the way they show a statement before running it.
namespace AdminWindow {

QSqlDatabase connection();
// The dialect the tool's statements are compiled in.
int dialect();

// "Yes" or "No", as the lists show a flag.
QString yesNo(bool value);

// A list of rows, one selected at a time, named for the accessibility tree.
QTreeWidget *createList(QWidget *parent, const QString &name, const QStringList &columns);
bool selectText(QTreeWidget *list, const QString &text);
// The current top-level row, -1 for none.
int currentRow(const QTreeWidget *list);

// The users a grant may name: the security database's, as far as the server
// shows them (a user it shows none of can still be typed).
QStringList userNames();

// Shows `shown` for approval, then runs `change`; `refresh` follows whatever
// the server said, since another user may have changed things meanwhile,
// which is what a refusal often means.
void runApproved(const QStringList &shown, const std::function<void()> &change,
                 const std::function<void()> &refresh);

} // namespace AdminWindow
