#pragma once

#include "ibdb/IbHandles.h"
#include "ibdb/StatementPlan.h"

#include <QMap>
#include <QObject>
#include <QSqlDatabase>
#include <QStringList>

#include <functional>

class IbDriver;
class StatementBatch;
class StatementProfile;

// The one connection to the database being administered. Catalogue queries
// reach it through Qt SQL under its connection name ("IBB"); on top of that
// it keeps the tool's own server transaction on the same attachment, in which
// every change is executed.
class TIBDataBase : public QObject
{
    Q_OBJECT

public:
    using StatementObserver = std::function<void(const QByteArray &)>;

    // Registered under its connection name at once: two objects never pass
    // through one shared name, where the second would take the first's.
    explicit TIBDataBase(const QString &connectionName, QObject *parent = nullptr);
    ~TIBDataBase() override;

    // The Qt SQL connection name under which queries find this attachment.
    void setDatabaseName(const QString &name);
    QString databaseName() const { return m_name; }
    QSqlDatabase connection() const;

    // The login the connection and the login dialog start with: the demo database's.
    static QString defaultUserName() { return QStringLiteral("SYSDBA"); }
    static QString defaultPassword() { return QStringLiteral("quillpost"); }

    // "USER NAME", "PASSWORD", "SERVER NAME", "ROLE NAME" (empty: no role)
    // and any further entries.
    void setParam(const QString &name, const QString &value);
    QString param(const QString &name) const { return m_params.value(name); }

    // Attaches, also after a lost connection (File > Connect).
    void Open();
    void Close();
    bool Connected() const;
    // A call met the attachment gone; only Open() attaches again.
    bool ConnectionLost() const;

    virtual void StartTransaction();
    // Starts the tool's transaction with the options a SET TRANSACTION
    // statement gives, committing the one open first, as isql does.
    void StartTransactionAs(const QString &setTransaction);
    virtual void ExecuteStatement(const QString &text, bool autoCommit);
    // The same in a given SQL dialect, for the few statements that a
    // dialect-1 text cannot carry (a 64-bit literal, for one).
    void ExecuteStatement(const QString &text, bool autoCommit, int dialect);
    // The same, and what the statement cost into profile (cleared first):
    // its plans, times and the attachment's counts while it ran.
    void ExecuteStatement(const QString &text, bool autoCommit, StatementProfile &profile);
    // Prepares the text in a read-only transaction of its own and puts its
    // plans into profile, without running it; throws the server's refusal.
    void PlanStatement(const QString &text, StatementProfile &profile);
    // A script's statement goes as its file has it, line ends included, as
    // isql sends it: a routine's source keeps the script's own.
    void ExecuteAsWritten(const QString &text, bool autoCommit);
    // The same, its plans, times and reads into profile.
    void ExecuteAsWritten(const QString &text, bool autoCommit, StatementProfile &profile);
    // Runs the batch's statements as written in the open transaction, in one
    // call to the server; changedRows() and statementType() tell of the last
    // one run. Throws the error of the statement that failed, if one did.
    void ExecuteBatch(StatementBatch &batch);
    virtual void Commit();
    virtual void Rollback();
    bool InTransaction() const { return m_inTransaction; }
    // Leaving the program after a rollback the server refused: the
    // transaction is given up unsent, and ends with the attachment, which
    // rolls it back.
    void AbandonTransaction();
    // Asks the server to stop the call running on the attachment.
    void CancelRunningCall() const;
    // The rows the last statement executed changed; -1 when it was no
    // INSERT, UPDATE or DELETE (DDL, a procedure, a block).
    int changedRows() const { return m_changedRows; }
    // The server's kind of the last statement executed (isc_info_sql_stmt_…);
    // 0 when it did not even prepare.
    int statementType() const { return m_changeType; }
    // The dialect in which ExecuteStatement compiles a text unless told
    // otherwise: the database's own while connected, 1 before.
    int statementDialect() const;
    // "Firebird 4.0.5, ODS 13.0, dialect 3" while connected, empty before.
    QString serverText() const;
    // A name and a string literal as a statement in that dialect spells them.
    QString sqlName(const QString &name) const;
    QString sqlString(const QString &text) const;

    void ListTableNames(QStringList &list, bool includeViews, bool includeSystem);
    void ListViewNames(QStringList &list);

    // Tests see the exact bytes of every statement sent.
    void setStatementObserver(StatementObserver observer) { m_observer = std::move(observer); }

signals:
    void OnStartTransaction(TIBDataBase *sender);
    void OnCloseTransaction(TIBDataBase *sender);
    // Once per lost attachment, with what the user is to be told.
    void OnConnectionLost(TIBDataBase *sender, const QString &message);

private:
    IbDriver *driver() const;
    void attach();
    void lose(const QString &message);
    QString lossNote() const;
    void ExecuteInTransaction(const QByteArray &text, bool autoCommit, int dialect);
    void ExecuteText(const QByteArray &text, int dialect);
    bool runAsChange(const QByteArray &text, int dialect, ISC_STATUS *runStatus);
    StatementPlan planOf(isc_stmt_handle statement, const QByteArray &answer);
    // Runs the call that executes a statement, counted into the profile.
    void runProfiled(const std::function<void()> &call);
    // Runs with the profile taking the statement's figures.
    void profiled(StatementProfile &profile, const std::function<void()> &run);
    void endTypedTransaction(const QByteArray &text);
    void endTransaction(bool commit);
    void check(const ISC_STATUS *status, const QString &lossNote);
    void applyParams();
    void fetchNativeHandle();
    QStringList relationNames(int types, bool viewsOnly, bool includeViews);

    QString m_name;
    QMap<QString, QString> m_params;
    isc_db_handle m_nativeHandle = 0;
    IbTransaction m_transaction;
    bool m_inTransaction = false;
    int m_changedRows = -1;
    int m_changeType = 0;
    StatementObserver m_observer;
    StatementProfile *m_profile = nullptr;
};
