#pragma once

#include <QObject>
#include <QPointer>
#include <QSqlRecord>
#include <QString>
#include <QTableView>
#include <QVariant>

#include <functional>

#include "controls/TDBNavigator.h"

class QModelIndex;
class QPlainTextEdit;
class QSqlTableModel;

// Binds a record navigator, a grid and optionally memos to an editable
// table model as one form over the table's rows: the grid's current row is
// the table's cursor; typing puts that row into edit mode; the row is
// written when the user leaves it or presses Post, so that the changes made
// to one row reach the server together; a failed write leaves the row in
// edit mode, the user's values kept, with its error thrown as a
// DatabaseError carrying the database's text. Every command throws; the
// navigator's buttons and the grid's keys run them through Command.
//
// The model is switched to manual submission: this class decides when rows
// are written. Keys of the grid: Insert inserts, Ctrl+Delete deletes, Esc
// cancels the pending change.
class TableNavigator : public QObject
{
    Q_OBJECT

public:
    enum class State { Inactive, Browse, Edit, Insert };

    // The navigator may be left out (nullptr) where a form has none.
    TableNavigator(TDBNavigator *navigator, QTableView *view, QObject *parent = nullptr);

    // Puts the model under the grid; the table name and sort order must be
    // set on it before open().
    void setModel(QSqlTableModel *model);
    QSqlTableModel *model() const { return m_model; }
    TDBNavigator *navigator() const { return m_navigator; }
    QTableView *view() const { return m_view; }

    // A read-only table refuses insert, delete and edit with the reason as
    // the message (e.g. "Cannot modify a read-only dataset"); empty makes it
    // editable again.
    void setReadOnly(const QString &reason);
    bool isReadOnly() const { return !m_readOnlyReason.isEmpty(); }
    // Deleting asks "Delete record?" first (on by default).
    void setConfirmDelete(bool confirm) { m_confirmDelete = confirm; }

    // Shows the memo's text as the field of the current row; typing in a
    // memo that was not made read-only puts the row into edit mode. Line
    // ends are stored as CR LF, as every text outside an editor ends its
    // lines (see StatementText), so a text reads the same from the table,
    // a file or the server.
    void bindMemo(QPlainTextEdit *memo, const QString &field);

    // Reads the table from its first row (throws DatabaseError); close()
    // drops pending changes and empties the grid.
    void open();
    void close();
    bool isOpen() const { return m_open; }

    State state() const { return m_state; }
    int currentRow() const;
    // Moves the cursor without writing the row being left.
    void setCurrentRow(int row);
    QVariant value(const QString &field) const;
    // Sets a field of the current row, which goes into edit mode (or insert
    // mode when the table is empty).
    void setValue(const QString &field, const QVariant &value);

    void first();
    void prior();
    void next();
    void last();
    void insert();
    void remove();
    void edit();
    void post();
    void cancel();
    // Re-reads the rows; a pending row is posted first. When the model
    // refuses it with staleRowCode() as its error's native code (another user
    // changed the row since it was read), the edit is dropped instead, so the
    // grid shows what is stored.
    void refresh();
    static QString staleRowCode();
    // The command behind one of the navigator's buttons.
    void run(TDBNavigator::Button button);

signals:
    // The cursor moved to another row, or the rows were read anew.
    void currentRowChanged(int row);
    void stateChanged(TableNavigator::State state);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void requireOpen() const;
    void requireEditable() const;
    void setState(State state);
    bool quietly(const std::function<bool()> &change);
    void revertQuietly();
    void leaveRow();
    void commitEditor();
    void updateMemoAccess();
    void userMovedRow(const QModelIndex &current, const QModelIndex &previous);
    void modelDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    bool ensureRowFetched(int row);
    QSqlRecord keyOf(int row) const;
    bool holdsKey(int row, const QSqlRecord &key) const;
    int findRow(const QSqlRecord &key);
    bool stillStored(const QSqlRecord &key) const;
    void relocate(const QSqlRecord &key, int fallbackRow);
    void updateButtons();
    void loadMemos();
    void memoEdited(QPlainTextEdit *memo, const QString &field);
    int column(const QString &field) const;

    struct MemoField
    {
        QPointer<QPlainTextEdit> memo;
        QString field;
        bool readOnly = false; // as the form made it
    };

    QPointer<TDBNavigator> m_navigator;
    QPointer<QTableView> m_view;
    QSqlTableModel *m_model = nullptr;
    QList<MemoField> m_memos;
    QString m_readOnlyReason;
    State m_state = State::Inactive;
    int m_editRow = -1;
    bool m_open = false;
    bool m_confirmDelete = true;
    bool m_moving = false;
    bool m_loadingMemos = false;
    bool m_writingMemo = false;
};
