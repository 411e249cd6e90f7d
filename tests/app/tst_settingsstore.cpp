#include "app/SettingsStore.h"
#include "core/ProgramSettings.h"
#include "support/TestMain.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void valuesSurviveARestart();
    void damagedFileGivesDefaultsAndIsReplaced();
    void firstRunHasDefaultsAndWritesBoth();
    void anyNonZeroIsTrueAndWrittenAsOne();
    void mistypedValueKeepsDefault();
    void pathStopsAtNul();

private:
    static void reset() { ProgramSettings::instance() = ProgramSettings(); }
    static QString configFile()
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
               + QStringLiteral("/Kelderwick/Quorvel.conf");
    }
};

// The program's own settings file, in the test-mode folder Qt gives tests.
void TestSettingsStore::initTestCase()
{
    QFile::remove(configFile());
}

// What one run writes on exit, the next reads on start.
void TestSettingsStore::valuesSurviveARestart()
{
    reset();
    ProgramSettings::instance().AutoCommit = true;
    ProgramSettings::instance().RepositoryPath = QStringLiteral("/srv/repo/");
    ProgramSettings::instance().FrameGeometry = QByteArray("\x01\xd9\xd0\xcb\x00", 5);
    ProgramSettings::instance().ExplorerAtConnect = false;
    // Paths hold the separators that nest QSettings groups.
    const QMap<QString, QString> roles{{QStringLiteral("/data/shop.fdb"), QStringLiteral("CLERK")},
                                       {QStringLiteral("db/3051:/x/y.fdb"),
                                        QStringLiteral("\"Mixed role\"")}};
    ProgramSettings::instance().LoginRoles = roles;
    QCOMPARE(SettingsStore::write(), QString());
    QVERIFY(QFile::exists(configFile()));

    reset();
    SettingsStore::read();
    QCOMPARE(ProgramSettings::instance().AutoCommit, true);
    QCOMPARE(ProgramSettings::instance().RepositoryPath, QStringLiteral("/srv/repo/"));
    QCOMPARE(ProgramSettings::instance().FrameGeometry, QByteArray("\x01\xd9\xd0\xcb\x00", 5));
    QCOMPARE(ProgramSettings::instance().ExplorerAtConnect, false);
    QCOMPARE(ProgramSettings::instance().LoginRoles, roles);
}

void TestSettingsStore::damagedFileGivesDefaultsAndIsReplaced()
{
    QFile file(configFile());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray("\x00\xff[[[\n=\x01IB_AUTOCOMMIT\n", 18) + QByteArray(4096, '\xfe'));
    file.close();

    reset();
    SettingsStore::read();
    QCOMPARE(ProgramSettings::instance().AutoCommit, false);
    QCOMPARE(ProgramSettings::instance().RepositoryPath, QString());

    ProgramSettings::instance().AutoCommit = true;
    QCOMPARE(SettingsStore::write(), QString());
    reset();
    SettingsStore::read();
    QCOMPARE(ProgramSettings::instance().AutoCommit, true);
}

void TestSettingsStore::firstRunHasDefaultsAndWritesBoth()
{
    reset();
    QTemporaryDir dir;
    QSettings settings(dir.filePath("Quorvel.conf"), QSettings::IniFormat);
    SettingsStore::read(settings);
    QCOMPARE(ProgramSettings::instance().AutoCommit, false);
    QCOMPARE(ProgramSettings::instance().RepositoryPath, QString());
    QCOMPARE(ProgramSettings::instance().FrameGeometry, QByteArray());
    QCOMPARE(ProgramSettings::instance().ExplorerAtConnect, true);
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
    settings.setValue("Explorer at connect", "no thanks");
    settings.setValue("Frame geometry", 42);
    SettingsStore::read(settings);
    QCOMPARE(ProgramSettings::instance().AutoCommit, false);
    QCOMPARE(ProgramSettings::instance().ExplorerAtConnect, true);
    QCOMPARE(ProgramSettings::instance().FrameGeometry, QByteArray());
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
