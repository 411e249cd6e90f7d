#include "core/AppError.h"
#include "ibdb/TIBDataBase.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "uikit/Command.h"

// The one wrapper every user command runs through: what the error box shows.
class TestCommand : public QObject
{
    Q_OBJECT

private slots:
    void errorBoxAddsOneFullStop_data();
    void errorBoxAddsOneFullStop();
    void lossToldOnce_data();
    void lossToldOnce();
};

void TestCommand::errorBoxAddsOneFullStop_data()
{
    QTest::addColumn<QString>("statement"); // run, or else the message thrown
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");

    // The server's lines come led by carriage returns; the box shows them
    // as lines, opening on the first.
    QTest::newRow("server text") << "EXECUTE BLOCK AS BEGIN EXCEPTION E_STOP; END" << ""
                                 << "exception 1\nE_STOP\nValue is empty.\n"
                                    "At block line: 1, col: 24.";
    QTest::newRow("without a stop") << "" << "Value is empty" << "Value is empty.";
    QTest::newRow("with its own stop") << "" << "Value is empty." << "Value is empty.";
    QTest::newRow("ending in an ellipsis") << "" << "Name GENERATOR..." << "Name GENERATOR...";
    QTest::newRow("CR LF and bare CR") << "" << "\r\none\r\ntwo\rthree\r" << "one\ntwo\nthree.";
}

void TestCommand::errorBoxAddsOneFullStop()
{
    QFETCH(QString, statement);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    TestSession session;
    session.db.execute("CREATE EXCEPTION E_STOP 'Value is empty.'");
    ScriptedPrompts prompts;
    Command::run([&] {
        if (!statement.isEmpty())
            session.ib()->ExecuteStatement(statement, true);
        throw GeneralError("\n" + message);
    });
    QCOMPARE(prompts.errors(), QStringList{shown});
}

void TestCommand::lossToldOnce_data()
{
    QTest::addColumn<QString>("thrown"); // by the command that meets the loss; none: outside one
    QTest::addColumn<QStringList>("shown");

    const QString lost = QStringLiteral("Error reading data from the connection.\nLost");
    QTest::newRow("outside any command") << QString() << QStringList{lost + '.'};
    QTest::newRow("command ends well") << QStringLiteral("-") << QStringList{lost + '.'};
    QTest::newRow("command says it") << lost << QStringList{lost + '.'};
    QTest::newRow("command fails otherwise")
        << QStringLiteral("Table is read-only") << QStringList{"Table is read-only.", lost + '.'};
}

// A loss met by a query is told once: after the command that met it, or by
// itself when it was met outside any command, never twice.
void TestCommand::lossToldOnce()
{
    QFETCH(QString, thrown);
    QFETCH(QStringList, shown);
    const QString lost = QStringLiteral("Error reading data from the connection.\nLost");
    ScriptedPrompts prompts;
    if (thrown.isNull()) {
        Command::tellOnce(lost);
    } else {
        Command::run([&] {
            Command::tellOnce(lost);
            if (thrown != "-")
                throw GeneralError(thrown);
        });
    }
    QCoreApplication::processEvents();
    Command::run([] {});
    QCoreApplication::processEvents();
    QCOMPARE(prompts.errors(), shown);
}

QUORVEL_TEST_MAIN(TestCommand)
#include "tst_command.moc"
