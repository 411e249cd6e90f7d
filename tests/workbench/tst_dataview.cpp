#include "controls/GridValueDelegate.h"
#include "controls/TDBNavigator.h"
#include "controls/TOfficeButton.h"
#include "core/AppError.h"
#include "support/Failures.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "uikit/TableNavigator.h"
#include "workbench/TDataForm.h"
#include "workbench/TOutputForm.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlTableModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>

#include <memory>

using Button = TDBNavigator::Button;
using State = TableNavigator::State;

class TestDataView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void relationList();
    void openDataView_data();
    void openDataView();
    void pickSwitchesRelation();
    void largeTableOpensWithFirstBatch();
    void editPosted_data();
    void editPosted();
    void refusedRowStaysInEdit_data();
    void refusedRowStaysInEdit();
    void readOnlyRelation_data();
    void readOnlyRelation();
    void namesSpelledForTheDialect_data();
    void namesSpelledForTheDialect();
    void longBlobShownAsPreview();
    void longBlobWholeInTheEditor_data();
    void longBlobWholeInTheEditor();
    void postLeavesLongBlobAlone_data();
    void postLeavesLongBlobAlone();

private:
    // LB: row 1 holds a 4 MB text blob and a 1 MB binary one, row 2 short
    // ones, and `more` rows follow.
    void createLongBlobs(int more = 0) const;
    static QString longText() { return "head:" + QString(1 << 22, u'x') + ":tail"; }
    static QByteArray longBytes();
    static QString shownText(QTableView *grid, int row, int column);
    static QString accessibleText(QTableView *grid, int row, int column);
    // Pages the program's attachment has read so far: a long blob read
    // whole reads every page it fills.
    static qint64 pageFetches();
    static constexpr qint64 kBlobPages = (4 << 20) / 4096;
    QString storedBlobs() const
    {
        return m_session->db.scalar(QStringLiteral(
            "SELECT OCTET_LENGTH(TB) || ':' || HASH(TB) || ':' || OCTET_LENGTH(BB) || ':' || "
            "HASH(BB) || ':' || NOTE FROM LB WHERE ID = 1"));
    }

    TDataForm *openOn(const QString &relation);
    void pick(TDataForm *form, const QString &relation);
    QString stored(int id) const
    {
        return m_session->db.scalar(QStringLiteral("SELECT NAME FROM T WHERE ID = %1").arg(id));
    }

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void TestDataView::init()
{
    m_session = std::make_unique<TestSession>();
    m_session->db.execute({
        QStringLiteral("CREATE EXCEPTION E_RESERVED 'The name is reserved'"),
        QStringLiteral("CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(20), "
                       "QTY INTEGER CHECK (QTY >= 0))"),
        QStringLiteral("CREATE TRIGGER T_BU FOR T BEFORE UPDATE AS BEGIN "
                       "IF (NEW.NAME = 'admin') THEN EXCEPTION E_RESERVED; END"),
        QStringLiteral("CREATE TABLE NOPK (NAME VARCHAR(20))"),
        QStringLiteral("CREATE VIEW V (ID, NAME) AS SELECT ID, NAME FROM T"),
        QStringLiteral("INSERT INTO T VALUES (1, 'one', 1)"),
        QStringLiteral("INSERT INTO T VALUES (2, 'two', 2)"),
        QStringLiteral("INSERT INTO T VALUES (3, 'three', 3)"),
        QStringLiteral("INSERT INTO NOPK VALUES ('loose')"),
    });
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
}

void TestDataView::cleanup()
{
    m_shell.reset();
    m_prompts.reset();
    m_session.reset();
}

TDataForm *TestDataView::openOn(const QString &relation)
{
    OpenDataView(relation);
    return m_shell->last<TDataForm>();
}

void TestDataView::pick(TDataForm *form, const QString &relation)
{
    const int item = form->TblsCB->findText(relation);
    QVERIFY(item >= 0);
    form->TblsCB->setCurrentIndex(item);
    emit form->TblsCB->activated(item);
}

void TestDataView::relationList()
{
    TDataForm *form = TDataForm::open();
    QCOMPARE(form->windowTitle(), QStringLiteral("Data Viewer"));
    QStringList items;
    for (int i = 0; i < form->TblsCB->count(); ++i)
        items << form->TblsCB->itemText(i);
    QCOMPARE(items, QStringList({"NOPK", "T", "V"}));
    QCOMPARE(form->TblsCB->currentIndex(), -1);
    QCOMPARE(form->TblsCB->statusTip(), QStringLiteral("Select table or view to edit"));
}

// A failed open leaves the new window open, empty, under its first caption.
void TestDataView::openDataView_data()
{
    QTest::addColumn<QString>("relation");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("rows");
    QTest::newRow("table") << "T" << "Data Viewer-T" << "" << 3;
    QTest::newRow("padded name") << "T    " << "Data Viewer-T" << "" << 3;
    QTest::newRow("empty name") << "" << "Data Viewer" << "No table name given" << 0;
    QTest::newRow("unknown") << "NOPE" << "Data Viewer" << "Unable to find table NOPE" << 0;
}

void TestDataView::openDataView()
{
    QFETCH(QString, relation);
    QFETCH(QString, caption);
    QFETCH(QString, error);
    QFETCH(int, rows);
    QCOMPARE(failureOf<DatabaseError>([&] { OpenDataView(relation); }),
             error);
    TDataForm *form = m_shell->last<TDataForm>();
    QVERIFY(form);
    QVERIFY(form->isVisible());
    QCOMPARE(form->windowTitle(), caption);
    QCOMPARE(form->SrcTable->rowCount(), rows);
    QCOMPARE(form->TblsCB->currentIndex(), -1);
}

void TestDataView::pickSwitchesRelation()
{
    TDataForm *form = openOn(QStringLiteral("T"));
    pick(form, QStringLiteral("NOPK"));
    QCOMPARE(form->windowTitle(), QStringLiteral("Table data -NOPK"));
    QCOMPARE(form->SrcTable->rowCount(), 1);
    QCOMPARE(form->SrcTable->headerData(0, Qt::Horizontal).toString(), QStringLiteral("NAME"));
    QCOMPARE(form->DBGrid1->currentIndex().row(), 0);
    QVERIFY(m_prompts->errors().isEmpty());
}

void TestDataView::largeTableOpensWithFirstBatch()
{
    m_session->db.execute({
        QStringLiteral("CREATE TABLE BIG (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(20))"),
        QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN "
                       "WHILE (I < 50000) DO BEGIN "
                       "INSERT INTO BIG VALUES (:I, 'row'); I = I + 1; END END"),
    });
    // The window reads one batch, not the table: rows fetched, not seconds.
    TDataForm *form = openOn(QStringLiteral("BIG"));
    const int firstBatch = form->SrcTable->rowCount();
    QVERIFY(firstBatch > 0);
    QVERIFY(firstBatch < 50000);
    QVERIFY(form->SrcTable->canFetchMore());
    form->DBGrid1->scrollToBottom();
    QVERIFY(form->SrcTable->rowCount() > firstBatch);
    QVERIFY(form->SrcTable->rowCount() < 50000);
}

// However the user leaves a changed row, it is written; a second attachment
// sees it.
void TestDataView::editPosted_data()
{
    QTest::addColumn<QString>("leave");
    QTest::newRow("next row") << "next row";
    QTest::newRow("post button") << "post button";
    QTest::newRow("other relation") << "other relation";
    QTest::newRow("window closed") << "window closed";
}

void TestDataView::editPosted()
{
    QFETCH(QString, leave);
    TDataForm *form = openOn(QStringLiteral("T"));
    QSqlTableModel *model = form->SrcTable;
    QVERIFY(model->setData(model->index(0, model->fieldIndex("NAME")), QStringLiteral("uno")));
    QCOMPARE(form->table()->state(), State::Edit);
    if (leave == QLatin1String("next row"))
        form->DBGrid1->setCurrentIndex(model->index(1, 0));
    else if (leave == QLatin1String("post button"))
        form->DBNavigator1->button(Button::Post)->click();
    else if (leave == QLatin1String("other relation"))
        pick(form, QStringLiteral("V"));
    else
        form->close();
    QVERIFY(m_prompts->errors().isEmpty());
    QCOMPARE(stored(1), QStringLiteral("uno"));
    QCOMPARE(stored(2), QStringLiteral("two"));
}

// The server's text reaches the error box; the row stays in edit mode, where
// the user left it, and nothing is written.
void TestDataView::refusedRowStaysInEdit_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("serverText");
    QTest::newRow("check constraint") << "QTY" << QVariant(-5) << "CHECK constraint";
    QTest::newRow("trigger exception") << "NAME" << QVariant("admin") << "The name is reserved";
}

void TestDataView::refusedRowStaysInEdit()
{
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    QFETCH(QString, serverText);
    TDataForm *form = openOn(QStringLiteral("T"));
    QSqlTableModel *model = form->SrcTable;
    QVERIFY(model->setData(model->index(1, model->fieldIndex(field)), value));
    form->DBGrid1->setCurrentIndex(model->index(1, 0));
    form->DBGrid1->setCurrentIndex(model->index(2, 0));
    QCOMPARE(m_prompts->errors().size(), 1);
    QVERIFY2(m_prompts->errors().first().contains(serverText),
             qPrintable(m_prompts->errors().first()));
    QVERIFY(m_prompts->errors().first().endsWith(QLatin1Char('.')));
    QCOMPARE(form->table()->state(), State::Edit);
    QCOMPARE(form->DBGrid1->currentIndex().row(), 1);
    QCOMPARE(model->data(model->index(1, model->fieldIndex(field))), value);
    QCOMPARE(m_session->db.column("SELECT ID || ':' || NAME || ':' || QTY FROM T ORDER BY ID"),
             QStringList({"1:one:1", "2:two:2", "3:three:3"}));
}

// Rows without a key that names them stay as they are; every attempt to
// change them says why.
void TestDataView::readOnlyRelation_data()
{
    QTest::addColumn<QString>("relation");
    QTest::addColumn<QString>("message");
    QTest::newRow("no primary key")
        << "NOPK" << "The rows of NOPK cannot be changed here: the table has no primary key.";
    QTest::newRow("view") << "V" << "The rows of view V cannot be changed here.";
}

void TestDataView::readOnlyRelation()
{
    QFETCH(QString, relation);
    QFETCH(QString, message);
    TDataForm *form = openOn(relation);
    form->DBGrid1->setFocus();
    QTest::keyClick(form->DBGrid1, Qt::Key_X);
    form->DBNavigator1->button(Button::Edit)->click();
    form->DBNavigator1->button(Button::Insert)->click();
    m_prompts->answers.enqueue(Prompts::Answer::Ok);
    form->DBNavigator1->button(Button::Delete)->click();
    QCOMPARE(m_prompts->errors(), QStringList(4, message));
    QCOMPARE(form->table()->state(), State::Browse);
    QCOMPARE(m_session->db.column("SELECT NAME FROM NOPK"), QStringList({"loose"}));
    QCOMPARE(m_session->db.column("SELECT COUNT(*) FROM T"), QStringList({"3"}));
}

void TestDataView::namesSpelledForTheDialect_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("quotedTable");
    QTest::addColumn<QString>("quotedKey");
    QTest::addColumn<QString>("quotedValue");
    QTest::newRow("dialect 1") << 1 << "T_MIX" << "ID" << "NAME" << "T_MIX" << "ID" << "NAME";
    QTest::newRow("dialect 3, quoted names")
        << 3 << "Customer Orders" << "Order Id" << "Who" << "\"Customer Orders\""
        << "\"Order Id\"" << "\"Who\"";
    QTest::newRow("dialect 3, reserved word") << 3 << "ORDER" << "ID" << "VALUE"
                                              << "\"ORDER\"" << "ID" << "\"VALUE\"";
    QTest::newRow("dialect 3, quotes in the names")
        << 3 << "\"Q\"" << "\"K\"" << "V" << "\"\"\"Q\"\"\"" << "\"\"\"K\"\"\"" << "V";
}

// Rows of a relation whose names need quoting are read, changed, added and
// deleted; a second attachment sees each change.
void TestDataView::namesSpelledForTheDialect()
{
    QFETCH(int, dialect);
    QFETCH(QString, table);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, quotedTable);
    QFETCH(QString, quotedKey);
    QFETCH(QString, quotedValue);
    m_session.reset();
    m_session = std::make_unique<TestSession>(true, dialect);
    m_session->db.execute({
        QStringLiteral("CREATE TABLE %1 (%2 INTEGER NOT NULL PRIMARY KEY, %3 VARCHAR(20))")
            .arg(quotedTable, quotedKey, quotedValue),
        QStringLiteral("INSERT INTO %1 VALUES (1, 'one')").arg(quotedTable),
        QStringLiteral("INSERT INTO %1 VALUES (2, 'two')").arg(quotedTable),
    });
    const QString values = QStringLiteral("SELECT %1 || ':' || %2 FROM %3 ORDER BY 1")
                               .arg(quotedKey, quotedValue, quotedTable);
    TDataForm *form = openOn(table);
    QCOMPARE(m_prompts->errors(), QStringList());
    QSqlTableModel *model = form->SrcTable;
    QCOMPARE(model->rowCount(), 2);
    QVERIFY(model->setData(model->index(0, model->fieldIndex(value)), QStringLiteral("uno")));
    form->DBNavigator1->button(Button::Post)->click();
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(m_session->db.column(values), QStringList({"1:uno", "2:two"}));

    form->DBGrid1->setCurrentIndex(model->index(1, 0));
    m_prompts->answers << Prompts::Answer::Ok;
    form->DBNavigator1->button(Button::Delete)->click();
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(m_session->db.column(values), QStringList({"1:uno"}));
}

void TestDataView::createLongBlobs(int more) const
{
    m_session->db.execute(QStringLiteral("CREATE TABLE LB (ID INTEGER NOT NULL PRIMARY KEY, "
                                         "NOTE VARCHAR(20), TB BLOB SUB_TYPE TEXT, "
                                         "BB BLOB SUB_TYPE BINARY)"));
    // Bound, so written in segments: quicker than the server's concatenation.
    QSqlQuery insert(QSqlDatabase::database(TDMSys::ibName()));
    QVERIFY(insert.prepare(QStringLiteral("INSERT INTO LB VALUES (1, 'one', ?, ?)")));
    insert.addBindValue(longText());
    insert.addBindValue(longBytes());
    QVERIFY2(insert.exec(), qPrintable(insert.lastError().text()));
    m_session->db.execute({
        QStringLiteral("INSERT INTO LB VALUES (2, 'two', 'short', X'0102')"),
        QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %1) DO BEGIN "
                       "INSERT INTO LB (ID) VALUES (:I + 3); I = I + 1; END END").arg(more),
    });
}

QByteArray TestDataView::longBytes()
{
    return QByteArray("\x0a\x0b", 2) + QByteArray("\x00\xff", 2).repeated(1 << 19);
}

QString TestDataView::shownText(QTableView *grid, int row, int column)
{
    const QModelIndex index = grid->model()->index(row, column);
    auto *delegate = qobject_cast<QStyledItemDelegate *>(grid->itemDelegateForIndex(index));
    return delegate->displayText(index.data(), QLocale());
}

QString TestDataView::accessibleText(QTableView *grid, int row, int column)
{
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(grid);
    QAccessibleInterface *cell = table->tableInterface()->cellAt(row, column);
    return cell ? cell->text(QAccessible::Name) : QString();
}

qint64 TestDataView::pageFetches()
{
    QSqlQuery query(QSqlDatabase::database(TDMSys::ibName()));
    const bool read = query.exec(QStringLiteral(
        "SELECT S.MON$PAGE_FETCHES FROM MON$IO_STATS S JOIN MON$ATTACHMENTS A "
        "ON A.MON$STAT_ID = S.MON$STAT_ID WHERE A.MON$ATTACHMENT_ID = CURRENT_CONNECTION"));
    return read && query.next() ? query.value(0).toLongLong() : -1;
}

// Reading rows with long blobs reads their start, not their pages; each cell
// and its accessible text show that start and the size, alike for text and
// bytes, in the data view and the query result window.
void TestDataView::longBlobShownAsPreview()
{
    createLongBlobs();
    const QString text = "head:" + QString(95, u'x') + QStringLiteral("\u2026 (4.0 MB)");
    const QString bytes = "0A0B" + QString("00FF").repeated(24) + QStringLiteral("\u2026 (1.0 MB)");
    TDataForm *form = openOn(QStringLiteral("LB"));
    const qint64 before = pageFetches();
    // Rows read again, with no catalogue query around them.
    form->DBNavigator1->button(Button::Refresh)->click();
    OpenAsResultSet(QStringLiteral("SELECT ID, NOTE, TB, BB FROM LB"));
    QTableView *result = m_shell->last<TOutputForm>()->GridResult;
    for (QTableView *grid : {form->DBGrid1, result}) {
        QCOMPARE(shownText(grid, 0, 2), text);
        QCOMPARE(shownText(grid, 0, 3), bytes);
        QCOMPARE(accessibleText(grid, 0, 2), text);
        QCOMPARE(accessibleText(grid, 0, 3), bytes);
        QCOMPARE(shownText(grid, 1, 2), QStringLiteral("short"));
        QCOMPARE(shownText(grid, 1, 3), QStringLiteral("0102"));
    }
    const qint64 read = pageFetches() - before;
    QVERIFY2(read < kBlobPages / 4, qPrintable(QString::number(read)));
    QCOMPARE(m_prompts->errors(), QStringList());
}

// The editor gets the value itself: read in the fetching transaction while
// the grid still fetches, through the row's key once that is over; a row
// another user changed meanwhile is not read as what the grid showed.
void TestDataView::longBlobWholeInTheEditor_data()
{
    QTest::addColumn<int>("more");
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<QString>("error");
    QTest::newRow("still fetching") << 2000 << QString() << QString();
    QTest::newRow("all fetched") << 0 << QString() << QString();
    QTest::newRow("row changed since")
        << 0 << QStringLiteral("UPDATE LB SET NOTE = 'theirs' WHERE ID = 1")
        << QStringLiteral("The whole value was not read: another user changed or deleted the "
                          "row since it was read; refresh the data view to see it.");
}

void TestDataView::longBlobWholeInTheEditor()
{
    QFETCH(int, more);
    QFETCH(QString, meanwhile);
    QFETCH(QString, error);
    createLongBlobs(more);
    TDataForm *form = openOn(QStringLiteral("LB"));
    QCOMPARE(form->SrcTable->canFetchMore(), more > 0);
    if (!meanwhile.isEmpty())
        m_session->db.execute(meanwhile);
    QSqlTableModel *model = form->SrcTable;
    const QVariant bytes = model->data(model->index(0, 3), GridValueDelegate::WholeValueRole);
    // Told from the event loop: no command runs.
    QTRY_COMPARE(m_prompts->errors(), error.isEmpty() ? QStringList() : QStringList{error});
    if (!error.isEmpty()) {
        QVERIFY(!bytes.isValid());
        return;
    }
    QVERIFY(bytes == longBytes());
    const QModelIndex index = model->index(0, 2);
    form->DBGrid1->setCurrentIndex(index);
    form->DBGrid1->edit(index);
    auto *editor = form->DBGrid1->findChild<QLineEdit *>();
    QVERIFY(editor);
    QVERIFY(editor->text() == longText());
    QCOMPARE(m_prompts->errors(), QStringList());
}

// A post writes only what changed: the long blobs of the row are neither
// read nor written, and stay as they were.
void TestDataView::postLeavesLongBlobAlone_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("another row") << 1;
    QTest::newRow("another column of the same row") << 0;
}

void TestDataView::postLeavesLongBlobAlone()
{
    QFETCH(int, row);
    createLongBlobs();
    const QString stored = storedBlobs();
    TDataForm *form = openOn(QStringLiteral("LB"));
    QSqlTableModel *model = form->SrcTable;
    const qint64 before = pageFetches();
    form->DBGrid1->setCurrentIndex(model->index(row, 0));
    QVERIFY(model->setData(model->index(row, 1), QStringLiteral("mine")));
    form->DBNavigator1->button(Button::Post)->click();
    QCOMPARE(m_prompts->errors(), QStringList());
    const qint64 read = pageFetches() - before;
    QVERIFY2(read < kBlobPages / 4, qPrintable(QString::number(read)));
    QCOMPARE(storedBlobs(), row == 0 ? QString(stored).replace(":one", ":mine") : stored);
    QCOMPARE(m_session->db.scalar(QStringLiteral("SELECT NOTE FROM LB WHERE ID = %1").arg(row + 1)),
             QStringLiteral("mine"));
}

QUORVEL_TEST_MAIN(TestDataView)
#include "tst_dataview.moc"
