#include "core/AppError.h"
#include "ibdb/TDMSys.h"
#include "schema/ObjectDirectory.h"
#include "support/DataTestMain.h"
#include "support/ExplorerSchema.h"
#include "support/TestSession.h"

#include <QMap>

class TestObjectDirectory : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryKindTheUserMade_data();
    void readsEveryKindTheUserMade();
    void leadingBlankBelongsToTheName();
    void emptyDatabaseHasNothing();
    void unknownConnectionIsAnError();
};

void TestObjectDirectory::readsEveryKindTheUserMade_data()
{
    QTest::addColumn<int>("dialect");
    QTest::newRow("dialect 1") << 1;
    QTest::newRow("dialect 3") << 3;
}

// Names come back whole (a blank inside, lower case), kind by kind in the
// explorer's order, each kind's names sorted.
void TestObjectDirectory::readsEveryKindTheUserMade()
{
    QFETCH(int, dialect);
    TestSession session(true, dialect);
    session.db.execute(ExplorerSchema::statements(dialect));
    QMap<int, QStringList> byKind;
    for (const ObjectDirectory::Entry &entry : ObjectDirectory::read(TDMSys::ibName()))
        byKind[int(entry.kind)] << entry.name;
    QStringList listing;
    for (const ObjectDirectory::Kind kind : ObjectDirectory::kinds())
        listing << ObjectDirectory::kindTitle(kind) + ": " + byKind.value(int(kind)).join('|');
    QCOMPARE(listing, ExplorerSchema::listing(dialect));
}

// Only the padding of the catalogue's CHAR columns is dropped.
void TestObjectDirectory::leadingBlankBelongsToTheName()
{
    TestSession session(true, 3);
    session.db.execute({"CREATE TABLE T_SAFE (ID INTEGER)", "CREATE TABLE \" T_SAFE\" (ID INTEGER)"});
    QStringList names;
    for (const ObjectDirectory::Entry &entry : ObjectDirectory::read(TDMSys::ibName()))
        names << entry.name;
    QCOMPARE(names, QStringList({" T_SAFE", "T_SAFE"}));
}

void TestObjectDirectory::emptyDatabaseHasNothing()
{
    TestSession session;
    QCOMPARE(ObjectDirectory::read(TDMSys::ibName()).size(), 0);
}

void TestObjectDirectory::unknownConnectionIsAnError()
{
    QVERIFY_THROWS_EXCEPTION(DatabaseError, ObjectDirectory::read("NO SUCH CONNECTION"));
}

QUORVEL_DATA_TEST_MAIN(TestObjectDirectory)
#include "tst_objectdirectory.moc"
