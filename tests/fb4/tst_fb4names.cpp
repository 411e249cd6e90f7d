#include "controls/TDBNavigator.h"
#include "controls/TOfficeButton.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "uikit/TableNavigator.h"
#include "workbench/TDataForm.h"
#include "workbench/TOutputForm.h"

#include <QSqlTableModel>

#include <memory>

using State = TableNavigator::State;

namespace {

// Longer than the 31 bytes a client descriptor holds; the last one cut
// there would end inside a character of two bytes.
const QString kTable = QStringLiteral("A_TABLE_WHOSE_NAME_IS_LONGER_THAN_THIRTY_ONE_BYTES");
const QString kOne = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ_LONG_NAME_ONE");
const QString kTwo = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ_LONG_NAME_TWO");
const QString kWide = QStringLiteral("ÜBERLANGER_SPALTENNAME_ÄÖÜ_ÄÖÜ_ÄÖÜ");

QStringList titles(const QAbstractItemModel *model)
{
    QStringList names;
    for (int i = 0; i < model->columnCount(); ++i)
        names << model->headerData(i, Qt::Horizontal).toString();
    return names;
}

} // namespace

class TestFb4Names : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void titlesAreWhole();
    void postChangesExactlyTheEditedColumn_data();
    void postChangesExactlyTheEditedColumn();

private:
    TDataForm *openTable();

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void TestFb4Names::init()
{
    if (TestDatabase::firebird4().folder.isEmpty())
        QSKIP("no Firebird 4 server named (QUORVEL_FB4_FOLDER)");
    m_session = std::make_unique<TestSession>(TestDatabase::firebird4(), 3);
    m_session->db.execute(
        {QStringLiteral("CREATE TABLE %1 (ID INTEGER NOT NULL PRIMARY KEY, %2 INTEGER, "
                        "%3 INTEGER, \"%4\" VARCHAR(10))")
             .arg(kTable, kOne, kTwo, kWide),
         "INSERT INTO " + kTable + " VALUES (1, 11, 12, 'w')"});
}

void TestFb4Names::cleanup()
{
    m_shell.reset();
    m_prompts.reset();
    m_session.reset();
}

TDataForm *TestFb4Names::openTable()
{
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    OpenDataView(kTable);
    return m_shell->last<TDataForm>();
}

void TestFb4Names::titlesAreWhole()
{
    TDataForm *form = openTable();
    QVERIFY(form);
    QCOMPARE(m_prompts->errors(), QStringList());
    const QStringList columns{"ID", kOne, kTwo, kWide};
    QCOMPARE(titles(form->SrcTable), columns);

    const QString alias = QStringLiteral("AN_ALIAS_THAT_IS_LONGER_THAN_THIRTY_ONE_BYTES");
    OpenAsResultSet(QStringLiteral("SELECT ID, %1, %2, \"%3\", %1 AS %4 FROM %5")
                        .arg(kOne, kTwo, kWide, alias, kTable));
    TOutputForm *result = m_shell->last<TOutputForm>();
    QVERIFY(result);
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(titles(result->OutSQL), columns + QStringList{alias});
}

void TestFb4Names::postChangesExactlyTheEditedColumn_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("typed");
    QTest::addColumn<QString>("after"); // ONE|TWO|WIDE through a second attachment
    QTest::newRow("..._ONE") << kOne << QVariant(21) << "21|12|w";
    QTest::newRow("..._TWO") << kTwo << QVariant(22) << "11|22|w";
    QTest::newRow("cut inside a character") << kWide << QVariant("v") << "11|12|v";
}

void TestFb4Names::postChangesExactlyTheEditedColumn()
{
    QFETCH(QString, column);
    QFETCH(QVariant, typed);
    QFETCH(QString, after);
    TDataForm *form = openTable();
    QVERIFY(form);
    QSqlTableModel *model = form->SrcTable;
    QVERIFY(model->setData(model->index(0, model->fieldIndex(column)), typed));
    form->DBNavigator1->button(TDBNavigator::Button::Post)->click();
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(form->table()->state(), State::Browse);
    QCOMPARE(m_session->db.scalar(QStringLiteral("SELECT %1 || '|' || %2 || '|' || \"%3\" FROM %4")
                                      .arg(kOne, kTwo, kWide, kTable)),
             after);
}

QUORVEL_TEST_MAIN(TestFb4Names)
#include "tst_fb4names.moc"
