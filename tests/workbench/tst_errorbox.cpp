#include "AppError.h"
#include "Command.h"
#include "ScriptedPrompts.h"
#include "TIBDataBase.h"
#include "TestMain.h"
#include "TestSession.h"

#include <QTest>

// The error box a user command ends in: the server's whole text, one full stop.
class TestErrorBox : public QObject
{
    Q_OBJECT

private slots:
    void errorBoxAddsOneFullStop_data();
    void errorBoxAddsOneFullStop();
};

void TestErrorBox::errorBoxAddsOneFullStop_data()
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

void TestErrorBox::errorBoxAddsOneFullStop()
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

QUORVEL_TEST_MAIN(TestErrorBox)
#include "tst_errorbox.moc"
