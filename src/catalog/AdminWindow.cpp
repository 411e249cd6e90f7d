#include "catalog/AdminWindow.h"

#include "core/AppError.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "schema/UserEntry.h"
#include "uikit/Command.h"
#include "workbench/TSQLSourceForm.h"

#include <QScopeGuard>
#include <QTreeWidget>

namespace AdminWindow {

QSqlDatabase connection()
{
    return QSqlDatabase::database(TDMSys::ibName(), false);
}

int dialect()
{
    return DMSys->IBDataBase->statementDialect();
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("Yes") : QStringLiteral("No");
}

QTreeWidget *createList(QWidget *parent, const QString &name, const QStringList &columns)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setAccessibleName(name);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setHeaderLabels(columns);
    return list;
}

bool selectText(QTreeWidget *list, const QString &text)
{
    const QList<QTreeWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty())
        return false;
    list->setCurrentItem(found.first());
    return true;
}

int currentRow(const QTreeWidget *list)
{
    QTreeWidgetItem *item = list->currentItem();
    return item ? list->indexOfTopLevelItem(item) : -1;
}

QStringList userNames()
{
    QStringList names;
    try {
        for (const UserEntry &user : UserEntry::readAll(connection()))
            names << user.name;
    } catch (const DatabaseError &) {
    }
    names.removeDuplicates();
    return names;
}

void runApproved(const QStringList &shown, const std::function<void()> &change,
                 const std::function<void()> &refresh)
{
    ShowSQLSource(shown);
    const auto again = qScopeGuard([&refresh] { Command::run(refresh); });
    change();
}

} // namespace AdminWindow
