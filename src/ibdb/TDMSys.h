#pragma once

#include <QObject>
#include <QString>

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

    // The repository directory's connection: the Qt SQL connection name and
    // the directory ("PATH") it was opened with.
    // The Qt SQL connection names of the administered database and of the
    // repository directory.
    static QString ibName() { return QStringLiteral("IBB"); }
    static QString devSrcName() { return QStringLiteral("DEVSOURCES"); }
    QString devSrcPath() const { return m_devSrcPath; }

    void setTransactionView(TransactionView *view) { m_view = view; }

    // Runs the creation steps; throws the first error (the caller shows it
    // and start-up goes on).
    void DMSysCreate();

private:
    void IBDataBaseStartTransaction(TIBDataBase *sender);
    void IBDataBaseCloseTransaction(TIBDataBase *sender);

    QString m_devSrcPath;
    TransactionView *m_view = nullptr;
};

// The one data module of the run, set while it exists.
extern TDMSys *DMSys;
