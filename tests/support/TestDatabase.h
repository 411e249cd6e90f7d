#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh database file of the given SQL dialect (1 unless asked otherwise)
// created with the embedded engine in a temporary folder, removed again when
// the object goes; or, on a server, created through the client under a
// unique name in the server's folder and dropped when the object goes.
class TestDatabase
{
public:
    // A server's folder as the client names it: "localhost/3051:/data".
    struct OnServer
    {
        QString folder;
    };

    explicit TestDatabase(const QString &fileName = QStringLiteral("test.fdb"), int dialect = 1);
    TestDatabase(const OnServer &server, int dialect);
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    // The Firebird 4 server's folder the test runner names
    // (QUORVEL_FB4_FOLDER); empty when it names none.
    static OnServer firebird4();

    QString path() const { return m_path; }
    QString folder() const { return m_dir.path(); }
    int dialect() const { return m_dialect; }

    // Runs statements on an attachment of its own, committing each one;
    // used to set up a schema. Fails the running test on a server error.
    void execute(const QString &statement) const;
    void execute(const QStringList &statements) const;
    // The same, compiled in another dialect than the database's (a dialect-1
    // database takes 64-bit literals only from a dialect-3 statement).
    void executeInDialect(int dialect, const QStringList &statements) const;

    // One value read through an independent attachment, as text
    // (empty for no row or NULL); how tests see what the program changed.
    // The query is compiled in the database's dialect unless another is given.
    QString scalar(const QString &query, int dialect = 0) const;
    // Every row of a one-column query, CHAR blanks removed.
    QStringList column(const QString &query, int dialect = 0) const;

private:
    void create();

    QTemporaryDir m_dir;
    QString m_path;
    int m_dialect;
    bool m_onServer = false;
};
