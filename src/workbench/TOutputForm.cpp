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
#include "workbench/ResultSetModel.h"
#include "workbench/StatementStatsPane.h"

#include <QLabel>
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
    StmStrings->setPlainText(StatementText::toEditor(text));
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
