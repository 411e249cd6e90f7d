#include "schema/SchemaScript.h"

#include "ibdb/SqlLiteral.h"
#include "ibdb/StatementLines.h"
#include "schema/FieldTypeCode.h"
#include "schema/GrantText.h"
#include "schema/IdentityText.h"
#include "schema/ProcedureDdl.h"
#include "schema/PublicationDdl.h"
#include "schema/RoutineDdl.h"
#include "schema/SqlTypeText.h"
#include "schema/TrailingComment.h"
#include "schema/TriggerTypeText.h"
#include "schema/ViewDdl.h"

#include <QMap>

namespace {

using Kind = SchemaRoutine::Kind;

// Stored sources keep their own line breaks; the script has line feeds only.
QStringList sourceLines(const QString &source)
{
    QStringList lines = StatementLines::splitText(source);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

// A stored trigger source begins with AS; a routine's begins after it.
bool startsWithAs(const QString &source)
{
    const QString text = source.trimmed();
    return text.size() >= 2 && text.left(2).compare(QLatin1String("AS"), Qt::CaseInsensitive) == 0
           && (text.size() == 2 || text.at(2).isSpace());
}

QString parenthesised(const QString &expression)
{
    const QString text = expression.trimmed();
    return text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')'))
               ? text
               : QLatin1Char('(') + TrailingComment::closed(text) + QLatin1Char(')');
}

// A routine whose parameter is typed by a view's column can only be declared
// once the view exists.
bool typedByView(const SchemaRoutine &routine, const SchemaModel &model)
{
    const auto isView = [&model](const SchemaParameter &p) {
        return !p.relation.isEmpty()
               && std::any_of(model.tables.begin(), model.tables.end(),
                              [&p](const SchemaTable &t) {
                                  return t.kind == SchemaTable::Kind::View && t.name == p.relation;
                              });
    };
    return std::any_of(routine.inputs.begin(), routine.inputs.end(), isView)
           || std::any_of(routine.outputs.begin(), routine.outputs.end(), isView);
}

} // namespace

SchemaScript::SchemaScript(const SchemaModel &model, QString sourceName)
    : m_model(model), m_sourceName(std::move(sourceName))
{
    writeHeader();
    writeCollations();
    writeGenerators();
    writeExceptions();
    writeRoles();
    writeExternalFunctions();
    writeDomains();
    writeTables();
    writePublication();
    writeRoutineHeaders(false);
    writeComputedColumns();
    using CK = SchemaConstraint::Kind;
    writeConstraints({CK::PrimaryKey, CK::Unique}, QStringLiteral("Keys"));
    writeConstraints({CK::ForeignKey}, QStringLiteral("Foreign keys"));
    // A view's PLAN may name any index.
    writeIndices();
    writeViews();
    writeRoutineHeaders(true);
    writeConstraints({CK::Check}, QStringLiteral("Check constraints"));
    writeRoutineBodies();
    writeTriggers();
    writeGrants();
    writeComments();
}

QStringList SchemaScript::lines() const
{
    return m_lines;
}

QString SchemaScript::text() const
{
    QString text;
    for (const QString &line : m_lines)
        text += line + QLatin1Char('\n');
    return text;
}

QString SchemaScript::name(const QString &stored) const
{
    return SqlLiteral::name(stored, m_model.dialect);
}

QString SchemaScript::string(const QString &text) const
{
    return SqlLiteral::string(text, m_model.dialect);
}

void SchemaScript::section(const QString &title)
{
    endPsql();
    m_lines << QStringLiteral("/* %1 */").arg(title) << QString();
}

// A statement that ends in a -- comment gets its terminator on a line of its own.
void SchemaScript::statement(QStringList lines)
{
    endPsql();
    lines = StatementLines::splitText(lines.join(QLatin1Char('\n')));
    if (TrailingComment::endsInLineComment(lines.join(QLatin1Char('\n'))))
        lines << QStringLiteral(";");
    else
        lines.last() += QLatin1Char(';');
    m_lines << lines << QString();
}

// The terminator goes on a line of its own: a body may end in a -- comment.
void SchemaScript::psql(QStringList lines)
{
    if (!m_inPsql) {
        m_lines << QStringLiteral("SET TERM ^ ;") << QString();
        m_inPsql = true;
    }
    m_lines << lines << QStringLiteral("^") << QString();
}

void SchemaScript::endPsql()
{
    if (!m_inPsql)
        return;
    m_lines << QStringLiteral("SET TERM ; ^") << QString();
    m_inPsql = false;
}

void SchemaScript::writeHeader()
{
    if (!m_sourceName.isEmpty())
        m_lines << QStringLiteral("/* Metadata of %1 */").arg(m_sourceName);
    statement({QStringLiteral("SET SQL DIALECT %1").arg(m_model.dialect)});
    // The script's bytes are UTF-8, as the reading's were. Into a database of
    // NONE or UTF8 they go as they are, and its literals keep no character set
    // of the connection, as from isql's default; any other needs them
    // translated from UTF8.
    const QString set = m_model.defaultCharacterSet;
    const bool asIs = set == QLatin1String("NONE") || set == QLatin1String("UTF8");
    statement({QStringLiteral("SET NAMES %1").arg(asIs ? QStringLiteral("NONE")
                                                       : QStringLiteral("UTF8"))});
    if (m_model.defaultCharacterSet != QLatin1String("NONE"))
        statement({QStringLiteral("ALTER DATABASE SET DEFAULT CHARACTER SET %1")
                       .arg(name(m_model.defaultCharacterSet))});
    if (m_model.sqlSecurity != SqlSecurity::NotSet)
        statement({QStringLiteral("ALTER DATABASE SET DEFAULT ")
                   + SqlSecurityText::clause(m_model.sqlSecurity)});
}

void SchemaScript::writeCollations()
{
    if (!m_model.collations.isEmpty())
        section(QStringLiteral("Collations"));
    for (const SchemaCollation &c : m_model.collations) {
        QString text = QStringLiteral("CREATE COLLATION %1 FOR %2 FROM %3")
                           .arg(name(c.name), name(c.characterSet), name(c.baseCollation));
        text += c.attributes & 1 ? QStringLiteral(" PAD SPACE") : QStringLiteral(" NO PAD");
        text += c.attributes & 2 ? QStringLiteral(" CASE INSENSITIVE")
                                 : QStringLiteral(" CASE SENSITIVE");
        text += c.attributes & 4 ? QStringLiteral(" ACCENT INSENSITIVE")
                                 : QStringLiteral(" ACCENT SENSITIVE");
        if (!c.specificAttributes.isEmpty())
            text += QLatin1Char(' ') + string(c.specificAttributes);
        statement({text});
    }
    for (const auto &[set, collation] : m_model.defaultCollations)
        statement({QStringLiteral("ALTER CHARACTER SET %1 SET DEFAULT COLLATION %2")
                       .arg(name(set), name(collation))});
}

void SchemaScript::writeGenerators()
{
    if (!m_model.generators.isEmpty())
        section(QStringLiteral("Generators"));
    for (const SchemaGenerator &g : m_model.generators) {
        QString text = QStringLiteral("CREATE SEQUENCE ") + name(g.name);
        if (g.initialValue != 0)
            text += QStringLiteral(" START WITH %1").arg(g.initialValue);
        if (g.increment != 1)
            text += QStringLiteral(" INCREMENT BY %1").arg(g.increment);
        statement({text});
    }
}

void SchemaScript::writeExceptions()
{
    if (!m_model.exceptions.isEmpty())
        section(QStringLiteral("Exceptions"));
    for (const SchemaException &e : m_model.exceptions)
        statement({QStringLiteral("CREATE EXCEPTION %1 %2").arg(name(e.name), string(e.message))});
}

void SchemaScript::writeRoles()
{
    if (!m_model.roles.isEmpty())
        section(QStringLiteral("Roles"));
    for (const SchemaRole &r : m_model.roles) {
        QString text = QStringLiteral("CREATE ROLE ") + name(r.name);
        if (!r.systemPrivileges.isEmpty())
            text += QStringLiteral(" SET SYSTEM PRIVILEGES TO ")
                    + r.systemPrivileges.join(QStringLiteral(", "));
        statement({text});
    }
}

void SchemaScript::writeExternalFunctions()
{
    bool first = true;
    for (const SchemaRoutine &f : m_model.routines) {
        if (f.kind != Kind::External)
            continue;
        if (std::exchange(first, false))
            section(QStringLiteral("External functions"));
        statement(RoutineDdl::externalLines(f, m_model.dialect));
    }
}

void SchemaScript::writeDomains()
{
    if (!m_model.domains.isEmpty())
        section(QStringLiteral("Domains"));
    for (const SchemaDomain &d : m_model.domains) {
        QString text = QStringLiteral("CREATE DOMAIN %1 AS %2")
                           .arg(name(d.name), SqlTypeText(d.type, m_model.dialect));
        if (!d.defaultSource.trimmed().isEmpty())
            text += QLatin1Char(' ') + TrailingComment::closed(d.defaultSource.trimmed());
        if (d.notNull)
            text += QStringLiteral(" NOT NULL");
        if (!d.checkSource.trimmed().isEmpty())
            text += QLatin1Char(' ') + TrailingComment::closed(d.checkSource.trimmed());
        if (!d.type.collation.isEmpty())
            text += QStringLiteral(" COLLATE ") + name(d.type.collation);
        statement({text});
    }
}

namespace {

// Appended to a statement's first line, or put on a line of its own before
// the AS of a routine: nothing when not set.
QString withSecurity(const QString &text, SqlSecurity security)
{
    const QString clause = SqlSecurityText::clause(security);
    return clause.isEmpty() ? text : text + QLatin1Char(' ') + clause;
}

// The column's place in CREATE TABLE. A computed column keeps its position
// with an expression of its own type until the real one can be compiled.
QString columnDefinition(const SchemaColumn &c, int dialect)
{
    const auto name = [dialect](const QString &n) { return SqlLiteral::name(n, dialect); };
    QString text = name(c.name) + QLatin1Char(' ');
    if (!c.computedSource.isEmpty())
        return text + QStringLiteral("COMPUTED BY (CAST(NULL AS %1))")
                          .arg(SqlTypeText(c.type, dialect));
    text += c.domain.isEmpty() ? SqlTypeText(c.type, dialect) : name(c.domain);
    if (c.identity)
        text += QLatin1Char(' ') + IdentityText::clause(c, true);
    if (!c.defaultSource.trimmed().isEmpty())
        text += QLatin1Char(' ') + TrailingComment::closed(c.defaultSource.trimmed());
    if (!c.notNullConstraint.isEmpty() && c.notNull)
        text += QStringLiteral(" CONSTRAINT %1").arg(name(c.notNullConstraint));
    if (c.notNull)
        text += QStringLiteral(" NOT NULL");
    if (!c.type.collation.isEmpty())
        text += QStringLiteral(" COLLATE ") + name(c.type.collation);
    return text;
}

QString tableOpening(const SchemaTable &t, const QString &tableName, int dialect)
{
    if (t.kind == SchemaTable::Kind::PreserveRows || t.kind == SchemaTable::Kind::DeleteRows)
        return QStringLiteral("CREATE GLOBAL TEMPORARY TABLE %1 (").arg(tableName);
    if (t.kind == SchemaTable::Kind::External)
        return QStringLiteral("CREATE TABLE %1 EXTERNAL FILE %2 (")
            .arg(tableName, SqlLiteral::string(t.externalFile, dialect));
    return QStringLiteral("CREATE TABLE %1 (").arg(tableName);
}

} // namespace

void SchemaScript::writeTables()
{
    bool first = true;
    for (const SchemaTable &t : m_model.tables) {
        if (t.kind == SchemaTable::Kind::View)
            continue;
        if (std::exchange(first, false))
            section(QStringLiteral("Tables"));
        QStringList lines{tableOpening(t, name(t.name), m_model.dialect)};
        for (const SchemaColumn &c : t.columns)
            lines << QStringLiteral("    ") + columnDefinition(c, m_model.dialect)
                         + QLatin1Char(',');
        lines.last().chop(1);
        QString closing = QStringLiteral(")");
        if (t.kind == SchemaTable::Kind::PreserveRows)
            closing += QStringLiteral(" ON COMMIT PRESERVE ROWS");
        else if (t.kind == SchemaTable::Kind::DeleteRows)
            closing += QStringLiteral(" ON COMMIT DELETE ROWS");
        lines << withSecurity(closing, t.sqlSecurity);
        statement(lines);
    }
}

// After the tables it names; no table is made after it.
void SchemaScript::writePublication()
{
    const QStringList statements = PublicationDdl::statements(m_model);
    if (!statements.isEmpty())
        section(QStringLiteral("Publication"));
    for (const QString &text : statements)
        statement({text});
}

namespace {

// A body that compiles before anything it calls exists; a selectable
// procedure stays selectable for the views that select from it meanwhile.
QString emptyBody(const SchemaRoutine &routine)
{
    if (routine.kind == Kind::Function)
        return QStringLiteral("BEGIN\n  RETURN NULL;\nEND");
    return routine.selectable ? QStringLiteral("BEGIN\n  SUSPEND;\nEND")
                              : QStringLiteral("BEGIN\n  EXIT;\nEND");
}

QStringList routineLines(const SchemaRoutine &r, const QString &body, bool create, int dialect)
{
    return r.kind == Kind::Procedure ? RoutineDdl::procedureLines(r, body, create, dialect)
                                     : RoutineDdl::functionLines(r, body, create, dialect);
}

} // namespace

void SchemaScript::writeRoutineHeaders(bool afterViews)
{
    bool first = true;
    for (const SchemaRoutine &r : m_model.routines) {
        if (r.kind == Kind::External || typedByView(r, m_model) != afterViews)
            continue;
        if (std::exchange(first, false))
            section(QStringLiteral("Procedure and function headers"));
        psql(routineLines(r, emptyBody(r), true, m_model.dialect));
    }
    for (const SchemaPackage &p : m_model.packages) {
        if (afterViews)
            break;
        if (std::exchange(first, false))
            section(QStringLiteral("Procedure and function headers"));
        psql(RoutineDdl::packageLines(QStringLiteral("CREATE PACKAGE"), p.name, p.headerSource,
                                      m_model.dialect, p.sqlSecurity));
    }
}

namespace {

// A declared type must be declared again, or the server derives another
// from the expression. A scaled integer of sub-type 0 only the server
// derives: declaring it would make it a NUMERIC.
QString computedType(const SchemaColumn &c, int dialect)
{
    using namespace FieldTypeCode;
    const int code = c.type.type;
    const bool integer = code == SmallInt || code == Integer || code == Int64;
    if (integer && c.type.scale < 0 && c.type.subType == 0)
        return {};
    return QStringLiteral(" TYPE ") + SqlTypeText(c.type, dialect);
}

} // namespace

void SchemaScript::writeComputedColumns()
{
    bool first = true;
    for (const SchemaTable &t : m_model.tables) {
        if (t.kind == SchemaTable::Kind::View)
            continue;
        for (const SchemaColumn &c : t.columns) {
            if (c.computedSource.isEmpty())
                continue;
            if (std::exchange(first, false))
                section(QStringLiteral("Computed columns"));
            statement(QStringList{QStringLiteral("ALTER TABLE %1 ALTER %2%3 COMPUTED BY")
                                      .arg(name(t.name), name(c.name),
                                           computedType(c, m_model.dialect))}
                      + sourceLines(parenthesised(c.computedSource)));
        }
    }
}

namespace {

// Views in an order in which each follows every view it selects from; among
// those that may go next, by name, so two equal schemas give the same order.
QList<const SchemaTable *> viewOrder(const SchemaModel &model)
{
    QMap<QString, const SchemaTable *> pending;
    for (const SchemaTable &t : model.tables) {
        if (t.kind == SchemaTable::Kind::View)
            pending.insert(t.name, &t);
    }
    QList<const SchemaTable *> ordered;
    while (!pending.isEmpty()) {
        auto next = pending.begin();
        for (auto it = pending.begin(); it != pending.end(); ++it) {
            const QStringList uses = model.viewDependencies.values(it.key());
            const bool ready = std::none_of(uses.begin(), uses.end(), [&](const QString &u) {
                return u != it.key() && pending.contains(u);
            });
            if (ready) {
                next = it;
                break;
            }
        }
        ordered << next.value();
        pending.erase(next);
    }
    return ordered;
}

} // namespace

void SchemaScript::writeViews()
{
    const QList<const SchemaTable *> views = viewOrder(m_model);
    if (!views.isEmpty())
        section(QStringLiteral("Views"));
    for (const SchemaTable *v : views) {
        QStringList columns;
        for (const SchemaColumn &c : v->columns)
            columns << c.name;
        QStringList lines = StatementLines::split(
            ViewDdl::text(v->name, columns, v->viewSource, m_model.dialect));
        while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
            lines.removeLast();
        statement(lines);
    }
}

namespace {

QString nameList(const QStringList &names, int dialect)
{
    QStringList quoted;
    for (const QString &n : names)
        quoted << SqlLiteral::name(n, dialect);
    return quoted.join(QStringLiteral(", "));
}

QString keyText(const SchemaConstraint &c, int dialect)
{
    switch (c.kind) {
    case SchemaConstraint::Kind::PrimaryKey:
        return QStringLiteral("PRIMARY KEY (%1)").arg(nameList(c.columns, dialect));
    case SchemaConstraint::Kind::Unique:
        return QStringLiteral("UNIQUE (%1)").arg(nameList(c.columns, dialect));
    case SchemaConstraint::Kind::ForeignKey: {
        QString text = QStringLiteral("FOREIGN KEY (%1) REFERENCES %2 (%3)")
                           .arg(nameList(c.columns, dialect),
                                SqlLiteral::name(c.referencedTable, dialect),
                                nameList(c.referencedColumns, dialect));
        if (!c.updateRule.isEmpty() && c.updateRule != QLatin1String("RESTRICT"))
            text += QStringLiteral(" ON UPDATE ") + c.updateRule;
        if (!c.deleteRule.isEmpty() && c.deleteRule != QLatin1String("RESTRICT"))
            text += QStringLiteral(" ON DELETE ") + c.deleteRule;
        return text;
    }
    case SchemaConstraint::Kind::Check: return c.checkSource.trimmed();
    }
    return {};
}

QString constraintText(const SchemaConstraint &c, int dialect)
{
    QString text = QStringLiteral("ALTER TABLE %1 ADD ").arg(SqlLiteral::name(c.table, dialect));
    if (!c.name.isEmpty())
        text += QStringLiteral("CONSTRAINT %1 ").arg(SqlLiteral::name(c.name, dialect));
    text += keyText(c, dialect);
    if (!c.indexName.isEmpty() || c.descending)
        text += QStringLiteral(" USING %1INDEX %2")
                    .arg(c.descending ? QStringLiteral("DESC ") : QString(),
                         SqlLiteral::name(c.indexName.isEmpty() ? c.name : c.indexName, dialect));
    return text;
}

} // namespace

// Keys first, then the foreign keys that need them, then (after the views)
// the checks, which may select from any table or view.
void SchemaScript::writeConstraints(const QList<SchemaConstraint::Kind> &kinds,
                                    const QString &title)
{
    bool first = true;
    for (const SchemaConstraint &c : m_model.constraints) {
        if (!kinds.contains(c.kind))
            continue;
        if (std::exchange(first, false))
            section(title);
        statement(sourceLines(constraintText(c, m_model.dialect)));
    }
}

void SchemaScript::writeIndices()
{
    if (!m_model.indices.isEmpty())
        section(QStringLiteral("Indices"));
    for (const SchemaIndex &i : m_model.indices) {
        QString text = QStringLiteral("CREATE %1%2INDEX %3 ON %4 ")
                           .arg(i.unique ? QStringLiteral("UNIQUE ") : QString(),
                                i.descending ? QStringLiteral("DESCENDING ") : QString(),
                                name(i.name), name(i.table));
        text += i.expression.isEmpty()
                    ? QStringLiteral("(%1)").arg(nameList(i.columns, m_model.dialect))
                    : QStringLiteral("COMPUTED BY ") + parenthesised(i.expression);
        statement(sourceLines(text));
        if (i.inactive)
            statement({QStringLiteral("ALTER INDEX %1 INACTIVE").arg(name(i.name))});
    }
}

void SchemaScript::writeRoutineBodies()
{
    bool first = true;
    for (const SchemaRoutine &r : m_model.routines) {
        if (r.kind == Kind::External)
            continue;
        if (std::exchange(first, false))
            section(QStringLiteral("Procedure and function bodies"));
        psql(routineLines(r, r.source, false, m_model.dialect));
    }
    for (const SchemaPackage &p : m_model.packages) {
        if (p.bodySource.isEmpty())
            continue;
        if (std::exchange(first, false))
            section(QStringLiteral("Procedure and function bodies"));
        psql(RoutineDdl::packageLines(QStringLiteral("CREATE PACKAGE BODY"), p.name,
                                      p.bodySource, m_model.dialect));
    }
}

void SchemaScript::writeTriggers()
{
    if (!m_model.triggers.isEmpty())
        section(QStringLiteral("Triggers"));
    for (const SchemaTrigger &t : m_model.triggers) {
        QString header = QStringLiteral("CREATE TRIGGER ") + name(t.name);
        if (!t.relation.isEmpty())
            header += QStringLiteral(" FOR ") + name(t.relation);
        header += t.active ? QStringLiteral(" ACTIVE ") : QStringLiteral(" INACTIVE ");
        header += TriggerTypeText(t.type);
        header += QStringLiteral(" POSITION %1").arg(t.position);
        QStringList lines{withSecurity(header, t.sqlSecurity)};
        if (!startsWithAs(t.source))
            lines << QStringLiteral("AS");
        psql(lines + sourceLines(t.source));
    }
}

// What the replaying user grants unasked goes first: a grant in another's
// name needs the grantor's own right to grant, given before it.
void SchemaScript::writeGrants()
{
    if (!m_model.grants.isEmpty())
        section(QStringLiteral("Privileges"));
    QSet<QString> roles;
    for (const SchemaRole &role : m_model.roles)
        roles.insert(role.name);
    for (const bool inAnothersName : {false, true}) {
        for (const SchemaGrant &g : m_model.grants) {
            if ((g.grantor != m_model.user) == inAnothersName)
                statement({GrantText(g, m_model.dialect, m_model.user, roles)});
        }
    }
}

namespace {

struct Comment
{
    QString object; // "TABLE T", "COLUMN T.C", ...
    QString text;
};

QString dotted(const QString &owner, const QString &member, int dialect)
{
    return SqlLiteral::name(owner, dialect) + QLatin1Char('.') + SqlLiteral::name(member, dialect);
}

QString routineKind(const SchemaRoutine &r)
{
    switch (r.kind) {
    case Kind::Procedure: return QStringLiteral("PROCEDURE");
    case Kind::Function: return QStringLiteral("FUNCTION");
    case Kind::External: return QStringLiteral("EXTERNAL FUNCTION");
    }
    return {};
}

void tableComments(const SchemaModel &m, QList<Comment> &out)
{
    for (const SchemaTable &t : m.tables) {
        const QString kind = t.kind == SchemaTable::Kind::View ? QStringLiteral("VIEW ")
                                                               : QStringLiteral("TABLE ");
        out << Comment{kind + SqlLiteral::name(t.name, m.dialect), t.description};
        for (const SchemaColumn &c : t.columns)
            out << Comment{QStringLiteral("COLUMN ") + dotted(t.name, c.name, m.dialect),
                           c.description};
    }
}

void routineComments(const SchemaModel &m, QList<Comment> &out)
{
    for (const SchemaRoutine &r : m.routines) {
        out << Comment{routineKind(r) + QLatin1Char(' ') + SqlLiteral::name(r.name, m.dialect),
                       r.description};
        if (r.kind == Kind::External)
            continue;
        for (const SchemaParameter &p : r.inputs + r.outputs) {
            if (!p.name.isEmpty())
                out << Comment{routineKind(r) + QStringLiteral(" PARAMETER ")
                                   + dotted(r.name, p.name, m.dialect),
                               p.description};
        }
    }
}

template <typename List>
void namedComments(const List &objects, const QString &kind, int dialect, QList<Comment> &out)
{
    for (const auto &o : objects)
        out << Comment{kind + SqlLiteral::name(o.name, dialect), o.description};
}

QList<Comment> comments(const SchemaModel &m)
{
    QList<Comment> out{{QStringLiteral("DATABASE"), m.description}};
    namedComments(m.collations, QStringLiteral("COLLATION "), m.dialect, out);
    namedComments(m.generators, QStringLiteral("SEQUENCE "), m.dialect, out);
    namedComments(m.exceptions, QStringLiteral("EXCEPTION "), m.dialect, out);
    namedComments(m.roles, QStringLiteral("ROLE "), m.dialect, out);
    namedComments(m.domains, QStringLiteral("DOMAIN "), m.dialect, out);
    tableComments(m, out);
    namedComments(m.indices, QStringLiteral("INDEX "), m.dialect, out);
    routineComments(m, out);
    namedComments(m.packages, QStringLiteral("PACKAGE "), m.dialect, out);
    namedComments(m.triggers, QStringLiteral("TRIGGER "), m.dialect, out);
    return out;
}

} // namespace

void SchemaScript::writeComments()
{
    bool first = true;
    for (const Comment &c : comments(m_model)) {
        if (c.text.isEmpty())
            continue;
        if (std::exchange(first, false))
            section(QStringLiteral("Comments"));
        statement(StatementLines::splitText(
            QStringLiteral("COMMENT ON %1 IS %2").arg(c.object, string(c.text))));
    }
    endPsql();
}
