#include "workbench/ResultSetModel.h"

#include "controls/GridValueDelegate.h"
#include "core/AppError.h"
#include "uikit/Command.h"
#include "workbench/CellPreview.h"

QVariant ResultSetModel::data(const QModelIndex &index, int role) const
{
    if (role != GridValueDelegate::WholeValueRole) {
        const QVariant value = QSqlQueryModel::data(index, role);
        return role == Qt::DisplayRole ? CellPreview::shown(value) : value;
    }
    const QVariant value = QSqlQueryModel::data(index, Qt::EditRole);
    try {
        return CellPreview::whole(value);
    } catch (const AppError &error) {
        Command::tellOnce(error.message());
        return {};
    }
}
