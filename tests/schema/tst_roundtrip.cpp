#include "core/AppError.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaScript.h"
#include "support/DataTestMain.h"
#include "support/IsqlScript.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

// The metadata script re-creates its database exactly: replayed by a client
// we did not write into an empty database, that database gives the same
// script again, and every compiled object the same BLR.
class tst_RoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void replaysExactly_data();
    void replaysExactly();
    void readingStopsWhenAsked();
    void readsOneSnapshot();
};

namespace {

// An attachment of its own under a name no other test uses.
class Attached
{
public:
    Attached(const TestDatabase &db) : m_name(QUuid::createUuid().toString())
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("INTRBASE"), m_name);
        c.setDatabaseName(db.path());
        c.setConnectOptions(QStringLiteral("ISC_DIALECT=%1").arg(db.dialect()));
        c.setUserName(QStringLiteral("SYSDBA"));
        c.setPassword(QStringLiteral("masterkey"));
        if (!c.open())
            qFatal("cannot open %s: %s", qPrintable(db.path()), qPrintable(c.lastError().text()));
    }
    ~Attached()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase connection() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

QString scriptOf(const TestDatabase &db)
{
    const Attached attached(db);
    return SchemaScript(SchemaReader(attached.connection()).read()).text();
}

// Every compiled object and its BLR, in hexadecimal.
QStringList blrOf(const TestDatabase &db)
{
    const Attached attached(db);
    QSqlQuery q(attached.connection());
    const bool ok = q.exec(QStringLiteral(
        "SELECT 'PROCEDURE ' || RDB$PROCEDURE_NAME, RDB$PROCEDURE_BLR FROM RDB$PROCEDURES "
        "UNION ALL SELECT 'FUNCTION ' || COALESCE(RDB$PACKAGE_NAME || '.', '') || "
        "RDB$FUNCTION_NAME, RDB$FUNCTION_BLR FROM RDB$FUNCTIONS "
        "UNION ALL SELECT 'TRIGGER ' || RDB$TRIGGER_NAME, RDB$TRIGGER_BLR FROM RDB$TRIGGERS "
        "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
        "UNION ALL SELECT 'VIEW ' || RDB$RELATION_NAME, RDB$VIEW_BLR FROM RDB$RELATIONS "
        "WHERE RDB$VIEW_BLR IS NOT NULL AND COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
        "ORDER BY 1"));
    if (!ok)
        qFatal("%s", qPrintable(q.lastError().text()));
    QStringList rows;
    while (q.next())
        rows << q.value(0).toString().trimmed() + QLatin1Char(' ')
                    + QString::fromLatin1(q.value(1).toByteArray().toHex());
    return rows;
}

// What the server stores for every column and parameter, by name and
// position rather than by the names it gives implicit domains.
QStringList shapesOf(const TestDatabase &db)
{
    const QString type = QStringLiteral(
        "F.RDB$FIELD_TYPE || ',' || COALESCE(F.RDB$FIELD_SUB_TYPE, 0) || ',' || "
        "F.RDB$FIELD_LENGTH || ',' || COALESCE(F.RDB$FIELD_SCALE, 0) || ',' || "
        "COALESCE(F.RDB$FIELD_PRECISION, 0) || ',' || COALESCE(F.RDB$CHARACTER_SET_ID, -1) || "
        "',' || COALESCE(F.RDB$DIMENSIONS, 0) || ',' || COALESCE(F.RDB$SEGMENT_LENGTH, 0)");
    return db.column(
        QStringLiteral(
            "SELECT TRIM(R.RDB$RELATION_NAME) || '.' || TRIM(R.RDB$FIELD_NAME) || ' #' || "
            "R.RDB$FIELD_POSITION || ' ' || %1 || ' null:' || COALESCE(R.RDB$NULL_FLAG, 0) || "
            "' coll:' || COALESCE(R.RDB$COLLATION_ID, F.RDB$COLLATION_ID, -1) || ' id:' || "
            "COALESCE(R.RDB$IDENTITY_TYPE, -1) || ' def:' || COALESCE(CAST(R.RDB$DEFAULT_SOURCE "
            "AS VARCHAR(200)), '') || ' comp:' || COALESCE(CAST(F.RDB$COMPUTED_SOURCE AS "
            "VARCHAR(500)), '') FROM RDB$RELATION_FIELDS R JOIN RDB$FIELDS F ON "
            "F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE WHERE COALESCE(R.RDB$SYSTEM_FLAG, 0) = 0 "
            "UNION ALL SELECT TRIM(P.RDB$PROCEDURE_NAME) || '(' || TRIM(P.RDB$PARAMETER_NAME) || "
            "') #' || P.RDB$PARAMETER_TYPE || P.RDB$PARAMETER_NUMBER || ' ' || %1 || ' null:' || "
            "COALESCE(P.RDB$NULL_FLAG, 0) || ' coll:' || COALESCE(P.RDB$COLLATION_ID, "
            "F.RDB$COLLATION_ID, -1) || ' mech:' || COALESCE(P.RDB$PARAMETER_MECHANISM, 0) || "
            "' def:' || COALESCE(CAST(P.RDB$DEFAULT_SOURCE AS VARCHAR(200)), '') "
            "FROM RDB$PROCEDURE_PARAMETERS P JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = "
            "P.RDB$FIELD_SOURCE WHERE COALESCE(P.RDB$SYSTEM_FLAG, 0) = 0 "
            "UNION ALL SELECT TRIM(A.RDB$FUNCTION_NAME) || '(' || COALESCE(TRIM("
            "A.RDB$ARGUMENT_NAME), '') || ') #' || A.RDB$ARGUMENT_POSITION || ' ' || %1 || "
            "' null:' || COALESCE(A.RDB$NULL_FLAG, 0) || ' mech:' || COALESCE("
            "A.RDB$ARGUMENT_MECHANISM, 0) FROM RDB$FUNCTION_ARGUMENTS A JOIN RDB$FIELDS F ON "
            "F.RDB$FIELD_NAME = A.RDB$FIELD_SOURCE WHERE COALESCE(A.RDB$SYSTEM_FLAG, 0) = 0 "
            "ORDER BY 1")
            .arg(type));
}

// Runs a script with the server's own client, isql-fb, stopping at its first error.
void replay(const TestDatabase &db, const QByteArray &script)
{
    const QString failure = IsqlScript::replay(db, script);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

QByteArray setupScript(const QString &source)
{
    if (source.endsWith(QLatin1String(".gz")))
        return IsqlScript::unpacked(source);
    QFile file(QStringLiteral(QUORVEL_SCHEMA_DATA "/") + source);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The benchmark's schema in its small size, written over the empty file.
void generateBenchmarkSchema(const TestDatabase &db)
{
    if (qEnvironmentVariableIsEmpty("QUORVEL_BENCHGEN"))
        QSKIP("this build has no benchmark generator");
    QProcess generator;
    generator.setProcessChannelMode(QProcess::MergedChannels);
    generator.start(qEnvironmentVariable("QUORVEL_BENCHGEN"), {QStringLiteral("--tiny"), db.path()});
    QVERIFY2(generator.waitForFinished(300000) && generator.exitCode() == 0,
             generator.readAll().constData());
}

} // namespace

void tst_RoundTrip::replaysExactly_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("dialect");
    QTest::newRow("every kind, dialect 3") << QStringLiteral("every_kind_d3.sql") << 3;
    QTest::newRow("dialect 1") << QStringLiteral("every_kind_d1.sql") << 1;
    QTest::newRow("employee sample") << IsqlScript::employeeSample() << 3;
    QTest::newRow("benchmark schema") << QString() << 1;
}

void tst_RoundTrip::replaysExactly()
{
    QFETCH(QString, setup);
    QFETCH(int, dialect);
    const TestDatabase original(QStringLiteral("a.fdb"), dialect);
    if (setup.isEmpty()) {
        generateBenchmarkSchema(original);
    } else {
        const QByteArray setupText = setupScript(setup);
        QVERIFY2(!setupText.isEmpty(), qPrintable(setup + QStringLiteral(" is missing")));
        replay(original, setupText);
    }
    if (QTest::currentTestFailed())
        return;
    const QString script = scriptOf(original);

    const TestDatabase copy(QStringLiteral("b.fdb"), dialect);
    replay(copy, script.toUtf8());
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(scriptOf(copy), script);
    QCOMPARE(blrOf(copy), blrOf(original));
    QCOMPARE(shapesOf(copy), shapesOf(original));
}

void tst_RoundTrip::readingStopsWhenAsked()
{
    const TestDatabase db(QStringLiteral("stop.fdb"), 3);
    const Attached attached(db);
    SchemaReader reader(attached.connection());
    QList<int> steps;
    reader.setProgress([&steps](int step, int) {
        steps << step;
        return step < 2;
    });
    bool stopped = false;
    try {
        reader.read();
    } catch (const SilentAbort &) {
        stopped = true;
    }
    QVERIFY(stopped);
    QCOMPARE(steps, (QList<int>{0, 1, 2}));
}

// Another user commits a domain and a table typed by it before every step of
// a reading: the reading sees none of them, only the catalogue it began with.
void tst_RoundTrip::readsOneSnapshot()
{
    const TestDatabase db(QStringLiteral("snapshot.fdb"), 3);
    db.execute({"CREATE DOMAIN D0 AS INTEGER", "CREATE TABLE T0 (X D0)"});
    const QString before = scriptOf(db);
    QString during;
    {
        const Attached attached(db);
        SchemaReader reader(attached.connection());
        reader.setProgress([&db](int step, int) {
            db.execute({QStringLiteral("CREATE DOMAIN NEWD_%1 AS INTEGER").arg(step),
                        QStringLiteral("CREATE TABLE NEWT_%1 (X NEWD_%1)").arg(step)});
            return true;
        });
        during = SchemaScript(reader.read()).text();
    }
    QCOMPARE(during, before);
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS "
                                      "WHERE RDB$RELATION_NAME STARTING 'NEWT_'")),
             QString::number(SchemaReader::stepCount()));
}

QUORVEL_DATA_TEST_MAIN(tst_RoundTrip)
#include "tst_roundtrip.moc"
