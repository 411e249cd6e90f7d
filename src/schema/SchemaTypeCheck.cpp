#include "schema/SchemaTypeCheck.h"

#include "core/AppError.h"
#include "schema/SchemaModel.h"
#include "schema/SqlTypeText.h"

namespace {

void require(const SchemaType &type, const QString &object)
{
    if (!SqlTypeKnown(type.type)) {
        throw GeneralError(QStringLiteral("%1 has the type code %2, which this program does "
                                          "not know; no script was written")
                               .arg(object)
                               .arg(type.type));
    }
}

void requireParameters(const QList<SchemaParameter> &parameters, const QString &routine)
{
    for (const SchemaParameter &p : parameters) {
        if (p.domain.isEmpty() && p.relation.isEmpty())
            require(p.type, QStringLiteral("Parameter %1 of %2").arg(p.name, routine));
    }
}

QString routineKind(SchemaRoutine::Kind kind)
{
    return kind == SchemaRoutine::Kind::Procedure ? QStringLiteral("procedure")
                                                  : QStringLiteral("function");
}

} // namespace

void SchemaTypeCheck::requireKnownTypes(const SchemaModel &model)
{
    for (const SchemaDomain &d : model.domains)
        require(d.type, QStringLiteral("Domain %1").arg(d.name));
    // A view's columns take the types of what it selects: none is declared;
    // nor is the type of a column written by its domain's name (a system
    // domain such as RDB$USER is named, not read).
    for (const SchemaTable &t : model.tables) {
        if (!t.viewSource.isEmpty())
            continue;
        for (const SchemaColumn &c : t.columns) {
            if (c.domain.isEmpty())
                require(c.type, QStringLiteral("Column %1 of table %2").arg(c.name, t.name));
        }
    }
    for (const SchemaRoutine &r : model.routines) {
        const QString name = routineKind(r.kind) + u' ' + r.name;
        requireParameters(r.inputs, name);
        requireParameters(r.outputs, name);
    }
}
