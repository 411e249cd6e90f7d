#include "schema/PublicationDdl.h"

#include "ibdb/SqlLiteral.h"

namespace {

// Only a database's own tables can be published: the server knows no
// temporary or external table there, nor a view.
bool publishable(const SchemaTable &table)
{
    return table.kind == SchemaTable::Kind::Persistent;
}

QString tableList(const SchemaModel &model, bool published)
{
    QStringList names;
    for (const SchemaTable &t : model.tables) {
        if (publishable(t) && t.published == published)
            names << SqlLiteral::name(t.name, model.dialect);
    }
    return names.join(QStringLiteral(", "));
}

} // namespace

QStringList PublicationDdl::statements(const SchemaModel &model)
{
    QStringList out;
    if (model.publication.active)
        out << QStringLiteral("ALTER DATABASE ENABLE PUBLICATION");
    if (model.publication.includesNewTables) {
        out << QStringLiteral("ALTER DATABASE INCLUDE ALL TO PUBLICATION");
        const QString left = tableList(model, false);
        if (!left.isEmpty())
            out << QStringLiteral("ALTER DATABASE EXCLUDE TABLE %1 FROM PUBLICATION").arg(left);
        return out;
    }
    const QString carried = tableList(model, true);
    if (!carried.isEmpty())
        out << QStringLiteral("ALTER DATABASE INCLUDE TABLE %1 TO PUBLICATION").arg(carried);
    return out;
}
