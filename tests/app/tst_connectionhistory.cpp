#include "app/ConnectionHistory.h"
#include "core/AppError.h"
#include "support/Failures.h"
#include "support/TestMain.h"

#include <QFile>
#include <QTemporaryDir>
#include <unistd.h>

class TestConnectionHistory : public QObject
{
    Q_OBJECT

private slots:
    void readsLinesWhateverTheirEnds();
    void missingFileIsEmptyAndReported();
    void exitOrder_data();
    void exitOrder();
    void lookupIgnoresCase();
    void mergeKeepsPathsOnlyTheDiskKnows_data();
    void mergeKeepsPathsOnlyTheDiskKnows();
    void savesCrLfAndReplacesWhole();
    void unwritableFolderKeepsOldFile();
};

void TestConnectionHistory::readsLinesWhateverTheirEnds()
{
    QTemporaryDir dir;
    const QString name = dir.filePath("connect.hst");
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("/db/a.fdb\r\n\nhost:/db/b.fdb\r/db/c.fdb\n");
    file.close();
    bool exists = false;
    QCOMPARE(ConnectionHistory::load(name, &exists),
             (QStringList{"/db/a.fdb", "", "host:/db/b.fdb", "/db/c.fdb"}));
    QVERIFY(exists);
}

void TestConnectionHistory::missingFileIsEmptyAndReported()
{
    QTemporaryDir dir;
    bool exists = true;
    QVERIFY(ConnectionHistory::load(dir.filePath("none.hst"), &exists).isEmpty());
    QVERIFY(!exists);
}

void TestConnectionHistory::exitOrder_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QStringList>("written");
    const QStringList p{"P1", "P2", "P3"};
    QTest::newRow("last swaps with first") << "P3" << QStringList{"P3", "P2", "P1"};
    QTest::newRow("middle swaps with first") << "p2" << QStringList{"P2", "P1", "P3"};
    QTest::newRow("first stays") << "P1" << p;
    QTest::newRow("unknown is not added") << "P9" << p;
}

void TestConnectionHistory::exitOrder()
{
    QFETCH(QString, current);
    QFETCH(QStringList, written);
    QCOMPARE(ConnectionHistory::reorderedForExit({"P1", "P2", "P3"}, current), written);
}

void TestConnectionHistory::lookupIgnoresCase()
{
    const QStringList entries{"/DB/SHOP.FDB", "/db/other.fdb"};
    QCOMPARE(ConnectionHistory::indexOf(entries, "/db/shop.fdb"), 0);
    QCOMPARE(ConnectionHistory::indexOf(entries, "/db/none.fdb"), -1);
}

void TestConnectionHistory::mergeKeepsPathsOnlyTheDiskKnows_data()
{
    QTest::addColumn<QStringList>("ours");
    QTest::addColumn<QStringList>("onDisk");
    QTest::addColumn<QStringList>("merged");
    QTest::newRow("another copy's path goes last")
        << QStringList{"/b", "/a"} << QStringList{"/a", "/c"} << QStringList{"/b", "/a", "/c"};
    QTest::newRow("known in another case is not doubled")
        << QStringList{"/DB/X"} << QStringList{"/db/x"} << QStringList{"/DB/X"};
    QTest::newRow("our order wins") << QStringList{"/2", "/1"} << QStringList{"/1", "/2"}
                                    << QStringList{"/2", "/1"};
    QTest::newRow("no file yet") << QStringList{"/1"} << QStringList{} << QStringList{"/1"};
}

void TestConnectionHistory::mergeKeepsPathsOnlyTheDiskKnows()
{
    QFETCH(QStringList, ours);
    QFETCH(QStringList, onDisk);
    QFETCH(QStringList, merged);
    QCOMPARE(ConnectionHistory::merged(ours, onDisk), merged);
}

void TestConnectionHistory::savesCrLfAndReplacesWhole()
{
    QTemporaryDir dir;
    const QString name = dir.filePath("connect.hst");
    ConnectionHistory::save(name, {"one", "two", "three"});
    ConnectionHistory::save(name, {"x"});
    QFile file(name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("x\r\n"));
}

void TestConnectionHistory::unwritableFolderKeepsOldFile()
{
    // A folder that is not there cannot take the file, even for root.
    QTemporaryDir dir;
    QVERIFY(!failureOf<GeneralError>([&] {
                 ConnectionHistory::save(dir.filePath("gone/connect.hst"), {"new"});
             }).isEmpty());
    QVERIFY(!QFile::exists(dir.filePath("gone")));
}

QUORVEL_TEST_MAIN(TestConnectionHistory)
#include "tst_connectionhistory.moc"
