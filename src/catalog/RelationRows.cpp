#include "catalog/RelationRows.h"

#include "catalog/FieldTypeText.h"
#include "schema/IdentityText.h"
#include "schema/SchemaScript.h"
#include "schema/TriggerTypeText.h"

#include <algorithm>

namespace RelationRows {

namespace {

const QString kListSeparator = QStringLiteral(", ");

const SchemaDomain *domainNamed(const SchemaModel &model, const QString &name)
{
    const auto found = std::find_if(model.domains.begin(), model.domains.end(),
                                    [&name](const SchemaDomain &d) { return d.name == name; });
    return found == model.domains.end() ? nullptr : &*found;
}

// "DEFAULT 'x'" as stored: the window shows what follows the keyword.
QString defaultValue(const QString &source)
{
    const QString text = source.trimmed();
    const QLatin1String keyword("DEFAULT");
    if (text.startsWith(keyword, Qt::CaseInsensitive))
        return text.mid(keyword.size()).trimmed();
    return text;
}

QString typeText(const SchemaType &type, int dialect)
{
    return FieldTypeText(type, dialect);
}

QString generation(const SchemaColumn &column)
{
    if (!column.computedSource.isEmpty())
        return QStringLiteral("COMPUTED BY ") + column.computedSource.trimmed();
    return IdentityText::clause(column, false);
}

QStringList columnRow(const SchemaColumn &column, const SchemaDomain *domain, int dialect)
{
    const bool notNull = column.notNull || (domain && domain->notNull);
    QString defaultSource = column.defaultSource;
    QString collation = column.type.collation;
    if (domain) {
        if (defaultSource.isEmpty())
            defaultSource = domain->defaultSource;
        if (collation.isEmpty())
            collation = domain->type.collation;
    }
    return {typeText(column.type, dialect), notNull ? QStringLiteral("NOT NULL") : QString(),
            defaultValue(defaultSource), collation, generation(column)};
}

QString kindText(SchemaConstraint::Kind kind)
{
    switch (kind) {
    case SchemaConstraint::Kind::PrimaryKey: return QStringLiteral("PRIMARY KEY");
    case SchemaConstraint::Kind::Unique: return QStringLiteral("UNIQUE");
    case SchemaConstraint::Kind::ForeignKey: return QStringLiteral("FOREIGN KEY");
    case SchemaConstraint::Kind::Check: return QStringLiteral("CHECK");
    }
    return {};
}

QString ruleText(const QString &rule)
{
    return rule.isEmpty() ? QStringLiteral("RESTRICT") : rule;
}

QString referenced(const SchemaConstraint &c)
{
    if (c.kind != SchemaConstraint::Kind::ForeignKey)
        return {};
    return QStringLiteral("%1 (%2)").arg(c.referencedTable,
                                         c.referencedColumns.join(kListSeparator));
}

QString rulesOrCondition(const SchemaConstraint &c)
{
    if (c.kind == SchemaConstraint::Kind::Check)
        return c.checkSource.trimmed();
    if (c.kind != SchemaConstraint::Kind::ForeignKey)
        return {};
    return QStringLiteral("ON UPDATE %1 ON DELETE %2")
        .arg(ruleText(c.updateRule), ruleText(c.deleteRule));
}

QString granteeKind(int type)
{
    switch (type) {
    case 1: return QStringLiteral("View");
    case 2: return QStringLiteral("Trigger");
    case 5: return QStringLiteral("Procedure");
    case 13: return QStringLiteral("Role");
    case 15: return QStringLiteral("Function");
    case 18: return QStringLiteral("Package");
    default: return QStringLiteral("User");
    }
}

QString privilegeText(QChar code)
{
    switch (code.toLatin1()) {
    case 'S': return QStringLiteral("SELECT");
    case 'I': return QStringLiteral("INSERT");
    case 'U': return QStringLiteral("UPDATE");
    case 'D': return QStringLiteral("DELETE");
    case 'R': return QStringLiteral("REFERENCES");
    default: return QString(code);
    }
}

} // namespace

QStringList columnTitles()
{
    return {QStringLiteral("Type"), QStringLiteral("Not null"), QStringLiteral("Default"),
            QStringLiteral("Collation"), QStringLiteral("Computed / identity")};
}

QHash<QString, QStringList> columnDetails(const SchemaModel &model, int dialect)
{
    QHash<QString, QStringList> details;
    for (const SchemaTable &table : model.tables) {
        for (const SchemaColumn &column : table.columns)
            details.insert(column.name,
                           columnRow(column, domainNamed(model, column.domain), dialect));
    }
    return details;
}

QStringList constraintTitles()
{
    return {QStringLiteral("Name"), QStringLiteral("Kind"), QStringLiteral("Columns"),
            QStringLiteral("References"), QStringLiteral("Rules or condition")};
}

Rows constraints(const SchemaModel &model)
{
    Rows rows;
    for (const SchemaConstraint &c : model.constraints)
        rows.append({c.storedName, kindText(c.kind), c.columns.join(kListSeparator), referenced(c),
                     rulesOrCondition(c)});
    return rows;
}

QStringList indexTitles()
{
    return {QStringLiteral("Name"), QStringLiteral("Columns or expression"),
            QStringLiteral("Unique"), QStringLiteral("Order"), QStringLiteral("State"),
            QStringLiteral("Selectivity")};
}

Rows indices(const QList<RelationIndices::Index> &indices)
{
    Rows rows;
    for (const RelationIndices::Index &i : indices)
        rows.append({i.name,
                     i.expression.isEmpty() ? i.columns.join(kListSeparator)
                                            : i.expression.trimmed(),
                     i.unique ? QStringLiteral("UNIQUE") : QString(),
                     i.descending ? QStringLiteral("DESCENDING") : QStringLiteral("ASCENDING"),
                     i.inactive ? QStringLiteral("INACTIVE") : QStringLiteral("ACTIVE"),
                     QString::number(i.selectivity, 'g', 6)});
    return rows;
}

QStringList triggerTitles()
{
    return {QStringLiteral("Name"), QStringLiteral("Fires"), QStringLiteral("Position"),
            QStringLiteral("State")};
}

Rows triggers(const SchemaModel &model)
{
    Rows rows;
    for (const SchemaTrigger &t : model.triggers)
        rows.append({t.name, TriggerTypeText(t.type), QString::number(t.position),
                     t.active ? QStringLiteral("ACTIVE") : QStringLiteral("INACTIVE")});
    return rows;
}

QStringList privilegeTitles()
{
    return {QStringLiteral("Grantee"), QStringLiteral("Grantee kind"),
            QStringLiteral("Privilege"), QStringLiteral("Column"),
            QStringLiteral("Grant option")};
}

Rows privileges(const SchemaModel &model)
{
    Rows rows;
    for (const SchemaGrant &g : model.grants)
        rows.append({g.grantee, granteeKind(g.granteeType), privilegeText(g.privilege), g.column,
                     g.option != 0 ? QStringLiteral("WITH GRANT OPTION") : QString()});
    return rows;
}

QStringList baseRelationTitles()
{
    return {QStringLiteral("Relation")};
}

Rows baseRelations(const SchemaModel &model)
{
    QStringList names = model.viewDependencies.values();
    names.sort();
    names.removeDuplicates();
    Rows rows;
    for (const QString &name : std::as_const(names))
        rows.append({name});
    return rows;
}

QString script(SchemaModel model)
{
    model.defaultCharacterSet = QStringLiteral("NONE");
    model.defaultCollations.clear();
    model.collations.clear();
    model.domains.clear();
    return SchemaScript(model).text();
}

} // namespace RelationRows
