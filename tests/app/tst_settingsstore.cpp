#include "ProgramSettings.h"
#include "SettingsStore.h"
#include "TestMain.h"

#include <QSettings>
#include <QTemporaryDir>

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void firstRunHasDefaultsAndWritesBoth();
    void anyNonZeroIsTrueAndWrittenAsOne();
    void mistypedValueKeepsDefault();
    void pathStopsAtNul();

private:
    static void reset() { ProgramSettings::instance() = ProgramSettings(); }
};

void TestSettingsStore::firstRunHasDefaultsAndWritesBoth()
{
    reset();
    QTemporaryDir dir;
    QSettings settings(dir.filePath("Quorvel.conf"), QSettings::IniFormat);
    SettingsStore::read(settings);
    QCOMPARE(ProgramSettings::instance().AutoCommit, false);
    QCOMPARE(ProgramSettings::instance().RepositoryPath, QString());
    QCOMPARE(SettingsStore::write(settings), QString());
    QCOMPARE(settings.value("IB_AUTOCOMMIT").toInt(), 0);
    QVERIFY(settings.contains("Obj.rep. Path"));
    QCOMPARE(settings.value("Obj.rep. Path").toString(), QString());
}

void TestSettingsStore::anyNonZeroIsTrueAndWrittenAsOne()
{
    reset();
    QTemporaryDir dir;
    QSettings settings(dir.filePath("Quorvel.conf"), QSettings::IniFormat);
    settings.setValue("IB_AUTOCOMMIT", 2);
    SettingsStore::read(settings);
    QVERIFY(ProgramSettings::instance().AutoCommit);
    SettingsStore::write(settings);
    QCOMPARE(settings.value("IB_AUTOCOMMIT").toInt(), 1);
}

void TestSettingsStore::mistypedValueKeepsDefault()
{
    reset();
    QTemporaryDir dir;
    QSettings settings(dir.filePath("Quorvel.conf"), QSettings::IniFormat);
    settings.setValue("IB_AUTOCOMMIT", "yes please");
    SettingsStore::read(settings);
    QCOMPARE(ProgramSettings::instance().AutoCommit, false);
}

void TestSettingsStore::pathStopsAtNul()
{
    reset();
    QTemporaryDir dir;
    QSettings settings(dir.filePath("Quorvel.conf"), QSettings::IniFormat);
    settings.setValue("Obj.rep. Path", QStringLiteral("/srv/repo") + QChar(0) + "junk");
    SettingsStore::read(settings);
    QCOMPARE(ProgramSettings::instance().RepositoryPath, "/srv/repo");
}

QUORVEL_TEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
