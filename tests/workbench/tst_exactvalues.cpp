#include "controls/GridValueDelegate.h"
#include "controls/TDBNavigator.h"
#include "controls/TOfficeButton.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "support/TestWidgets.h"
#include "uikit/TableNavigator.h"
#include "workbench/TDataForm.h"
#include "workbench/TOutputForm.h"

#include <QSqlQueryModel>
#include <QSqlTableModel>
#include <QTableView>

#include <memory>
#include <optional>

using State = TableNavigator::State;

namespace {

// Every column type of the dialect, row 1 near the edges of each range, row 2
// holding an empty string where row 1 holds NULL.
QStringList schema(int dialect)
{
    if (dialect == 1) {
        return {
            "CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, N NUMERIC(15,4), "
            "N9 NUMERIC(9,2), DBL DOUBLE PRECISION, F FLOAT, SI SMALLINT, I INTEGER, D DATE, "
            "S VARCHAR(10), C CHAR(4), BL BOOLEAN, TB BLOB SUB_TYPE 1)",
            "INSERT INTO T VALUES (1, 0.0001, 1234567.89, 0.125, 1.1, -32768, 2147483647, "
            "'1700-01-01', NULL, 'ab', TRUE, 'one')",
            "INSERT INTO T VALUES (2, -1.5, -0.01, -2.5e-300, -1, 32767, -2147483648, "
            "'2020-02-29 13:14:15', '', 'cd', FALSE, NULL)",
        };
    }
    return {
        "CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, N NUMERIC(18,4), N9 NUMERIC(9,2), "
        "DBL DOUBLE PRECISION, F FLOAT, SI SMALLINT, I INTEGER, BI BIGINT, D DATE, TM TIME, "
        "TS TIMESTAMP, S VARCHAR(10), C CHAR(4), BL BOOLEAN, TB BLOB SUB_TYPE 1)",
        "INSERT INTO T VALUES (1, 12345678901234.5678, 1234567.89, 0.125, 1.1, -32768, "
        "2147483647, 9223372036854775807, '1700-01-01', '23:59:59.9999', "
        "'2020-01-02 03:04:05.1234', NULL, 'ab', TRUE, 'one')",
        "INSERT INTO T VALUES (2, 0.0001, -0.01, -2.5e-300, -1, 32767, -2147483648, "
        "-9223372036854775808, '0001-01-01', '00:00:00', '9999-12-31 23:59:59.9999', '', "
        "'cd', FALSE, NULL)",
        "CREATE TABLE K (TS TIMESTAMP NOT NULL PRIMARY KEY, S VARCHAR(10))",
        "INSERT INTO K VALUES ('2020-01-02 03:04:05.1234', 'old')",
        "CREATE TABLE B (ID INTEGER NOT NULL PRIMARY KEY, BB BLOB SUB_TYPE BINARY, "
        "OC CHAR(4) CHARACTER SET OCTETS)",
        "INSERT INTO B VALUES (1, X'00FF10', X'0041FF20')",
        "INSERT INTO B VALUES (2, NULL, X'20202020')",
    };
}

QStringList columns(int dialect)
{
    if (dialect == 1)
        return {"N", "N9", "DBL", "F", "SI", "I", "D", "S", "C", "BL", "TB"};
    return {"N", "N9", "DBL", "F", "SI", "I", "BI", "D", "TM", "TS", "S", "C", "BL", "TB"};
}

// A column as a second attachment reads it: the server's own text, except
// for binary floating point (a dialect-1 NUMERIC(15,4) among it), read as the
// double itself.
QString readBack(int dialect, const QString &column)
{
    if (column == "DBL" || column == "F" || (dialect == 1 && column == "N"))
        return column;
    return "COALESCE('=' || CAST(" + column + " AS VARCHAR(60)), '<null>')";
}

} // namespace

class TestExactValues : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void visitChangesNothing_data();
    void visitChangesNothing();
    void editReadsBackExactly_data();
    void editReadsBackExactly();
    void gridsShowWhatIsHeld_data();
    void gridsShowWhatIsHeld();
    void nullLooksApartFromEmptyText_data();
    void nullLooksApartFromEmptyText();
    void updateMatchingNoRowIsRefused_data();
    void updateMatchingNoRowIsRefused();
    void timestampKeyMatchesExactly();
    void insertedRowKeepsWholeValue();
    void longTextKeepsItsEnd();
    void bytesShownAndTypedAsHex();

private:
    TDataForm *openTable(int dialect, const QString &table = QStringLiteral("T"));
    QStringList snapshot(const QString &column) const;
    // Opens the cell's editor as a double click does, types (or not), presses
    // Enter and clicks the other row.
    void visit(TDataForm *form, int row, const QString &column,
               const std::optional<QString> &typed);
    QString shown(const QTableView *grid, const QModelIndex &index) const;

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void TestExactValues::cleanup()
{
    m_shell.reset();
    m_prompts.reset();
    m_session.reset();
}

TDataForm *TestExactValues::openTable(int dialect, const QString &table)
{
    m_session = std::make_unique<TestSession>(true, dialect);
    m_session->db.execute(schema(dialect));
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    OpenDataView(table);
    return m_shell->last<TDataForm>();
}

QStringList TestExactValues::snapshot(const QString &column) const
{
    return m_session->db.column("SELECT " + readBack(m_session->db.dialect(), column)
                                + " FROM T ORDER BY ID");
}

void TestExactValues::visit(TDataForm *form, int row, const QString &column,
                            const std::optional<QString> &typed)
{
    QSqlTableModel *model = form->SrcTable;
    TestWidgets::visitCell(form->DBGrid1, model->index(row, model->fieldIndex(column)), typed,
                           model->index(1 - row, 0));
}

QString TestExactValues::shown(const QTableView *grid, const QModelIndex &index) const
{
    return TestWidgets::cellShown(grid, index);
}

void TestExactValues::visitChangesNothing_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("column");
    for (int dialect : {1, 3}) {
        for (const QString &column : columns(dialect)) {
            const QString name = QStringLiteral("dialect %1, %2").arg(dialect).arg(column);
            QTest::newRow(qPrintable(name)) << dialect << column;
        }
    }
}

void TestExactValues::visitChangesNothing()
{
    QFETCH(int, dialect);
    QFETCH(QString, column);
    TDataForm *form = openTable(dialect);
    const QStringList before = snapshot(column);

    for (int row : {0, 1, 0}) {
        visit(form, row, column, std::nullopt);
        QCOMPARE(form->table()->state(), State::Browse);
    }
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(snapshot(column), before);
}

void TestExactValues::editReadsBackExactly_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("typed");
    // Row 1 as the second attachment reads it; a double's text loses the sign
    // of a zero, which is checked apart.
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shownAfter");

    QTest::newRow("1: numeric(15,4) small") << 1 << "N" << "0.0002" << "2e-04" << "0.0002";
    QTest::newRow("1: numeric(9,2)") << 1 << "N9" << "-9999999.99" << "=-9999999.99"
                                     << "-9999999.99";
    QTest::newRow("1: double 0.1 + 0.2") << 1 << "DBL" << "0.30000000000000004"
                                         << "0.30000000000000004" << "0.30000000000000004";
    QTest::newRow("1: double -0") << 1 << "DBL" << "-0" << "0" << "-0";
    QTest::newRow("1: integer min") << 1 << "I" << "-2147483648" << "=-2147483648"
                                    << "-2147483648";
    QTest::newRow("1: date first day") << 1 << "D" << "0001-01-01" << "=01-JAN-0001"
                                       << "0001-01-01 00:00:00";
    QTest::newRow("1: empty string, not NULL") << 1 << "S" << "" << "=" << "";
    QTest::newRow("1: boolean") << 1 << "BL" << "False" << "=FALSE" << "false";

    QTest::newRow("3: bigint max") << 3 << "BI" << "9223372036854775807"
                                   << "=9223372036854775807" << "9223372036854775807";
    QTest::newRow("3: bigint min") << 3 << "BI" << "-9223372036854775808"
                                   << "=-9223372036854775808" << "-9223372036854775808";
    QTest::newRow("3: numeric(18,4) max") << 3 << "N" << "922337203685477.5807"
                                          << "=922337203685477.5807" << "922337203685477.5807";
    QTest::newRow("3: numeric(18,4) smallest") << 3 << "N" << "0.0001" << "=0.0001"
                                               << "0.0001";
    QTest::newRow("3: numeric typed in full") << 3 << "N" << "5.4321" << "=5.4321" << "5.4321";
    QTest::newRow("3: date first day") << 3 << "D" << "0001-01-01" << "=0001-01-01"
                                       << "0001-01-01";
    QTest::newRow("3: date last day") << 3 << "D" << "9999-12-31" << "=9999-12-31"
                                      << "9999-12-31";
    QTest::newRow("3: timestamp last moment")
        << 3 << "TS" << "9999-12-31 23:59:59.9999" << "=9999-12-31 23:59:59.9999"
        << "9999-12-31 23:59:59.9999";
    QTest::newRow("3: timestamp whole second")
        << 3 << "TS" << "0001-01-01 00:00:00" << "=0001-01-01 00:00:00.0000"
        << "0001-01-01 00:00:00";
    QTest::newRow("3: time last moment") << 3 << "TM" << "23:59:59.9999" << "=23:59:59.9999"
                                         << "23:59:59.9999";
    QTest::newRow("3: double 0.1 + 0.2") << 3 << "DBL" << "0.30000000000000004"
                                         << "0.30000000000000004" << "0.30000000000000004";
    QTest::newRow("3: double -0") << 3 << "DBL" << "-0" << "0" << "-0";
    QTest::newRow("3: float, shortest") << 3 << "F" << "0.1" << "0.10000000149011612" << "0.1";
    QTest::newRow("3: empty string, not NULL") << 3 << "S" << "" << "=" << "";
    QTest::newRow("3: text blob") << 3 << "TB" << "two" << "=two" << "two";
}

void TestExactValues::editReadsBackExactly()
{
    QFETCH(int, dialect);
    QFETCH(QString, column);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, shownAfter);
    TDataForm *form = openTable(dialect);
    const QString otherRow = snapshot(column).value(1);

    // An empty text on a NULL cell is a change only once something was typed.
    if (column == "S")
        visit(form, 0, column, QStringLiteral("x"));
    visit(form, 0, column, typed);
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(form->table()->state(), State::Browse);
    QCOMPARE(snapshot(column), (QStringList{stored, otherRow}));
    if (typed == "-0") {
        const QString sign = "SELECT ATAN2(" + column + ", -1) FROM T WHERE ID = 1";
        QCOMPARE(m_session->db.scalar(sign), "-3.141592653589793");
    }
    QSqlTableModel *model = form->SrcTable;
    QCOMPARE(shown(form->DBGrid1, model->index(0, model->fieldIndex(column))), shownAfter);
}

void TestExactValues::gridsShowWhatIsHeld_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QStringList>("texts"); // of row 1, column by column

    QTest::newRow("dialect 1")
        << 1 << QStringList{"0.0001", "1234567.89", "0.125", "1.1", "-32768", "2147483647",
                            "1700-01-01 00:00:00", "", "ab", "true", "one"};
    QTest::newRow("dialect 3")
        << 3 << QStringList{"12345678901234.5678", "1234567.89", "0.125", "1.1", "-32768",
                            "2147483647", "9223372036854775807", "1700-01-01", "23:59:59.9999",
                            "2020-01-02 03:04:05.1234", "", "ab", "true", "one"};
}

void TestExactValues::gridsShowWhatIsHeld()
{
    QFETCH(int, dialect);
    QFETCH(QStringList, texts);
    TDataForm *form = openTable(dialect);
    const QStringList names = columns(dialect);
    QSqlTableModel *model = form->SrcTable;
    QStringList inDataView;
    for (const QString &column : names)
        inDataView << shown(form->DBGrid1, model->index(0, model->fieldIndex(column)));
    QCOMPARE(inDataView, texts);

    OpenAsResultSet("SELECT " + names.join(", ") + " FROM T WHERE ID = 1");
    TOutputForm *result = m_shell->last<TOutputForm>();
    QVERIFY(result);
    QStringList inResult;
    for (int column = 0; column < names.size(); ++column)
        inResult << shown(result->GridResult, result->OutSQL->index(0, column));
    QCOMPARE(inResult, texts);
}

void TestExactValues::nullLooksApartFromEmptyText_data()
{
    QTest::addColumn<int>("dialect");
    QTest::newRow("dialect 1") << 1;
    QTest::newRow("dialect 3") << 3;
}

// S is NULL in row 1 and '' in row 2, TB the other way round: the grid of the
// data view and that of a result window show the NULL as "<null>" in grey
// italics and the empty text as nothing.
void TestExactValues::nullLooksApartFromEmptyText()
{
    QFETCH(int, dialect);
    TDataForm *form = openTable(dialect);
    OpenAsResultSet("SELECT S, TB FROM T ORDER BY ID");
    TOutputForm *result = m_shell->last<TOutputForm>();
    QSqlTableModel *table = form->SrcTable;
    const int s = table->fieldIndex("S");
    const int tb = table->fieldIndex("TB");
    const QList<std::pair<QTableView *, QList<QModelIndex>>> grids{
        {form->DBGrid1, {table->index(0, s), table->index(1, s), table->index(1, tb),
                         table->index(0, tb)}},
        {result->GridResult, {result->OutSQL->index(0, 0), result->OutSQL->index(1, 0),
                              result->OutSQL->index(1, 1), result->OutSQL->index(0, 1)}}};
    for (const auto &[grid, cells] : grids) {
        QStringList looks;
        for (const QModelIndex &cell : cells) {
            auto *delegate = qobject_cast<GridValueDelegate *>(grid->itemDelegateForIndex(cell));
            QVERIFY(delegate);
            QStyleOptionViewItem option;
            option.initFrom(grid);
            delegate->initStyleOption(&option, cell);
            const bool grey = option.palette.color(QPalette::Text)
                              == grid->palette().color(QPalette::PlaceholderText);
            looks << option.text + (option.font.italic() ? "/italic" : "")
                         + (grey ? "/grey" : "");
        }
        QCOMPARE(looks, (QStringList{"<null>/italic/grey", "", "<null>/italic/grey", "one"}));
    }
}

void TestExactValues::updateMatchingNoRowIsRefused_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("meanwhile");
    QTest::newRow("dialect 1, row deleted") << 1 << "DELETE FROM T WHERE ID = 1";
    QTest::newRow("dialect 3, key changed") << 3 << "UPDATE T SET ID = 5 WHERE ID = 1";
}

void TestExactValues::updateMatchingNoRowIsRefused()
{
    QFETCH(int, dialect);
    QFETCH(QString, meanwhile);
    TDataForm *form = openTable(dialect);
    QSqlTableModel *model = form->SrcTable;
    const QModelIndex cell = model->index(0, model->fieldIndex("S"));
    model->setData(cell, QStringLiteral("mine"));
    QCOMPARE(form->table()->state(), State::Edit);
    m_session->db.execute(meanwhile);
    const QStringList before = m_session->db.column("SELECT ID || ':' || COALESCE(S, '<null>') "
                                                    "FROM T ORDER BY ID");

    form->DBNavigator1->button(TDBNavigator::Button::Post)->click();
    QCOMPARE(m_prompts->errors(),
             QStringList("The row was not saved: another user deleted it or changed its key "
                         "since it was read."));
    QCOMPARE(form->table()->state(), State::Edit);
    QCOMPARE(model->data(cell).toString(), QStringLiteral("mine"));
    QCOMPARE(m_session->db.column("SELECT ID || ':' || COALESCE(S, '<null>') FROM T ORDER BY ID"),
             before);
}

void TestExactValues::timestampKeyMatchesExactly()
{
    // The key's ten-thousandths must reach the server as they were read.
    TDataForm *form = openTable(3, QStringLiteral("K"));
    QCOMPARE(form->SrcTable->rowCount(), 1);
    form->SrcTable->setData(form->SrcTable->index(0, form->SrcTable->fieldIndex("S")),
                            QStringLiteral("new"));
    form->DBNavigator1->button(TDBNavigator::Button::Post)->click();
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(form->table()->state(), State::Browse);
    QCOMPARE(m_session->db.column("SELECT CAST(TS AS VARCHAR(30)) || ' ' || S FROM K"),
             QStringList("2020-01-02 03:04:05.1234 new"));
}

void TestExactValues::insertedRowKeepsWholeValue()
{
    TDataForm *form = openTable(3);
    QSqlTableModel *model = form->SrcTable;
    form->DBNavigator1->button(TDBNavigator::Button::Insert)->click();
    QCOMPARE(form->table()->state(), State::Insert);
    model->setData(model->index(0, model->fieldIndex("ID")), 7);
    // Leaving the new row posts it.
    visit(form, 0, "N", QStringLiteral("12345678901234.5678"));
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(form->table()->state(), State::Browse);
    QCOMPARE(m_session->db.scalar("SELECT CAST(N AS VARCHAR(30)) FROM T WHERE ID = 7"),
             "12345678901234.5678");
}

void TestExactValues::longTextKeepsItsEnd()
{
    // Longer than a line editor takes by default.
    TDataForm *form = openTable(3);
    m_session->db.execute("EXECUTE BLOCK AS DECLARE B BLOB SUB_TYPE 1 = ''; DECLARE I INTEGER = 0; "
                          "BEGIN WHILE (I < 8) DO BEGIN B = B || LPAD('', 5000, 'a'); I = I + 1; "
                          "END UPDATE T SET TB = :B || 'z' WHERE ID = 1; END");
    form->DBNavigator1->button(TDBNavigator::Button::Refresh)->click();
    visit(form, 0, "TB", QLatin1Char('>') + QString(40000, QLatin1Char('a')) + QLatin1Char('z'));
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(m_session->db.scalar("SELECT CHAR_LENGTH(TB) || RIGHT(TB, 2) FROM T WHERE ID = 1"),
             "40002az");
}

void TestExactValues::bytesShownAndTypedAsHex()
{
    TDataForm *form = openTable(3, QStringLiteral("B"));
    QSqlTableModel *model = form->SrcTable;
    const auto cell = [&](int row, const char *column) {
        return shown(form->DBGrid1, model->index(row, model->fieldIndex(column)));
    };
    QCOMPARE((QStringList{cell(0, "BB"), cell(0, "OC"), cell(1, "BB"), cell(1, "OC")}),
             (QStringList{"00FF10", "0041FF20", "", "20202020"}));
    const QString stored = "SELECT IIF(CAST(BB AS VARCHAR(8) CHARACTER SET OCTETS) = %1, 'same', "
                           "'diff') || ' ' || IIF(OC = %2, 'same', 'diff') FROM B WHERE ID = %3";

    visit(form, 0, "OC", std::nullopt);
    visit(form, 0, "BB", QStringLiteral("00ff10 41"));
    visit(form, 1, "BB", QStringLiteral("7F"));
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(m_session->db.scalar(stored.arg("X'00FF1041'", "X'0041FF20'", "1")), "same same");
    QCOMPARE(m_session->db.scalar(stored.arg("X'7F'", "X'20202020'", "2")), "same same");
    QCOMPARE(cell(0, "BB"), "00FF1041");
}

QUORVEL_TEST_MAIN(TestExactValues)
#include "tst_exactvalues.moc"
