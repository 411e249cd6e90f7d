#include "core/AppError.h"
#include "ibdb/SqlLiteral.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "support/TestWidgets.h"
#include "uikit/GridCopy.h"
#include "uikit/TableNavigator.h"
#include "uikit/ValueText.h"
#include "workbench/GridExport.h"
#include "workbench/TDataForm.h"
#include "workbench/TOutputForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QSqlQueryModel>
#include <QSqlTableModel>
#include <QTableView>

#include <memory>

namespace {

// Every column type of the dialect: row 1 holds values that a careless
// writer changes (quotes, line breaks, separators, long decimals, 64-bit
// edges, binary), row 2 NULL beside an empty string, row 3 a text blob long
// enough to be read as a preview.
QStringList schema(int dialect)
{
    if (dialect == 1) {
        return {
            "CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, N NUMERIC(15,4), "
            "N9 NUMERIC(9,2), DBL DOUBLE PRECISION, F FLOAT, SI SMALLINT, I INTEGER, D DATE, "
            "S VARCHAR(10), C CHAR(4), BL BOOLEAN, TB BLOB SUB_TYPE 1, BB BLOB SUB_TYPE 0)",
            "INSERT INTO T VALUES (1, 0.0001, 1234567.89, 0.1, 1.1, -32768, 2147483647, "
            "'1700-01-01 10:11:12', 'it''s \"q\"', 'ab', TRUE, 'line1' || ASCII_CHAR(10) || "
            "'x,y;z', X'00FF10')",
            "INSERT INTO T (ID, S) VALUES (2, '')",
            "INSERT INTO T (ID, TB) VALUES (3, LPAD('', 9000, 'z'))",
        };
    }
    return {
        "CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, N NUMERIC(18,4), N9 NUMERIC(9,2), "
        "DBL DOUBLE PRECISION, F FLOAT, SI SMALLINT, I INTEGER, BI BIGINT, D DATE, TM TIME, "
        "TS TIMESTAMP, S VARCHAR(10), C CHAR(4), BL BOOLEAN, TB BLOB SUB_TYPE 1, "
        "BB BLOB SUB_TYPE 0, OC CHAR(4) CHARACTER SET OCTETS)",
        "INSERT INTO T VALUES (1, 12345678901234.5678, 1234567.89, 0.1, 1.1, -32768, "
        "2147483647, 9223372036854775807, '1700-01-01', '23:59:59.9999', "
        "'2020-01-02 03:04:05.1234', 'it''s \"q\"', 'ab', TRUE, 'line1' || ASCII_CHAR(10) || "
        "'x,y;z', X'00FF10', X'0041FF20')",
        "INSERT INTO T (ID, S, BI, N) VALUES (2, '', -9223372036854775808, "
        "-922337203685477.5808)",
        "INSERT INTO T (ID, TB) VALUES (3, LPAD('', 9000, 'z'))",
    };
}

QStringList columns(int dialect)
{
    if (dialect == 1)
        return {"ID", "N", "N9", "DBL", "F", "SI", "I", "D", "S", "C", "BL", "TB", "BB"};
    return {"ID", "N", "N9", "DBL", "F", "SI", "I", "BI", "D", "TM",
            "TS", "S", "C", "BL", "TB", "BB", "OC"};
}

bool isBinary(const QString &column)
{
    return column == "BB" || column == "OC";
}

// A column as a second attachment reads it: the server's own text, the
// content's hash for blobs, binary floating point as the double itself.
QString readBack(int dialect, const QString &column)
{
    if (column == "DBL" || column == "F" || (dialect == 1 && column == "N"))
        return column;
    if (column == "TB" || isBinary(column))
        return "COALESCE('=' || HASH(" + column + "), '<null>')";
    return "COALESCE('=' || CAST(" + column + " AS VARCHAR(60)), '<null>')";
}

// RFC 4180 fields of a whole file; a quoted field is marked so that an
// empty string stays apart from NULL.
struct Field
{
    QString text;
    bool quoted = false;
};

QList<QList<Field>> parseCsv(const QString &text, QChar separator)
{
    QList<QList<Field>> lines(1);
    Field field;
    bool inQuotes = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c == '"' && i + 1 < text.size() && text.at(i + 1) == '"') {
                field.text += c;
                ++i;
            } else if (c == '"') {
                inQuotes = false;
            } else {
                field.text += c;
            }
        } else if (c == '"') {
            inQuotes = field.quoted = true;
        } else if (c == separator) {
            lines.last() << field;
            field = {};
        } else if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n') {
            lines.last() << field;
            field = {};
            lines.append(QList<Field>());
            ++i;
        } else {
            field.text += c;
        }
    }
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString fileText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<none>");
    return QString::fromUtf8(file.readAll());
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QAction *gridCommand(QTableView *grid, const QString &text)
{
    for (QAction *action : grid->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace

class TestGridExport : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void valuesAreWrittenExactly_data();
    void valuesAreWrittenExactly();
    void exportReadsBackTheSameRows_data();
    void exportReadsBackTheSameRows();
    void copyIsTheSelectionWithTitles();
    void insertCopyQuotesNamesOnDialect3();
    void jsonIsAnArrayOfObjects();
    void cancelledOrFailedExportLeavesOldFile_data();
    void cancelledOrFailedExportLeavesOldFile();
    void titleClickSortsInServerOrder();
    void resultTitleClickSortsInServerOrder();

private:
    TDataForm *openTable(int dialect, const QString &table = QStringLiteral("T"));
    QStringList snapshot() const;
    void reinsertCsv(const QString &text, QChar separator);

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void TestGridExport::cleanup()
{
    m_shell.reset();
    m_prompts.reset();
    m_session.reset();
}

TDataForm *TestGridExport::openTable(int dialect, const QString &table)
{
    m_session = std::make_unique<TestSession>(true, dialect);
    m_session->db.execute(schema(dialect));
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    OpenDataView(table);
    return m_shell->last<TDataForm>();
}

QStringList TestGridExport::snapshot() const
{
    const int dialect = m_session->db.dialect();
    QStringList rows;
    for (const QString &column : columns(dialect)) {
        rows << column + ": "
                    + m_session->db.column("SELECT " + readBack(dialect, column)
                                           + " FROM T ORDER BY ID")
                          .join(" | ");
    }
    return rows;
}

void TestGridExport::valuesAreWrittenExactly_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("csv");
    QTest::addColumn<QString>("json");

    const QString text = "line1\nx,y;z";
    QTest::newRow("1: numeric(15,4), a double") << 1 << "N" << "0.0001" << "0.0001" << "0.0001";
    QTest::newRow("1: numeric(9,2)") << 1 << "N9" << "1234567.89" << "1234567.89"
                                     << "1234567.89";
    QTest::newRow("1: double") << 1 << "DBL" << "0.1" << "0.1" << "0.1";
    QTest::newRow("1: float, shortest") << 1 << "F" << "1.1" << "1.1" << "1.1";
    QTest::newRow("1: smallint") << 1 << "SI" << "-32768" << "-32768" << "-32768";
    QTest::newRow("1: date with time") << 1 << "D" << "\"1700-01-01 10:11:12\""
                                       << "1700-01-01 10:11:12" << "\"1700-01-01 10:11:12\"";
    QTest::newRow("1: quotes") << 1 << "S" << "\"it's \"\"q\"\"\"" << "\"it's \"\"q\"\"\""
                               << "\"it's \\\"q\\\"\"";
    QTest::newRow("1: char") << 1 << "C" << "\"ab\"" << "ab" << "\"ab\"";
    QTest::newRow("1: boolean") << 1 << "BL" << "TRUE" << "true" << "true";
    QTest::newRow("1: text blob") << 1 << "TB" << "\"" + text + "\"" << "\"" + text + "\""
                                  << "\"line1\\nx,y;z\"";
    QTest::newRow("1: binary blob") << 1 << "BB" << "x'00FF10'" << "00FF10" << "\"00FF10\"";

    QTest::newRow("3: numeric(18,4) past a double")
        << 3 << "N" << "12345678901234.5678" << "12345678901234.5678"
        << "\"12345678901234.5678\"";
    QTest::newRow("3: bigint past 2^53") << 3 << "BI" << "9223372036854775807"
                                         << "9223372036854775807" << "\"9223372036854775807\"";
    QTest::newRow("3: integer") << 3 << "I" << "2147483647" << "2147483647" << "2147483647";
    QTest::newRow("3: date") << 3 << "D" << "'1700-01-01'" << "1700-01-01" << "\"1700-01-01\"";
    QTest::newRow("3: time") << 3 << "TM" << "'23:59:59.9999'" << "23:59:59.9999"
                             << "\"23:59:59.9999\"";
    QTest::newRow("3: timestamp") << 3 << "TS" << "'2020-01-02 03:04:05.1234'"
                                  << "2020-01-02 03:04:05.1234"
                                  << "\"2020-01-02 03:04:05.1234\"";
    QTest::newRow("3: quotes") << 3 << "S" << "'it''s \"q\"'" << "\"it's \"\"q\"\"\""
                               << "\"it's \\\"q\\\"\"";
    QTest::newRow("3: text blob") << 3 << "TB" << "'" + text + "'" << "\"" + text + "\""
                                  << "\"line1\\nx,y;z\"";
    QTest::newRow("3: octets") << 3 << "OC" << "x'0041FF20'" << "0041FF20" << "\"0041FF20\"";
}

// What the copy, the INSERT and the JSON writers make of row 1's cell.
void TestGridExport::valuesAreWrittenExactly()
{
    QFETCH(int, dialect);
    QFETCH(QString, column);
    QFETCH(QString, sql);
    QFETCH(QString, csv);
    QFETCH(QString, json);
    TDataForm *form = openTable(dialect);
    QTableView *grid = form->DBGrid1;
    const int at = form->SrcTable->fieldIndex(column);
    grid->setCurrentIndex(form->SrcTable->index(0, at));
    grid->selectionModel()->select(grid->currentIndex(), QItemSelectionModel::ClearAndSelect);

    QCOMPARE(GridCopy::selectedText(grid), column + "\r\n" + csv + "\r\n");
    const QVariant value = GridCopy::cellValue(grid, 0, at);
    const QMetaType::Type type = GridCopy::columns(grid, {at}).constFirst().type;
    QCOMPARE(ValueText::sql(value, type, dialect), sql);
    QCOMPARE(ValueText::json(value, type), json);
    QCOMPARE(m_prompts->errors(), QStringList());
}

void TestGridExport::exportReadsBackTheSameRows_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("suffix");
    for (int dialect : {1, 3}) {
        for (const char *suffix : {"sql", "csv"}) {
            QTest::newRow(qPrintable(QStringLiteral("dialect %1, %2").arg(dialect).arg(suffix)))
                << dialect << QString::fromLatin1(suffix);
        }
    }
}

// Written out, the rows deleted and the file read back in through another
// attachment, every column holds what it held.
void TestGridExport::exportReadsBackTheSameRows()
{
    QFETCH(int, dialect);
    QFETCH(QString, suffix);
    TDataForm *form = openTable(dialect);
    const QStringList before = snapshot();
    const QString path = m_session->db.folder() + "/rows." + suffix;
    m_prompts->files << path;
    m_prompts->inputs << QStringLiteral(";");
    gridCommand(form->DBGrid1, "&Export Rows...")->trigger();
    QVERIFY2(m_prompts->errors().isEmpty(), qPrintable(m_prompts->errors().join("\n")));
    QCOMPARE(m_prompts->told(), QStringList{"3 rows exported to " + path + "."});

    m_session->db.execute("DELETE FROM T");
    const QString text = fileText(path);
    if (suffix == "sql") {
        QStringList statements = text.split(");\r\n", Qt::SkipEmptyParts);
        for (QString &statement : statements)
            statement += ')';
        QCOMPARE(statements.size(), 3);
        m_session->db.execute(statements);
    } else {
        reinsertCsv(text, QLatin1Char(';'));
    }
    QCOMPARE(snapshot(), before);
}

void TestGridExport::reinsertCsv(const QString &text, QChar separator)
{
    const int dialect = m_session->db.dialect();
    const QList<QList<Field>> lines = parseCsv(text, separator);
    QCOMPARE(lines.size(), 4);
    QStringList names;
    for (const Field &title : lines.first())
        names << title.text;
    QCOMPARE(names, columns(dialect));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QStringList literals;
        for (qsizetype c = 0; c < lines[i].size(); ++c) {
            const Field &field = lines[i][c];
            if (field.text.isEmpty() && !field.quoted)
                literals << "NULL";
            else if (isBinary(names[c]))
                literals << "x'" + field.text + "'";
            else
                literals << SqlLiteral::string(field.text, dialect);
        }
        m_session->db.execute("INSERT INTO T VALUES (" + literals.join(", ") + ")");
    }
}

void TestGridExport::copyIsTheSelectionWithTitles()
{
    TDataForm *form = openTable(3);
    QTableView *grid = form->DBGrid1;
    QSqlTableModel *model = form->SrcTable;
    const auto rectangle = [&](int top, int left, int bottom, int right) {
        grid->selectionModel()->select(
            QItemSelection(model->index(top, left), model->index(bottom, right)),
            QItemSelectionModel::ClearAndSelect);
    };
    // I and BI of rows 1 and 2: NULL an empty field, '' a quoted one.
    rectangle(0, model->fieldIndex("BI"), 1, model->fieldIndex("D"));
    // The key itself, as the user presses it in the shown window.
    QWidget *window = grid->window();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    grid->setFocus();
    QApplication::clipboard()->clear();
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QString("BI\tD\r\n9223372036854775807\t1700-01-01\r\n-9223372036854775808\t\r\n"));

    rectangle(1, model->fieldIndex("S"), 1, model->fieldIndex("C"));
    QCOMPARE(GridCopy::selectedText(grid), QString("S\tC\r\n\"\"\t\r\n"));

    // A whole column, long blob read whole.
    grid->selectionModel()->select(model->index(0, model->fieldIndex("TB")),
                                   QItemSelectionModel::ClearAndSelect
                                       | QItemSelectionModel::Columns);
    const QString copied = GridCopy::selectedText(grid);
    QVERIFY(copied.startsWith("TB\r\n\"line1\nx,y;z\"\r\n\r\n"));
    QVERIFY(copied.endsWith(QString(9000, 'z') + "\r\n"));
    QCOMPARE(m_prompts->errors(), QStringList());
}

void TestGridExport::insertCopyQuotesNamesOnDialect3()
{
    m_session = std::make_unique<TestSession>(true, 3);
    m_session->db.execute({"CREATE TABLE \"Mixed Case\" (ID INTEGER NOT NULL PRIMARY KEY, "
                           "\"Name\" VARCHAR(10), \"ORDER\" INTEGER)",
                           "INSERT INTO \"Mixed Case\" VALUES (1, 'a''b', NULL)",
                           "INSERT INTO \"Mixed Case\" VALUES (2, NULL, 7)"});
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    OpenDataView("Mixed Case");
    TDataForm *form = m_shell->last<TDataForm>();
    form->DBGrid1->selectAll();
    gridCommand(form->DBGrid1, "Copy as &INSERT")->trigger();
    const QString expected =
        "INSERT INTO \"Mixed Case\" (ID, \"Name\", \"ORDER\") VALUES (1, 'a''b', NULL);\r\n"
        "INSERT INTO \"Mixed Case\" (ID, \"Name\", \"ORDER\") VALUES (2, NULL, 7);\r\n";
    QCOMPARE(QApplication::clipboard()->text(), expected);
    QCOMPARE(m_prompts->errors(), QStringList());

    // The same rows from a query: its one table is where they go.
    OpenAsResultSet("SELECT * FROM \"Mixed Case\" ORDER BY ID");
    TOutputForm *result = m_shell->last<TOutputForm>();
    result->GridResult->selectAll();
    result->copyAsInsert();
    QCOMPARE(QApplication::clipboard()->text(), expected);
}

void TestGridExport::jsonIsAnArrayOfObjects()
{
    m_session = std::make_unique<TestSession>(true, 3);
    m_session->db.execute({"CREATE TABLE J (ID INTEGER, \"a\"\"b\" VARCHAR(5), N NUMERIC(9,3))",
                           "INSERT INTO J VALUES (1, 'x', 1.500)",
                           "INSERT INTO J VALUES (2, NULL, NULL)"});
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    const QString path = m_session->db.folder() + "/rows.json";
    GridExport rows(QSqlDatabase::database("IBB"), "SELECT * FROM J ORDER BY ID",
                    {"ID", "a\"b", "N"}, "J");
    QCOMPARE(rows.write({path, GridExport::Format::Json}, {}), qint64(2));
    QCOMPARE(fileText(path), QString("[\n  {\"ID\": 1, \"a\\\"b\": \"x\", \"N\": 1.5},\n"
                                     "  {\"ID\": 2, \"a\\\"b\": null, \"N\": null}\n]\n"));
}

void TestGridExport::cancelledOrFailedExportLeavesOldFile_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("oldFile");
    QTest::newRow("cancelled") << "SELECT ID FROM BIG" << true << true;
    QTest::newRow("cancelled, no file before") << "SELECT ID FROM BIG" << true << false;
    QTest::newRow("server fails at row 5000") << "SELECT 1 / (ID - 5000) FROM BIG ORDER BY ID"
                                              << false << true;
}

void TestGridExport::cancelledOrFailedExportLeavesOldFile()
{
    QFETCH(QString, statement);
    QFETCH(bool, cancel);
    QFETCH(bool, oldFile);
    m_session = std::make_unique<TestSession>(true, 3);
    m_session->db.execute({"CREATE TABLE BIG (ID INTEGER)",
                           "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 20000) DO "
                           "BEGIN I = I + 1; INSERT INTO BIG VALUES (:I); END END"});
    const QString path = m_session->db.folder() + "/old.csv";
    if (oldFile)
        writeFile(path, "old contents\r\n");
    qint64 told = 0;
    const GridExport::Progress progress = [&](qint64 rows) {
        told = rows;
        return !cancel;
    };
    GridExport rows(QSqlDatabase::database("IBB"), statement, {"ID"}, "BIG");
    try {
        rows.write({path, GridExport::Format::Csv}, progress);
        QFAIL("the export ended as if complete");
    } catch (const SilentAbort &) {
        QVERIFY(cancel);
        QCOMPARE(told, qint64(2000));
    } catch (const AppError &error) {
        QVERIFY(!cancel);
        QVERIFY2(error.message().startsWith("The export to " + path + " failed: "),
                 qPrintable(error.message()));
        QVERIFY2(error.message().contains("divide by zero"), qPrintable(error.message()));
        QVERIFY(error.message().endsWith("; " + path + " was left as it was"));
    }
    QCOMPARE(fileText(path), oldFile ? QString("old contents\r\n") : QString("<none>"));
    QCOMPARE(QDir(m_session->db.folder()).entryList(QDir::Files).filter("old"),
             oldFile ? QStringList{"old.csv"} : QStringList());
}

void TestGridExport::titleClickSortsInServerOrder()
{
    TDataForm *form = openTable(3);
    m_session->db.execute({"INSERT INTO T (ID, S) VALUES (4, 'b')",
                           "INSERT INTO T (ID, S) VALUES (5, 'B')"});
    gridCommand(form->DBGrid1, "&Refresh")->trigger();
    QHeaderView *titles = form->DBGrid1->horizontalHeader();
    const int s = form->SrcTable->fieldIndex("S");
    const auto shownIds = [&] {
        QStringList ids;
        for (int row = 0; row < form->SrcTable->rowCount(); ++row)
            ids << form->SrcTable->index(row, 0).data().toString();
        return ids;
    };
    form->DBGrid1->scrollTo(form->SrcTable->index(0, s));
    QVERIFY(titles->sectionViewportPosition(s) < titles->viewport()->width());
    for (const char *order : {"ASC", "DESC"}) {
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                          QPoint(titles->sectionViewportPosition(s) + 4, 4));
        QCOMPARE(shownIds(),
                 m_session->db.column(QStringLiteral("SELECT ID FROM T ORDER BY S %1").arg(order)));
    }
    QCOMPARE(titles->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(m_prompts->errors(), QStringList());
}

// Two columns of one name sort too, and keep their titles.
void TestGridExport::resultTitleClickSortsInServerOrder()
{
    openTable(3);
    OpenAsResultSet("SELECT A.ID, B.ID, A.S FROM T A JOIN T B ON B.ID = 4 - A.ID -- last\n");
    TOutputForm *result = m_shell->last<TOutputForm>();
    QHeaderView *titles = result->GridResult->horizontalHeader();
    const auto ids = [&] { return TestWidgets::columnShown(result->OutSQL, 0); };
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                          QPoint(titles->sectionViewportPosition(1) + 4, 4));
    }
    QCOMPARE(ids(), (QStringList{"1", "2", "3"}));
    QCOMPARE(result->OutSQL->headerData(1, Qt::Horizontal).toString(), QString("ID"));
    QCOMPARE(m_prompts->errors(), QStringList());
    result->sortBy(2, Qt::AscendingOrder);
    QCOMPARE(ids(), m_session->db.column("SELECT ID FROM T ORDER BY S"));
}

QUORVEL_TEST_MAIN(TestGridExport)
#include "tst_gridexport.moc"
