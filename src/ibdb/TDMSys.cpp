#include "ibdb/TDMSys.h"

#include "core/AppError.h"
#include "core/ProgramSettings.h"
#include "ibdb/TIBDataBase.h"
#include "ibdb/TransactionView.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>

TDMSys *DMSys = nullptr;

TDMSys::TDMSys(QObject *parent) : QObject(parent), IBDataBase(new TIBDataBase(ibName(), this))
{
    DMSys = this;
    connect(IBDataBase, &TIBDataBase::OnStartTransaction, this,
            &TDMSys::IBDataBaseStartTransaction);
    connect(IBDataBase, &TIBDataBase::OnCloseTransaction, this,
            &TDMSys::IBDataBaseCloseTransaction);
    connect(IBDataBase, &TIBDataBase::OnConnectionLost, this,
            &TDMSys::IBDataBaseConnectionLost);
}

TDMSys::~TDMSys()
{
    if (DMSys == this)
        DMSys = nullptr;
    QSqlDatabase::removeDatabase(devSrcName());
}

void TDMSys::DMSysCreate()
{
    // The repository table is one SQLite file, DVSRC.DB, in the directory;
    // an empty path means the working directory, as a relative path would.
    QSqlDatabase::removeDatabase(devSrcName());
    m_devSrcPath = ProgramSettings::instance().RepositoryPath;
    const QString directory = m_devSrcPath.isEmpty() ? QDir::currentPath() : m_devSrcPath;
    QSqlDatabase devSrc = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), devSrcName());
    devSrc.setDatabaseName(QDir(directory).filePath(QStringLiteral("DVSRC.DB")));
    // Another copy of the program may be writing the file: wait that long
    // for its lock, then report it rather than hang.
    devSrc.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    if (!QFileInfo(directory).isDir())
        throw DatabaseError(QStringLiteral("Directory is busy or does not exist: %1").arg(directory));
}

void TDMSys::execute(const QString &statement) const
{
    IBDataBase->ExecuteStatement(statement, ProgramSettings::instance().AutoCommit);
}

void TDMSys::execute(const QString &statement, StatementProfile &profile) const
{
    IBDataBase->ExecuteStatement(statement, ProgramSettings::instance().AutoCommit, profile);
}

void TDMSys::execute(const QString &statement, int dialect) const
{
    IBDataBase->ExecuteStatement(statement, ProgramSettings::instance().AutoCommit, dialect);
}

void TDMSys::IBDataBaseStartTransaction(TIBDataBase *)
{
    if (!m_view)
        return;
    m_view->setCommitItemsEnabled(true);
    if (!ProgramSettings::instance().AutoCommit)
        m_view->setTransactionPanel(QStringLiteral("TRANS"));
}

void TDMSys::IBDataBaseCloseTransaction(TIBDataBase *)
{
    if (!m_view)
        return;
    m_view->setCommitItemsEnabled(false);
    if (!ProgramSettings::instance().AutoCommit)
        m_view->setTransactionPanel(QString());
}

void TDMSys::IBDataBaseConnectionLost(TIBDataBase *, const QString &message)
{
    if (m_view)
        m_view->showConnectionLost(message);
}
