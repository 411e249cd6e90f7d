#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh dialect-1 database file created with the embedded engine in a
// temporary folder, removed again when the object goes.
class TestDatabase
{
public:
    explicit TestDatabase(const QString &fileName = QStringLiteral("test.fdb"));
    ~TestDatabase();

    QString path() const { return m_path; }
    QString folder() const { return m_dir.path(); }

    // Runs statements on an attachment of its own, committing each one;
    // used to set up a schema. Fails the running test on a server error.
    void execute(const QString &statement) const;
    void execute(const QStringList &statements) const;

    // One value read through an independent attachment, as text
    // (empty for no row or NULL); how tests see what the program changed.
    QString scalar(const QString &query) const;
    // Every row of a one-column query, CHAR blanks removed.
    QStringList column(const QString &query) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};
