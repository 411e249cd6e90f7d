#include "ibdb/BackupJob.h"
#include "ibdb/DatabaseService.h"
#include "ibdb/RestoreJob.h"
#include "ibdb/RestoreTarget.h"
#include "ibdb/ServiceMonitor.h"
#include "ibdb/TIBDataBase.h"
#include "schema/BackupVerification.h"
#include "schema/DatabaseStatistics.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaScript.h"
#include "support/DataTestMain.h"
#include "support/TestDatabase.h"

#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <ibase.h>

// The services on a Firebird 4 server: a database of the types that server
// added goes through a backup streamed to this machine and a restore back
// onto the server unchanged, and validation and statistics read it there.
class TestFb4Services : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void backupRestoreValidateAndCount();
};

namespace {

const QString kUser = QStringLiteral("SYSDBA");
const QString kPassword = QStringLiteral("masterkey");

// Extremes of each type, a NULL row, and the identity handing out the keys.
const QStringList kSchema{
    "CREATE DOMAIN AMOUNT AS NUMERIC(38,4) DEFAULT 0 CHECK (VALUE >= -1)",
    "CREATE TABLE T (ID INTEGER GENERATED ALWAYS AS IDENTITY (START WITH 100 INCREMENT BY 7) "
    "PRIMARY KEY, I INT128, N NUMERIC(38,6), A AMOUNT, DF16 DECFLOAT(16), DF34 DECFLOAT(34), "
    "TTZ TIME WITH TIME ZONE, TSZ TIMESTAMP WITH TIME ZONE, BN BINARY(4))",
    "CREATE INDEX T_I ON T (I)",
    "CREATE DESCENDING INDEX T_TSZ ON T (TSZ)",
    "CREATE VIEW V AS SELECT ID, I * 2 AS I2, DF34 + 1 AS D FROM T",
    "INSERT INTO T (I, N, A, DF16, DF34, TTZ, TSZ, BN) VALUES ("
    "170141183460469231731687303715884105727, 12345678901234567890123456789012.123456, "
    "99999999999999999999999999999999.9999, 1.234567890123456E300, "
    "-9.999999999999999999999999999999999E6144, TIME '10:11:12.3456 Europe/Prague', "
    "TIMESTAMP '2024-02-29 23:59:59.9999 America/Sao_Paulo', X'DEADBEEF')",
    "INSERT INTO T (I, N, DF16, DF34, TTZ, TSZ) VALUES ("
    "-170141183460469231731687303715884105728, -0.000001, CAST('Infinity' AS DECFLOAT(16)), "
    "CAST('-NaN' AS DECFLOAT(34)), TIME '00:00:00 +05:30', TIMESTAMP '0001-01-01 00:00:00 -14:00')",
    "INSERT INTO T (I) VALUES (NULL)",
};

// Every column as the server's own text, in key order.
QString rowsQuery()
{
    QStringList texts{QStringLiteral("ID")};
    for (const char *column : {"I", "N", "A", "DF16", "DF34", "TTZ", "TSZ"})
        texts << QStringLiteral("COALESCE(CAST(%1 AS VARCHAR(60)), '-')").arg(column);
    texts << QStringLiteral("COALESCE(HEX_ENCODE(BN), '-')");
    return "SELECT " + texts.join(" || '|' || ") + " FROM T ORDER BY ID";
}

class Attachment
{
public:
    explicit Attachment(const QString &database) : m_db(QUuid::createUuid().toString())
    {
        m_db.setParam(QStringLiteral("SERVER NAME"), database);
        m_db.setParam(QStringLiteral("USER NAME"), kUser);
        m_db.setParam(QStringLiteral("PASSWORD"), kPassword);
        m_db.Open();
    }

    QString script() const { return SchemaScript(SchemaReader(m_db.connection()).read()).text(); }

    QStringList rows() const
    {
        QSqlQuery query(m_db.connection());
        if (!query.exec(rowsQuery()))
            qFatal("rows: %s", qPrintable(query.lastError().text()));
        QStringList rows;
        while (query.next())
            rows << query.value(0).toString();
        return rows;
    }

    // A row the identity numbers: it must go on from where the original stood.
    void insert() { m_db.ExecuteStatement(QStringLiteral("INSERT INTO T (I) VALUES (1)"), true); }

private:
    TIBDataBase m_db;
};

ServiceMonitor logInto(QStringList &log)
{
    ServiceMonitor monitor;
    monitor.line = [&log](const QString &line) { log << line; };
    return monitor;
}

} // namespace

void TestFb4Services::init()
{
    if (TestDatabase::firebird4().folder.isEmpty())
        QSKIP("no Firebird 4 server named (QUORVEL_FB4_FOLDER)");
}

void TestFb4Services::backupRestoreValidateAndCount()
{
    const TestDatabase original(TestDatabase::firebird4(), 3);
    original.execute(kSchema);
    QTemporaryDir here;
    QVERIFY(here.isValid());
    QStringList log;

    BackupJob::Options backup;
    backup.database = original.path();
    backup.file = here.filePath(QStringLiteral("fb4.fbk"));
    BackupJob(backup, kUser, kPassword).run(logInto(log));

    RestoreJob::Options restore;
    restore.file = backup.file;
    restore.database = RestoreTarget::siblingName(original.path(), QStringLiteral("copy"));
    restore.verbose = true;
    RestoreJob(restore, kUser, kPassword).run(logInto(log));
    const auto drop =
        qScopeGuard([&] { RestoreTarget(restore.database, kUser, kPassword).dropQuietly(); });

    Attachment source(original.path());
    Attachment copy(restore.database);
    QCOMPARE(copy.script(), source.script());
    QCOMPARE(
        BackupVerification(original.path(), kUser, kPassword).run(backup.file, false, logInto(log)),
        QStringList());
    source.insert();
    copy.insert();
    QCOMPARE(copy.rows(), source.rows());
    QCOMPARE(copy.rows().size(), 4);

    const DatabaseService service(restore.database, kUser, kPassword);
    log.clear();
    service.validateOnline(logInto(log));
    QVERIFY2(log.filter(QStringLiteral(" (T) is ok")).size() == 1, qPrintable(log.join('\n')));
    QCOMPARE(log.filter(QStringLiteral("error"), Qt::CaseInsensitive), QStringList());
    log.clear();
    service.statistics(isc_spb_sts_data_pages | isc_spb_sts_idx_pages | isc_spb_sts_record_versions,
                       logInto(log));
    const DatabaseStatistics statistics(log);
    QCOMPARE(statistics.headerValue(QStringLiteral("ODS version")), QStringLiteral("13.0"));
    const auto table = std::find_if(statistics.tables().begin(), statistics.tables().end(),
                                    [](const auto &t) { return t.name == QLatin1String("T"); });
    QVERIFY(table != statistics.tables().end());
    QCOMPARE(table->records, 4);
    QCOMPARE(table->indices.size(), 3);
}

QUORVEL_DATA_TEST_MAIN(TestFb4Services)
#include "tst_fb4services.moc"
