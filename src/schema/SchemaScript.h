#pragma once

#include "schema/SchemaModel.h"

#include <QString>
#include <QStringList>

// The metadata script of a model: statements that re-create the database on
// an empty one of the same dialect, in an order the server accepts there.
// Procedures, functions and packages first go in with their headers and an
// empty body, so that everything that calls them can be created, and get
// their real bodies once all of it exists (a header typed by a view's column
// waits for the views); computed columns keep their place with a placeholder
// expression until what they use exists; keys and indices come after every
// table, views after them (a PLAN names indices) and after the views they
// select from, checks after the views; triggers after tables and routines;
// grants and comments last.
class SchemaScript
{
public:
    // The source's name goes into the first line, which is all that names it.
    explicit SchemaScript(const SchemaModel &model, QString sourceName = {});

    // Every line ends with a line feed.
    QString text() const;
    QStringList lines() const;

private:
    void writeHeader();
    void writeCollations();
    void writeGenerators();
    void writeExceptions();
    void writeRoles();
    void writeExternalFunctions();
    void writeDomains();
    void writeTables();
    void writePublication();
    void writeRoutineHeaders(bool afterViews);
    void writeComputedColumns();
    void writeViews();
    void writeConstraints(const QList<SchemaConstraint::Kind> &kinds, const QString &title);
    void writeIndices();
    void writeRoutineBodies();
    void writeTriggers();
    void writeGrants();
    void writeComments();

    QString name(const QString &stored) const;
    QString string(const QString &text) const;
    void statement(QStringList lines);
    void psql(QStringList lines);
    void section(const QString &title);
    void endPsql();

    const SchemaModel &m_model;
    QString m_sourceName;
    QStringList m_lines;
    bool m_inPsql = false;
};
