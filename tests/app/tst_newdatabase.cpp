#include "app/TDBEntryDlg.h"
#include "app/TMainForm.h"
#include "app/TNewDatabaseDlg.h"
#include "core/ProgramSettings.h"
#include "ibdb/NewDatabase.h"
#include "ibdb/TIBDataBase.h"
#include "support/ScopedFormRunner.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

QAction *fileItem(QMainWindow *frame, const QString &text)
{
    QMenu *file = frame->menuBar()->actions().first()->menu();
    for (QAction *action : file->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

QStringList connectedDatabase()
{
    QSqlQuery query(DMSys->IBDataBase->connection());
    if (!query.exec(QStringLiteral("SELECT MON$PAGE_SIZE, MON$SQL_DIALECT, "
                                   "TRIM(COALESCE(RDB$CHARACTER_SET_NAME, 'NONE')) "
                                   "FROM MON$DATABASE CROSS JOIN RDB$DATABASE"))
        || !query.next())
        return {QStringLiteral("refused")};
    return {query.value(0).toString(), query.value(1).toString(), query.value(2).toString()};
}

} // namespace

class TestNewDatabase : public QObject
{
    Q_OBJECT

private slots:
    void init() { ProgramSettings::instance().AutoCommit = false; }
    void statementAsSent_data();
    void statementAsSent();
    void createsAndConnects_data();
    void createsAndConnects();
    void existingFileIsRefused();
};

void TestNewDatabase::statementAsSent_data()
{
    QTest::addColumn<QString>("charSet");
    QTest::addColumn<QString>("statement");
    QTest::newRow("UTF8") << "UTF8"
                          << "CREATE DATABASE 'host/3051:/d/o''k.fdb' USER 'SYSDBA' PASSWORD "
                             "'pw' PAGE_SIZE 16384 DEFAULT CHARACTER SET UTF8";
    QTest::newRow("NONE leaves the clause out")
        << "NONE" << "CREATE DATABASE 'host/3051:/d/o''k.fdb' USER 'SYSDBA' PASSWORD 'pw' "
                     "PAGE_SIZE 16384";
}

void TestNewDatabase::statementAsSent()
{
    QFETCH(QString, charSet);
    QFETCH(QString, statement);
    NewDatabase request;
    request.path = QStringLiteral("host/3051:/d/o'k.fdb");
    request.user = QStringLiteral("SYSDBA");
    request.password = QStringLiteral("pw");
    request.pageSize = 16384;
    request.characterSet = charSet;
    QCOMPARE(request.statement(), statement);
}

void TestNewDatabase::createsAndConnects_data()
{
    QTest::addColumn<QString>("pageSize");
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("charSet");
    QTest::newRow("defaults") << "8192" << "3" << "UTF8";
    QTest::newRow("dialect 1, large pages, WIN1252") << "16384" << "1" << "WIN1252";
    QTest::newRow("small pages, NONE") << "4096" << "3" << "NONE";
}

void TestNewDatabase::createsAndConnects()
{
    QFETCH(QString, pageSize);
    QFETCH(QString, dialect);
    QFETCH(QString, charSet);
    TestSession session(false);
    ScriptedPrompts prompts;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.fdb"));
    TMainForm frame(session.dm, {}, dir.filePath(QStringLiteral("connect.hst")));
    const ScopedFormRunner runner([&](QDialog *dialog) {
        auto *form = qobject_cast<TNewDatabaseDlg *>(dialog);
        if (!form)
            return int(QDialog::Rejected);
        form->dbPath->setText(path);
        form->Password->setText(QStringLiteral("masterkey"));
        form->PageSize->setCurrentText(pageSize);
        form->Dialect->setCurrentText(dialect);
        form->CharSet->setCurrentText(charSet);
        return int(QDialog::Accepted);
    });
    QAction *item = fileItem(&frame, QStringLiteral("&New Database..."));
    QVERIFY(item);
    item->trigger();
    QCOMPARE(prompts.errors(), QStringList());
    QCOMPARE(frame.panel(1)->text(), QStringLiteral("Connected"));
    QCOMPARE(DMSys->IBDataBase->param(QStringLiteral("SERVER NAME")), path);
    QCOMPARE(DMSys->IBDataBase->statementDialect(), dialect.toInt());
    QCOMPARE(connectedDatabase(), (QStringList{pageSize, dialect, charSet}));
    QVERIFY(frame.DBEntryDlg->history().contains(path));
    DMSys->IBDataBase->Close();
}

void TestNewDatabase::existingFileIsRefused()
{
    TestSession session(false);
    ScriptedPrompts prompts;
    QTemporaryDir dir;
    TMainForm frame(session.dm, {}, dir.filePath(QStringLiteral("connect.hst")));
    DMSys->IBDataBase->Close();
    const ScopedFormRunner runner([&](QDialog *dialog) {
        qobject_cast<TNewDatabaseDlg *>(dialog)->dbPath->setText(session.db.path());
        return int(QDialog::Accepted);
    });
    fileItem(&frame, QStringLiteral("&New Database..."))->trigger();
    QCOMPARE(prompts.errors().size(), 1);
    QVERIFY2(prompts.errors().first().contains(QStringLiteral("exists")),
             qPrintable(prompts.errors().first()));
    QCOMPARE(frame.panel(1)->text(), QStringLiteral("Disconnected"));
}

QUORVEL_TEST_MAIN(TestNewDatabase)
#include "tst_newdatabase.moc"
