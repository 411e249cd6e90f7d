#include "TestSession.h"

#include "ProgramSettings.h"
#include "TIBDataBase.h"

#include <QSqlDatabase>

TestSession::TestSession(bool autoCommit, int dialect)
    : db(QStringLiteral("test.fdb"), dialect)
{
    ProgramSettings::instance().AutoCommit = autoCommit;
    ProgramSettings::instance().RepositoryPath = db.folder();
    dm.DMSysCreate();
    ib()->setParam(QStringLiteral("USER NAME"), QStringLiteral("SYSDBA"));
    ib()->setParam(QStringLiteral("PASSWORD"), QStringLiteral("masterkey"));
    ib()->setParam(QStringLiteral("SERVER NAME"), db.path());
    ib()->Open();
    ib()->setStatementObserver([this](const QByteArray &text) { sent << text; });
}

TestSession::~TestSession()
{
    if (ib()->InTransaction())
        ib()->Rollback();
    ib()->Close();
}
