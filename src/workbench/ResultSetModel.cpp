#include "workbench/ResultSetModel.h"

#include "controls/GridValueDelegate.h"
#include "core/AppError.h"
#include "uikit/Command.h"
#include "uikit/SqlGridRoles.h"
#include "workbench/CellPreview.h"

#include <QScopeGuard>

QVariant ResultSetModel::data(const QModelIndex &index, int role) const
{
    if (SqlGridRoles::answers(role))
        return SqlGridRoles::data(*this, index, role);
    if (role != GridValueDelegate::WholeValueRole) {
        const QVariant value = QSqlQueryModel::data(index, role);
        return role == Qt::DisplayRole ? CellPreview::shown(value) : value;
    }
    const QVariant value = QSqlQueryModel::data(index, Qt::EditRole);
    if (!CellPreview::preview(value))
        return value;
    try {
        const QVariant whole = CellPreview::whole(value);
        if (!whole.isValid()) {
            throw DatabaseError(QStringLiteral("The whole value is no longer at hand: the query "
                                               "has read its last row; run it again to read it"));
        }
        return whole;
    } catch (const AppError &error) {
        Command::tellOnce(error.message());
        return {};
    }
}

void ResultSetModel::fetchMore(const QModelIndex &parent)
{
    emit batchStarting();
    const auto fetched = qScopeGuard([this] { emit batchFetched(); });
    QSqlQueryModel::fetchMore(parent);
}
