#include "support/TestAttachment.h"

#include "support/TestDatabase.h"

#include <QSqlError>
#include <QUuid>

TestAttachment::TestAttachment(const TestDatabase &db) : m_name(QUuid::createUuid().toString())
{
    QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("INTRBASE"), m_name);
    c.setDatabaseName(db.path());
    c.setConnectOptions(QStringLiteral("ISC_DIALECT=%1").arg(db.dialect()));
    c.setUserName(QStringLiteral("SYSDBA"));
    c.setPassword(QStringLiteral("masterkey"));
    if (!c.open())
        qFatal("cannot open %s: %s", qPrintable(db.path()), qPrintable(c.lastError().text()));
}

TestAttachment::~TestAttachment()
{
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
}
