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
};

void TestCommand::errorBoxAddsOneFullStop_data()
{
    QTest::addColumn<QString>("statement"); // run, or else the message thrown
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shownEnd");

    QTest::newRow("server text") << "EXECUTE BLOCK AS BEGIN EXCEPTION E_STOP; END" << ""
                                 << "\rValue is empty.\rAt block line: 1, col: 24.";
    QTest::newRow("without a stop") << "" << "Value is empty" << "\nValue is empty.";
    QTest::newRow("with its own stop") << "" << "Value is empty." << "\nValue is empty.";
    QTest::newRow("ending in an ellipsis") << "" << "Name GENERATOR..." << "\nName GENERATOR...";
}

void TestCommand::errorBoxAddsOneFullStop()
{
    QFETCH(QString, statement);
    QFETCH(QString, message);
    QFETCH(QString, shownEnd);
    TestSession session;
    session.db.execute("CREATE EXCEPTION E_STOP 'Value is empty.'");
    ScriptedPrompts prompts;
    Command::run([&] {
        if (!statement.isEmpty())
            session.ib()->ExecuteStatement(statement, true);
        throw GeneralError("\n" + message);
    });
    QCOMPARE(prompts.errors().size(), 1);
    const QString shown = prompts.errors().first();
    QVERIFY2(shown.endsWith(shownEnd), qPrintable(shown));
}

QUORVEL_TEST_MAIN(TestCommand)
#include "tst_command.moc"
