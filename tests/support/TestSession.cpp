#include "support/TestSession.h"

#include "core/AppError.h"
#include "core/ProgramSettings.h"
#include "ibdb/StatementLines.h"
#include "ibdb/TIBDataBase.h"

#include <QSqlDatabase>

TestSession::TestSession(bool autoCommit, int dialect)
    : db(QStringLiteral("test.fdb"), dialect)
{
    connect(autoCommit);
}

TestSession::TestSession(const TestDatabase::OnServer &server, int dialect)
    : db(server, dialect)
{
    connect(true);
}

void TestSession::connect(bool autoCommit)
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

QString TestSession::refusal(const QStringList &lines) const
{
    try {
        ib()->ExecuteStatement(StatementLines::join(lines), true);
    } catch (const AppError &error) {
        return error.message();
    }
    return {};
}
