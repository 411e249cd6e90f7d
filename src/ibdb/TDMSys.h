#pragma once

#include <QObject>
#include <QString>

class StatementProfile;
class TIBDataBase;
class TransactionView;

// The data module: owns the connection to the administered database and
// knows the repository directory, for the whole run.
class TDMSys : public QObject
{
    Q_OBJECT

public:
    explicit TDMSys(QObject *parent = nullptr);
    ~TDMSys() override;

    TIBDataBase *IBDataBase;

    // The Qt SQL connection names of the administered database and of the
    // repository directory.
    static QString ibName() { return QStringLiteral("IBB"); }
    static QString devSrcName() { return QStringLiteral("DEVSOURCES"); }
    QString devSrcPath() const { return m_devSrcPath; }

    void setTransactionView(TransactionView *view) { m_view = view; }

    // Runs a statement the user asked for in the tool's own transaction,
    // committed at once while auto-commit is on; throws the server's refusal.
    void execute(const QString &statement) const;
    // The same, and what it cost into profile.
    void execute(const QString &statement, StatementProfile &profile) const;
    // The same in a given SQL dialect (see TIBDataBase::ExecuteStatement).
    void execute(const QString &statement, int dialect) const;

    // Runs the creation steps; throws the first error (the caller shows it
    // and start-up goes on).
    void DMSysCreate();

private:
    void IBDataBaseStartTransaction(TIBDataBase *sender);
    void IBDataBaseCloseTransaction(TIBDataBase *sender);
    void IBDataBaseConnectionLost(TIBDataBase *sender, const QString &message);

    QString m_devSrcPath;
    TransactionView *m_view = nullptr;
};

// The one data module of the run, set while it exists.
extern TDMSys *DMSys;
