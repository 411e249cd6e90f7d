#include "workbench/TOutputForm.h"

#include "controls/FixedPitchFont.h"
#include "controls/GridValueDelegate.h"
#include "core/AppError.h"
#include "core/BusyCursor.h"
#include "ibdb/IbResult.h"
#include "ibdb/ServerCall.h"
#include "ibdb/SqlErrorText.h"
#include "ibdb/TDMSys.h"
#include "uikit/StatementText.h"
#include "workbench/GridExport.h"
#include "workbench/ResultSetModel.h"
#include "ibdb/IbDriver.h"
#include "uikit/Command.h"
#include "uikit/GridCopy.h"
#include "uikit/Prompts.h"
#include "workbench/StatementStatsPane.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QSqlField>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSplitter>
#include <QSqlDriver>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kConnection = TDMSys::ibName();

// Frees a child window at once, with the frame's window around it.
void freeForm(TChildForm *form)
{
    QWidget *frame = form->parentWidget();
    if (qobject_cast<QMdiSubWindow *>(frame))
        delete frame;
    else
        delete form;
}

} // namespace

TOutputForm::TOutputForm(QWidget *parent)
    : TChildForm(parent),
      OutSQL(new ResultSetModel(this)),
      GridResult(new QTableView(this)),
      StmStrings(new QPlainTextEdit(this)),
      RowCount(new QLabel(this)),
      Stats(new StatementStatsPane(this))
{
    setWindowTitle(QStringLiteral("SQL Output"));
    resize(363, 258);

    GridResult->setModel(OutSQL);
    GridResult->setItemDelegate(new GridValueDelegate(GridResult));
    GridResult->setAccessibleName(QStringLiteral("Result set"));
    StmStrings->setAccessibleName(QStringLiteral("Statement"));
    RowCount->setAccessibleName(QStringLiteral("Row count"));
    RowCount->setContentsMargins(4, 2, 4, 2);
    // The grid fetches as it scrolls, so the count grows with it.
    connect(OutSQL, &QAbstractItemModel::rowsInserted, this, &TOutputForm::showRowCount);
    connect(OutSQL, &QAbstractItemModel::modelReset, this, &TOutputForm::showRowCount);
    // A fetch that finds the end exactly at a block's boundary adds no row
    // and says nothing; the grid asks for it when scrolled to the bottom.
    connect(GridResult->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TOutputForm::showRowCount, Qt::QueuedConnection);
    GridResult->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *rows = static_cast<ResultSetModel *>(OutSQL);
    connect(rows, &ResultSetModel::batchStarting, this, [this] {
        if (m_attachment)
            m_profile.beginCall(m_attachment);
    });
    connect(rows, &ResultSetModel::batchFetched, this, [this] {
        if (m_attachment) {
            m_profile.endCall(m_attachment);
            showStats();
        }
    });

    StmStrings->setReadOnly(true);
    StmStrings->setFont(FixedPitchFont());
    StmStrings->setLineWrapMode(QPlainTextEdit::NoWrap);
    StmStrings->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    StmStrings->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    StmStrings->setBackgroundRole(QPalette::Window);
    StmStrings->viewport()->setBackgroundRole(QPalette::Window);
    StmStrings->setFixedHeight(110);

    addGridCommands();

    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(GridResult);
    split->addWidget(Stats);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setChildrenCollapsible(false);
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(split, 1);
    layout->addWidget(RowCount);
    layout->addWidget(StmStrings);
}

QString TOutputForm::rowCountText(int rows, bool all)
{
    if (all && rows == 0)
        return QStringLiteral("No rows");
    const QString counted = rows == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(rows);
    return all ? QStringLiteral("All %1 fetched").arg(counted)
               : QStringLiteral("%1 fetched, more to come").arg(counted);
}

void TOutputForm::showRowCount()
{
    if (OutSQL->columnCount() == 0)
        RowCount->clear();
    else
        RowCount->setText(rowCountText(OutSQL->rowCount(), !OutSQL->canFetchMore()));
}

TOutputForm *TOutputForm::open()
{
    return openInFrame<TOutputForm>();
}

void TOutputForm::OpenQuery(const QString &text)
{
    m_sortColumn = -1;
    GridResult->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    runText(text);
    m_text = text;
    m_names.clear();
    const QSqlRecord columns = OutSQL->record();
    QStringList tables;
    for (int i = 0; i < columns.count(); ++i) {
        m_names << columns.fieldName(i);
        tables << columns.field(i).tableName();
    }
    tables.removeDuplicates();
    m_insertTable = tables.size() == 1 ? tables.constFirst() : QString();
    StmStrings->setPlainText(StatementText::toEditor(text));
    showStats();
}

void TOutputForm::runText(const QString &text)
{
    BusyCursor busy;
    OutSQL->clear();
    QSqlDatabase db = QSqlDatabase::database(kConnection);
    if (!db.isOpen())
        throw DatabaseError(SqlErrorText(db.lastError()));
    // Qt refuses an empty text without any error text of its own.
    if (text.isEmpty())
        throw DatabaseError(QStringLiteral("Attempt to execute empty statement"));
    QSqlQuery query(db);
    // The grid shows what the database holds, not a rounded copy of it.
    query.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!query.prepare(text))
        throw DatabaseError(SqlErrorText(query.lastError()));
    // Anything but a query is refused before it runs: an update, with or
    // without RETURNING, or a procedure run here would be committed outside
    // the tool's transaction.
    if (!query.isSelect())
        throw DatabaseError(QStringLiteral("Error creating cursor handle"));
    runProfiled(query);
    OutSQL->setQuery(std::move(query));
    if (OutSQL->lastError().isValid())
        throw DatabaseError(SqlErrorText(OutSQL->lastError()));
    m_shownText = text;
}

// The user's text as a derived table whose columns get names of their own,
// so that a result with two columns of one name sorts too; the titles stay
// the result's. A line break ends a trailing comment of the text.
QString TOutputForm::sortedText(int column, Qt::SortOrder order) const
{
    QString text = m_text.trimmed();
    while (text.endsWith(QLatin1Char(';')))
        text = text.chopped(1).trimmed();
    QStringList names;
    for (int i = 1; i <= m_names.size(); ++i)
        names << QStringLiteral("C%1").arg(i);
    return QStringLiteral("SELECT * FROM (\n%1\n) SORTED_ROWS (%2) ORDER BY %3 %4")
        .arg(text, names.join(QStringLiteral(", ")))
        .arg(column + 1)
        .arg(order == Qt::AscendingOrder ? QStringLiteral("ASC") : QStringLiteral("DESC"));
}

void TOutputForm::sortBy(int column, Qt::SortOrder order)
{
    if (m_text.isEmpty() || column < 0 || column >= m_names.size())
        return;
    const QString before = m_shownText;
    try {
        runText(sortedText(column, order));
    } catch (...) {
        // The rows the user had stay on screen.
        runText(before);
        showTitles();
        throw;
    }
    showTitles();
    m_sortColumn = column;
    m_sortOrder = order;
    showStats();
}

void TOutputForm::showTitles()
{
    for (int i = 0; i < m_names.size(); ++i)
        OutSQL->setHeaderData(i, Qt::Horizontal, m_names.at(i));
}

void TOutputForm::titleClicked(int column)
{
    const Qt::SortOrder order = column == m_sortColumn && m_sortOrder == Qt::AscendingOrder
                                    ? Qt::DescendingOrder
                                    : Qt::AscendingOrder;
    Command::run([&] { sortBy(column, order); });
    GridResult->horizontalHeader()->setSortIndicator(m_sortColumn, m_sortOrder);
}

void TOutputForm::addGridCommands()
{
    GridCopy::install(GridResult);
    GridCopy::addAction(GridResult, QStringLiteral("Copy as &INSERT"), [this] { copyAsInsert(); },
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    GridCopy::addAction(GridResult, QStringLiteral("&Export Rows..."), [this] { exportRows(); },
                        {});
    GridCopy::addAction(GridResult, QStringLiteral("&Refresh"), [this] { refreshRows(); },
                        QKeySequence::Refresh);
    QHeaderView *titles = GridResult->horizontalHeader();
    titles->setSortIndicatorShown(true);
    titles->setSortIndicator(-1, Qt::AscendingOrder);
    connect(titles, &QHeaderView::sectionClicked, this, &TOutputForm::titleClicked);
}

// The rows of one table go into it; rows joined from several go where the
// user says.
QString TOutputForm::insertTable() const
{
    if (!m_insertTable.isEmpty())
        return m_insertTable;
    QString table;
    if (!Prompts::instance().inputQuery(QStringLiteral("Copy as INSERT"),
                                        QStringLiteral("Insert into table:"), table)
        || table.trimmed().isEmpty())
        throw SilentAbort();
    return table.trimmed();
}

int TOutputForm::dialect() const
{
    const auto *driver = qobject_cast<const IbDriver *>(
        QSqlDatabase::database(kConnection, false).driver());
    return driver ? driver->dialect() : 1;
}

void TOutputForm::copyAsInsert()
{
    const QString table = insertTable();
    QApplication::clipboard()->setText(GridCopy::selectedInserts(GridResult, table, dialect()));
}

void TOutputForm::exportRows()
{
    if (m_shownText.isEmpty())
        return;
    GridExport(QSqlDatabase::database(kConnection), m_shownText, m_names, m_insertTable).run();
}

void TOutputForm::refreshRows()
{
    if (m_shownText.isEmpty())
        return;
    runText(m_shownText);
    showTitles();
    showStats();
}

// The plans are read once, right after the prepare; the counts and times
// grow with each batch the grid asks for.
void TOutputForm::runProfiled(QSqlQuery &query)
{
    m_profile.clear();
    m_attachment = 0;
    const QVariant handle = query.driver()->handle();
    const isc_db_handle attachment = handle.isValid() ? handle.value<isc_db_handle>() : 0;
    const QVariant statement = query.result()->handle();
    if (attachment && statement.isValid()) {
        try {
            StatementPlan plan;
            ServerCall::run(attachment, [&] {
                plan = StatementPlan::read(statement.value<isc_stmt_handle>());
            });
            m_profile.setPlan(plan);
        } catch (const AppError &) {
            // The query runs all the same; the pane says it has no plan.
        }
    }
    if (attachment)
        m_profile.beginCall(attachment);
    const bool ran = query.exec();
    if (attachment)
        m_profile.endCall(attachment);
    if (!ran)
        throw DatabaseError(SqlErrorText(query.lastError()));
    m_attachment = attachment;
}

void TOutputForm::showStats()
{
    if (!m_attachment)
        return;
    m_profile.times() = IbResult::times(OutSQL->query());
    m_profile.setRows(OutSQL->rowCount(), !OutSQL->canFetchMore());
    m_profile.nameTables(QSqlDatabase::database(kConnection, false));
    Stats->showProfile(m_profile);
}

void OpenAsResultSet(const QString &text)
{
    QPointer<TOutputForm> form = TOutputForm::open();
    try {
        form->OpenQuery(text);
    } catch (...) {
        if (form)
            freeForm(form);
        throw;
    }
    // The columns are known only now that the query is open.
    form->fitToContent();
}
