#include "core/AppError.h"
#include "ibdb/IbBlobPreview.h"
#include "ibdb/IbDriver.h"
#include "ibdb/IbGeneratorValue.h"
#include "ibdb/IbResult.h"
#include "ibdb/IbStatus.h"
#include "ibdb/IbTransactionStart.h"
#include "support/DataTestMain.h"
#include "support/TestDatabase.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTest>
#include <QTimer>

#include <limits>
#include <memory>

// Fails with the query's error when a statement does not succeed.
#define QVERIFY_SQL(q, cond) QVERIFY2((q).cond, qPrintable((q).lastError().text()))

namespace {

const QString connectionName = QStringLiteral("tst_ibdriver");

QSqlDatabase openDatabase(const QString &path, const QString &name,
                          const QString &options = QString())
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("INTRBASE"), name);
    db.setDatabaseName(path);
    db.setUserName(QStringLiteral("SYSDBA"));
    db.setPassword(QStringLiteral("masterkey"));
    db.setConnectOptions(options);
    db.open();
    return db;
}

} // namespace

class TestIbDriver : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void openWrongPathGivesServerText();
    void unsupportedDialectIsRefused();
    void valuesRoundTrip_data();
    void valuesRoundTrip();
    void dialect3Types();
    void speaksTheDatabasesDialect_data();
    void speaksTheDatabasesDialect();
    void parameters_data();
    void parameters();
    void resultRecordNamesFromAliases();
    void streamsRowsOnDemand();
    void forwardOnlyReadsEveryRow();
    void modelAskingDuringABatchStillGetsEveryRow();
    void readAheadKeepsEveryRowInOrder_data();
    void readAheadKeepsEveryRowInOrder();
    void closedWhileReadingAhead();
    void forwardOnlyReadAheadBesideOtherCalls();
    void generatorValues_data();
    void generatorValues();
    void rowsBeforeAFailedFetchStay_data();
    void rowsBeforeAFailedFetchStay();
    void rowsRevisitedAfterTheEnd_data();
    void rowsRevisitedAfterTheEnd();
    void longRowsAmongShortOnes_data();
    void longRowsAmongShortOnes();
    void tableModelChangesAreCommitted();
    void tableModelWithoutPrimaryKey();
    void errorsKeepDriverUsable_data();
    void errorsKeepDriverUsable();
    void nothingLeaksAfterErrors();
    void catalogue();
    void handleSharesAttachment();
    void returningRowAndRowsAffected();
    void closeReleasesOpenQueries();
    void closeWhileOtherTransactionIsOpenReportsIt();
    void formatValue_data();
    void formatValue();

private:
    QSqlDatabase db() const { return QSqlDatabase::database(connectionName, false); }
    // Rows of a monitoring table (MON$TRANSACTIONS, MON$STATEMENTS) that
    // belong to this test's attachment, the counting query's own included.
    int ownMonitorRows(const QString &table) const;
    int openTransactions() const { return ownMonitorRows("MON$TRANSACTIONS"); }

    std::unique_ptr<TestDatabase> m_database;
};

void TestIbDriver::initTestCase()
{
    m_database = std::make_unique<TestDatabase>();
    m_database->execute({
        "CREATE TABLE ITEMS (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(40), "
        "CODE CHAR(8) NOT NULL)",
        "CREATE TABLE NOPK (A INTEGER, B VARCHAR(10))",
        "CREATE VIEW ITEM_NAMES (NAME) AS SELECT NAME FROM ITEMS",
        "CREATE TABLE VALS (ID INTEGER NOT NULL PRIMARY KEY, C CHAR(10), V VARCHAR(20), "
        "S SMALLINT, I INTEGER, N NUMERIC(9,2), F FLOAT, D DOUBLE PRECISION, DT DATE, "
        "BT BLOB SUB_TYPE 1, BB BLOB SUB_TYPE 0)",
        "CREATE TABLE BIG (N INTEGER NOT NULL PRIMARY KEY)",
        "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 20000) DO BEGIN "
        "INSERT INTO BIG VALUES (:I); I = I + 1; END END",
        "INSERT INTO ITEMS VALUES (1, 'one', 'A')",
        "INSERT INTO NOPK VALUES (1, 'x')",
    });
    // A dialect-1 statement takes no literal beyond 32 bits.
    m_database->executeInDialect(3, {
        "CREATE SEQUENCE G_LOW",
        "SET GENERATOR G_LOW TO -9223372036854775808",
        "CREATE SEQUENCE G_ZERO",
        "CREATE SEQUENCE G_HIGH",
        "SET GENERATOR G_HIGH TO 9223372036854775807",
    });
    QVERIFY2(openDatabase(m_database->path(), connectionName).isOpen(),
             qPrintable(db().lastError().text()));
}

void TestIbDriver::cleanupTestCase()
{
    QSqlDatabase::database(connectionName, false).close();
    QSqlDatabase::removeDatabase(connectionName);
    m_database.reset();
}

int TestIbDriver::ownMonitorRows(const QString &table) const
{
    QSqlQuery q(db());
    q.exec("SELECT COUNT(*) FROM " + table + " WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION");
    return q.next() ? q.value(0).toInt() : -1;
}

void TestIbDriver::openWrongPathGivesServerText()
{
    const QString path = m_database->folder() + QStringLiteral("/missing/none.fdb");
    {
        QSqlDatabase wrong = openDatabase(path, QStringLiteral("wrong"));
        QVERIFY(!wrong.isOpen());
        const QSqlError error = wrong.lastError();
        QCOMPARE(error.type(), QSqlError::ConnectionError);
        QCOMPARE(error.text(), error.databaseText());
        QCOMPARE(error.databaseText().section(u'\n', 0, 0),
                 QStringLiteral("I/O error during \"open\" operation for file \"%1\"").arg(path));
        QVERIFY(error.driverText().isEmpty());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("wrong"));
}

void TestIbDriver::unsupportedDialectIsRefused()
{
    {
        QSqlDatabase other =
            openDatabase(m_database->path(), QStringLiteral("dialect2"), "ISC_DIALECT=2");
        QVERIFY(!other.isOpen());
        QCOMPARE(other.lastError().text(), QStringLiteral("Unsupported SQL dialect \"2\""));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("dialect2"));
}

void TestIbDriver::valuesRoundTrip_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("expected");

    const QString longText = QString(QStringLiteral("Grüße €, ")).repeated(9000);
    QByteArray binary;
    for (int i = 0; i < 70000; ++i)
        binary += char(i % 256);
    const QDateTime stamp(QDate(2024, 2, 29), QTime(13, 14, 15, 123));

    QTest::newRow("char loses trailing blanks") << "C" << QVariant("ab ") << QVariant("ab");
    QTest::newRow("char as UTF-8") << "C" << QVariant("äö€") << QVariant("äö€");
    QTest::newRow("char keeps inner blanks")
        << "C" << QVariant("a        b") << QVariant("a        b");
    QTest::newRow("char of blanks") << "C" << QVariant("        ") << QVariant("");
    QTest::newRow("char filled") << "C" << QVariant("abcdefghij") << QVariant("abcdefghij");
    QTest::newRow("varchar keeps blanks") << "V" << QVariant(" x  ") << QVariant(" x  ");
    QTest::newRow("varchar from number") << "V" << QVariant(42) << QVariant("42");
    QTest::newRow("smallint") << "S" << QVariant(-12) << QVariant(-12);
    QTest::newRow("integer") << "I" << QVariant(70000) << QVariant(70000);
    QTest::newRow("integer from text") << "I" << QVariant("123") << QVariant(123);
    QTest::newRow("integer from bool") << "I" << QVariant(true) << QVariant(1);
    QTest::newRow("numeric") << "N" << QVariant(12.34) << QVariant(12.34);
    QTest::newRow("numeric from integer") << "N" << QVariant(7) << QVariant(7.0);
    QTest::newRow("numeric from text") << "N" << QVariant("-5.5") << QVariant(-5.5);
    QTest::newRow("float") << "F" << QVariant(1.5) << QVariant(1.5);
    QTest::newRow("double") << "D" << QVariant(3.0e100) << QVariant(3.0e100);
    QTest::newRow("date is a timestamp") << "DT" << QVariant(stamp) << QVariant(stamp);
    QTest::newRow("date from QDate") << "DT" << QVariant(QDate(1858, 11, 16))
                                     << QVariant(QDateTime(QDate(1858, 11, 16), QTime(0, 0)));
    QTest::newRow("date from text") << "DT" << QVariant("2001-02-03 04:05:06")
                                    << QVariant(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)));
    QTest::newRow("text blob") << "BT" << QVariant(longText) << QVariant(longText);
    QTest::newRow("empty text blob") << "BT" << QVariant(QString("")) << QVariant(QString(""));
    QTest::newRow("binary blob") << "BB" << QVariant(binary) << QVariant(binary);
    QTest::newRow("null char") << "C" << QVariant() << QVariant(QMetaType(QMetaType::QString));
    QTest::newRow("null integer") << "I" << QVariant(QMetaType(QMetaType::Int))
                                  << QVariant(QMetaType(QMetaType::Int));
    QTest::newRow("null numeric") << "N" << QVariant() << QVariant(QMetaType(QMetaType::Double));
    QTest::newRow("null date") << "DT" << QVariant() << QVariant(QMetaType(QMetaType::QDateTime));
    QTest::newRow("null text blob") << "BT" << QVariant()
                                    << QVariant(QMetaType(QMetaType::QString));
    QTest::newRow("null binary blob") << "BB" << QVariant()
                                      << QVariant(QMetaType(QMetaType::QByteArray));
}

void TestIbDriver::valuesRoundTrip()
{
    QFETCH(QString, column);
    QFETCH(QVariant, value);
    QFETCH(QVariant, expected);

    static int id = 0;
    ++id;
    QSqlQuery insert(db());
    QVERIFY_SQL(insert, prepare(QStringLiteral("INSERT INTO VALS (ID, %1) VALUES (:ID, :VAL)")
                                    .arg(column)));
    insert.bindValue(":ID", id);
    insert.bindValue(":VAL", value);
    QVERIFY_SQL(insert, exec());
    QCOMPARE(insert.numRowsAffected(), 1);

    QSqlQuery select(db());
    const QString query = QStringLiteral("SELECT %1 FROM VALS WHERE ID = %2").arg(column).arg(id);
    QVERIFY_SQL(select, exec(query));
    QVERIFY(select.next());
    const QVariant read = select.value(0);
    QCOMPARE(read.metaType(), expected.metaType());
    QCOMPARE(read.isNull(), expected.isNull());
    if (expected.metaType().id() == QMetaType::Double)
        QCOMPARE(read.toDouble(), expected.toDouble());
    else
        QCOMPARE(read, expected);
    QCOMPARE(select.record().field(0).metaType(), expected.metaType());
    QVERIFY(!select.next());
}

void TestIbDriver::dialect3Types()
{
    // Only a dialect-3 database knows TIME and BIGINT.
    const QString path = m_database->folder() + QStringLiteral("/dialect3.fdb");
    const QByteArray create =
        QStringLiteral("CREATE DATABASE '%1' USER 'SYSDBA' PASSWORD 'masterkey'")
            .arg(path).toUtf8();
    ISC_STATUS_ARRAY status;
    IbAttachment creator;
    isc_tr_handle none = 0;
    isc_dsql_execute_immediate(status, creator.ref(), &none, 0, create.constData(), 3, nullptr);
    QVERIFY2(!IbStatus::failed(status), qPrintable(IbStatus::plainText(status)));
    creator.reset();
    {
        QSqlDatabase d3 = openDatabase(path, QStringLiteral("d3"), "ISC_DIALECT=3");
        QVERIFY2(d3.isOpen(), qPrintable(d3.lastError().text()));
        QSqlQuery q(d3);
        QVERIFY_SQL(q, exec("SELECT CAST('10:11:12.345' AS TIME), CAST(9000000000 AS BIGINT), "
                            "CAST(1234.56 AS NUMERIC(18,2)), CAST('2020-01-02' AS DATE), "
                            "'text' FROM RDB$DATABASE"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0), QVariant(QTime(10, 11, 12, 345)));
        QCOMPARE(q.value(1), QVariant(qlonglong(9000000000)));
        QCOMPARE(q.value(2).toDouble(), 1234.56);
        QCOMPARE(q.value(3), QVariant(QDate(2020, 1, 2)));
        // Dialect 3 reads double quotes as names: the text must stay single-quoted.
        QCOMPARE(q.value(4), QVariant("text"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("d3"));
}

void TestIbDriver::speaksTheDatabasesDialect_data()
{
    QTest::addColumn<int>("created");
    QTest::addColumn<QString>("options");
    QTest::addColumn<int>("spoken");
    QTest::addColumn<QString>("quotient");
    QTest::addColumn<QString>("quoted");
    // Integer division and "..." tell which dialect a statement was compiled in.
    QTest::newRow("dialect 1") << 1 << QString() << 1 << "3.5" << "text";
    QTest::newRow("dialect 3") << 3 << QString() << 3 << "3" << "TEXT";
    QTest::newRow("dialect 3, asked for 1") << 3 << "ISC_DIALECT=1" << 1 << "3.5" << "text";
}

void TestIbDriver::speaksTheDatabasesDialect()
{
    QFETCH(int, created);
    QFETCH(QString, options);
    QFETCH(int, spoken);
    QFETCH(QString, quotient);
    QFETCH(QString, quoted);
    TestDatabase database(QStringLiteral("dialect.fdb"), created);
    if (created == 3)
        database.execute({"CREATE TABLE T (\"text\" INTEGER, TEXT VARCHAR(5))",
                          "INSERT INTO T VALUES (1, 'TEXT')"});
    {
        QSqlDatabase db = openDatabase(database.path(), QStringLiteral("own"), options);
        QVERIFY2(db.isOpen(), qPrintable(db.lastError().text()));
        QCOMPARE(static_cast<IbDriver *>(db.driver())->dialect(), spoken);
        QSqlQuery q(db);
        QVERIFY_SQL(q, exec("SELECT 7/2 FROM RDB$DATABASE"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), quotient);
        if (spoken == 1)
            QVERIFY_SQL(q, exec("SELECT \"text\" FROM RDB$DATABASE"));
        else
            QVERIFY_SQL(q, exec("SELECT TEXT FROM T WHERE \"text\" = 1"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), quoted);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("own"));
}

void TestIbDriver::parameters_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("placeholders"); // empty entry: bound by position
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QString>("expected");

    const QString relationByName = QStringLiteral(
        "SELECT RDB$RELATION_NAME FROM RDB$RELATIONS "
        "WHERE RDB$RELATION_NAME = :\"RDB$RELATION_NAME\"");
    QTest::newRow("quoted name bound without quotes")
        << relationByName << QStringList{":RDB$RELATION_NAME"} << QVariantList{"ITEMS"}
        << "ITEMS";
    QTest::newRow("quoted name bound with quotes")
        << relationByName << QStringList{":\"RDB$RELATION_NAME\""} << QVariantList{"ITEMS"}
        << "ITEMS";
    QTest::newRow("plain name with dollar")
        << "SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = :RDB$X"
        << QStringList{":RDB$X"} << QVariantList{"NOPK"} << "NOPK";
    QTest::newRow("positional")
        << "SELECT NAME FROM ITEMS WHERE ID = ? AND CODE = ?" << QStringList{"", ""}
        << QVariantList{1, "A"} << "one";
    QTest::newRow("named bound by position")
        << "SELECT NAME FROM ITEMS WHERE ID = :ID" << QStringList{""} << QVariantList{1}
        << "one";
    QTest::newRow("repeated name")
        << "SELECT CAST(:A AS VARCHAR(5)) || CAST(:A AS VARCHAR(5)) FROM RDB$DATABASE"
        << QStringList{":A"} << QVariantList{"z"} << "zz";
    QTest::newRow("literals and comments are no parameters")
        << "SELECT ':X ?' || \" :Y ?\" /* :Z ? */ || CAST(:A AS VARCHAR(3)) -- ? :W\n"
           "FROM RDB$DATABASE"
        << QStringList{":A"} << QVariantList{"!"} << ":X ? :Y ?!";
    QTest::newRow("unbound is NULL")
        << "SELECT COALESCE(CAST(:A AS VARCHAR(5)), 'null') FROM RDB$DATABASE"
        << QStringList() << QVariantList() << "null";
}

void TestIbDriver::parameters()
{
    QFETCH(QString, statement);
    QFETCH(QStringList, placeholders);
    QFETCH(QVariantList, values);
    QFETCH(QString, expected);

    QSqlQuery q(db());
    QVERIFY_SQL(q, prepare(statement));
    for (int i = 0; i < placeholders.size(); ++i) {
        if (placeholders[i].isEmpty())
            q.addBindValue(values[i]);
        else
            q.bindValue(placeholders[i], values[i]);
    }
    QVERIFY_SQL(q, exec());
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), expected);
    // Executed again, the same values are still bound.
    QVERIFY_SQL(q, exec());
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), expected);
}

void TestIbDriver::resultRecordNamesFromAliases()
{
    QSqlQuery q(db());
    QVERIFY_SQL(q, exec("SELECT ID, NAME AS TITLE, CODE FROM ITEMS"));
    const QSqlRecord record = q.record();
    QCOMPARE(record.count(), 3);
    QCOMPARE(record.fieldName(0), QStringLiteral("ID"));
    QCOMPARE(record.fieldName(1), QStringLiteral("TITLE"));
    QCOMPARE(record.field(0).requiredStatus(), QSqlField::Required);
    QCOMPARE(record.field(1).requiredStatus(), QSqlField::Optional);
    QCOMPARE(record.field(1).tableName(), QStringLiteral("ITEMS"));
    QVERIFY(q.isSelect());
}

void TestIbDriver::streamsRowsOnDemand()
{
    QSqlQueryModel model;
    model.setQuery(QSqlQuery(QStringLiteral("SELECT N FROM BIG ORDER BY N"), db()));
    QVERIFY2(!model.lastError().isValid(), qPrintable(model.lastError().text()));
    const int first = model.rowCount();
    QVERIFY(first > 0 && first < 1000);
    QVERIFY(model.canFetchMore());
    model.fetchMore();
    QVERIFY(model.rowCount() > first);
    QVERIFY(model.rowCount() < 2000);
    QCOMPARE(model.data(model.index(3, 0)), QVariant(3));
    while (model.canFetchMore())
        model.fetchMore();
    QCOMPARE(model.rowCount(), 20000);
    QCOMPARE(model.data(model.index(19999, 0)), QVariant(19999));
    QCOMPARE(model.data(model.index(5, 0)), QVariant(5));

    QSqlQuery q(db());
    QVERIFY_SQL(q, exec("SELECT N FROM BIG ORDER BY N"));
    QVERIFY(q.seek(1500));
    QCOMPARE(q.value(0), QVariant(1500));
    QVERIFY(q.seek(7));
    QCOMPARE(q.value(0), QVariant(7));
    QVERIFY(q.previous());
    QCOMPARE(q.value(0), QVariant(6));
    QVERIFY(q.last());
    QCOMPARE(q.value(0), QVariant(19999));
    QCOMPARE(q.at(), 19999);
    QVERIFY(q.first());
    QCOMPARE(q.value(0), QVariant(0));
}

void TestIbDriver::forwardOnlyReadsEveryRow()
{
    QSqlQuery q(db());
    q.setForwardOnly(true);
    QVERIFY_SQL(q, exec("SELECT N FROM BIG"));
    qlonglong sum = 0;
    int count = 0;
    while (q.next()) {
        sum += q.value(0).toInt();
        ++count;
    }
    QCOMPARE(count, 20000);
    QCOMPARE(sum, 19999LL * 20000 / 2);
    // Read to the end, the query's transaction is committed at once.
    QCOMPARE(openTransactions(), 1);
}

// A batch that takes longer than the quiet wait runs the event loop, where a
// view may ask its model for more rows. The model must not take the answer
// for the end of the rows: every row still arrives, in order.
void TestIbDriver::modelAskingDuringABatchStillGetsEveryRow()
{
    QSqlQueryModel model;
    // Each row counts a small table: a batch of rows takes a while.
    model.setQuery(QSqlQuery(QStringLiteral("SELECT N, (SELECT COUNT(*) FROM RDB$FIELDS F "
                                            "JOIN RDB$FIELDS G ON G.RDB$FIELD_TYPE = "
                                            "F.RDB$FIELD_TYPE) FROM BIG ORDER BY N"),
                             db()));
    QVERIFY2(!model.lastError().isValid(), qPrintable(model.lastError().text()));
    int asked = 0;
    QTimer ask;
    QObject::connect(&ask, &QTimer::timeout, [&] {
        ++asked;
        if (model.canFetchMore())
            model.fetchMore();
    });
    ask.start(1);
    while (model.canFetchMore() && model.rowCount() < 3000)
        model.fetchMore();
    ask.stop();
    QVERIFY(asked > 0);
    QVERIFY2(model.rowCount() >= 3000, qPrintable(QString::number(model.rowCount())));
    for (int row = 0; row < model.rowCount(); row += 97)
        QCOMPARE(model.data(model.index(row, 0)), QVariant(row));
}

void TestIbDriver::readAheadKeepsEveryRowInOrder_data()
{
    QTest::addColumn<QString>("select");
    QTest::addColumn<int>("rows");
    // Before the rows are asked for: not waited for at all, waited for
    // until the reading has ended by itself (the query's work committed), or
    // waited for a while with the query still open.
    QTest::addColumn<QString>("wait");
    QTest::addColumn<bool>("otherStatement");
    const QString big = QStringLiteral("SELECT N FROM BIG ORDER BY N");
    QTest::newRow("asked at once") << big << 20000 << QString() << false;
    QTest::newRow("asked once read") << big << 20000 << QStringLiteral("end") << false;
    QTest::newRow("another statement meanwhile") << big << 20000 << QString() << true;
    QTest::newRow("more rows than are read ahead")
        << QStringLiteral("SELECT N FROM BIG UNION ALL SELECT N + 20000 FROM BIG ORDER BY 1")
        << 40000 << QStringLiteral("open") << false;
}

// Rows read in the background join those read on asking in the order the
// server sent them, however the two meet.
void TestIbDriver::readAheadKeepsEveryRowInOrder()
{
    QFETCH(QString, select);
    QFETCH(int, rows);
    QFETCH(QString, wait);
    QFETCH(bool, otherStatement);
    QSqlQueryModel model;
    {
        QSqlQuery q(db());
        QVERIFY_SQL(q, exec(select));
        IbResult::readAheadInBackground(q);
        model.setQuery(std::move(q));
    }
    if (otherStatement) {
        QSqlQuery other(db());
        QVERIFY_SQL(other, exec(QStringLiteral("SELECT MAX(N) FROM BIG")));
        QVERIFY(other.next());
        QCOMPARE(other.value(0), QVariant(19999));
    }
    if (wait == QLatin1String("end")) {
        QTRY_COMPARE_WITH_TIMEOUT(openTransactions(), 1, 20000);
    } else if (wait == QLatin1String("open")) {
        QTest::qWait(1000);
        QCOMPARE(openTransactions(), 2);
    }
    while (model.canFetchMore())
        model.fetchMore();
    QCOMPARE(model.rowCount(), rows);
    for (int row = 0; row < rows; row += 97)
        QCOMPARE(model.data(model.index(row, 0)), QVariant(row));
    QCOMPARE(model.data(model.index(rows - 1, 0)), QVariant(rows - 1));
    QCOMPARE(openTransactions(), 1);
}

// A query closed while its rows are read ahead leaves nothing open, and the
// attachment serves the next statement.
void TestIbDriver::closedWhileReadingAhead()
{
    for (int i = 0; i < 20; ++i) {
        QSqlQuery q(db());
        q.setForwardOnly(i % 4 >= 2);
        QVERIFY_SQL(q, exec(QStringLiteral("SELECT N FROM BIG ORDER BY N")));
        IbResult::readAheadInBackground(q);
        if (i % 2)
            QVERIFY_SQL(q, exec(QStringLiteral("SELECT N FROM BIG ORDER BY N DESC")));
    }
    QCOMPARE(openTransactions(), 1);
}

// An export's reading: the next rows come in while these are passed and
// other statements run in between; none is lost, repeated or out of order.
void TestIbDriver::forwardOnlyReadAheadBesideOtherCalls()
{
    QSqlQuery q(db());
    q.setForwardOnly(true);
    QVERIFY_SQL(q, exec(QStringLiteral("SELECT N FROM BIG ORDER BY N")));
    IbResult::readAheadInBackground(q);
    int rows = 0;
    while (q.next()) {
        QCOMPARE(q.value(0), QVariant(rows));
        if (++rows % 1500 == 0) {
            QSqlQuery other(db());
            QVERIFY_SQL(other, exec(QStringLiteral("SELECT COUNT(*) FROM RDB$DATABASE")));
            QVERIFY(other.next());
        }
    }
    QVERIFY(!q.lastError().isValid());
    QCOMPARE(rows, 20000);
}

void TestIbDriver::generatorValues_data()
{
    QTest::addColumn<QStringList>("names");
    // What the reading gives before it fails, if it does.
    QTest::addColumn<QList<qint64>>("values");
    QTest::addColumn<bool>("fails");
    const qint64 low = std::numeric_limits<qint64>::min();
    const qint64 high = std::numeric_limits<qint64>::max();
    QTest::newRow("every value, in order")
        << QStringList{"G_HIGH", "G_ZERO", "G_LOW"} << QList<qint64>{high, 0, low} << false;
    QTest::newRow("an unknown name midway")
        << QStringList{"G_LOW", "G_GONE", "G_HIGH"} << QList<qint64>{low} << true;
}

// The values of many generators in one read: whole 64-bit values in order,
// and on a failure the values before it and the server's text. The read's
// transaction ends either way.
void TestIbDriver::generatorValues()
{
    QFETCH(QStringList, names);
    QFETCH(QList<qint64>, values);
    QFETCH(bool, fails);
    QList<qint64> read;
    QString error;
    try {
        IbGeneratorValue::readAll(db(), names, read);
    } catch (const DatabaseError &failure) {
        error = failure.message();
    }
    QCOMPARE(read, values);
    QCOMPARE(error.contains(QStringLiteral("G_GONE")), fails);
    QCOMPARE(openTransactions(), 1);
}

void TestIbDriver::rowsBeforeAFailedFetchStay_data()
{
    QTest::addColumn<bool>("forwardOnly");
    QTest::addColumn<bool>("readAhead");
    QTest::addColumn<int>("failingRow");
    // Within the batch a run reads with its execution, and well past it.
    const QList<std::pair<bool, bool>> modes = {
        {false, false}, {true, false}, {false, true}, {true, true}};
    for (const auto &[forwardOnly, readAhead] : modes) {
        for (const int row : {0, 100, 3000}) {
            const char *mode = forwardOnly ? (readAhead ? "forward-only read ahead" : "forward-only")
                               : readAhead ? "read ahead"
                                           : "scrollable";
            QTest::newRow(qPrintable(QStringLiteral("%1, row %2").arg(mode).arg(row)))
                << forwardOnly << readAhead << row;
        }
    }
}

// The server fails on one row: the run itself succeeded, every row before
// the failing one is delivered in order, then the fetch fails with the
// server's text and nothing of the query stays open.
void TestIbDriver::rowsBeforeAFailedFetchStay()
{
    QFETCH(bool, forwardOnly);
    QFETCH(bool, readAhead);
    QFETCH(int, failingRow);
    {
        QSqlQuery q(db());
        q.setForwardOnly(forwardOnly);
        QVERIFY_SQL(q, exec(QStringLiteral("SELECT N, 1 / (N - %1) FROM BIG ORDER BY N")
                                .arg(failingRow)));
        if (readAhead)
            IbResult::readAheadInBackground(q);
        int rows = 0;
        while (q.next()) {
            QCOMPARE(q.value(0), QVariant(rows));
            ++rows;
        }
        QCOMPARE(rows, failingRow);
        QCOMPARE(q.lastError().databaseText(),
                 QStringLiteral("arithmetic exception, numeric overflow, or string truncation\n"
                                "Floating-point divide by zero.  The code attempted to divide "
                                "a floating-point value by zero."));
    }
    QCOMPARE(openTransactions(), 1);
}

void TestIbDriver::rowsRevisitedAfterTheEnd_data()
{
    QTest::addColumn<bool>("exact");
    QTest::addColumn<int>("row");
    for (const bool exact : {false, true}) {
        for (const int row : {0, 1, 299, 598, 599}) {
            QTest::newRow(qPrintable(QStringLiteral("%1 row %2")
                                         .arg(exact ? "exact" : "rounded").arg(row)))
                << exact << row;
        }
    }
}

// Every kind of stored value side by side, NULLs between them, read again
// once the cursor is done and its transaction committed: a computed blob
// lives no longer than that transaction.
void TestIbDriver::rowsRevisitedAfterTheEnd()
{
    QFETCH(bool, exact);
    QFETCH(int, row);
    QSqlQuery q(db());
    q.setNumericalPrecisionPolicy(exact ? QSql::HighPrecision : QSql::LowPrecisionDouble);
    QVERIFY_SQL(q, exec("SELECT N, IIF(MOD(N, 2) = 0, NULL, 'v' || N), "
                        "CAST(X'6162' AS CHAR(4) CHARACTER SET OCTETS), CAST(N AS CHAR(6)), "
                        "CAST('t' || N AS BLOB SUB_TYPE 1), IIF(MOD(N, 3) = 0, NULL, CAST(N * 1.5 AS NUMERIC(9, 1))), "
                        "CAST(N AS VARCHAR(8)) FROM BIG WHERE N < 600 ORDER BY N"));
    QVERIFY(q.last());
    QCOMPARE(openTransactions(), 1);
    QVERIFY(q.seek(row));
    const QString number = QString::number(row);
    const QString tenths = QString::number(row * 15 / 10) + (row % 2 ? ".5" : ".0");
    const QVariant nullText(QMetaType(QMetaType::QString));
    const QVariant half = exact ? QVariant(tenths) : QVariant(row * 1.5);
    const QVariant nullHalf = exact ? nullText : QVariant(QMetaType(QMetaType::Double));
    const QVariantList expected{row,
                                row % 2 ? QVariant("v" + number) : nullText,
                                QByteArray("ab\0\0", 4),
                                number,
                                "t" + number,
                                row % 3 ? half : nullHalf,
                                number};
    QVariantList read;
    for (int i = 0; i < expected.size(); ++i)
        read << q.value(i);
    QCOMPARE(read, expected);
    QCOMPARE(q.isNull(1), row % 2 == 0);
    QCOMPARE(q.isNull(5), row % 3 == 0);
}

void TestIbDriver::longRowsAmongShortOnes_data()
{
    QTest::addColumn<bool>("exact");
    QTest::newRow("rounded") << false;
    QTest::newRow("exact") << true;
}

// A row longer than a chunk of rows has one of its own between short ones;
// every row is found again. Exact reading keeps a long blob as its preview,
// read whole by its id only while the query's transaction lives.
void TestIbDriver::longRowsAmongShortOnes()
{
    QFETCH(bool, exact);
    QSqlQuery q(db());
    q.setNumericalPrecisionPolicy(exact ? QSql::HighPrecision : QSql::LowPrecisionDouble);
    QVERIFY_SQL(q, exec("SELECT N, LPAD(CAST('' AS BLOB SUB_TYPE 1), "
                        "IIF(MOD(N, 50) = 7, 70000, MOD(N, 13)), 'y') FROM BIG WHERE N < 600 "
                        "ORDER BY N"));
    const auto length = [](const QVariant &value) {
        return value.canConvert<IbBlobPreview>() ? qvariant_cast<IbBlobPreview>(value).length()
                                                  : qint64(value.toString().size());
    };
    QVERIFY(q.seek(7));
    const IbBlobPreview preview = qvariant_cast<IbBlobPreview>(q.value(1));
    QCOMPARE(q.value(1).canConvert<IbBlobPreview>(), exact);
    if (exact) {
        QCOMPARE(preview.start(), QByteArray(512, 'y'));
        QCOMPARE(preview.whole(), std::optional<QVariant>(QString(70000, u'y')));
    }
    QVERIFY(q.last());
    for (const int row : {599, 0, 7, 8, 57, 300, 557, 598}) {
        QVERIFY(q.seek(row));
        QCOMPARE(q.value(0).toInt(), row);
        QCOMPARE(length(q.value(1)), row % 50 == 7 ? 70000 : row % 13);
    }
    QCOMPARE(preview.whole(), std::optional<QVariant>());
}

void TestIbDriver::tableModelChangesAreCommitted()
{
    QSqlTableModel model(nullptr, db());
    model.setTable(QStringLiteral("ITEMS"));
    model.setEditStrategy(QSqlTableModel::OnManualSubmit);
    QVERIFY_SQL(model, select());

    QSqlRecord row = model.record();
    row.setValue(QStringLiteral("ID"), 10);
    row.setValue(QStringLiteral("NAME"), QStringLiteral("it's new"));
    row.setValue(QStringLiteral("CODE"), QStringLiteral("N"));
    QVERIFY(model.insertRecord(-1, row));
    QVERIFY_SQL(model, submitAll());
    QCOMPARE(m_database->scalar("SELECT NAME FROM ITEMS WHERE ID = 10"),
             QStringLiteral("it's new"));

    int rowOf10 = -1;
    for (int r = 0; r < model.rowCount(); ++r) {
        if (model.data(model.index(r, 0)).toInt() == 10)
            rowOf10 = r;
    }
    QVERIFY(rowOf10 >= 0);
    QCOMPARE(model.data(model.index(rowOf10, 2)), QVariant("N"));
    QVERIFY(model.setData(model.index(rowOf10, 1), QStringLiteral("changed")));
    QVERIFY_SQL(model, submitAll());
    QCOMPARE(m_database->scalar("SELECT NAME FROM ITEMS WHERE ID = 10"),
             QStringLiteral("changed"));

    QVERIFY(model.removeRow(rowOf10));
    QVERIFY_SQL(model, submitAll());
    QCOMPARE(m_database->scalar("SELECT COUNT(*) FROM ITEMS WHERE ID = 10"),
             QStringLiteral("0"));
}

void TestIbDriver::tableModelWithoutPrimaryKey()
{
    QSqlTableModel model(nullptr, db());
    model.setTable(QStringLiteral("nopk"));
    model.setEditStrategy(QSqlTableModel::OnManualSubmit);
    QVERIFY_SQL(model, select());
    QCOMPARE(model.rowCount(), 1);
    QVERIFY(model.setData(model.index(0, 1), QStringLiteral("y")));
    QVERIFY_SQL(model, submitAll());
    QCOMPARE(m_database->scalar("SELECT B FROM NOPK WHERE A = 1"), QStringLiteral("y"));
}

void TestIbDriver::errorsKeepDriverUsable_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<bool>("prepared");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("detail");

    QTest::newRow("unknown table") << "SELECT * FROM NOSUCH" << false << "Dynamic SQL Error"
                                   << "Table unknown\nNOSUCH";
    QTest::newRow("unknown table, prepared") << "SELECT * FROM NOSUCH WHERE X = :X" << true
                                             << "Dynamic SQL Error" << "Table unknown\nNOSUCH";
    QTest::newRow("duplicate key") << "INSERT INTO ITEMS VALUES (1, 'dup', 'D')" << false
                                   << "violation of PRIMARY or UNIQUE KEY constraint "
                                   << "Problematic key value is (\"ID\" = 1)";
    QTest::newRow("not null") << "INSERT INTO ITEMS (ID) VALUES (99)" << false
                              << "validation error for column \"ITEMS\".\"CODE\", "
                                 "value \"*** null ***\""
                              << "";
    QTest::newRow("bad conversion") << "SELECT CAST('x' AS INTEGER) FROM RDB$DATABASE" << false
                                    << "conversion error from string \"x\"" << "";
}

void TestIbDriver::errorsKeepDriverUsable()
{
    QFETCH(QString, statement);
    QFETCH(bool, prepared);
    QFETCH(QString, firstLine);
    QFETCH(QString, detail);

    QSqlQuery q(db());
    bool ok = prepared ? q.prepare(statement) : q.exec(statement);
    if (ok && !q.isSelect())
        ok = false; // exec already ran it
    else if (ok)
        ok = q.next();
    QVERIFY(!ok);
    const QSqlError error = q.lastError();
    QCOMPARE(error.type(), QSqlError::StatementError);
    QCOMPARE(error.text(), error.databaseText());
    QVERIFY2(error.databaseText().startsWith(firstLine), qPrintable(error.databaseText()));
    QVERIFY2(error.databaseText().contains(detail), qPrintable(error.databaseText()));
    QVERIFY(!error.nativeErrorCode().isEmpty());

    QSqlQuery good(db());
    QVERIFY_SQL(good, exec("SELECT NAME FROM ITEMS WHERE ID = 1"));
    QVERIFY(good.next());
    QCOMPARE(good.value(0), QVariant("one"));
}

void TestIbDriver::nothingLeaksAfterErrors()
{
    const int before = openTransactions();
    const int statementsBefore = ownMonitorRows("MON$STATEMENTS");
    for (int i = 0; i < 5; ++i) {
        QSqlQuery q(db());
        QVERIFY(!q.exec("INSERT INTO ITEMS VALUES (1, 'dup', 'D')"));
        QVERIFY(!q.prepare("SELECT * FROM NOSUCH"));
        QVERIFY(!q.exec());
        QSqlQuery blob(db());
        QVERIFY_SQL(blob, prepare("INSERT INTO VALS (ID, BT) VALUES (1, ?)"));
        blob.addBindValue(QStringLiteral("blob of a failing insert"));
        QVERIFY(!blob.exec());
        QSqlQuery partly(db());
        QVERIFY_SQL(partly, exec("SELECT N FROM BIG"));
        QVERIFY(partly.next());
    }
    QCOMPARE(openTransactions(), before);
    QCOMPARE(before, 1); // the counting query's own
    QCOMPARE(ownMonitorRows("MON$STATEMENTS"), statementsBefore);
}

void TestIbDriver::catalogue()
{
    const QSqlDatabase d = db();
    QCOMPARE(d.tables(QSql::Tables), (QStringList{"BIG", "ITEMS", "NOPK", "VALS"}));
    QCOMPARE(d.tables(QSql::Views), QStringList{"ITEM_NAMES"});
    QCOMPARE(d.tables(QSql::TableType(QSql::Tables | QSql::Views)),
             (QStringList{"BIG", "ITEMS", "ITEM_NAMES", "NOPK", "VALS"}));
    const QStringList system = d.tables(QSql::SystemTables);
    QVERIFY(system.contains("RDB$RELATIONS"));
    QVERIFY(!system.contains("ITEMS"));

    const QSqlRecord items = d.record(QStringLiteral("items"));
    QCOMPARE(items.count(), 3);
    QCOMPARE(items.fieldName(0), QStringLiteral("ID"));
    QCOMPARE(items.fieldName(2), QStringLiteral("CODE"));
    QCOMPARE(items.field(0).metaType(), QMetaType(QMetaType::Int));
    QCOMPARE(items.field(1).metaType(), QMetaType(QMetaType::QString));
    QCOMPARE(items.field(1).length(), 40);
    QCOMPARE(items.field(2).requiredStatus(), QSqlField::Required);
    QCOMPARE(items.field(1).requiredStatus(), QSqlField::Optional);

    const QSqlRecord vals = d.record(QStringLiteral("VALS"));
    const QList<QMetaType::Type> types{QMetaType::Int, QMetaType::QString, QMetaType::QString,
                                       QMetaType::Int, QMetaType::Int, QMetaType::Double,
                                       QMetaType::Double, QMetaType::Double,
                                       QMetaType::QDateTime, QMetaType::QString,
                                       QMetaType::QByteArray};
    QCOMPARE(vals.count(), types.size());
    for (int i = 0; i < types.size(); ++i)
        QCOMPARE(vals.field(i).metaType(), QMetaType(types[i]));
    QCOMPARE(d.record(QStringLiteral("ITEM_NAMES")).fieldName(0), QStringLiteral("NAME"));
    QVERIFY(d.record(QStringLiteral("NOSUCH")).isEmpty());

    const QSqlIndex key = d.primaryIndex(QStringLiteral("ITEMS"));
    QCOMPARE(key.count(), 1);
    QCOMPARE(key.fieldName(0), QStringLiteral("ID"));
    QCOMPARE(key.field(0).metaType(), QMetaType(QMetaType::Int));
    QVERIFY(d.primaryIndex(QStringLiteral("NOPK")).isEmpty());
    QVERIFY(d.primaryIndex(QStringLiteral("ITEM_NAMES")).isEmpty());
}

void TestIbDriver::handleSharesAttachment()
{
    QSqlQuery open(db());
    QVERIFY_SQL(open, exec("SELECT N FROM BIG"));
    QVERIFY(open.next());

    const QVariant handle = db().driver()->handle();
    QCOMPARE(handle.metaType(), QMetaType::fromType<isc_db_handle>());
    isc_db_handle attachment = handle.value<isc_db_handle>();
    QVERIFY(attachment != 0);

    ISC_STATUS_ARRAY status;
    isc_tr_handle transaction = 0;
    IbTransactionStart::start(status, &transaction, &attachment);
    QVERIFY(!IbStatus::failed(status));
    isc_dsql_execute_immediate(status, &attachment, &transaction, 0,
                               "INSERT INTO ITEMS VALUES (77, 'direct', 'D')", 1, nullptr);
    QVERIFY(!IbStatus::failed(status));
    isc_commit_transaction(status, &transaction);
    QVERIFY(!IbStatus::failed(status));

    QCOMPARE(m_database->scalar("SELECT NAME FROM ITEMS WHERE ID = 77"), QStringLiteral("direct"));
    int rows = 1;
    while (open.next())
        ++rows;
    QCOMPARE(rows, 20000);
}

void TestIbDriver::returningRowAndRowsAffected()
{
    QSqlQuery q(db());
    QVERIFY_SQL(q, prepare("INSERT INTO ITEMS (ID, NAME, CODE) VALUES (:ID, 'ret', 'R') "
                           "RETURNING ID * 2"));
    q.bindValue(":ID", 40);
    QVERIFY_SQL(q, exec());
    QVERIFY(q.isSelect());
    QCOMPARE(q.numRowsAffected(), 1);
    QVERIFY(q.next());
    QCOMPARE(q.value(0), QVariant(80));
    QVERIFY(!q.next());
    QCOMPARE(m_database->scalar("SELECT NAME FROM ITEMS WHERE ID = 40"), QStringLiteral("ret"));

    QVERIFY_SQL(q, exec("UPDATE BIG SET N = N WHERE N < 10"));
    QVERIFY(!q.isSelect());
    QCOMPARE(q.numRowsAffected(), 10);
    QVERIFY_SQL(q, exec("DELETE FROM ITEMS WHERE ID = 40"));
    QCOMPARE(q.numRowsAffected(), 1);
}

void TestIbDriver::closeReleasesOpenQueries()
{
    const QString name = QStringLiteral("closing");
    {
        QSqlDatabase other = openDatabase(m_database->path(), name);
        QSqlQuery streaming(other);
        QVERIFY_SQL(streaming, exec("SELECT N FROM BIG"));
        QVERIFY(streaming.next());
        QSqlQuery prepared(other);
        QVERIFY_SQL(prepared, prepare("SELECT N FROM BIG WHERE N = ?"));

        other.close();
        QVERIFY(!other.isOpen());
        // Had a query kept its transaction, the server would have refused the detach.
        QVERIFY2(!other.lastError().isValid(), qPrintable(other.lastError().text()));
        QVERIFY(!streaming.isActive());

        QVERIFY(other.open());
        prepared.addBindValue(5);
        QVERIFY(!prepared.exec());
        QVERIFY_SQL(streaming, exec("SELECT COUNT(*) FROM BIG"));
        QVERIFY(streaming.next());
        QCOMPARE(streaming.value(0), QVariant(20000));
        QVERIFY_SQL(streaming, exec("SELECT N FROM BIG"));
        QVERIFY(streaming.next());
        other.close();
        QVERIFY(!other.isOpen());
        QVERIFY2(!other.lastError().isValid(), qPrintable(other.lastError().text()));
    }
    QSqlDatabase::removeDatabase(name);
}

void TestIbDriver::closeWhileOtherTransactionIsOpenReportsIt()
{
    const QString name = QStringLiteral("busy");
    {
        QSqlDatabase other = openDatabase(m_database->path(), name);
        isc_db_handle attachment = other.driver()->handle().value<isc_db_handle>();
        ISC_STATUS_ARRAY status;
        isc_tr_handle transaction = 0;
        IbTransactionStart::start(status, &transaction, &attachment);
        QVERIFY(!IbStatus::failed(status));

        // The server refuses the detach but shuts the connection down anyway.
        other.close();
        QVERIFY(!other.isOpen());
        QCOMPARE(other.lastError().type(), QSqlError::ConnectionError);
        QCOMPARE(other.lastError().text(),
                 QStringLiteral("cannot disconnect database with open transactions (1 active)"));
        isc_rollback_transaction(status, &transaction);
        QVERIFY(other.open());
    }
    QSqlDatabase::removeDatabase(name);
}

void TestIbDriver::formatValue_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("string") << QVariant("it's") << "'it''s'";
    QTest::newRow("date") << QVariant(QDate(2024, 2, 9)) << "'2024-02-09'";
    QTest::newRow("time") << QVariant(QTime(8, 7, 6, 5)) << "'08:07:06.005'";
    QTest::newRow("timestamp") << QVariant(QDateTime(QDate(2024, 2, 9), QTime(8, 7, 6)))
                               << "'2024-02-09 08:07:06.000'";
    QTest::newRow("bytes") << QVariant(QByteArray("\x01\xff", 2)) << "X'01ff'";
    QTest::newRow("integer") << QVariant(-3) << "-3";
    QTest::newRow("null") << QVariant(QMetaType(QMetaType::QString)) << "NULL";
}

void TestIbDriver::formatValue()
{
    QFETCH(QVariant, value);
    QFETCH(QString, expected);

    QSqlField field(QStringLiteral("F"), value.metaType());
    field.setValue(value);
    QCOMPARE(db().driver()->formatValue(field), expected);
}

QUORVEL_DATA_TEST_MAIN(TestIbDriver)

#include "tst_ibdriver.moc"
