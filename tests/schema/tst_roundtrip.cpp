#include "core/AppError.h"
#include "schema/CatalogFingerprint.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaScript.h"
#include "support/DataTestMain.h"
#include "support/IsqlScript.h"
#include "support/TestAttachment.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
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

QString scriptOf(const TestDatabase &db)
{
    const TestAttachment attached(db);
    return SchemaScript(SchemaReader(attached.connection()).read()).text();
}

QStringList fingerprintOf(const TestDatabase &db)
{
    const TestAttachment attached(db);
    return CatalogFingerprint(attached.connection()).lines();
}

// The program's own verdict on the database, "identical" or what differs.
QString verdictOf(const TestDatabase &db)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ISC_USER"), QStringLiteral("SYSDBA"));
    environment.insert(QStringLiteral("ISC_PASSWORD"), QStringLiteral("masterkey"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(qEnvironmentVariable("QUORVEL_PROGRAM"),
                  {QStringLiteral("--verify"), db.path()});
    if (!program.waitForFinished(120000))
        return QStringLiteral("--verify did not finish");
    return QString::fromUtf8(program.readAllStandardOutput() + program.readAllStandardError())
        .trimmed();
}

// Users of the security database the whole engine shares: named after this
// process, so that suites running at once never meet, and gone afterwards.
QString userName(const QString &name)
{
    return QStringLiteral("QV%1_%2").arg(QCoreApplication::applicationPid()).arg(name);
}

void createUsers(const TestDatabase &db, const QStringList &users, bool create)
{
    const QString statement = create ? QStringLiteral("CREATE OR ALTER USER %1 PASSWORD 'pw'")
                                     : QStringLiteral("DROP USER %1");
    for (const QString &u : users)
        db.execute(statement.arg(userName(u)));
}

// Every compiled object and its BLR, in hexadecimal.
QStringList blrOf(const TestDatabase &db)
{
    const TestAttachment attached(db);
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

// A file of the data folder, the gzipped employee sample or the script itself.
QByteArray setupScript(const QString &source, const QStringList &users)
{
    if (source.endsWith(QLatin1String(".gz")))
        return IsqlScript::unpacked(source);
    if (source.contains(QLatin1Char(';'))) {
        QString text = source;
        for (const QString &u : users)
            text.replace(QLatin1Char('%') + u, userName(u));
        return text.toUtf8();
    }
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
    QTest::addColumn<QString>("setup"); // a data file or the isql script itself
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QStringList>("users"); // %name in the script
    QTest::newRow("every kind, dialect 3") << QStringLiteral("every_kind_d3.sql") << 3
                                           << QStringList();
    QTest::newRow("dialect 1") << QStringLiteral("every_kind_d1.sql") << 1 << QStringList();
    QTest::newRow("employee sample") << IsqlScript::employeeSample() << 3 << QStringList();
    QTest::newRow("benchmark schema") << QString() << 1 << QStringList();
    QTest::newRow("default before a -- comment")
        << QStringLiteral("SET TERM ^;\n"
                          "CREATE PROCEDURE SP_TEST (A INT DEFAULT NULL -- trailing comment\n"
                          ") AS BEGIN END^\n"
                          "CREATE FUNCTION F_TEST (A INT DEFAULT 1 -- trailing comment\n"
                          ") RETURNS INT AS BEGIN RETURN A; END^\n"
                          "SET TERM ;^\n"
                          "CREATE DOMAIN D_C AS INT DEFAULT 0 -- domain comment\n;\n"
                          "CREATE TABLE T_C (A INT DEFAULT 1 -- column comment\n, B D_C);\n")
        << 3 << QStringList();
    QTest::newRow("view whose PLAN names an index")
        << QStringLiteral("CREATE TABLE TEST (Y INT NOT NULL CONSTRAINT PK_TEST PRIMARY KEY);\n"
                          "CREATE DESCENDING INDEX TEST_Y ON TEST (Y);\n"
                          "CREATE VIEW V_WORKER AS SELECT COUNT(*) AS CNT FROM TEST GROUP BY Y "
                          "PLAN (TEST ORDER TEST_Y);\n"
                          "CREATE VIEW V_KEY AS SELECT Y FROM TEST WHERE Y = 1 "
                          "PLAN (TEST INDEX (PK_TEST));\n")
        << 3 << QStringList();
    QTest::newRow("column of a system domain")
        << QStringLiteral("CREATE TABLE TEST (WHOAMI RDB$USER, N INT);\n"
                          "SET TERM ^;\n"
                          "CREATE PROCEDURE SP_WHO (A RDB$USER) RETURNS (B RDB$USER) "
                          "AS BEGIN B = A; END^\n"
                          "SET TERM ;^\n")
        << 3 << QStringList();
    QTest::newRow("TYPE OF COLUMN of a view")
        << QStringLiteral("CREATE VIEW V_TEST AS SELECT 1 AS X FROM RDB$DATABASE;\n"
                          "SET TERM ^;\n"
                          "CREATE PROCEDURE SP_TEST (A_X TYPE OF COLUMN V_TEST.X) "
                          "AS BEGIN END^\n"
                          "CREATE FUNCTION F_TEST (A_X TYPE OF COLUMN V_TEST.X) RETURNS INT "
                          "AS BEGIN RETURN A_X; END^\n"
                          "SET TERM ;^\n")
        << 3 << QStringList();
    QTest::newRow("view ending in a -- comment")
        << QStringLiteral("CREATE VIEW V AS SELECT 1 AS X FROM RDB$DATABASE -- trailing comment\n"
                          ";\nCREATE TABLE AFTER_V (A INT);\n")
        << 3 << QStringList();
    QTest::newRow("role granted to SYSDBA")
        << QStringLiteral("CREATE ROLE POOR_DBA;\nGRANT POOR_DBA TO SYSDBA;\n") << 3
        << QStringList();
    // Named bare, the user's privilege would go to the role.
    QTest::newRow("a user named as a role")
        << QStringLiteral("CREATE TABLE T (A INT);\nCREATE ROLE R;\n"
                          "GRANT SELECT ON T TO USER R;\nGRANT INSERT ON T TO R;\n")
        << 3 << QStringList();
    QTest::newRow("GRANTED BY")
        << QStringLiteral("CREATE ROLE BOSS;\n"
                          "GRANT BOSS TO %U1 WITH ADMIN OPTION;\n"
                          "GRANT BOSS TO %U2 GRANTED BY %U1;\n"
                          "GRANT BOSS TO %U3 WITH ADMIN OPTION GRANTED BY %U1;\n"
                          "CREATE TABLE T (X INT);\n"
                          "GRANT SELECT ON T TO %U1 WITH GRANT OPTION;\n"
                          "GRANT SELECT ON T TO %U2 GRANTED BY %U1;\n"
                          "GRANT SELECT ON T TO %U3 WITH GRANT OPTION GRANTED BY %U1;\n")
        << 3 << QStringList{"U1", "U2", "U3"};
    QTest::newRow("collations out of name order")
        << QStringLiteral("CREATE COLLATION ZZ_COLL FOR WIN1252 FROM WIN_PTBR CASE INSENSITIVE;\n"
                          "CREATE COLLATION AA_COLL FOR WIN1252 FROM WIN_PTBR "
                          "ACCENT INSENSITIVE;\n"
                          "CREATE TABLE TC (A VARCHAR(5) CHARACTER SET WIN1252 COLLATE AA_COLL, "
                          "B VARCHAR(5) CHARACTER SET WIN1252 COLLATE ZZ_COLL);\n"
                          "CREATE VIEW VC AS SELECT A FROM TC WHERE B = _WIN1252 'x' "
                          "COLLATE AA_COLL;\n")
        << 3 << QStringList();
    QTest::newRow("literal of a NONE database")
        << QStringLiteral("CREATE TABLE TX (X INT);\n"
                          "CREATE VIEW VX AS SELECT CAST(X AS VARCHAR(32000)) || '->' AS S "
                          "FROM TX;\n")
        << 3 << QStringList();
}

void tst_RoundTrip::replaysExactly()
{
    QFETCH(QString, setup);
    QFETCH(int, dialect);
    QFETCH(QStringList, users);
    const TestDatabase original(QStringLiteral("a.fdb"), dialect);
    createUsers(original, users, true);
    const auto dropUsers = qScopeGuard([&] { createUsers(original, users, false); });
    if (setup.isEmpty()) {
        generateBenchmarkSchema(original);
    } else {
        const QByteArray setupText = setupScript(setup, users);
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
    QCOMPARE(fingerprintOf(copy), fingerprintOf(original));
    QCOMPARE(verdictOf(original), QStringLiteral("identical"));
}

void tst_RoundTrip::readingStopsWhenAsked()
{
    const TestDatabase db(QStringLiteral("stop.fdb"), 3);
    const TestAttachment attached(db);
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
        const TestAttachment attached(db);
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
