#include "support/TestDatabase.h"

#include "ibdb/IbHandles.h"
#include "ibdb/IbStatus.h"
#include "ibdb/IbTransactionStart.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>
#include <QDir>

namespace {

QString tempRoot()
{
    const QString root = qEnvironmentVariable("QUORVEL_TEST_TMP");
    return root.isEmpty() ? QDir::tempPath() : root;
}

void throwIfFailed(const ISC_STATUS *status, const QString &what)
{
    if (IbStatus::failed(status))
        qFatal("%s: %s", qPrintable(what), qPrintable(IbStatus::text(status)));
}

// A short-lived Qt SQL connection of its own: an independent attachment.
class Peek
{
public:
    Peek(const QString &path, int dialect)
        : m_name(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("INTRBASE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("ISC_DIALECT=%1").arg(dialect));
        db.setUserName(QStringLiteral("SYSDBA"));
        db.setPassword(QStringLiteral("masterkey"));
        if (!db.open())
            qFatal("cannot open %s: %s", qPrintable(path), qPrintable(db.lastError().text()));
    }
    ~Peek()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    QStringList column(const QString &query) const
    {
        QStringList values;
        {
            QSqlQuery q(QSqlDatabase::database(m_name, false));
            if (!q.exec(query))
                qFatal("%s: %s", qPrintable(query), qPrintable(q.lastError().text()));
            while (q.next())
                values << (q.value(0).isNull() ? QString() : q.value(0).toString().trimmed());
        }
        return values;
    }

private:
    QString m_name;
};

// The login of every test database; a server's SYSDBA has it too.
QByteArray loginBlock()
{
    QByteArray dpb(1, char(isc_dpb_version1));
    const auto add = [&dpb](char item, const QByteArray &value) {
        dpb += item;
        dpb += char(value.size());
        dpb += value;
    };
    add(char(isc_dpb_user_name), QByteArrayLiteral("SYSDBA"));
    add(char(isc_dpb_password), QByteArrayLiteral("masterkey"));
    add(char(isc_dpb_lc_ctype), QByteArrayLiteral("UTF8"));
    return dpb;
}

IbAttachment attach(const QString &path)
{
    ISC_STATUS_ARRAY status;
    IbAttachment db;
    const QByteArray file = path.toUtf8();
    const QByteArray dpb = loginBlock();
    isc_attach_database(status, 0, file.constData(), db.ref(), short(dpb.size()),
                        dpb.constData());
    throwIfFailed(status, QStringLiteral("attach ") + path);
    return db;
}

} // namespace

TestDatabase::TestDatabase(const QString &fileName, int dialect)
    : m_dir(QDir(tempRoot()).filePath(QStringLiteral("qv-XXXXXX"))), m_dialect(dialect)
{
    QDir().mkpath(tempRoot());
    m_path = m_dir.filePath(fileName);
    create();
}

// The temporary folder stays: the session keeps its repository there.
TestDatabase::TestDatabase(const OnServer &server, int dialect)
    : m_dir(QDir(tempRoot()).filePath(QStringLiteral("qv-XXXXXX"))), m_dialect(dialect),
      m_onServer(true)
{
    m_path = QStringLiteral("%1/qv-%2.fdb")
                 .arg(server.folder, QUuid::createUuid().toString(QUuid::Id128));
    create();
}

TestDatabase::OnServer TestDatabase::firebird4()
{
    return {qEnvironmentVariable("QUORVEL_FB4_FOLDER")};
}

void TestDatabase::create()
{
    const QByteArray create = QStringLiteral(
        "CREATE DATABASE '%1' USER 'SYSDBA' PASSWORD 'masterkey' "
        "PAGE_SIZE 4096 DEFAULT CHARACTER SET NONE").arg(m_path).toUtf8();
    ISC_STATUS_ARRAY status;
    IbAttachment db;
    isc_tr_handle noTransaction = 0;
    isc_dsql_execute_immediate(status, db.ref(), &noTransaction, 0, create.constData(),
                               static_cast<unsigned short>(m_dialect), nullptr);
    throwIfFailed(status, QStringLiteral("create database"));
}

// A database still in use by a connection the test left open stays behind;
// its name is unique, so no later test meets it.
TestDatabase::~TestDatabase()
{
    if (!m_onServer)
        return;
    IbAttachment db = attach(m_path);
    ISC_STATUS_ARRAY status;
    isc_drop_database(status, db.ref());
    if (IbStatus::failed(status))
        qWarning("drop %s: %s", qPrintable(m_path), qPrintable(IbStatus::text(status)));
    else
        db.forget();
}

void TestDatabase::execute(const QString &statement) const
{
    execute(QStringList{statement});
}

void TestDatabase::execute(const QStringList &statements) const
{
    executeInDialect(m_dialect, statements);
}

void TestDatabase::executeInDialect(int dialect, const QStringList &statements) const
{
    ISC_STATUS_ARRAY status;
    IbAttachment db = attach(m_path);
    for (const QString &statement : statements) {
        IbTransaction tr;
        isc_db_handle handle = db.get();
        IbTransactionStart::start(status, tr.ref(), &handle);
        throwIfFailed(status, QStringLiteral("start"));
        const QByteArray text = statement.toUtf8();
        isc_db_handle *dbRef = db.ref();
        isc_dsql_execute_immediate(status, dbRef, tr.ref(), 0, text.constData(),
                                   static_cast<unsigned short>(dialect), nullptr);
        throwIfFailed(status, statement);
        isc_commit_transaction(status, tr.ref());
        throwIfFailed(status, QStringLiteral("commit"));
        tr.forget();
    }
}

QString TestDatabase::scalar(const QString &query, int dialect) const
{
    const QStringList values = column(query, dialect);
    return values.isEmpty() ? QString() : values.first();
}

QStringList TestDatabase::column(const QString &query, int dialect) const
{
    return Peek(m_path, dialect ? dialect : m_dialect).column(query);
}
