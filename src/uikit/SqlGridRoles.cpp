#include "uikit/SqlGridRoles.h"

#include "controls/GridRoles.h"

#include <QSqlField>
#include <QSqlQueryModel>
#include <QSqlRecord>

namespace SqlGridRoles {

bool answers(int role)
{
    return role == GridRoles::Scale;
}

QVariant data(const QSqlQueryModel &model, const QModelIndex &index, int role)
{
    if (role != GridRoles::Scale || !index.isValid())
        return {};
    return qMax(model.record().field(index.column()).precision(), 0);
}

} // namespace SqlGridRoles
