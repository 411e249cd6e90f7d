#include "support/ReliabilityServer.h"

#include "ibdb/IbHandles.h"
#include "ibdb/IbStatus.h"
#include "ibdb/IbTransactionStart.h"
#include "support/ReliabilityFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

namespace {

void failOn(const ISC_STATUS *status, const QString &what)
{
    if (IbStatus::failed(status))
        qFatal("%s: %s", qPrintable(what), qPrintable(IbStatus::plainText(status)));
}


} // namespace

namespace ReliabilityServer {

namespace {

QString fixtureDir()
{
    return qEnvironmentVariable("QUORVEL_FBSERVER_DIR");
}

QString fixtureFile(const QString &name)
{
    QFile file(QDir(fixtureDir()).filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the test server's %s is missing: is the fbserver fixture running?",
               qPrintable(name));
    return QString::fromUtf8(file.readAll()).trimmed();
}

void runScript(const QString &command)
{
    QProcess script;
    script.start(qEnvironmentVariable("QUORVEL_FBSERVER"), {command, fixtureDir()});
    if (!script.waitForFinished(30000) || script.exitCode() != 0)
        qFatal("fbserver.sh %s failed: %s", qPrintable(command),
               script.readAllStandardError().constData());
}

QByteArray loginBlock()
{
    const QByteArray password = ReliabilityServer::password().toUtf8();
    QByteArray dpb(1, char(isc_dpb_version1));
    dpb += char(isc_dpb_user_name);
    dpb += char(6);
    dpb += "SYSDBA";
    dpb += char(isc_dpb_password);
    dpb += char(password.size());
    dpb += password;
    return dpb;
}

} // namespace

bool available()
{
    return !fixtureDir().isEmpty() && QFile::exists(QDir(fixtureDir()).filePath("port"));
}

int port()
{
    return fixtureFile(QStringLiteral("port")).toInt();
}

QString password()
{
    return fixtureFile(QStringLiteral("password"));
}

QString remotePath(const QString &file)
{
    return QStringLiteral("localhost/%1:%2").arg(port()).arg(file);
}

void kill()
{
    runScript(QStringLiteral("kill"));
}

void restart()
{
    runScript(QStringLiteral("restart"));
}

void ensureRunning()
{
    runScript(QStringLiteral("ensure"));
}

void execute(const QString &remote, const QStringList &statements, int dialect)
{
    ISC_STATUS_ARRAY status;
    IbAttachment db;
    const QByteArray path = remote.toUtf8();
    const QByteArray dpb = loginBlock();
    isc_attach_database(status, 0, path.constData(), db.ref(), short(dpb.size()),
                        dpb.constData());
    failOn(status, QStringLiteral("attach ") + remote);
    for (const QString &statement : statements) {
        IbTransaction tr;
        IbTransactionStart::start(status, tr.ref(), db.ref());
        failOn(status, QStringLiteral("start"));
        const QByteArray text = statement.toUtf8();
        isc_dsql_execute_immediate(status, db.ref(), tr.ref(), 0, text.constData(),
                                   static_cast<unsigned short>(dialect), nullptr);
        failOn(status, statement);
        isc_commit_transaction(status, tr.ref());
        failOn(status, QStringLiteral("commit"));
        tr.forget();
    }
}

QString scalar(const QString &remote, const QString &query)
{
    const QString name = QUuid::createUuid().toString();
    QString value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("INTRBASE"), name);
        db.setDatabaseName(remote);
        db.setUserName(QStringLiteral("SYSDBA"));
        db.setPassword(password());
        if (!db.open())
            qFatal("cannot open %s: %s", qPrintable(remote), qPrintable(db.lastError().text()));
        QSqlQuery q(db);
        if (!q.exec(query))
            qFatal("%s: %s", qPrintable(query), qPrintable(q.lastError().text()));
        if (q.next() && !q.value(0).isNull())
            value = q.value(0).toString().trimmed();
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

} // namespace ReliabilityServer

ServerDatabase::ServerDatabase(const QString &fileName, int dialect)
    : m_dir((QDir(ReliabilityFiles::tempRoot()).filePath(QStringLiteral("qvs-XXXXXX")))),
      m_dialect(dialect)
{
    m_file = m_dir.filePath(fileName);
    const QByteArray create = QStringLiteral(
        "CREATE DATABASE '%1' USER 'SYSDBA' PASSWORD '%2' "
        "PAGE_SIZE 4096 DEFAULT CHARACTER SET NONE")
                                  .arg(remote(), ReliabilityServer::password())
                                  .toUtf8();
    ISC_STATUS_ARRAY status;
    IbAttachment db;
    isc_tr_handle noTransaction = 0;
    isc_dsql_execute_immediate(status, db.ref(), &noTransaction, 0, create.constData(),
                               static_cast<unsigned short>(dialect), nullptr);
    failOn(status, QStringLiteral("create database ") + remote());
}

void ServerDatabase::execute(const QStringList &statements) const
{
    ReliabilityServer::execute(remote(), statements, m_dialect);
}

QString ServerDatabase::scalar(const QString &query) const
{
    return ReliabilityServer::scalar(remote(), query);
}
