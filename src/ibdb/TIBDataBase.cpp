#include "ibdb/TIBDataBase.h"

#include "core/AppError.h"
#include "core/BusyCursor.h"
#include "ibdb/IbConnectionLoss.h"
#include "ibdb/IbDriver.h"
#include "ibdb/IbStatementInfo.h"
#include "ibdb/IbStatus.h"
#include "ibdb/IbTransactionStart.h"
#include "ibdb/ServerCall.h"
#include "ibdb/SqlErrorText.h"
#include "ibdb/SqlLiteral.h"
#include "ibdb/StatementBatch.h"
#include "ibdb/StatementPlan.h"
#include "ibdb/StatementProfile.h"
#include "ibdb/StatementLines.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <optional>

namespace {

const QString kDriver = QStringLiteral("INTRBASE");
const QString kUserName = QStringLiteral("USER NAME");
const QString kPassword = QStringLiteral("PASSWORD");
const QString kServerName = QStringLiteral("SERVER NAME");
const QString kRoleName = QStringLiteral("ROLE NAME");
// Room for the plans of most statements in the prepare's own answer.
constexpr int kPlanAnswer = 4096;

bool endsTransaction(int statementType)
{
    return statementType == isc_info_sql_stmt_commit
           || statementType == isc_info_sql_stmt_rollback
           || statementType == isc_info_sql_stmt_start_trans;
}

// COMMIT RETAIN and ROLLBACK RETAIN keep the transaction going under the
// server's own handling, which the tool's transaction does not follow.
bool retains(const QByteArray &text)
{
    static const QRegularExpression comments(QStringLiteral("/\\*.*?\\*/|--[^\\n]*"),
                                             QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression retain(QStringLiteral("\\bRETAIN\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    return QString::fromUtf8(text).remove(comments).contains(retain);
}

} // namespace

TIBDataBase::TIBDataBase(const QString &connectionName, QObject *parent) : QObject(parent)
{
    m_params.insert(kUserName, defaultUserName());
    m_params.insert(kPassword, defaultPassword());
    m_params.insert(kServerName, QString());
    setDatabaseName(connectionName);
}

TIBDataBase::~TIBDataBase()
{
    // The owned transaction must go before the attachment it lives on.
    m_transaction.reset();
    if (!m_name.isEmpty()) {
        if (IbDriver *ib = driver())
            ib->setLossHandler({});
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
}

void TIBDataBase::setDatabaseName(const QString &name)
{
    if (name == m_name)
        return;
    if (!m_name.isEmpty()) {
        Close();
        if (IbDriver *ib = driver())
            ib->setLossHandler({});
        QSqlDatabase::removeDatabase(m_name);
    }
    m_name = name;
    QSqlDatabase::addDatabase(kDriver, m_name);
    applyParams();
    if (IbDriver *ib = driver()) {
        ib->setLossHandler([this](const QString &clientText) {
            const QString note = lossNote();
            lose(clientText + u'\n' + note);
            return note;
        });
    }
}

IbDriver *TIBDataBase::driver() const
{
    return qobject_cast<IbDriver *>(connection().driver());
}

QSqlDatabase TIBDataBase::connection() const
{
    return QSqlDatabase::database(m_name, false);
}

void TIBDataBase::setParam(const QString &name, const QString &value)
{
    m_params.insert(name, value);
    applyParams();
}

// Kept on the Qt connection too, so any query under the connection name
// reopens it with the parameters last set.
void TIBDataBase::applyParams()
{
    QSqlDatabase db = connection();
    db.setUserName(m_params.value(kUserName));
    db.setPassword(m_params.value(kPassword));
    db.setDatabaseName(m_params.value(kServerName));
    const QString role = m_params.value(kRoleName);
    db.setConnectOptions(role.isEmpty() ? QString() : IbDriver::roleOption() + role);
}

void TIBDataBase::Open()
{
    IbDriver *ib = driver();
    if (!ib || !ib->connectionLost()) {
        attach();
        return;
    }
    // Until an attach succeeds, the windows' queries still must not try.
    const auto stillLost = qScopeGuard([this, ib] {
        if (!Connected())
            ib->markLost();
    });
    ib->allowReattach();
    attach();
}

// The commands of the windows attach as any query does, so after a loss
// they report it until the user connects again.
void TIBDataBase::attach()
{
    QSqlDatabase db = connection();
    if (db.isOpen())
        return;
    if (!db.open())
        throw DatabaseError(SqlErrorText(db.lastError()));
}

void TIBDataBase::Close()
{
    if (m_inTransaction) {
        // Detaching would fail with the transaction open; what it held is
        // given up, as the server would on a lost connection.
        m_transaction.reset();
        m_inTransaction = false;
        emit OnCloseTransaction(this);
    }
    connection().close();
}

bool TIBDataBase::Connected() const
{
    return connection().isOpen();
}

bool TIBDataBase::ConnectionLost() const
{
    const IbDriver *ib = driver();
    return ib && ib->connectionLost();
}

QString TIBDataBase::lossNote() const
{
    return m_inTransaction ? IbConnectionLoss::lostWorkText() : IbConnectionLoss::lostText();
}

// A dead attachment ends the tool's transaction with it (the server drops
// it), so the frame stops offering commit and rollback, and the attachment is
// let go of, everywhere at once.
void TIBDataBase::lose(const QString &message)
{
    if (IbDriver *ib = driver())
        ib->markLost();
    Close();
    emit OnConnectionLost(this, message);
}

void TIBDataBase::fetchNativeHandle()
{
    const QVariant handle = connection().driver()->handle();
    if (!handle.isValid() || handle.value<isc_db_handle>() == 0)
        throw DatabaseError(QStringLiteral("Cannot read the native database handle"));
    m_nativeHandle = handle.value<isc_db_handle>();
}

void TIBDataBase::StartTransaction()
{
    BusyCursor busy;
    if (m_inTransaction)
        return;
    attach();
    fetchNativeHandle();
    IbTransaction transaction;
    ISC_STATUS_ARRAY status;
    // No parameter block: the client library's default options apply.
    ServerCall::run(m_nativeHandle, [&] {
        IbTransactionStart::start(status, transaction.ref(), &m_nativeHandle);
    });
    check(status, IbConnectionLoss::lostText());
    m_transaction = std::move(transaction);
    m_inTransaction = true;
    emit OnStartTransaction(this);
}

void TIBDataBase::StartTransactionAs(const QString &setTransaction)
{
    BusyCursor busy;
    if (m_inTransaction)
        Commit();
    attach();
    fetchNativeHandle();
    const QByteArray text = setTransaction.toUtf8();
    if (m_observer)
        m_observer(text);
    IbTransaction transaction;
    ISC_STATUS_ARRAY status;
    const auto dialect = static_cast<unsigned short>(statementDialect());
    // Executed without a transaction, the statement starts one and hands it back.
    ServerCall::run(m_nativeHandle, [&] {
        isc_dsql_execute_immediate(status, &m_nativeHandle, transaction.ref(), 0,
                                   text.constData(), dialect, nullptr);
    });
    check(status, IbConnectionLoss::lostText());
    m_transaction = std::move(transaction);
    m_inTransaction = true;
    emit OnStartTransaction(this);
}

void TIBDataBase::Commit()
{
    endTransaction(true);
}

void TIBDataBase::Rollback()
{
    endTransaction(false);
}

void TIBDataBase::endTransaction(bool commit)
{
    BusyCursor busy;
    if (!m_inTransaction)
        throw GeneralError(QStringLiteral("Not active transaction for IB"));
    ISC_STATUS_ARRAY status;
    ServerCall::run(m_nativeHandle, [&] {
        if (commit)
            isc_commit_transaction(status, m_transaction.ref());
        else
            isc_rollback_transaction(status, m_transaction.ref());
    });
    check(status,
          commit ? IbConnectionLoss::lostInCommitText() : IbConnectionLoss::lostWorkText());
    m_transaction.forget();
    m_inTransaction = false;
    emit OnCloseTransaction(this);
}

void TIBDataBase::AbandonTransaction()
{
    if (!m_inTransaction)
        return;
    m_transaction.forget();
    m_inTransaction = false;
    emit OnCloseTransaction(this);
}

void TIBDataBase::CancelRunningCall() const
{
    const QVariant handle = connection().driver()->handle();
    if (handle.isValid() && handle.value<isc_db_handle>() != 0)
        ServerCall::cancel(handle.value<isc_db_handle>());
}

int TIBDataBase::statementDialect() const
{
    const auto *driver = qobject_cast<const IbDriver *>(connection().driver());
    return driver && driver->isOpen() ? driver->dialect() : 1;
}

QString TIBDataBase::serverText() const
{
    const auto *driver = qobject_cast<const IbDriver *>(connection().driver());
    if (!driver || !driver->isOpen())
        return {};
    return driver->serverInfo().describe(driver->dialect());
}

QString TIBDataBase::sqlName(const QString &name) const
{
    return SqlLiteral::name(name, statementDialect());
}

QString TIBDataBase::sqlString(const QString &text) const
{
    return SqlLiteral::string(text, statementDialect());
}

void TIBDataBase::ExecuteStatement(const QString &text, bool autoCommit)
{
    // The dialect is the attachment's, known once it is open.
    attach();
    ExecuteStatement(text, autoCommit, statementDialect());
}

void TIBDataBase::ExecuteStatement(const QString &text, bool autoCommit, int dialect)
{
    const QStringList lines = StatementLines::split(text);
    ExecuteInTransaction(StatementLines::join(lines).toUtf8(), autoCommit, dialect);
}

void TIBDataBase::ExecuteAsWritten(const QString &text, bool autoCommit)
{
    attach();
    ExecuteInTransaction(text.toUtf8(), autoCommit, statementDialect());
}

void TIBDataBase::ExecuteInTransaction(const QByteArray &text, bool autoCommit, int dialect)
{
    StartTransaction();
    BusyCursor busy;
    try {
        ExecuteText(text, dialect);
        // A typed COMMIT or ROLLBACK has ended the transaction already.
        if (autoCommit && m_inTransaction)
            Commit();
    } catch (const AppError &) {
        if (autoCommit && m_inTransaction)
            Rollback();
        throw;
    }
}

void TIBDataBase::ExecuteStatement(const QString &text, bool autoCommit,
                                   StatementProfile &profile)
{
    profiled(profile, [&] { ExecuteStatement(text, autoCommit); });
}

void TIBDataBase::ExecuteAsWritten(const QString &text, bool autoCommit,
                                   StatementProfile &profile)
{
    profiled(profile, [&] { ExecuteAsWritten(text, autoCommit); });
}

void TIBDataBase::ExecuteBatch(StatementBatch &batch)
{
    m_changedRows = -1;
    m_changeType = 0;
    if (!m_inTransaction)
        throw GeneralError(QStringLiteral("Not active transaction for IB"));
    BusyCursor busy;
    const auto dialect = statementDialect();
    ServerCall::run(m_nativeHandle,
                    [&] { batch.run(&m_nativeHandle, m_transaction.ref(), dialect); });
    const qsizetype sent = batch.ran().size() + (batch.failed() ? 1 : 0);
    for (qsizetype i = 0; m_observer && i < sent; ++i)
        m_observer(batch.texts().at(i));
    if (!batch.ran().isEmpty()) {
        m_changeType = batch.ran().constLast().type;
        m_changedRows = batch.ran().constLast().rows;
    }
    if (batch.failed()) {
        m_changeType = batch.failedType();
        m_changedRows = -1;
    }
    if (m_changeType == isc_info_sql_stmt_ddl)
        StatementProfile::forgetTableNames();
    if (batch.failed())
        check(batch.status(), IbConnectionLoss::lostWorkText());
}

void TIBDataBase::profiled(StatementProfile &profile, const std::function<void()> &run)
{
    profile.clear();
    m_profile = &profile;
    const auto done = qScopeGuard([this] { m_profile = nullptr; });
    run();
}

void TIBDataBase::PlanStatement(const QString &text, StatementProfile &profile)
{
    BusyCursor busy;
    profile.clear();
    attach();
    fetchNativeHandle();
    const QByteArray bytes = StatementLines::join(StatementLines::split(text)).toUtf8();
    if (bytes.isEmpty())
        throw GeneralError(QStringLiteral("Attempt to execute empty statement"));
    // Nothing of the tool's own transaction is touched: a DELETE asked about
    // here must not even lock a row in it.
    static const char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                               isc_tpb_rec_version, isc_tpb_nowait};
    IbTransaction transaction;
    IbStatement statement;
    const QByteArray items = StatementPlan::items();
    QByteArray answer(kPlanAnswer, '\0');
    const int dialect = statementDialect();
    ISC_STATUS_ARRAY status;
    QElapsedTimer timer;
    ServerCall::run(m_nativeHandle, [&] {
        IbTransactionStart::start(status, transaction.ref(), &m_nativeHandle,
                                  QByteArray::fromRawData(tpb, sizeof tpb));
        if (IbStatus::failed(status))
            return;
        timer.start();
        IbStatementInfo::prepareForKind(status, &m_nativeHandle, transaction.ref(), statement,
                                        bytes, dialect, items, answer);
        profile.times().prepareNs = timer.nsecsElapsed();
    });
    check(status, IbConnectionLoss::lostText());
    profile.setPlan(planOf(statement.get(), answer));
    profile.setPlanOnly();
}

void TIBDataBase::ExecuteText(const QByteArray &text, int dialect)
{
    m_changedRows = -1;
    if (!m_inTransaction)
        throw GeneralError(QStringLiteral("Not active transaction for IB"));
    if (text.isEmpty())
        throw GeneralError(QStringLiteral("Attempt to execute empty statement"));
    if (m_observer)
        m_observer(text);
    ISC_STATUS_ARRAY status{};
    // A change runs in the call that prepares it, its counters read around
    // it there when profiled: a script of short statements then waits for
    // the server-call thread once each.
    const bool ran = runAsChange(text, dialect, status);
    if (endsTransaction(m_changeType)) {
        endTypedTransaction(text);
        return;
    }
    // A DDL statement may drop a relation and give its id to another.
    if (m_changeType == isc_info_sql_stmt_ddl || m_changeType == 0)
        StatementProfile::forgetTableNames();
    if (ran) {
        check(status, IbConnectionLoss::lostWorkText());
        return;
    }
    runProfiled([&] {
        ServerCall::run(m_nativeHandle, [&] {
            isc_dsql_execute_immediate(status, &m_nativeHandle, m_transaction.ref(), 0,
                                       text.constData(), static_cast<unsigned short>(dialect),
                                       nullptr);
        });
    });
    check(status, IbConnectionLoss::lostWorkText());
}

void TIBDataBase::runProfiled(const std::function<void()> &call)
{
    if (!m_profile) {
        call();
        return;
    }
    m_profile->beginCall(m_nativeHandle);
    QElapsedTimer timer;
    timer.start();
    const auto counted = qScopeGuard([this, &timer] {
        m_profile->times().executeNs += timer.nsecsElapsed();
        m_profile->endCall(m_nativeHandle);
    });
    call();
}

// Sent to the server, a COMMIT or ROLLBACK would end the transaction behind
// the tool's back and leave it holding a dead handle: it ends the tool's own
// transaction instead, so the frame's items and panels stay true.
void TIBDataBase::endTypedTransaction(const QByteArray &text)
{
    if (m_changeType == isc_info_sql_stmt_start_trans)
        throw GeneralError(QStringLiteral(
            "SET TRANSACTION is not run here: statements run in the tool's own transaction, "
            "ended by COMMIT, ROLLBACK or the File menu's Commit Work and Rollback Work"));
    const bool commit = m_changeType == isc_info_sql_stmt_commit;
    if (retains(text))
        throw GeneralError(
            QStringLiteral("%1 RETAIN is not run here: the tool's own transaction is ended by "
                           "%1 alone or by the File menu's %2")
                .arg(commit ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"),
                     commit ? QStringLiteral("Commit Work") : QStringLiteral("Rollback Work")));
    endTransaction(commit);
}

// A plain INSERT, UPDATE or DELETE runs as a prepared statement, which can
// tell how many rows it changed, and so does DDL, which a second parse would
// only slow down (its errors come from running it either way); everything
// else, and any text that does not even prepare, goes through the immediate
// execution as it always did, so that its effect and its error are the
// server's usual ones. A change is run at once too, its failure left in
// runStatus. True when the text ran as a change.
bool TIBDataBase::runAsChange(const QByteArray &text, int dialect, ISC_STATUS *runStatus)
{
    m_changeType = 0;
    // A DML statement on a table whose metadata another user is changing
    // waits in the prepare already. The plans come with the same answer
    // when they are asked.
    const QByteArray items = m_profile ? StatementPlan::items() : QByteArray();
    QByteArray answer(m_profile ? kPlanAnswer : 16, '\0');
    std::optional<StatementPlan> plan;
    bool ran = false;
    // Its freeing and its row count too: no call of the statement is made on
    // the application's thread, where a slow or lost server would hold the
    // window without the wait box.
    ServerCall::run(m_nativeHandle, [&] {
        IbStatement statement;
        ISC_STATUS_ARRAY status;
        QElapsedTimer timer;
        timer.start();
        m_changeType = IbStatementInfo::prepareForKind(status, &m_nativeHandle, m_transaction.ref(),
                                                       statement, text, dialect, items, answer);
        if (m_profile)
            m_profile->times().prepareNs = timer.nsecsElapsed();
        if (m_changeType == 0)
            return;
        if (m_profile)
            plan = planOf(statement.get(), answer);
        if (!IbStatementInfo::isChange(m_changeType))
            return;
        // The profile's counters are read here too, around the run, which
        // is counted as a call of its own so that those after it are read
        // anew.
        runProfiled([&] {
            if (m_profile)
                ServerCall::countCall();
            isc_dsql_execute(runStatus, m_transaction.ref(), statement.ref(), SQLDA_VERSION1,
                             nullptr);
        });
        ran = true;
        if (!IbStatus::failed(runStatus) && m_changeType != isc_info_sql_stmt_ddl)
            m_changedRows = IbStatementInfo::rowsAffected(statement.get(), m_changeType);
    });
    if (plan)
        m_profile->setPlan(*plan);
    return ran;
}

// A plan too long for the prepare's answer is asked for on its own; one the
// server cannot give leaves the plans empty rather than failing the run.
StatementPlan TIBDataBase::planOf(isc_stmt_handle statement, const QByteArray &answer)
{
    bool truncated = false;
    StatementPlan plan = StatementPlan::fromAnswer(answer.constData(), int(answer.size()),
                                                   &truncated);
    if (truncated) {
        try {
            ServerCall::run(m_nativeHandle, [&] { plan = StatementPlan::read(statement); });
        } catch (const AppError &) {
            plan.tooLong = true;
        }
    }
    return plan;
}

void TIBDataBase::check(const ISC_STATUS *status, const QString &lossNote)
{
    if (IbStatus::failed(status) && IbConnectionLoss::detected(status)) {
        const QString message = IbStatus::text(status) + QLatin1Char('\r') + lossNote;
        lose(message);
        throw DatabaseError(message);
    }
    IbStatus::check(status);
}

void TIBDataBase::ListTableNames(QStringList &list, bool includeViews, bool includeSystem)
{
    const int types = QSql::Tables | QSql::Views | (includeSystem ? QSql::SystemTables : 0);
    list = relationNames(types, false, includeViews);
}

void TIBDataBase::ListViewNames(QStringList &list)
{
    list = relationNames(QSql::Tables | QSql::Views, true, true);
}

QStringList TIBDataBase::relationNames(int types, bool viewsOnly, bool includeViews)
{
    const bool wasOpen = Connected();
    const auto closeAgain = qScopeGuard([this, wasOpen] {
        if (!wasOpen)
            connection().close();
    });
    attach();
    QSqlDatabase db = connection();
    const QStringList all = db.tables(QSql::TableType(types));
    if (db.lastError().isValid())
        throw DatabaseError(SqlErrorText(db.lastError()));
    // A set: a thousand tables against hundreds of views is no list search each.
    const QStringList viewList = db.tables(QSql::Views);
    const QSet<QString> views(viewList.cbegin(), viewList.cend());
    QStringList names;
    for (const QString &name : all) {
        const bool isView = views.contains(name);
        if (viewsOnly ? isView : (!isView || includeViews))
            names << name;
    }
    return names;
}
