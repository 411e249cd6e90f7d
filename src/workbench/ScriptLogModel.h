#pragma once

#include "schema/ScriptLogRow.h"

#include <QAbstractTableModel>
#include <QList>
#include <QTemporaryFile>

// The log of a script run, one row per command: where it was, its first
// line, the rows it changed, how long it took and how it failed. A file of
// a million INSERTs makes a million rows, so every row goes as a line of
// text into a temporary file, which saving copies, and only the latest rows
// stay in memory for the grid.
class ScriptLogModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { LineColumn, StatementColumn, RowsColumn, MsColumn, ErrorColumn, NoteColumn };

    explicit ScriptLogModel(QObject *parent = nullptr);

    static int shownRows() { return 10000; }
    // The row as the log keeps it: the command's first line, cut short, in
    // place of its whole text, which may be a 10 MB INSERT.
    static ScriptLogRow compact(const ScriptLogRow &row);

    void clear();
    // Rows are taken a batch at a time: the grid lays itself out once a batch.
    void append(const QList<ScriptLogRow> &rows);
    // Every row of the run, shown or not, as the saved text: a heading line,
    // then one line a row, its columns separated by tabs, lines ending CR LF.
    QByteArray text() const;
    // Throws GeneralError when the file cannot be written; an old file of
    // that name stays as it was.
    void save(const QString &fileName) const;
    // Rows of the run no longer in the grid, the oldest ones.
    qint64 droppedRows() const { return m_dropped; }
    // The plans and reads of the statement in a row of the grid, when the
    // run kept them.
    std::shared_ptr<const StatementProfile> profileAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // What the grid keeps of a row: the command's text only as its first line.
    struct Entry
    {
        QString where;
        QString statement;
        int rows;
        qint64 milliseconds;
        QString error;
        QString note;
        std::shared_ptr<const StatementProfile> profile;
    };
    static Entry entryOf(const ScriptLogRow &row);
    static QByteArray lineOf(const Entry &entry);
    QString cell(const Entry &entry, int column) const;
    void dropOldest(int count);
    void openStore();

    QList<Entry> m_entries;
    qint64 m_dropped = 0;
    mutable QTemporaryFile m_store;
};
