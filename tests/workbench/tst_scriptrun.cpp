#include "controls/StatementEditor.h"
#include "core/ProgramSettings.h"
#include "ibdb/TIBDataBase.h"
#include "schema/CatalogFingerprint.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaScript.h"
#include "support/IsqlScript.h"
#include "support/OtherUser.h"
#include "support/ScriptedPrompts.h"
#include "support/TestAttachment.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "uikit/Command.h"
#include "workbench/ScriptLogModel.h"
#include "workbench/ScriptRun.h"
#include "workbench/ScriptRunBox.h"
#include "workbench/ScriptRunPane.h"
#include "workbench/StatementStatsPane.h"
#include "workbench/TOutputForm.h"
#include "workbench/TSQLExprForm.h"
#include "workbench/TScriptRunForm.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>

namespace {

const QString kFailing = QStringLiteral("create table t (a integer);\n"
                                        "insert into t values (1);\n"
                                        "insert into t\n  values ('x');\n"
                                        "insert into t values (3);\n"
                                        "insert into t values ('y');\n"
                                        "insert into t values (5);");

QStringList fingerprintOf(const TestDatabase &db)
{
    const TestAttachment attached(db);
    return CatalogFingerprint(attached.connection()).lines();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

} // namespace

class TstScriptRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void failureStopsAndSelectsTheStatement_data();
    void failureStopsAndSelectsTheStatement();
    void stopEndsALockWaitWithinASecond();
    void savedLogText();
    void chosenLogRowShowsItsStatementsReads();
    void longLogKeepsLatestRowsAndSavesAll();
    void queryOpensAResultWindow();
    void runOnSelectSaysWhereRowsOpen();
    void fileRunNamesLineAndFile();
    void progressLine_data();
    void progressLine();
    void extractedEmployeeSampleGivesTheSameCatalogue();

private:
    TSQLExprForm *newForm(const QString &text);
    void newSession(bool autoCommit, int dialect = 1);

    std::unique_ptr<TestSession> session;
    std::unique_ptr<TestShell> shell;
    std::unique_ptr<ScriptedPrompts> prompts;
};

void TstScriptRun::init()
{
    newSession(true);
}

void TstScriptRun::newSession(bool autoCommit, int dialect)
{
    prompts.reset();
    shell.reset();
    session.reset();
    session = std::make_unique<TestSession>(autoCommit, dialect);
    shell = std::make_unique<TestShell>();
    prompts = std::make_unique<ScriptedPrompts>();
}

void TstScriptRun::cleanup()
{
    prompts.reset();
    shell.reset();
    session.reset();
}

TSQLExprForm *TstScriptRun::newForm(const QString &text)
{
    OpenInDDLWindow(text);
    return shell->last<TSQLExprForm>();
}

void TstScriptRun::failureStopsAndSelectsTheStatement_data()
{
    QTest::addColumn<bool>("autoCommit");
    QTest::addColumn<bool>("runOn");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("errorStart");
    QTest::addColumn<QStringList>("committed"); // seen from another attachment
    const QString conversion = QStringLiteral("conversion error from string \"x\"");
    QTest::newRow("auto-commit keeps the row before")
        << true << false << "Script: 3 commands, 1 failed" << conversion << QStringList{"1"};
    QTest::newRow("tool's transaction holds the row, AUTODDL the table")
        << false << false << "Script: 3 commands, 1 failed" << conversion << QStringList{};
    QTest::newRow("continue after errors counts")
        << true << true << "Script: 6 commands, 2 failed"
        << "2 of 6 commands failed; the first:\n" << QStringList{"1", "3", "5"};
}

void TstScriptRun::failureStopsAndSelectsTheStatement()
{
    QFETCH(bool, autoCommit);
    QFETCH(bool, runOn);
    QFETCH(QString, result);
    QFETCH(QString, errorStart);
    QFETCH(QStringList, committed);
    newSession(autoCommit);
    ProgramSettings::instance().AutoCommit = autoCommit;
    TSQLExprForm *form = newForm(kFailing);
    form->ScriptPane->ContinueBox->setChecked(runOn);
    Command::run([form] { form->RunScriptClick(); });
    QCOMPARE(prompts->errors().size(), 1);
    QVERIFY2(prompts->errors().first().contains(errorStart), qPrintable(prompts->errors()[0]));
    QCOMPARE(form->RunResult->text(), result);
    QCOMPARE(form->ExecSql->textCursor().selectedText(),
             QStringLiteral("insert into t\u2029  values ('x')"));
    QCOMPARE(form->ScriptPane->Log->rowCount(), runOn ? 6 : 3);
    QCOMPARE(session->db.column(QStringLiteral("SELECT A FROM T ORDER BY A")), committed);
    QCOMPARE(session->ib()->InTransaction(), !autoCommit);
    // The statements go as the script has them, line ends included; once
    // edited, the text goes with CR LF, as F9 sends it.
    QCOMPARE(session->sent.at(2), QByteArray("insert into t\n  values ('x')"));
    form->ExecSql->selectAll();
    form->ExecSql->insertPlainText(QStringLiteral("insert into t\n  values (8);\nsyntax error;"));
    session->sent.clear();
    Command::run([form] { form->RunScriptClick(); });
    QCOMPARE(session->sent, (QByteArrayList{"insert into t\r\n  values (8)", "syntax error"}));
    QCOMPARE(form->ExecSql->textCursor().selectedText(), QStringLiteral("syntax error"));
}

// The other attachment's update holds the row, so the script's update
// waits for its lock until Stop cancels it on the server.
void TstScriptRun::stopEndsALockWaitWithinASecond()
{
    newSession(true, 3);
    ProgramSettings::instance().AutoCommit = true;
    session->db.execute(QStringList{QStringLiteral("create table t (a integer)"),
                                    QStringLiteral("insert into t values (1)")});
    OtherUser other(session->db.path());
    other.execute(QStringLiteral("update t set a = 2"));
    other.commitAfter(std::chrono::seconds(20));
    TSQLExprForm *form = newForm(QStringLiteral("update t set a = 3;\nupdate t set a = 4;"));
    QElapsedTimer sinceStop;
    QString progress;
    QTimer::singleShot(700, form, [&] {
        auto *box = form->ScriptPane->findChild<ScriptRunBox *>();
        QVERIFY(box && box->isVisible());
        progress = box->ProgressText->text();
        sinceStop.start();
        box->StopBtn->click();
    });
    Command::run([form] { form->RunScriptClick(); });
    QVERIFY(sinceStop.isValid());
    QVERIFY2(sinceStop.elapsed() < 1000, qPrintable(QString::number(sinceStop.elapsed())));
    QVERIFY2(progress.startsWith(QStringLiteral("Statement 1 of 2, line 1, ")), qPrintable(progress));
    QCOMPARE(prompts->errors(), QStringList());
    QCOMPARE(form->RunResult->text(), QStringLiteral("Script: 1 command, stopped"));
    QVERIFY(!form->ScriptPane->findChild<ScriptRunBox *>());
    // No cancel is left over for the next statement.
    form->setLines({QStringLiteral("insert into t values (7)")});
    Command::run([form] { form->execbtnClick(); });
    QCOMPARE(prompts->errors(), QStringList());
}

void TstScriptRun::savedLogText()
{
    TSQLExprForm *form = newForm(QStringLiteral("create table t (a integer);\n"
                                                "-- rows\ninsert into t values (1);\n"
                                                "set list on;\n"
                                                "insert into t values ('x\ty');"));
    form->ScriptPane->ContinueBox->setChecked(true);
    Command::run([form] { form->RunScriptClick(); });
    const QString path = session->db.folder() + QStringLiteral("/run");
    prompts->files.enqueue(path);
    Command::run([form] { form->ScriptPane->SaveLogBtnClick(); });
    QFile saved(path + QStringLiteral(".txt"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    // The milliseconds differ from run to run.
    QStringList lines = QString::fromUtf8(saved.readAll()).split(QStringLiteral("\r\n"));
    for (int i = 1; i < lines.size() - 1; ++i) {
        QStringList cells = lines[i].split(u'\t');
        QCOMPARE(cells.size(), 6);
        QVERIFY2(cells[3].toInt() >= 0 && !cells[3].isEmpty(), qPrintable(lines[i]));
        cells[3] = QStringLiteral("MS");
        lines[i] = cells.join(u'\t');
    }
    QCOMPARE(lines.join(QStringLiteral("\r\n")),
             QStringLiteral("Line\tStatement\tRows\tms\tError\tNote\r\n"
                            "1\tcreate table t (a integer)\t\tMS\t\t\r\n"
                            "3\tinsert into t values (1)\t1\tMS\t\t\r\n"
                            "4\tset list on\t\tMS\t\tskipped: isql's own display command\r\n"
                            "5\tinsert into t values ('x y')\t\tMS\t"
                            "conversion error from string \"x y\"\t\r\n"));
}

// Asked for, each statement's plans and reads stay with its log row, and
// choosing the row shows them: the UPDATE's row, not the last statement's.
void TstScriptRun::chosenLogRowShowsItsStatementsReads()
{
    TSQLExprForm *form = newForm(QStringLiteral("create table t (a integer);\n"
                                                "insert into t values (1);\n"
                                                "insert into t values (2);\n"
                                                "update t set a = a + 1;\n"
                                                "delete from t where a = 3;"));
    QVERIFY(!form->ScriptPane->ProfileBox->isHidden());
    form->ScriptPane->ProfileBox->setChecked(true);
    Command::run([form] { form->RunScriptClick(); });
    QCOMPARE(prompts->errors(), QStringList());
    QTableView *log = form->ScriptPane->LogGrid;
    log->setCurrentIndex(form->ScriptPane->Log->index(3, 0));
    QVERIFY(form->Stats->isVisibleTo(form));
    QTableWidget *tables = form->Stats->Tables;
    QCOMPARE(tables->rowCount(), 1);
    QCOMPARE(tables->item(0, 0)->text(), QStringLiteral("T"));
    const auto figure = [tables](const char *title) {
        for (int column = 0; column < tables->columnCount(); ++column) {
            if (tables->horizontalHeaderItem(column)->text() == QLatin1String(title))
                return tables->item(0, column)->text();
        }
        return QString();
    };
    QCOMPARE(figure("Updates"), QStringLiteral("2"));
    QCOMPARE(figure("Deletes"), QStringLiteral("0"));
    log->setCurrentIndex(form->ScriptPane->Log->index(4, 0));
    QCOMPARE(figure("Deletes"), QStringLiteral("1"));
}

// A file of a million INSERTs must not keep a million rows in memory.
void TstScriptRun::longLogKeepsLatestRowsAndSavesAll()
{
    ScriptLogModel log;
    const int extra = 5;
    QList<ScriptLogRow> rows;
    for (int line = 1; line <= ScriptLogModel::shownRows() + extra; ++line) {
        ScriptLogRow row;
        row.command.line = line;
        row.command.text = QStringLiteral("insert into t values (%1)\n-- more").arg(line);
        rows.append(ScriptLogModel::compact(row));
        if (rows.size() == 999) {
            log.append(rows);
            rows.clear();
        }
    }
    log.append(rows);
    QCOMPARE(log.rowCount(), ScriptLogModel::shownRows());
    QCOMPARE(log.droppedRows(), qint64(extra));
    QCOMPARE(log.index(0, ScriptLogModel::LineColumn).data().toString(),
             QString::number(extra + 1));
    const QByteArrayList lines = log.text().split('\n');
    QCOMPARE(lines.size(), ScriptLogModel::shownRows() + extra + 2);
    QCOMPARE(lines.at(1), QByteArray("1\tinsert into t values (1)\t\t0\t\t\r"));
    log.clear();
    QCOMPARE(log.rowCount(), 0);
    QCOMPARE(log.text(), QByteArray("Line\tStatement\tRows\tms\tError\tNote\r\n"));
}

void TstScriptRun::queryOpensAResultWindow()
{
    TSQLExprForm *form = newForm(QStringLiteral("create table t (a integer);\n"
                                                "insert into t values (7);\n"
                                                "select a from t;\n"
                                                "insert into t values (8);"));
    Command::run([form] { form->RunScriptClick(); });
    QCOMPARE(prompts->errors(), QStringList());
    TOutputForm *output = shell->last<TOutputForm>();
    QVERIFY(output);
    QCOMPARE(output->OutSQL->rowCount(), 1);
    QCOMPARE(output->StmStrings->toPlainText(), QStringLiteral("select a from t"));
    QCOMPARE(session->db.column(QStringLiteral("SELECT A FROM T ORDER BY A")),
             (QStringList{"7", "8"}));
}

void TstScriptRun::runOnSelectSaysWhereRowsOpen()
{
    TSQLExprForm *form = newForm(QStringLiteral("/* rows */ SELECT RDB$RELATION_ID\n"
                                                "FROM RDB$DATABASE"));
    Command::run([form] { form->execbtnClick(); });
    QCOMPARE(prompts->errors().size(), 1);
    const QString error = prompts->errors().first();
    QVERIFY2(error.endsWith(QStringLiteral("\nA query's rows open with Open As Result Set (Ctrl+R).")),
             qPrintable(error));
    QVERIFY2(error.size() > 60, qPrintable(error));
}

void TstScriptRun::fileRunNamesLineAndFile()
{
    const QString path = session->db.folder() + QStringLiteral("/load.sql");
    writeFile(path, kFailing.toUtf8());
    Command::run([&path] { RunScriptFile(path); });
    QCOMPARE(prompts->errors().size(), 1);
    QVERIFY2(prompts->errors().first().endsWith(
                 QStringLiteral("\nAt line 3 of %1.").arg(QDir::toNativeSeparators(path))),
             qPrintable(prompts->errors()[0]));
    TScriptRunForm *form = shell->last<TScriptRunForm>();
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Run Script File - load.sql"));
    QCOMPARE(form->Pane->Log->rowCount(), 3);
    QCOMPARE(session->db.column(QStringLiteral("SELECT A FROM T")), QStringList{"1"});
}

void TstScriptRun::progressLine_data()
{
    QTest::addColumn<int>("commands");
    QTest::addColumn<qint64>("bytesRead");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");
    QTest::newRow("editor") << 12 << qint64(0) << QString()
                            << "Statement 3 of 12, line 40, 1.5 s";
    QTest::newRow("file") << 0 << qint64(1048576) << "/tmp/load.sql"
                          << "1,048,576 of 4,194,304 bytes, statement 3, line 40 of load.sql, 1.5 s";
}

void TstScriptRun::progressLine()
{
    QFETCH(int, commands);
    QFETCH(qint64, bytesRead);
    QFETCH(QString, file);
    QFETCH(QString, text);
    ScriptRunObserver::Progress progress;
    progress.command = 3;
    progress.commands = commands;
    progress.bytesRead = bytesRead;
    progress.bytes = 4194304;
    progress.file = file;
    progress.line = 40;
    QCOMPARE(ScriptRun::progressText(progress, 1520), text);
}

// What Extract Metadata's window holds, run by the tool into an empty
// database of the same dialect.
void TstScriptRun::extractedEmployeeSampleGivesTheSameCatalogue()
{
    const TestDatabase source(QStringLiteral("employee.fdb"), 3);
    QCOMPARE(IsqlScript::replay(source, IsqlScript::unpacked(IsqlScript::employeeSample()),
                                QStringLiteral("UTF8")),
             QString());
    QString script;
    {
        const TestAttachment attached(source);
        script = SchemaScript(SchemaReader(attached.connection()).read()).text();
    }
    newSession(false, 3);
    ProgramSettings::instance().AutoCommit = false;
    TSQLExprForm *form = newForm(script);
    Command::run([form] { form->RunScriptClick(); });
    QCOMPARE(prompts->errors(), QStringList());
    if (session->ib()->InTransaction())
        session->ib()->Commit();
    QCOMPARE(fingerprintOf(session->db), fingerprintOf(source));
}

QUORVEL_TEST_MAIN(TstScriptRun)
#include "tst_scriptrun.moc"
