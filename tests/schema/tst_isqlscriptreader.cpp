#include "schema/IsqlScriptReader.h"
#include "schema/ScriptStatements.h"
#include "support/DataTestMain.h"

#include <QBuffer>

namespace {

// Hands out one byte a read, so that every token, terminator and UTF-8
// sequence of a script falls across the reader's chunks somewhere.
class ByteAtATime : public QIODevice
{
public:
    explicit ByteAtATime(QByteArray bytes) : m_bytes(std::move(bytes))
    {
        open(QIODevice::ReadOnly);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_at >= m_bytes.size() || maxSize < 1)
            return m_at >= m_bytes.size() ? -1 : 0;
        *data = m_bytes.at(m_at++);
        return 1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qsizetype m_at = 0;
};

const char *kindName(ScriptCommand::Kind kind)
{
    static const char *names[] = {"statement", "commit",  "rollback", "autoddl",
                                  "dialect",   "names",   "transaction", "input",
                                  "refused",   "skipped", "exit",     "quit"};
    return names[kind];
}

// One line a command: line number, kind, argument, text.
QStringList describe(IsqlScriptReader &reader)
{
    QStringList lines;
    while (const auto c = reader.next())
        lines << QStringLiteral("%1 %2 [%3] %4")
                     .arg(c->line)
                     .arg(QLatin1String(kindName(c->kind)), c->argument, c->text);
    return lines;
}

} // namespace

class TestIsqlScriptReader : public QObject
{
    Q_OBJECT

private slots:
    void splitsAsIsqlDoes_data();
    void splitsAsIsqlDoes();
    void longStatementStreams();
    void metadataStatementsLeaveOutTheScriptsOwnCommands();
};

void TestIsqlScriptReader::splitsAsIsqlDoes_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("commands");
    QTest::newRow("terminators") << "select 1 from a;\nselect 2 from b;"
                                 << QStringList{"1 statement [] select 1 from a",
                                                "2 statement [] select 2 from b"};
    QTest::newRow("missing final terminator")
        << "drop table a;\n\ndrop table b  \n"
        << QStringList{"1 statement [] drop table a", "3 statement [] drop table b"};
    QTest::newRow("terminators in strings and names")
        << "insert into \"t;x\" values ('a;b''c;', q'{x';y}', Q'!;!');\nx;"
        << QStringList{
               "1 statement [] insert into \"t;x\" values ('a;b''c;', q'{x';y}', Q'!;!')",
               "2 statement [] x"};
    QTest::newRow("q after a name is no string")
        << "select aq'x' from t;b;"
        << QStringList{"1 statement [] select aq'x' from t", "1 statement [] b"};
    QTest::newRow("comments hide terminators and each other")
        << "/* a; -- b; 'c */ select 1 -- d; /* e;\nfrom t /* ; */;\n-- ; '\n/*'*/x;"
        << QStringList{"1 statement [] select 1 -- d; /* e;\nfrom t /* ; */",
                       "4 statement [] x"};
    QTest::newRow("set term, any terminator, commands around it")
        << "SET TERM !! ;\ncreate procedure p as begin exit; end!!\nset   term ; !!\nx;"
        << QStringList{"2 statement [] create procedure p as begin exit; end",
                       "4 statement [] x"};
    QTest::newRow("set term to a word of several characters")
        << "set term GO;\na; b GO SET TERM ; GO c;"
        << QStringList{"2 statement [] a; b", "2 statement [] c"};
    QTest::newRow("CR LF line ends")
        << "a;\r\n\r\nb\r\n  c;\r\nd"
        << QStringList{"1 statement [] a", "3 statement [] b\r\n  c", "5 statement [] d"};
    QTest::newRow("empty commands and comment-only tail")
        << ";;\n a ;;\n/* end */ -- done"
        << QStringList{"2 statement [] a"};
    QTest::newRow("transaction commands")
        << "commit;COMMIT WORK;rollback work;Rollback;commit retain;set transaction read only;"
        << QStringList{"1 commit [] commit", "1 commit [] COMMIT WORK",
                       "1 rollback [] rollback work", "1 rollback [] Rollback",
                       "1 statement [] commit retain",
                       "1 transaction [] set transaction read only"};
    QTest::newRow("isql settings")
        << "set autoddl off;set auto;SET AUTODDL ON;set sql dialect 3;set names win1252;"
        << QStringList{"1 autoddl [OFF] set autoddl off", "1 autoddl [] set auto",
                       "1 autoddl [ON] SET AUTODDL ON", "1 dialect [3] set sql dialect 3",
                       "1 names [WIN1252] set names win1252"};
    QTest::newRow("input, connect and create database")
        << "input 'sub dir/a.sql';IN b.sql;connect 'x.fdb';create database 'y.fdb';"
           "CREATE SCHEMA 'z';"
        << QStringList{"1 input [sub dir/a.sql] input 'sub dir/a.sql'",
                       "1 input [b.sql] IN b.sql", "1 refused [] connect 'x.fdb'",
                       "1 refused [] create database 'y.fdb'", "1 refused [] CREATE SCHEMA 'z'"};
    QTest::newRow("display commands")
        << "set list on;SET ECHO;set stats off;show tables;output x.txt;set;set heading off;"
        << QStringList{"1 skipped [] set list on", "1 skipped [] SET ECHO",
                       "1 skipped [] set stats off", "1 skipped [] show tables",
                       "1 skipped [] output x.txt", "1 skipped [] set", "1 skipped [] set heading off"};
    QTest::newRow("statements that begin with SET")
        << "set generator g to 5;set statistics index i;SET BIND OF INT128 TO VARCHAR;"
           "set time zone 'UTC';SET DECFLOAT ROUND CEILING;exit;quit;"
        << QStringList{"1 statement [] set generator g to 5",
                       "1 statement [] set statistics index i",
                       "1 statement [] SET BIND OF INT128 TO VARCHAR",
                       "1 statement [] set time zone 'UTC'",
                       "1 statement [] SET DECFLOAT ROUND CEILING", "1 exit [] exit",
                       "1 quit [] quit"};
    QTest::newRow("non-ASCII text and an unclosed string")
        << "insert into t values ('Grüße ✓');\nselect 'open ; to the end"
        << QStringList{"1 statement [] insert into t values ('Grüße ✓')",
                       "2 statement [] select 'open ; to the end"};
}

// From a text and from a device read a byte at a time, the same commands.
void TestIsqlScriptReader::splitsAsIsqlDoes()
{
    QFETCH(QString, script);
    QFETCH(QStringList, commands);
    IsqlScriptReader fromText(script);
    QCOMPARE(describe(fromText), commands);
    ByteAtATime device(script.toUtf8());
    IsqlScriptReader fromDevice(&device);
    QCOMPARE(describe(fromDevice), commands);
    QCOMPARE(fromDevice.bytesRead(), script.toUtf8().size());
}

void TestIsqlScriptReader::longStatementStreams()
{
    const QByteArray literal(10 * 1024 * 1024, 'x');
    const QByteArray script = "a;\ninsert into t values ('" + literal + ";');\nb;";
    QBuffer device;
    device.setData(script);
    device.open(QIODevice::ReadOnly);
    IsqlScriptReader reader(&device);
    QCOMPARE(reader.next()->text, QStringLiteral("a"));
    QVERIFY(reader.bytesRead() < script.size());
    const auto insert = reader.next();
    QCOMPARE(insert->text.size(), literal.size() + 26);
    QCOMPARE(insert->line, 2);
    const auto last = reader.next();
    QCOMPARE(last->text, QStringLiteral("b"));
    QCOMPARE(last->line, 3);
    QVERIFY(!reader.next());
}

void TestIsqlScriptReader::metadataStatementsLeaveOutTheScriptsOwnCommands()
{
    const ScriptStatements statements(QStringLiteral(
        "SET SQL DIALECT 3;\nSET NAMES UTF8;\nSET TERM ^ ;\nCREATE PROCEDURE P AS BEGIN END\n^\n"
        "SET TERM ; ^\nCOMMIT WORK;\nSET LIST ON;\nCREATE TABLE T (A INTEGER);"));
    QCOMPARE(statements.dialect(), 3);
    QCOMPARE(statements.characterSet(), QStringLiteral("UTF8"));
    QCOMPARE(statements.statements(), (QStringList{"CREATE PROCEDURE P AS BEGIN END",
                                                   "CREATE TABLE T (A INTEGER)"}));
}

QUORVEL_DATA_TEST_MAIN(TestIsqlScriptReader)
#include "tst_isqlscriptreader.moc"
