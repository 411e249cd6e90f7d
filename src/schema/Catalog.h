#pragma once

#include <QSqlDatabase>
#include <QString>

#include <memory>

class CatalogRow;
class IbSnapshot;

// The catalogue of the database being read, asked one query at a time. While
// a reading is kept to one relation, every query that names :RELATION is
// asked about that relation only; one kept to a procedure binds :PROCEDURE
// the same way. Between beginReading() and endReading()
// every query sees the catalogue as it was at the beginning, whatever other
// users commit meanwhile.
class Catalog
{
public:
    // Leaves out the server's own rows of the one catalogue table a query reads.
    static constexpr const char *userObjects = "COALESCE(RDB$SYSTEM_FLAG, 0) = 0";

    // RDB$n and the like: a name the server gave.
    static bool isServerName(const QString &name);

    explicit Catalog(QSqlDatabase database);

    // Throws DatabaseError with the server's text when the server refuses.
    void beginReading();
    void endReading() { m_snapshot.reset(); }

    // Empty: the whole catalogue.
    void keepTo(const QString &relation) { m_relation = relation; }
    bool keptToRelation() const { return !m_relation.isEmpty(); }
    void keepToProcedure(const QString &procedure) { m_procedure = procedure; }
    bool keptToProcedure() const { return !m_procedure.isEmpty(); }

    // The condition that keeps a query to the one relation being read; empty
    // while the whole catalogue is.
    QString within(const QString &condition) const;
    // Likewise for the one procedure being read.
    QString withinProcedure(const QString &condition) const;
    // Throws DatabaseError with the server's text when the query is refused.
    CatalogRow run(const QString &text) const;

private:
    QSqlDatabase m_database;
    QString m_relation;
    QString m_procedure;
    std::shared_ptr<IbSnapshot> m_snapshot;
};
