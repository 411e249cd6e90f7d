#include "ibdb/IbParameterParser.h"
#include "support/DataTestMain.h"

#include <QTest>

class TestIbParameterParser : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void normalizedName_data();
    void normalizedName();
};

void TestIbParameterParser::parse_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("serverText");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("plain name") << "SELECT * FROM T WHERE A = :NAME"
                                << "SELECT * FROM T WHERE A = ?" << QStringList{"NAME"};
    QTest::newRow("dollar in name")
        << "WHERE RDB$RELATION_NAME = :RDB$RELATION_NAME AND X=:B_2"
        << "WHERE RDB$RELATION_NAME = ? AND X=?" << QStringList{"RDB$RELATION_NAME", "B_2"};
    QTest::newRow("quoted name")
        << "WHERE RDB$PROCEDURE_NAME = :\"RDB$PROCEDURE_NAME\" ORDER BY 1"
        << "WHERE RDB$PROCEDURE_NAME = ? ORDER BY 1" << QStringList{"RDB$PROCEDURE_NAME"};
    QTest::newRow("positional") << "VALUES (?, ?)" << "VALUES (?, ?)"
                                << QStringList{QString(), QString()};
    QTest::newRow("mixed") << "A = ? AND B = :B" << "A = ? AND B = ?"
                           << QStringList{QString(), "B"};
    QTest::newRow("single quoted literal")
        << "SELECT ':X ? ''y:Z''' FROM T WHERE A = :A"
        << "SELECT ':X ? ''y:Z''' FROM T WHERE A = ?" << QStringList{"A"};
    QTest::newRow("double quotes are a string in dialect 1")
        << "SELECT \"a :X ?\" FROM T" << "SELECT \"a :X ?\" FROM T" << QStringList();
    QTest::newRow("comments") << "SELECT /* :X ? */ A -- :Y ?\nFROM T WHERE B = :B"
                              << "SELECT /* :X ? */ A -- :Y ?\nFROM T WHERE B = ?"
                              << QStringList{"B"};
    QTest::newRow("unterminated comment") << "SELECT 1 /* :X" << "SELECT 1 /* :X"
                                          << QStringList();
    QTest::newRow("array slice is no name") << "SELECT A[1:2] FROM T" << "SELECT A[1:2] FROM T"
                                            << QStringList();
    QTest::newRow("repeated name") << ":A || :A" << "? || ?" << QStringList{"A", "A"};
    QTest::newRow("name at end") << "= :LAST" << "= ?" << QStringList{"LAST"};
    QTest::newRow("block variables stay in the body")
        << "/* c */ execute block (X INTEGER = :X) RETURNS (Y INTEGER) AS BEGIN "
           "FOR SELECT :X FROM T INTO :Y DO SUSPEND; END"
        << "/* c */ execute block (X INTEGER = ?) RETURNS (Y INTEGER) AS BEGIN "
           "FOR SELECT :X FROM T INTO :Y DO SUSPEND; END"
        << QStringList{"X"};
    QTest::newRow("AS elsewhere is a word")
        << "SELECT A AS B FROM T WHERE C = :C"
        << "SELECT A AS B FROM T WHERE C = ?" << QStringList{"C"};
}

void TestIbParameterParser::parse()
{
    QFETCH(QString, statement);
    QFETCH(QString, serverText);
    QFETCH(QStringList, names);

    const IbParameterParser parser(statement);
    QCOMPARE(parser.positionalText(), serverText);
    QCOMPARE(parser.names(), names);
}

void TestIbParameterParser::normalizedName_data()
{
    QTest::addColumn<QString>("placeholder");
    QTest::newRow("colon") << ":RDB$PROCEDURE_NAME";
    QTest::newRow("colon and quotes") << ":\"RDB$PROCEDURE_NAME\"";
    QTest::newRow("quotes") << "\"RDB$PROCEDURE_NAME\"";
    QTest::newRow("bare") << "RDB$PROCEDURE_NAME";
}

void TestIbParameterParser::normalizedName()
{
    QFETCH(QString, placeholder);
    QCOMPARE(IbParameterParser::normalizedName(placeholder), QStringLiteral("RDB$PROCEDURE_NAME"));
}

QUORVEL_DATA_TEST_MAIN(TestIbParameterParser)

#include "tst_ibparameterparser.moc"
