#include "catalog/FieldTypeText.h"
#include "support/TestMain.h"

#include <QObject>
#include <QTest>

Q_DECLARE_METATYPE(SchemaType)

class TestFieldTypeText : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void byDialect_data();
    void byDialect();
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
    // Unknown to the worked table, but a dialect-1 database can hold it.
    row("boolean", 23, 0, 0, 0, 0, "BOOLEAN");
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

namespace {

// The type columns in the order RDB$FIELDS is usually read.
SchemaType typed(int type, int scale, int charLength, int subType, int segmentLength,
                 int precision, const QString &characterSet)
{
    return SchemaType{.type = type, .subType = subType, .scale = scale, .precision = precision,
                      .charLength = charLength, .segmentLength = segmentLength,
                      .characterSet = characterSet};
}

} // namespace

void TestFieldTypeText::byDialect_data()
{
    QTest::addColumn<SchemaType>("field");
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char *name, SchemaType field, int dialect, const char *expected) {
        QTest::newRow(name) << field << dialect << QString::fromLatin1(expected);
    };
    // Dialect 1 keeps the display form, whatever else is known of the column.
    row("d1 double", typed(27, 0, 0, 0, 0, 0, {}), 1, "DOUBLE");
    row("d1 numeric", typed(8, -2, 0, 1, 0, 9, {}), 1, "NUMERIC(9,2)");
    row("d1 text blob", typed(261, 0, 0, 1, 80, 0, "UTF8"), 1, "BLOB SUBTYPE TEXT SEGMENT SIZE 80");
    row("d1 varchar", typed(37, 0, 10, 0, 0, 0, "UTF8"), 1, "VARCHAR(10)");
    row("d1 boolean", typed(23, 0, 0, 0, 0, 0, {}), 1, "BOOLEAN");

    row("smallint", typed(7, 0, 0, 0, 0, 0, {}), 3, "SMALLINT");
    row("integer", typed(8, 0, 0, 0, 0, 0, {}), 3, "INTEGER");
    row("bigint", typed(16, 0, 0, 0, 0, 0, {}), 3, "BIGINT");
    row("numeric 16-bit", typed(7, -1, 0, 1, 0, 4, {}), 3, "NUMERIC(4,1)");
    row("numeric 32-bit", typed(8, -2, 0, 1, 0, 9, {}), 3, "NUMERIC(9,2)");
    row("numeric 64-bit", typed(16, -4, 0, 1, 0, 18, {}), 3, "NUMERIC(18,4)");
    row("numeric precision below storage", typed(8, -2, 0, 1, 0, 5, {}), 3, "NUMERIC(5,2)");
    row("decimal 32-bit", typed(8, -1, 0, 2, 0, 5, {}), 3, "DECIMAL(5,1)");
    row("decimal 64-bit", typed(16, -2, 0, 2, 0, 15, {}), 3, "DECIMAL(15,2)");
    row("numeric scale 0", typed(16, 0, 0, 1, 0, 12, {}), 3, "NUMERIC(12,0)");
    row("numeric without precision", typed(16, -3, 0, 0, 0, 0, {}), 3, "NUMERIC(18,3)");
    row("float", typed(10, 0, 0, 0, 0, 0, {}), 3, "FLOAT");
    row("double", typed(27, 0, 0, 0, 0, 0, {}), 3, "DOUBLE PRECISION");
    row("date", typed(12, 0, 0, 0, 0, 0, {}), 3, "DATE");
    row("time", typed(13, 0, 0, 0, 0, 0, {}), 3, "TIME");
    row("timestamp", typed(35, 0, 0, 0, 0, 0, {}), 3, "TIMESTAMP");
    row("boolean", typed(23, 0, 0, 0, 0, 0, {}), 3, "BOOLEAN");
    row("char", typed(14, 0, 10, 0, 0, 0, {}), 3, "CHAR(10)");
    row("varchar utf8", typed(37, 0, 40, 0, 0, 0, "UTF8"), 3, "VARCHAR(40) CHARACTER SET UTF8");
    row("character set needing quotes", typed(37, 0, 40, 0, 0, 0, "Set 1"), 3,
        "VARCHAR(40) CHARACTER SET \"Set 1\"");
    row("text blob", typed(261, 0, 0, 1, 80, 0, {}), 3, "BLOB SUB_TYPE TEXT SEGMENT SIZE 80");
    row("text blob utf8", typed(261, 0, 0, 1, 80, 0, "UTF8"), 3,
        "BLOB SUB_TYPE TEXT SEGMENT SIZE 80 CHARACTER SET UTF8");
    row("binary blob", typed(261, 0, 0, 0, 0, 0, "UTF8"), 3, "BLOB SUB_TYPE BINARY");
    row("blob sub-type 5", typed(261, 0, 0, 5, 100, 0, {}), 3, "BLOB SUB_TYPE 5 SEGMENT SIZE 100");
    row("blob negative sub-type", typed(261, 0, 0, -2, 0, 0, {}), 3, "BLOB SUB_TYPE -2");

    // Firebird 4: the display form has no names of its own for these, so
    // both dialects show the declaration; binary text stays CHAR of OCTETS.
    for (int dialect : {1, 3}) {
        const auto fb4 = [&](const char *name, SchemaType field, const char *expected) {
            row(qPrintable(QStringLiteral("d%1 %2").arg(dialect).arg(QLatin1String(name))),
                field, dialect, expected);
        };
        fb4("decfloat 16", typed(24, 0, 0, 0, 0, 16, {}), "DECFLOAT(16)");
        fb4("decfloat 34", typed(25, 0, 0, 0, 0, 34, {}), "DECFLOAT(34)");
        fb4("int128", typed(26, 0, 0, 0, 0, 0, {}), "INT128");
        fb4("numeric 128-bit", typed(26, -4, 0, 1, 0, 38, {}), "NUMERIC(38,4)");
        fb4("decimal 128-bit", typed(26, -2, 0, 2, 0, 19, {}), "DECIMAL(19,2)");
        fb4("numeric 128-bit scale 0", typed(26, 0, 0, 1, 0, 25, {}), "NUMERIC(25,0)");
        fb4("time with time zone", typed(28, 0, 0, 0, 0, 0, {}), "TIME WITH TIME ZONE");
        fb4("timestamp with time zone", typed(29, 0, 0, 0, 0, 0, {}), "TIMESTAMP WITH TIME ZONE");
    }
    row("binary", typed(14, 0, 4, 0, 0, 0, "OCTETS"), 3, "CHAR(4) CHARACTER SET OCTETS");
    row("varbinary", typed(37, 0, 8, 0, 0, 0, "OCTETS"), 3, "VARCHAR(8) CHARACTER SET OCTETS");
}

void TestFieldTypeText::byDialect()
{
    QFETCH(SchemaType, field);
    QFETCH(int, dialect);
    QFETCH(QString, expected);
    QCOMPARE(FieldTypeText(field, dialect), expected);
}

QUORVEL_TEST_MAIN(TestFieldTypeText)
#include "tst_fieldtypetext.moc"
