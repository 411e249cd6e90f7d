#include "uikit/TableNavigator.h"

#include "core/AppError.h"
#include "core/BusyCursor.h"
#include "ibdb/SqlErrorText.h"
#include "uikit/Command.h"
#include "uikit/Prompts.h"
#include "uikit/StatementText.h"

#include <QAbstractItemDelegate>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QTableView>

namespace {

const QString kClosed = QStringLiteral("Cannot perform this operation on a closed dataset");

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a == b || a.toString() == b.toString();
}

} // namespace

TableNavigator::TableNavigator(TDBNavigator *navigator, QTableView *view, QObject *parent)
    : QObject(parent), m_navigator(navigator), m_view(view)
{
    if (m_navigator) {
        connect(m_navigator, &TDBNavigator::buttonClicked, this,
                [this](TDBNavigator::Button button) { Command::run([&] { run(button); }); });
    }
    m_view->installEventFilter(this);
    updateButtons();
}

void TableNavigator::setModel(QSqlTableModel *model)
{
    m_model = model;
    m_model->setEditStrategy(QSqlTableModel::OnManualSubmit);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &TableNavigator::modelDataChanged);
    m_view->setModel(m_model);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TableNavigator::userMovedRow);
    setReadOnly(m_readOnlyReason);
}

void TableNavigator::setReadOnly(const QString &reason)
{
    m_readOnlyReason = reason;
    m_view->setEditTriggers(isReadOnly() ? QAbstractItemView::NoEditTriggers
                                         : QAbstractItemView::DoubleClicked
                                               | QAbstractItemView::SelectedClicked
                                               | QAbstractItemView::EditKeyPressed
                                               | QAbstractItemView::AnyKeyPressed);
    updateMemoAccess();
}

// A memo takes typing only where there is a row to type into.
void TableNavigator::updateMemoAccess()
{
    const bool writable = m_open && !isReadOnly();
    for (const MemoField &binding : std::as_const(m_memos)) {
        if (binding.memo)
            binding.memo->setReadOnly(!writable || binding.readOnly);
    }
}

void TableNavigator::bindMemo(QPlainTextEdit *memo, const QString &field)
{
    m_memos.append({memo, field, memo->isReadOnly()});
    connect(memo, &QPlainTextEdit::textChanged, this, [this, memo, field] {
        if (!m_loadingMemos && !memo->isReadOnly())
            Command::run([&] { memoEdited(memo, field); });
    });
    updateMemoAccess();
    loadMemos();
}

void TableNavigator::open()
{
    BusyCursor busy;
    m_open = false;
    setState(State::Inactive);
    if (!m_model || !quietly([this] { return m_model->select(); })) {
        const QString message = m_model ? SqlErrorText(m_model->lastError()) : kClosed;
        setCurrentRow(-1);
        throw DatabaseError(message);
    }
    m_open = true;
    updateMemoAccess();
    setState(State::Browse);
    setCurrentRow(0);
}

void TableNavigator::close()
{
    if (m_model) {
        quietly([this] {
            m_model->revertAll();
            m_model->clear();
            return true;
        });
    }
    m_open = false;
    updateMemoAccess();
    setState(State::Inactive);
    setCurrentRow(-1);
}

int TableNavigator::currentRow() const
{
    if (!m_open || !m_model || m_model->rowCount() == 0)
        return -1;
    return m_view->currentIndex().row();
}

void TableNavigator::setCurrentRow(int row)
{
    if (m_model) {
        if (row >= 0)
            ensureRowFetched(row);
        const int last = m_model->rowCount() - 1;
        row = std::min(row, last);
        const QModelIndex current = m_view->currentIndex();
        int column = current.isValid() ? current.column() : 0;
        while (column < m_model->columnCount() - 1 && m_view->isColumnHidden(column))
            ++column;
        m_moving = true;
        m_view->setCurrentIndex(row >= 0 ? m_model->index(row, column) : QModelIndex());
        m_moving = false;
    }
    updateButtons();
    loadMemos();
    emit currentRowChanged(currentRow());
}

QVariant TableNavigator::value(const QString &field) const
{
    requireOpen();
    const int row = currentRow();
    if (row < 0)
        return {};
    return m_model->data(m_model->index(row, column(field)), Qt::EditRole);
}

void TableNavigator::setValue(const QString &field, const QVariant &value)
{
    requireOpen();
    requireEditable();
    if (currentRow() < 0)
        insert();
    const int row = currentRow();
    if (m_state == State::Browse) {
        m_editRow = row;
        setState(State::Edit);
    }
    if (!m_model->setData(m_model->index(row, column(field)), value, Qt::EditRole))
        throw DatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(field));
}

void TableNavigator::first()
{
    requireOpen();
    leaveRow();
    setCurrentRow(0);
}

void TableNavigator::prior()
{
    requireOpen();
    leaveRow();
    setCurrentRow(std::max(currentRow() - 1, 0));
}

void TableNavigator::next()
{
    requireOpen();
    leaveRow();
    const int row = currentRow();
    if (ensureRowFetched(row + 1))
        setCurrentRow(row + 1);
}

void TableNavigator::last()
{
    requireOpen();
    leaveRow();
    BusyCursor busy;
    while (m_model->canFetchMore())
        m_model->fetchMore();
    setCurrentRow(m_model->rowCount() - 1);
}

void TableNavigator::insert()
{
    requireOpen();
    requireEditable();
    leaveRow();
    const int row = std::max(currentRow(), 0);
    if (!quietly([this, row] { return m_model->insertRow(row); }))
        throw DatabaseError(SqlErrorText(m_model->lastError()));
    m_editRow = row;
    setState(State::Insert);
    setCurrentRow(row);
}

void TableNavigator::remove()
{
    requireOpen();
    requireEditable();
    const int row = currentRow();
    if (row < 0)
        throw DatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (m_confirmDelete
        && Prompts::instance().confirm(QStringLiteral("Delete record?"),
                                       Prompts::Buttons::OkCancel)
               != Prompts::Answer::Ok) {
        return;
    }
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    BusyCursor busy;
    setState(State::Browse);
    const bool removed = quietly([this, row] {
        m_model->revertAll();
        return m_model->removeRow(row) && m_model->submitAll();
    });
    if (!removed) {
        const QString message = SqlErrorText(m_model->lastError());
        revertQuietly();
        setCurrentRow(row);
        throw DatabaseError(message);
    }
    setCurrentRow(row);
}

void TableNavigator::edit()
{
    requireOpen();
    requireEditable();
    if (m_state != State::Browse)
        return;
    if (currentRow() < 0) {
        insert();
        return;
    }
    m_editRow = currentRow();
    setState(State::Edit);
}

void TableNavigator::post()
{
    requireOpen();
    commitEditor();
    if (m_state == State::Browse)
        return;
    BusyCursor busy;
    const int row = m_editRow;
    const QSqlRecord key = keyOf(row);
    if (m_model->isDirty() && !quietly([this] { return m_model->submitAll(); }))
        throw DatabaseError(SqlErrorText(m_model->lastError()));
    setState(State::Browse);
    relocate(key, row);
}

void TableNavigator::cancel()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    const int row = currentRow();
    setState(State::Browse);
    revertQuietly();
    setCurrentRow(row);
}

QString TableNavigator::staleRowCode()
{
    return QStringLiteral("stale row");
}

void TableNavigator::refresh()
{
    requireOpen();
    try {
        leaveRow();
    } catch (const DatabaseError &) {
        if (m_model->lastError().nativeErrorCode() != staleRowCode())
            throw;
        // The row changed under the user's edit; what is stored now is what
        // Refresh is asked for, so the refused edit is given up.
        setState(State::Browse);
        revertQuietly();
    }
    BusyCursor busy;
    const int row = currentRow();
    const QSqlRecord key = keyOf(row);
    if (!quietly([this] { return m_model->select(); }))
        throw DatabaseError(SqlErrorText(m_model->lastError()));
    relocate(key, row);
}

void TableNavigator::run(TDBNavigator::Button button)
{
    using B = TDBNavigator::Button;
    switch (button) {
    case B::First: first(); break;
    case B::Prior: prior(); break;
    case B::Next: next(); break;
    case B::Last: last(); break;
    case B::Insert: insert(); break;
    case B::Delete: remove(); break;
    case B::Edit: edit(); break;
    case B::Post: post(); break;
    case B::Cancel: cancel(); break;
    case B::Refresh: refresh(); break;
    }
}

bool TableNavigator::eventFilter(QObject *watched, QEvent *event)
{
    // Keys typed into a cell editor go to the editor, not to the grid. The
    // type comes first: while the grid is being destroyed it is no
    // QTableView any more, and the guarded pointer must not be read.
    if (event->type() != QEvent::KeyPress || watched != m_view)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    using B = TDBNavigator::Button;
    std::optional<B> command;
    if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier)
        command = B::Insert;
    else if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier)
        command = B::Delete;
    else if (key->key() == Qt::Key_Escape && m_state != State::Browse)
        command = B::Cancel;
    if (!command)
        return QObject::eventFilter(watched, event);
    Command::run([&] { run(*command); });
    return true;
}

// Changes of the model made here move the grid's cursor by themselves;
// those moves are not the user's and write nothing.
bool TableNavigator::quietly(const std::function<bool()> &change)
{
    const QScopedValueRollback moving(m_moving, true);
    return change();
}

void TableNavigator::revertQuietly()
{
    quietly([this] {
        m_model->revertAll();
        return true;
    });
}

void TableNavigator::requireOpen() const
{
    if (!m_open || !m_model)
        throw DatabaseError(kClosed);
}

void TableNavigator::requireEditable() const
{
    if (isReadOnly())
        throw DatabaseError(m_readOnlyReason);
}

void TableNavigator::setState(State state)
{
    if (state == State::Browse || state == State::Inactive)
        m_editRow = -1;
    const bool changed = state != m_state;
    m_state = state;
    updateButtons();
    if (changed)
        emit stateChanged(state);
}

void TableNavigator::leaveRow()
{
    commitEditor();
    if (m_state == State::Edit || m_state == State::Insert)
        post();
}

// A value still in the grid's editor belongs to the row it was typed in.
void TableNavigator::commitEditor()
{
    const QModelIndex index = m_view->currentIndex();
    QWidget *editor = index.isValid() ? m_view->indexWidget(index) : nullptr;
    if (!editor)
        return;
    QAbstractItemDelegate *delegate = m_view->itemDelegateForIndex(index);
    emit delegate->commitData(editor);
    emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

// The user moved the grid's cursor: the row left behind is written first;
// when that fails the cursor goes back to it, still in edit mode.
void TableNavigator::userMovedRow(const QModelIndex &current, const QModelIndex &previous)
{
    if (m_moving)
        return;
    const bool leaving = m_state != State::Browse && m_state != State::Inactive
                         && previous.isValid() && previous.row() == m_editRow
                         && current.row() != m_editRow;
    if (!leaving) {
        updateButtons();
        loadMemos();
        emit currentRowChanged(currentRow());
        return;
    }
    const int editRow = m_editRow;
    const QSqlRecord target = keyOf(current.row());
    bool posted = false;
    Command::run([&] {
        post();
        posted = true;
    });
    if (posted)
        relocate(target, current.row());
    else
        setCurrentRow(editRow);
}

void TableNavigator::modelDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    if (m_state == State::Browse && m_model->isDirty()) {
        m_editRow = topLeft.row();
        setState(State::Edit);
    }
    const int row = currentRow();
    if (!m_writingMemo && row >= topLeft.row() && row <= bottomRight.row())
        loadMemos();
}

bool TableNavigator::ensureRowFetched(int row)
{
    while (row >= m_model->rowCount() && m_model->canFetchMore())
        m_model->fetchMore();
    return row < m_model->rowCount();
}

// What identifies a row again after the table is read anew: its primary
// key, or all its values where the table has none.
QSqlRecord TableNavigator::keyOf(int row) const
{
    if (!m_model || row < 0 || row >= m_model->rowCount())
        return {};
    const QSqlRecord values = m_model->record(row);
    const QSqlIndex primary = m_model->primaryKey();
    if (primary.isEmpty())
        return values;
    QSqlRecord key;
    for (int i = 0; i < primary.count(); ++i) {
        key.append(primary.field(i));
        key.setValue(i, values.value(primary.fieldName(i)));
    }
    return key;
}

bool TableNavigator::holdsKey(int row, const QSqlRecord &key) const
{
    const QSqlRecord values = m_model->record(row);
    for (int i = 0; i < key.count(); ++i) {
        if (!sameValue(values.value(key.fieldName(i)), key.value(i)))
            return false;
    }
    return true;
}

// The rows read so far are looked through first; further rows are read only
// while the server still has the one sought, so a row another user deleted
// does not pull in the whole table to learn that it is gone.
int TableNavigator::findRow(const QSqlRecord &key)
{
    if (key.isEmpty())
        return -1;
    int row = 0;
    for (; row < m_model->rowCount(); ++row) {
        if (holdsKey(row, key))
            return row;
    }
    if (!m_model->canFetchMore() || !stillStored(key))
        return -1;
    for (; ensureRowFetched(row); ++row) {
        if (holdsKey(row, key))
            return row;
    }
    return -1;
}

// Only a primary key is asked about: a key of all the row's values may hold
// what a statement cannot compare (a blob, a time read coarser than stored),
// and such a row is sought among the rows read only. A server that cannot
// answer leaves the row to be sought as before.
bool TableNavigator::stillStored(const QSqlRecord &key) const
{
    if (m_model->primaryKey().isEmpty())
        return false;
    const QSqlDatabase database = m_model->database();
    const QSqlDriver *driver = database.driver();
    const QString table = m_model->tableName();
    QString text = QStringLiteral("SELECT 1 FROM %1 %2")
                       .arg(driver->escapeIdentifier(table, QSqlDriver::TableName),
                            driver->sqlStatement(QSqlDriver::WhereStatement, table, key, true));
    if (!m_model->filter().isEmpty())
        text += QStringLiteral(" AND (%1)").arg(m_model->filter());
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.prepare(text))
        return true;
    for (int i = 0; i < key.count(); ++i) {
        if (!key.isNull(i))
            query.addBindValue(key.value(i));
    }
    if (!query.exec())
        return true;
    return query.next() || query.lastError().isValid();
}

void TableNavigator::relocate(const QSqlRecord &key, int fallbackRow)
{
    const int found = findRow(key);
    setCurrentRow(found >= 0 ? found : std::max(fallbackRow, 0));
}

void TableNavigator::updateButtons()
{
    if (!m_navigator)
        return;
    using B = TDBNavigator::Button;
    const int row = currentRow();
    const int count = m_open ? m_model->rowCount() : 0;
    const bool editing = m_state == State::Edit || m_state == State::Insert;
    const bool atFirst = row <= 0;
    const bool atLast = row >= count - 1 && !(m_open && m_model->canFetchMore());
    m_navigator->setButtonEnabled(B::First, m_open && !atFirst);
    m_navigator->setButtonEnabled(B::Prior, m_open && !atFirst);
    m_navigator->setButtonEnabled(B::Next, m_open && !atLast);
    m_navigator->setButtonEnabled(B::Last, m_open && !atLast);
    m_navigator->setButtonEnabled(B::Insert, m_open);
    m_navigator->setButtonEnabled(B::Delete, m_open && count > 0);
    m_navigator->setButtonEnabled(B::Edit, m_open && !editing);
    m_navigator->setButtonEnabled(B::Post, editing);
    m_navigator->setButtonEnabled(B::Cancel, editing);
    m_navigator->setButtonEnabled(B::Refresh, m_open);
}

void TableNavigator::loadMemos()
{
    // column() throws for a field the table lacks; typing must still reach
    // the row afterwards.
    const QScopedValueRollback loading(m_loadingMemos, true);
    for (const MemoField &binding : std::as_const(m_memos)) {
        if (!binding.memo)
            continue;
        const int row = currentRow();
        const QVariant text = row < 0 ? QVariant()
                                      : m_model->data(m_model->index(row, column(binding.field)),
                                                      Qt::EditRole);
        binding.memo->setPlainText(StatementText::toEditor(text.toString()));
    }
}

void TableNavigator::memoEdited(QPlainTextEdit *memo, const QString &field)
{
    const QScopedValueRollback writing(m_writingMemo, true);
    setValue(field, StatementText::fromEditor(memo->toPlainText()));
}

int TableNavigator::column(const QString &field) const
{
    const int index = m_model->fieldIndex(field);
    if (index < 0)
        throw DatabaseError(QStringLiteral("Field '%1' not found").arg(field));
    return index;
}
