#include "core/AppError.h"
#include "schema/SchemaModel.h"
#include "schema/SchemaTypeCheck.h"
#include "support/DataTestMain.h"

#include <functional>

Q_DECLARE_METATYPE(std::function<void(SchemaModel &)>)

using Placement = std::function<void(SchemaModel &)>;

class TestSchemaTypes : public QObject
{
    Q_OBJECT

private slots:
    void unknownTypeCodeRefusesTheScript_data();
    void unknownTypeCodeRefusesTheScript();
};

void TestSchemaTypes::unknownTypeCodeRefusesTheScript_data()
{
    QTest::addColumn<Placement>("place");
    QTest::addColumn<QString>("refusal"); // empty: the model is accepted

    const SchemaType unknown{.type = 99};
    const SchemaType int128{.type = 26, .subType = 1, .scale = -4, .precision = 38};
    QTest::newRow("domain") << Placement([=](SchemaModel &m) {
        m.domains << SchemaDomain{.name = "D_X", .type = unknown};
    }) << "Domain D_X has the type code 99, which this program does not know; "
          "no script was written";
    QTest::newRow("table column") << Placement([=](SchemaModel &m) {
        m.tables << SchemaTable{.name = "T", .columns = {SchemaColumn{.name = "BIG",
                                                                      .type = unknown}}};
    }) << "Column BIG of table T has the type code 99, which this program does not know; "
          "no script was written";
    QTest::newRow("procedure output") << Placement([=](SchemaModel &m) {
        m.routines << SchemaRoutine{.name = "P", .outputs = {{.name = "R", .type = unknown}}};
    }) << "Parameter R of procedure P has the type code 99, which this program does not "
          "know; no script was written";
    // A view declares no column types: the server derives them again.
    QTest::newRow("view column") << Placement([=](SchemaModel &m) {
        m.tables << SchemaTable{.name = "V", .viewSource = "SELECT 1 FROM RDB$DATABASE",
                                .columns = {SchemaColumn{.name = "C", .type = unknown}}};
    }) << "";
    QTest::newRow("Firebird 4 types") << Placement([=](SchemaModel &m) {
        m.domains << SchemaDomain{.name = "D_N", .type = int128}
                  << SchemaDomain{.name = "D_TZ", .type = {.type = 29}};
    }) << "";
}

void TestSchemaTypes::unknownTypeCodeRefusesTheScript()
{
    QFETCH(Placement, place);
    QFETCH(QString, refusal);
    SchemaModel model;
    place(model);
    QString message;
    try {
        SchemaTypeCheck::requireKnownTypes(model);
    } catch (const GeneralError &error) {
        message = error.message();
    }
    QCOMPARE(message, refusal);
}

QUORVEL_DATA_TEST_MAIN(TestSchemaTypes)
#include "tst_schematypes.moc"
