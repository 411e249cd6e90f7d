#include "core/AppError.h"
#include "ibdb/BoundQuery.h"
#include "ibdb/TDMSys.h"
#include "schema/Catalog.h"
#include "schema/CatalogRow.h"
#include "support/DataTestMain.h"
#include "support/Failures.h"
#include "support/TestSession.h"

// A catalogue query the server refuses (a column an older on-disk structure
// lacks, say) fails with the server's words, whichever road it takes.
class TestCatalogQueries : public QObject
{
    Q_OBJECT

private slots:
    void refusalGivesServerText_data();
    void refusalGivesServerText();
};

namespace {

enum class Road { CatalogWhole, CatalogKeptToRelation, Bound };

const QString kMissing = QStringLiteral("SELECT RDB$NO_SUCH_COLUMN FROM RDB$RELATIONS");

void ask(Road road)
{
    const QSqlDatabase database = QSqlDatabase::database(TDMSys::ibName());
    Catalog catalog(database);
    switch (road) {
    case Road::CatalogWhole:
        catalog.run(kMissing);
        break;
    case Road::CatalogKeptToRelation:
        catalog.keepTo(QStringLiteral("T"));
        catalog.run(kMissing + QStringLiteral(" WHERE RDB$RELATION_NAME = :RELATION"));
        break;
    case Road::Bound:
        BoundQuery::run(database, kMissing + QStringLiteral(" WHERE RDB$RELATION_NAME = :NAME"),
                        {{QStringLiteral(":NAME"), QStringLiteral("T")}});
        break;
    }
}

} // namespace

void TestCatalogQueries::refusalGivesServerText_data()
{
    QTest::addColumn<int>("road");
    QTest::newRow("whole catalogue") << int(Road::CatalogWhole);
    QTest::newRow("kept to a relation") << int(Road::CatalogKeptToRelation);
    QTest::newRow("bound by name") << int(Road::Bound);
}

void TestCatalogQueries::refusalGivesServerText()
{
    QFETCH(int, road);
    TestSession session(true, 3);
    const QString message = failureOf<DatabaseError>([road] { ask(Road(road)); });
    QCOMPARE(message.split('\n').mid(2, 2), QStringList({"Column unknown", "RDB$NO_SUCH_COLUMN"}));
}

QUORVEL_DATA_TEST_MAIN(TestCatalogQueries)
#include "tst_catalogqueries.moc"
