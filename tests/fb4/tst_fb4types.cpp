#include "controls/TDBNavigator.h"
#include "controls/TOfficeButton.h"
#include "ibdb/TIBDataBase.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "support/TestWidgets.h"
#include "uikit/TableNavigator.h"
#include "workbench/GridExport.h"
#include "workbench/TDataForm.h"
#include "workbench/TOutputForm.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlTableModel>
#include <QTableView>
#include <QTemporaryDir>

#include <memory>

using State = TableNavigator::State;

namespace {

// Row 1 gets the value under test, row 2 stays NULL throughout.
const QStringList kSchema{
    "CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, S VARCHAR(10), I INT128, "
    "N NUMERIC(38,6), D DECIMAL(19,2), DF16 DECFLOAT(16), DF34 DECFLOAT(34), "
    "TTZ TIME WITH TIME ZONE, TSZ TIMESTAMP WITH TIME ZONE, BN BINARY(4), VB VARBINARY(8))",
    "INSERT INTO T (ID, S) VALUES (1, 'one')",
    "INSERT INTO T (ID, S) VALUES (2, 'two')",
};

// The column as the server's own text, read through a second attachment.
QString readBack(const QString &column)
{
    const bool bytes = column == "BN" || column == "VB";
    const QString text = bytes ? "HEX_ENCODE(" + column + ")"
                               : "CAST(" + column + " AS VARCHAR(64))";
    return "SELECT COALESCE('=' || " + text + ", '<null>') FROM T ORDER BY ID";
}

} // namespace

class TestFb4Types : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void serverAndOdsAreKnown_data();
    void serverAndOdsAreKnown();
    void newerFileOpenedInProcessNamesItsServer();
    void valueSurvivesReadVisitAndPost_data();
    void valueSurvivesReadVisitAndPost();
    void typedValueStoredExactlyOrRefused_data();
    void typedValueStoredExactlyOrRefused();
    void keyOfNewTypeFindsItsRow_data();
    void keyOfNewTypeFindsItsRow();
    void newTypeErrorsAreWorded_data();
    void newTypeErrorsAreWorded();
    void exportedAndLoadedBackAsStored_data();
    void exportedAndLoadedBackAsStored();

private:
    TDataForm *openTable(const QString &table = QStringLiteral("T"));
    QModelIndex cell(TDataForm *form, int row, const QString &column) const;
    void post(TDataForm *form);
    // A new database whose row 1 holds literal in column; the column as
    // the server reads it back.
    QStringList store(const QString &column, const QString &literal);

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void TestFb4Types::init()
{
    if (TestDatabase::firebird4().folder.isEmpty())
        QSKIP("no Firebird 4 server named (QUORVEL_FB4_FOLDER)");
}

void TestFb4Types::cleanup()
{
    m_shell.reset();
    m_prompts.reset();
    m_session.reset();
}

TDataForm *TestFb4Types::openTable(const QString &table)
{
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    OpenDataView(table);
    return m_shell->last<TDataForm>();
}

QModelIndex TestFb4Types::cell(TDataForm *form, int row, const QString &column) const
{
    return form->SrcTable->index(row, form->SrcTable->fieldIndex(column));
}

QStringList TestFb4Types::store(const QString &column, const QString &literal)
{
    m_session = std::make_unique<TestSession>(TestDatabase::firebird4(), 3);
    m_session->db.execute(kSchema);
    m_session->db.execute("UPDATE T SET " + column + " = " + literal + " WHERE ID = 1");
    return m_session->db.column(readBack(column));
}

void TestFb4Types::post(TDataForm *form)
{
    form->DBNavigator1->button(TDBNavigator::Button::Post)->click();
}

void TestFb4Types::serverAndOdsAreKnown_data()
{
    QTest::addColumn<int>("dialect");
    QTest::newRow("dialect 1") << 1;
    QTest::newRow("dialect 3") << 3;
}

void TestFb4Types::serverAndOdsAreKnown()
{
    QFETCH(int, dialect);
    m_session = std::make_unique<TestSession>(TestDatabase::firebird4(), dialect);
    const QString text = m_session->ib()->serverText();
    const QRegularExpression expected(
        QStringLiteral("^Firebird 4\\.0\\.\\d+, ODS 13\\.0, dialect %1$").arg(dialect));
    QVERIFY2(expected.match(text).hasMatch(), qPrintable(text));
}

// The server's folder is a folder of this machine too (the server's root);
// the embedded engine can read the file, not its on-disk structure.
void TestFb4Types::newerFileOpenedInProcessNamesItsServer()
{
    const QString local = qEnvironmentVariable("QUORVEL_FB4_LOCAL_FOLDER");
    if (local.isEmpty())
        QSKIP("the Firebird 4 server's folder is not named (QUORVEL_FB4_LOCAL_FOLDER)");
    const TestDatabase database(TestDatabase::firebird4(), 3);
    const QString file = local + u'/' + database.path().section(u'/', -1);
    const QString connection = QStringLiteral("embedded-fb4");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("INTRBASE"), connection);
        db.setDatabaseName(file);
        db.setUserName(QStringLiteral("SYSDBA"));
        QVERIFY(!db.open());
        error = db.lastError().databaseText();
    }
    QSqlDatabase::removeDatabase(connection);
    const QStringList lines = error.split(u'\n');
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines.first().contains(QStringLiteral("found 13.0")), qPrintable(error));
    QCOMPARE(lines.last(), "A database of a newer Firebird is opened through its server: "
                           "connect to host/port:path, for example localhost/3050:" + file);
}

void TestFb4Types::valueSurvivesReadVisitAndPost_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("literal");
    QTest::addColumn<QString>("shown");

    QTest::newRow("INT128 max") << "I" << "170141183460469231731687303715884105727"
                                << "170141183460469231731687303715884105727";
    QTest::newRow("INT128 min") << "I" << "-170141183460469231731687303715884105728"
                                << "-170141183460469231731687303715884105728";
    QTest::newRow("NUMERIC(38,6) 38 digits")
        << "N" << "-12345678901234567890123456789012.123456"
        << "-12345678901234567890123456789012.123456";
    QTest::newRow("NUMERIC(38,6) smallest") << "N" << "0.000001" << "0.000001";
    QTest::newRow("DECIMAL(19,2)") << "D" << "12345678901234567.89" << "12345678901234567.89";
    QTest::newRow("DECFLOAT(16) 16 digits") << "DF16" << "1.234567890123456E+384"
                                            << "1.234567890123456E+384";
    QTest::newRow("DECFLOAT(16) -0") << "DF16" << "-0E0" << "-0";
    QTest::newRow("DECFLOAT(34) 34 digits") << "DF34" << "1234567890123456789012345678901234"
                                            << "1234567890123456789012345678901234";
    QTest::newRow("DECFLOAT(34) -0") << "DF34" << "-0E0" << "-0";
    // Past the largest exponent of a one-digit coefficient: the server pads it.
    QTest::newRow("DECFLOAT(34) 1E+6144") << "DF34" << "1E+6144"
                                          << "1.000000000000000000000000000000000E+6144";
    QTest::newRow("DECFLOAT(34) -Infinity")
        << "DF34" << "CAST('-Infinity' AS DECFLOAT(34))" << "-Infinity";
    QTest::newRow("DECFLOAT(34) NaN") << "DF34" << "CAST('NaN' AS DECFLOAT(34))" << "NaN";
    QTest::newRow("TIME WITH TIME ZONE offset")
        << "TTZ" << "TIME '10:11:12.3456 +05:30'" << "10:11:12.3456 +05:30";
    QTest::newRow("TIME WITH TIME ZONE named")
        << "TTZ" << "TIME '23:59:59.9999 Europe/Berlin'" << "23:59:59.9999 Europe/Berlin";
    QTest::newRow("TIMESTAMP WITH TIME ZONE named")
        << "TSZ" << "TIMESTAMP '2024-01-02 03:04:05.1234 America/Sao_Paulo'"
        << "2024-01-02 03:04:05.1234 America/Sao_Paulo";
    QTest::newRow("TIMESTAMP WITH TIME ZONE offset")
        << "TSZ" << "TIMESTAMP '9999-12-31 23:59:59.9999 +00:00'"
        << "9999-12-31 23:59:59.9999 +00:00";
    QTest::newRow("BINARY(4)") << "BN" << "X'00FF1020'" << "00FF1020";
    QTest::newRow("VARBINARY(8)") << "VB" << "X'FF00'" << "FF00";
}

// Shown as stored in the data view and a query result; a visit of the cell
// and a post of another column leave it as it was, byte for byte.
void TestFb4Types::valueSurvivesReadVisitAndPost()
{
    QFETCH(QString, column);
    QFETCH(QString, literal);
    QFETCH(QString, shown);
    const QStringList before = store(column, literal);
    TDataForm *form = openTable();
    QVERIFY(form);
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(TestWidgets::cellShown(form->DBGrid1, cell(form, 0, column)), shown);

    OpenAsResultSet("SELECT " + column + " FROM T ORDER BY ID");
    TOutputForm *result = m_shell->last<TOutputForm>();
    QVERIFY(result);
    QCOMPARE(TestWidgets::cellShown(result->GridResult, result->OutSQL->index(0, 0)), shown);

    TestWidgets::visitCell(form->DBGrid1, cell(form, 0, column), std::nullopt,
                           cell(form, 1, "S"));
    TestWidgets::visitCell(form->DBGrid1, cell(form, 0, "S"), QStringLiteral("edited"),
                           cell(form, 1, "S"));
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(form->table()->state(), State::Browse);
    QCOMPARE(m_session->db.column(readBack(column)), before);
    QCOMPARE(m_session->db.column("SELECT S FROM T ORDER BY ID"),
             (QStringList{"edited", "two"}));
}

void TestFb4Types::exportedAndLoadedBackAsStored_data()
{
    valueSurvivesReadVisitAndPost_data();
}

// The CSV holds the value as the grid shows it, NULL as an empty field; the
// INSERT script, run again into the emptied table, stores it byte for byte.
void TestFb4Types::exportedAndLoadedBackAsStored()
{
    QFETCH(QString, column);
    QFETCH(QString, literal);
    QFETCH(QString, shown);
    const QStringList before = store(column, literal);
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    const QTemporaryDir folder;
    const GridExport rows(QSqlDatabase::database("IBB"),
                          "SELECT ID, " + column + " FROM T ORDER BY ID", {"ID", column}, "T");
    const auto text = [&folder](const QString &name) {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    QCOMPARE(rows.write({folder.filePath("rows.csv"), GridExport::Format::Csv}, {}), qint64(2));
    QCOMPARE(text("rows.csv"), "ID," + column + "\r\n1," + shown + "\r\n2,\r\n");

    QCOMPARE(rows.write({folder.filePath("rows.sql"), GridExport::Format::Sql}, {}), qint64(2));
    m_session->db.execute("DELETE FROM T");
    for (const QString &statement : text("rows.sql").split(";\r\n", Qt::SkipEmptyParts))
        m_session->db.execute(statement);
    QCOMPARE(m_session->db.column(readBack(column)), before);
}

void TestFb4Types::typedValueStoredExactlyOrRefused_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty: refused with `refusal`
    QTest::addColumn<QString>("refusal");

    QTest::newRow("INT128 max") << "I" << "170141183460469231731687303715884105727"
                                << "=170141183460469231731687303715884105727" << "";
    QTest::newRow("INT128 fraction") << "I" << "1.5" << ""
                                     << "I cannot hold 1.5 exactly: it would be stored as 2";
    QTest::newRow("NUMERIC(38,6) in full") << "N" << "0.1" << "=0.100000" << "";
    QTest::newRow("NUMERIC(38,6) seventh place")
        << "N" << "0.1234567" << ""
        << "N cannot hold 0.1234567 exactly: it would be stored as 0.123457";
    QTest::newRow("DECFLOAT(16) 17 digits")
        << "DF16" << "12345678901234567" << ""
        << "DF16 cannot hold 12345678901234567 exactly: it would be stored as "
           "1.234567890123457E+16";
    QTest::newRow("DECFLOAT(34) -0") << "DF34" << "-0" << "=-0" << "";
    QTest::newRow("DECFLOAT(34) Infinity") << "DF34" << "Infinity" << "=Infinity" << "";
    QTest::newRow("DECFLOAT(34) underflow")
        << "DF34" << "1E-7000" << ""
        << "DF34 cannot hold 1E-7000 exactly: it would be stored as 0E-6176";
    QTest::newRow("TIMESTAMP WITH TIME ZONE named")
        << "TSZ" << "2024-06-30 12:00:00.5 Europe/Berlin"
        << "=2024-06-30 12:00:00.5000 Europe/Berlin" << "";
    QTest::newRow("TIME WITH TIME ZONE offset") << "TTZ" << "01:02:03 -03:00"
                                                << "=01:02:03.0000 -03:00" << "";
}

void TestFb4Types::typedValueStoredExactlyOrRefused()
{
    QFETCH(QString, column);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, refusal);
    m_session = std::make_unique<TestSession>(TestDatabase::firebird4(), 3);
    m_session->db.execute(kSchema);
    TDataForm *form = openTable();
    QVERIFY(form);

    TestWidgets::visitCell(form->DBGrid1, cell(form, 0, column), typed, cell(form, 1, "S"));
    if (stored.isEmpty()) {
        QCOMPARE(m_prompts->errors(), QStringList("The row was not saved: " + refusal + "."));
        QCOMPARE(form->table()->state(), State::Edit);
        QCOMPARE(m_session->db.column(readBack(column)), (QStringList{"<null>", "<null>"}));
    } else {
        QCOMPARE(m_prompts->errors(), QStringList());
        QCOMPARE(m_session->db.column(readBack(column)), (QStringList{stored, "<null>"}));
    }
}

void TestFb4Types::keyOfNewTypeFindsItsRow_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("key");
    QTest::newRow("INT128") << "INT128" << "-170141183460469231731687303715884105728";
    QTest::newRow("NUMERIC(38,4)") << "NUMERIC(38,4)" << "1234567890123456789012345678.0001";
    QTest::newRow("TIMESTAMP WITH TIME ZONE")
        << "TIMESTAMP WITH TIME ZONE" << "TIMESTAMP '2020-01-02 03:04:05.1234 Europe/Berlin'";
}

// The post names its row by the key as read and the record version: both
// must reach the server as they were read, in the key's own type.
void TestFb4Types::keyOfNewTypeFindsItsRow()
{
    QFETCH(QString, type);
    QFETCH(QString, key);
    m_session = std::make_unique<TestSession>(TestDatabase::firebird4(), 3);
    m_session->db.execute(
        {"CREATE TABLE K (K " + type + " NOT NULL PRIMARY KEY, S VARCHAR(10))",
         "INSERT INTO K VALUES (" + key + ", 'old')"});
    TDataForm *form = openTable(QStringLiteral("K"));
    QVERIFY(form);
    QCOMPARE(form->SrcTable->rowCount(), 1);
    form->SrcTable->setData(cell(form, 0, "S"), QStringLiteral("new"));
    post(form);
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(form->table()->state(), State::Browse);
    QCOMPARE(m_session->db.scalar("SELECT S FROM K WHERE K = " + key), "new");
}

void TestFb4Types::newTypeErrorsAreWorded_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("text"); // its lines
    QTest::newRow("DECFLOAT(16) overflow")
        << "DF16" << "CAST(9.999999999999999E384 AS DECFLOAT(16)) * 10"
        << "Decimal float overflow: the exponent of the result is greater than the type allows";
    QTest::newRow("DECFLOAT division by zero")
        << "DF16" << "CAST(1 AS DECFLOAT(16)) / 0"
        << "Decimal float division by zero: a DECFLOAT value was divided by zero";
    QTest::newRow("DECFLOAT invalid operation")
        << "DF34" << "CAST(0 AS DECFLOAT(34)) / 0"
        << "Decimal float invalid operation: the result of the operation is undefined";
    QTest::newRow("INT128 overflow")
        << "I" << "CAST(170141183460469231731687303715884105727 AS INT128) + 1"
        << "arithmetic exception, numeric overflow, or string truncation\nInteger overflow.  "
           "The result of an integer operation caused the most significant bit of the result "
           "to carry.";
    QTest::newRow("time zone region")
        << "TSZ" << "CAST('2020-01-01 10:00 Nowhere/City' AS TIMESTAMP WITH TIME ZONE)"
        << "Invalid time zone region: Nowhere/City";
    QTest::newRow("time zone offset")
        << "TTZ" << "CAST('10:00 +15:00' AS TIME WITH TIME ZONE)"
        << "Invalid time zone offset: +15:00; an offset is +hh:mm or -hh:mm, from -14:00 to "
           "+14:00";
}

// The client library the tool links knows none of the new types' codes: they
// would reach the user as "unknown ISC error 335545142". Codes it knows (an
// INT128 overflow's) keep its words.
void TestFb4Types::newTypeErrorsAreWorded()
{
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(QString, text);
    m_session = std::make_unique<TestSession>(TestDatabase::firebird4(), 3);
    m_session->db.execute(kSchema);
    const QString refusal =
        m_session->refusal({"UPDATE T SET " + column + " = " + value + " WHERE ID = 1"});
    QCOMPARE(refusal.split('\r', Qt::SkipEmptyParts).join('\n'), text);
}

QUORVEL_TEST_MAIN(TestFb4Types)
#include "tst_fb4types.moc"
