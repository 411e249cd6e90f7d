#include "core/AppError.h"
#include "ibdb/TIBDataBase.h"
#include "support/Failures.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "uikit/CatalogQuery.h"

namespace {

// What a statement ended in: the server's refusal, the program's own, or nothing.
QString outcomeOf(TestSession &session, const QString &text)
{
    return failureOf<AppError>([&] { session.ib()->ExecuteStatement(text, true); });
}

QString padded(const QString &head, const QString &filler, qsizetype size, const QString &tail)
{
    QString text = head;
    text.reserve(size);
    while (text.size() + filler.size() + tail.size() <= size)
        text += filler;
    return text + tail;
}

const qsizetype kTenMegabytes = 10 * 1024 * 1024;

} // namespace

// Statement texts and object names no window would build, sent as they are:
// the server's answer or the program's own refusal comes back whole, the
// session stays usable, and nothing but the named object is touched.
class TestHostileTexts : public QObject
{
    Q_OBJECT

private slots:
    void statementTexts_data();
    void statementTexts();
    void names_data();
    void names();
};

void TestHostileTexts::statementTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("sent");    // empty: the same text and CR LF
    QTest::addColumn<QString>("error");      // the start of the message; empty: none
    QTest::addColumn<QString>("created");

    const QString create = QStringLiteral("CREATE EXCEPTION %1 'x'");
    QTest::newRow("10 MB comment")
        << padded(create.arg("BIG_COMMENT") + " /*", "0123456789abcdef", kTenMegabytes - 10, "*/")
        << QByteArray() << QString() << "BIG_COMMENT";
    QTest::newRow("10 MB literal")
        << padded("CREATE EXCEPTION BIG_LITERAL '", "0123456789abcdef", kTenMegabytes, "'")
        << QByteArray() << QStringLiteral("\r") << QString();
    QTest::newRow("over 10 MB")
        << padded(create.arg("TOO_BIG") + " /*", "0123456789abcdef", kTenMegabytes + 64, "*/")
        << QByteArray() << QStringLiteral("\r") << QString();
    QTest::newRow("NUL inside")
        << create.arg("NUL_CUT") + QChar(0) + QStringLiteral(" DROP TABLE KEEP")
        << QByteArray("CREATE EXCEPTION NUL_CUT 'x'\r\n") << QString() << "NUL_CUT";
    QTest::newRow("NUL first") << QChar(0) + create.arg("NEVER") << QByteArray()
                               << QStringLiteral("Attempt to execute empty statement")
                               << QString();
    QTest::newRow("empty") << QString() << QByteArray()
                           << QStringLiteral("Attempt to execute empty statement") << QString();
    QTest::newRow("only a line break") << QStringLiteral("\r\n") << QByteArray("\r\n")
                                       << QStringLiteral("\r") << QString();
    QTest::newRow("only blanks") << QStringLiteral("   \t ") << QByteArray()
                                 << QStringLiteral("\r") << QString();
    QTest::newRow("lone surrogate") << create.arg("SURROGATE") + QChar(0xD800) << QByteArray()
                                    << QStringLiteral("\r") << QString();
    QTest::newRow("two statements")
        << create.arg("FIRST_OF_TWO") + ";\r\nDROP TABLE KEEP" << QByteArray()
        << QStringLiteral("\r") << QString();
}

void TestHostileTexts::statementTexts()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, sent);
    QFETCH(QString, error);
    QFETCH(QString, created);
    TestSession session(true);
    session.db.execute(QStringLiteral("CREATE TABLE KEEP (ID INTEGER)"));

    const QString outcome = outcomeOf(session, text);
    QVERIFY2(error.isEmpty() ? outcome.isEmpty() : outcome.startsWith(error),
             qPrintable(outcome.left(300)));
    QVERIFY(!session.ib()->InTransaction());
    if (!error.startsWith(QStringLiteral("Attempt"))) {
        QCOMPARE(session.sent.size(), 1);
        if (sent.isEmpty() && text.isValidUtf16())
            QVERIFY(session.sent[0] == text.toUtf8() + "\r\n");
        else if (!sent.isEmpty())
            QCOMPARE(session.sent[0], sent);
    } else {
        QCOMPARE(session.sent.size(), 0);
    }
    if (!created.isEmpty()) {
        QCOMPARE(session.db.scalar("SELECT RDB$EXCEPTION_NAME FROM RDB$EXCEPTIONS"), created);
    } else {
        QCOMPARE(session.db.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS"), QStringLiteral("0"));
    }
    QCOMPARE(session.db.scalar("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME "
                               "= 'KEEP'"), QStringLiteral("1"));
    // The session goes on as before.
    QCOMPARE(outcomeOf(session, QStringLiteral("CREATE EXCEPTION AFTERWARDS 'y'")), QString());
}

void TestHostileTexts::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("created"); // empty: refused by the server
    QTest::newRow("quote") << QStringLiteral("O'NAME") << QString();
    QTest::newRow("double quote") << QStringLiteral("A\"B") << QString();
    QTest::newRow("semicolon") << QStringLiteral("E1; DROP TABLE KEEP") << QString();
    // Names go into templates as they are: the comment is the server's to read.
    QTest::newRow("comment") << QStringLiteral("E1 /* 'x' */") << QStringLiteral("E1");
    QTest::newRow("31 characters") << QString(31, u'N') << QString(31, u'N');
    QTest::newRow("32 characters") << QString(32, u'N') << QString();
    QTest::newRow("200 characters") << QString(200, u'N') << QString();
    QTest::newRow("NUL") << QStringLiteral("E") + QChar(0) + QStringLiteral("X") << QString();
    QTest::newRow("non-ASCII") << QStringLiteral("ÆØÅ_ÉTÉ") << QString();
}

// A name typed by the user goes into a template as it is; a catalogue query
// looks it up as a bound value, which nothing in it can escape from.
void TestHostileTexts::names()
{
    QFETCH(QString, name);
    QFETCH(QString, created);
    TestSession session(true);
    session.db.execute(QStringLiteral("CREATE TABLE KEEP (ID INTEGER)"));

    const QString outcome =
        outcomeOf(session, QStringLiteral("CREATE EXCEPTION %1 'message'").arg(name));
    if (created.isEmpty())
        QVERIFY2(outcome.startsWith(u'\r') && outcome.size() > 1, qPrintable(outcome));
    else
        QCOMPARE(outcome, QString());
    QVERIFY(!session.ib()->InTransaction());
    QCOMPARE(session.db.column("SELECT RDB$EXCEPTION_NAME FROM RDB$EXCEPTIONS"),
             created.isEmpty() ? QStringList() : QStringList{created});
    QCOMPARE(session.db.scalar("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME "
                               "= 'KEEP'"), QStringLiteral("1"));

    CatalogQuery query;
    query.setLines({QStringLiteral("SELECT RDB$EXCEPTION_NAME"),
                    QStringLiteral("FROM RDB$EXCEPTIONS"),
                    QStringLiteral("WHERE RDB$EXCEPTION_NAME = :NAME")});
    query.setParam(QStringLiteral("NAME"), name);
    QString failure = failureOf<AppError>([&] {
        query.open();
        query.fetchAll();
    });
    // A value longer than the 31-character column is the server's to refuse.
    if (name.size() > 31) {
        QVERIFY2(failure.contains(QStringLiteral("string right truncation")), qPrintable(failure));
        return;
    }
    QCOMPARE(failure, QString());
    QCOMPARE(query.rowCount(), created == name ? 1 : 0);
}

QUORVEL_TEST_MAIN(TestHostileTexts)
#include "tst_hostiletexts.moc"
