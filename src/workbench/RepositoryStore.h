#pragma once

#include <QSqlTableModel>

// The repository table: named statement texts in the file DVSRC.DB (SQLite)
// of the repository directory, reached through the connection "DEVSOURCES".
// "OBJECT NAME" is required, unique and at most 30 characters (longer names
// are cut); "OBJECT SOURCE" holds the text. Rows come in name order. Write
// failures carry the texts the user sees as the model's lastError().
class RepositoryStore : public QSqlTableModel
{
    Q_OBJECT

public:
    static QString fileName() { return QStringLiteral("DVSRC.DB"); }
    static QString table() { return QStringLiteral("DVSRC"); }
    static QString nameField() { return QStringLiteral("OBJECT NAME"); }
    static QString sourceField() { return QStringLiteral("OBJECT SOURCE"); }
    static constexpr int NameLength = 30;

    explicit RepositoryStore(QObject *parent = nullptr);

    // Opens the repository connection and sets the table up for reading in
    // name order. A missing DVSRC.DB is created with an empty table; a file
    // that is not an SQLite database holding the repository table is left as
    // it is and refused: DatabaseError "<path> is not a repository file".
    // Reading the rows is select()'s work.
    void attach();

    // Throws the same refusal for a file that is not a repository, reading
    // it only; "TEMPIB" is the connection.
    static void checkFile(const QString &path);

    // Creates DVSRC.DB with an empty repository table in the directory,
    // through a connection of its own ("TEMPIB"); throws DatabaseError.
    static void createTable(const QString &directory);

    bool setData(const QModelIndex &index, const QVariant &value,
                 int role = Qt::EditRole) override;

    // Reads every row: a half-read result would keep SQLite's shared lock on
    // the file for as long as the window shows it, and no other copy of the
    // program could store an entry meanwhile.
    bool select() override;

    // True when the last write failed for another reason than its name (a
    // lock held by another program, a full disk): the entry is worth keeping.
    bool lastFailureKeepsEntry() const { return m_keepEntry; }

protected:
    bool insertRowIntoTable(const QSqlRecord &values) override;
    bool updateRowInTable(int row, const QSqlRecord &values) override;

private:
    bool checkName(QSqlRecord &values, bool required);
    void explainFailure(const QSqlRecord &values);

    bool m_keepEntry = false;
};
