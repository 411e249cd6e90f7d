#include "FieldTypeText.h"
#include "TestMain.h"

#include <QObject>
#include <QTest>

class TestFieldTypeText : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
};

void TestFieldTypeText::text_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("charLength");
    QTest::addColumn<int>("subType");
    QTest::addColumn<int>("segmentLength");
    QTest::addColumn<QString>("expected");

    auto row = [](const char *name, int type, int scale, int length, int sub, int segment,
                  const char *expected) {
        QTest::newRow(name) << type << scale << length << sub << segment
                            << QString::fromLatin1(expected);
    };
    // The worked table.
    row("smallint", 7, 0, 0, 0, 0, "SMALLINT");
    row("integer scaled", 8, -2, 0, 0, 0, "NUMERIC(9,2)");
    row("smallint scaled", 7, -1, 0, 0, 0, "NUMERIC(4,1)");
    row("double scaled", 27, -3, 0, 0, 0, "NUMERIC(15,3)");
    row("float scaled", 10, -2, 0, 0, 0, "NUMERIC(0,2)");
    row("double", 27, 0, 0, 0, 0, "DOUBLE");
    row("char", 14, 0, 10, 0, 0, "CHAR(10)");
    row("varchar", 37, 0, 40, 0, 0, "VARCHAR(40)");
    row("date", 35, 0, 0, 0, 0, "DATE");
    row("text blob", 261, 0, 0, 1, 80, "BLOB SUBTYPE TEXT SEGMENT SIZE 80");
    row("binary blob", 261, 0, 0, 0, 0, "BLOB SUBTYPE 0");
    row("blob subtype 5", 261, 0, 0, 5, 0, "BLOB SUBTYPE 5");
    row("blob negative subtype", 261, 0, 0, -1, 80, "BLOB SEGMENT SIZE 80");
    row("unknown code", 40, 0, 0, 0, 0, "");
    // The edges around it.
    row("char null length", 14, 0, 0, 0, 0, "CHAR(0)");
    row("varchar null length", 37, 0, 0, 0, 0, "VARCHAR(0)");
    row("blob bare", 261, 0, 0, -1, 0, "BLOB");
    row("blr blob", 261, 0, 0, 2, 0, "BLOB SUBTYPE BLR");
    row("blob subtype 3", 261, 0, 0, 3, 0, "BLOB SUBTYPE 3");
    row("blob subtype 7", 261, 0, 0, 7, 80, "BLOB SEGMENT SIZE 80");
    row("blob negative segment", 261, 0, 0, 1, -5, "BLOB SUBTYPE TEXT");
    row("unknown code scaled", 40, -2, 0, 0, 0, "NUMERIC(0,2)");
    row("positive scale", 8, 2, 0, 0, 0, "INTEGER");
    row("integer", 8, 0, 0, 0, 0, "INTEGER");
    row("quad", 9, 0, 0, 0, 0, "QUAD");
    row("d_float", 11, 0, 0, 0, 0, "D_FLOAT");
    row("varchar scaled", 37, -1, 5, 0, 0, "NUMERIC(0,1)(5)");
}

void TestFieldTypeText::text()
{
    QFETCH(int, type);
    QFETCH(int, scale);
    QFETCH(int, charLength);
    QFETCH(int, subType);
    QFETCH(int, segmentLength);
    QFETCH(QString, expected);
    QCOMPARE(FieldTypeText(type, scale, charLength, subType, segmentLength), expected);
}

QUORVEL_TEST_MAIN(TestFieldTypeText)
#include "tst_fieldtypetext.moc"
