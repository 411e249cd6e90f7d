#include "app/TMainForm.h"
#include "catalog/TExceptionsForm.h"
#include "controls/TDBNavigator.h"
#include "support/ReliabilityFrame.h"
#include "support/ReliabilityServer.h"
#include "support/TestMain.h"
#include "uikit/CatalogQuery.h"
#include "uikit/TableNavigator.h"
#include "workbench/TDataForm.h"

#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSqlTableModel>
#include <QTableView>

// The database is not the tool's alone: a second attachment changes it
// between what the program read and what it writes. Every change the
// program makes is checked through that attachment too.
class TestServerManyUsers : public QObject
{
    Q_OBJECT

private:
    static QString sysdba() { return QStringLiteral("SYSDBA"); }

    static QString rows(const ServerDatabase &db)
    {
        return db.scalar(QStringLiteral(
            "SELECT LIST(ID || ':' || NOTE || ':' || QTY || ':' || COALESCE(MEMO, '-'), ' ') "
            "FROM (SELECT * FROM T ORDER BY ID)"));
    }

    static TDataForm *dataView(ReliabilityFrame &f, const QString &relation)
    {
        f.run([&] { OpenDataView(relation); });
        QMdiSubWindow *window = f.frame->mdiArea()->activeSubWindow();
        return window ? qobject_cast<TDataForm *>(window->widget()) : nullptr;
    }

    static QString cell(TDataForm *form, int row, const QString &field)
    {
        QSqlTableModel *model = form->SrcTable;
        const QVariant value = model->data(model->index(row, model->fieldIndex(field)));
        return value.isNull() ? QStringLiteral("-") : value.toString();
    }

    // The grid's rows as rows() reads them from the server, in key order
    // (the grid shows them in the order they are stored).
    static QString gridRows(TDataForm *form)
    {
        QStringList shown;
        for (int row = 0; row < form->SrcTable->rowCount(); ++row) {
            QStringList fields;
            for (const char *field : {"ID", "NOTE", "QTY", "MEMO"})
                fields << cell(form, row, QString::fromLatin1(field));
            shown << fields.join(u':');
        }
        shown.sort();
        return shown.join(u' ');
    }

private slots:
    void initTestCase()
    {
        if (!ReliabilityServer::available())
            QSKIP("needs the fbserver CTest fixture");
    }

    void init() { ReliabilityServer::ensureRunning(); }

    // The grid read the rows; another user then changes the database; the
    // user's post or delete must reach only a row that still holds what the
    // grid showed. Otherwise nothing is written, the user's values stay in
    // edit mode, and Refresh shows what the other user stored.
    void postOverAnotherUsersChange_data()
    {
        QTest::addColumn<int>("dialect");
        QTest::addColumn<QStringList>("meanwhile");
        QTest::addColumn<bool>("remove");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        const QString start = QStringLiteral("1:one:10:m1 2:two:20:m2 3:three:30:m3");
        const QString changed =
            QStringLiteral("The row was not saved: another user changed it since it was read.");
        const QString gone = QStringLiteral("The row was not saved: another user deleted it or "
                                            "changed its key since it was read.");
        const QStringList fixed = {
            QStringLiteral("UPDATE T SET NOTE = 'other user fixed this', QTY = 11 WHERE ID = 1")};
        const QString fixedRows =
            QStringLiteral("1:other user fixed this:11:m1 2:two:20:m2 3:three:30:m3");
        for (int dialect : {1, 3}) {
            const QByteArray d = " (dialect " + QByteArray::number(dialect) + ")";
            QTest::newRow("nobody else" + d) << dialect << QStringList() << false << 0 << QString()
                                             << QStringLiteral("1:mine:10:m1 2:two:20:m2 "
                                                               "3:three:30:m3");
            QTest::newRow("other fields changed" + d)
                << dialect << fixed << false << 0 << changed << fixedRows;
            QTest::newRow("rewritten with the same values" + d)
                << dialect << QStringList{QStringLiteral("UPDATE T SET NOTE = NOTE WHERE ID = 1")}
                << false << 0 << changed << start;
            QTest::newRow("only the blob changed" + d)
                << dialect << QStringList{QStringLiteral("UPDATE T SET MEMO = 'x' WHERE ID = 1")}
                << false << 0 << changed
                << QStringLiteral("1:one:10:x 2:two:20:m2 3:three:30:m3");
            QTest::newRow("renumbered, new row under the old key" + d)
                << dialect
                << QStringList{QStringLiteral("UPDATE T SET ID = 4 WHERE ID = 3"),
                               QStringLiteral("INSERT INTO T VALUES (3, 'new three', 33, 'n3')")}
                << false << 2 << changed
                << QStringLiteral("1:one:10:m1 2:two:20:m2 3:new three:33:n3 4:three:30:m3");
            QTest::newRow("deleted" + d)
                << dialect << QStringList{QStringLiteral("DELETE FROM T WHERE ID = 1")} << false
                << 0 << gone << QStringLiteral("2:two:20:m2 3:three:30:m3");
            QTest::newRow("delete of a changed row" + d)
                << dialect << fixed << true << 0
                << QStringLiteral("The row was not deleted: another user changed it since it "
                                  "was read.")
                << fixedRows;
            QTest::newRow("delete of an unchanged row" + d)
                << dialect << QStringList() << true << 0 << QString()
                << QStringLiteral("2:two:20:m2 3:three:30:m3");
        }
    }

    void postOverAnotherUsersChange()
    {
        QFETCH(int, dialect);
        QFETCH(QStringList, meanwhile);
        QFETCH(bool, remove);
        QFETCH(int, row);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        ServerDatabase db(QStringLiteral("users.fdb"), dialect);
        db.execute({QStringLiteral("CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, "
                                   "NOTE VARCHAR(30), QTY INTEGER, MEMO BLOB SUB_TYPE TEXT)"),
                    QStringLiteral("INSERT INTO T VALUES (1, 'one', 10, 'm1')"),
                    QStringLiteral("INSERT INTO T VALUES (2, 'two', 20, 'm2')"),
                    QStringLiteral("INSERT INTO T VALUES (3, 'three', 30, 'm3')")});
        ReliabilityFrame f(true);
        QCOMPARE(f.connect(db.remote(), sysdba(), ReliabilityServer::password()), QString());
        TDataForm *form = dataView(f, QStringLiteral("T"));
        QVERIFY(form);
        QSqlTableModel *model = form->SrcTable;
        // The version the rows are read with is no column of the grid.
        QCOMPARE(model->columnCount(), 4);
        QCOMPARE(form->DBGrid1->model()->columnCount(), 4);
        form->table()->setCurrentRow(row);
        db.execute(meanwhile);

        QString error;
        if (remove) {
            f.prompts.answers.enqueue(Prompts::Answer::Ok);
            error = f.run([&] { form->table()->remove(); });
        } else {
            form->table()->setValue(QStringLiteral("NOTE"), QStringLiteral("mine"));
            error = f.run([&] { form->table()->post(); });
        }
        QCOMPARE(error, shown);
        QCOMPARE(rows(db), stored);
        if (shown.isEmpty() || remove)
            return;
        QCOMPARE(form->table()->state(), TableNavigator::State::Edit);
        QCOMPARE(cell(form, row, QStringLiteral("NOTE")), QStringLiteral("mine"));
        // Posting again is refused again: the grid still holds the old read.
        QCOMPARE(f.run([&] { form->table()->post(); }), shown);
        QCOMPARE(f.run([&] { form->table()->refresh(); }), QString());
        QCOMPARE(form->table()->state(), TableNavigator::State::Browse);
        QCOMPARE(rows(db), stored);
        QCOMPARE(gridRows(form), stored);
    }

    // After its own post the grid holds the new version: the same user's
    // next change of the row goes through, once.
    void ownPostsFollowEachOther()
    {
        ServerDatabase db;
        db.execute({QStringLiteral("CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, "
                                   "NOTE VARCHAR(30), QTY INTEGER, MEMO BLOB SUB_TYPE TEXT)"),
                    QStringLiteral("INSERT INTO T VALUES (1, 'one', 10, NULL)")});
        ReliabilityFrame f(true);
        QCOMPARE(f.connect(db.remote(), sysdba(), ReliabilityServer::password()), QString());
        TDataForm *form = dataView(f, QStringLiteral("T"));
        QVERIFY(form);
        for (const QString &note : {QStringLiteral("first"), QStringLiteral("second")}) {
            form->table()->setValue(QStringLiteral("NOTE"), note);
            QCOMPARE(f.run([&] { form->table()->post(); }), QString());
            QCOMPARE(rows(db), QStringLiteral("1:%1:10:-").arg(note));
        }
    }

    // On dialect 3 a name may begin with a blank: " T_SAFE" is a table of
    // its own beside T_SAFE, listed, opened, changed and emptied as itself.
    void leadingBlankNamesTheirOwnTable()
    {
        ServerDatabase db(QStringLiteral("names.fdb"), 3);
        const QString create = QStringLiteral(
            "CREATE TABLE %1 (ID INTEGER NOT NULL PRIMARY KEY, NOTE VARCHAR(20))");
        db.execute({create.arg(QStringLiteral("T_SAFE")),
                    create.arg(QStringLiteral("\" T_SAFE\"")),
                    QStringLiteral("INSERT INTO T_SAFE VALUES (1, 'plain')"),
                    QStringLiteral("INSERT INTO \" T_SAFE\" VALUES (1, 'blank')")});
        const auto stored = [&db](const QString &table) {
            return db.scalar(
                QStringLiteral("SELECT '[' || COALESCE(LIST(NOTE), '') || ']' FROM %1").arg(table));
        };
        ReliabilityFrame f(true);
        QCOMPARE(f.connect(db.remote(), sysdba(), ReliabilityServer::password()), QString());
        TDataForm *form = nullptr;
        QCOMPARE(f.run([&] { form = TDataForm::open(); }), QString());
        QStringList items;
        for (int i = 0; i < form->TblsCB->count(); ++i)
            items << form->TblsCB->itemText(i);
        QCOMPARE(items, QStringList({QStringLiteral(" T_SAFE"), QStringLiteral("T_SAFE")}));

        form->TblsCB->setCurrentIndex(0);
        emit form->TblsCB->activated(0);
        QCOMPARE(form->windowTitle(), QStringLiteral("Table data - T_SAFE"));
        QCOMPARE(cell(form, 0, QStringLiteral("NOTE")), QStringLiteral("blank"));
        form->table()->setValue(QStringLiteral("NOTE"), QStringLiteral("mine"));
        QCOMPARE(f.run([&] { form->table()->post(); }), QString());
        QCOMPARE(stored(QStringLiteral("\" T_SAFE\"")), QStringLiteral("[mine]"));
        QCOMPARE(stored(QStringLiteral("T_SAFE")), QStringLiteral("[plain]"));
        f.prompts.answers.enqueue(Prompts::Answer::Ok);
        QCOMPARE(f.run([&] { form->table()->remove(); }), QString());
        QCOMPARE(stored(QStringLiteral("\" T_SAFE\"")), QStringLiteral("[]"));
        QCOMPARE(stored(QStringLiteral("T_SAFE")), QStringLiteral("[plain]"));
    }

    // The exceptions window drops the exception it shows, leading blank and all.
    void leadingBlankDropsItsOwnException()
    {
        ServerDatabase db(QStringLiteral("names.fdb"), 3);
        db.execute({QStringLiteral("CREATE EXCEPTION E_SAFE 'plain'"),
                    QStringLiteral("CREATE EXCEPTION \" E_SAFE\" 'blank'")});
        ReliabilityFrame f(true);
        QCOMPARE(f.connect(db.remote(), sysdba(), ReliabilityServer::password()), QString());
        TExceptionsForm *form = nullptr;
        QCOMPARE(f.run([&] { form = TExceptionsForm::open(); }), QString());
        CatalogQuery *table = form->ExceptionsTable;
        int row = -1;
        for (int r = 0; r < table->rowCount(); ++r) {
            if (table->value(r, QStringLiteral("RDB$EXCEPTION_NAME")) == QStringLiteral(" E_SAFE"))
                row = r;
        }
        QVERIFY(row >= 0);
        form->FGrid->setCurrentIndex(table->index(row, 0));
        f.prompts.answers.enqueue(Prompts::Answer::Ok);
        QCOMPARE(f.run([&] { form->DeleteDomainBtnClick(); }), QString());
        QCOMPARE(f.prompts.questions().last(),
                 QStringLiteral("Proceed to delete exception ' E_SAFE' from database?"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT '[' || LIST(TRIM(TRAILING FROM "
                                          "RDB$EXCEPTION_NAME), '|') || ']' FROM RDB$EXCEPTIONS")),
                 QStringLiteral("[E_SAFE]"));
    }
};

QUORVEL_TEST_MAIN(TestServerManyUsers)
#include "tst_servermanyusers.moc"
