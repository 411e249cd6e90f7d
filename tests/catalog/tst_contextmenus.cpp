#include "catalog/ExplorerIcons.h"
#include "catalog/ObjectTreeModel.h"
#include "catalog/TDatabaseExplorer.h"
#include "catalog/TExceptionsForm.h"
#include "catalog/TFormTblStr.h"
#include "catalog/TRolesForm.h"
#include "catalog/TStoredProcsForm.h"
#include "controls/TOfficeButton.h"
#include "support/ExplorerSchema.h"
#include "support/ScopedFormRunner.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "support/TestWidgets.h"
#include "workbench/TDataForm.h"
#include "workbench/TSQLSourceForm.h"
#include "workbench/TSQLExprForm.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QSqlTableModel>
#include <QTableView>
#include <QTreeWidget>
#include <QTreeView>

#include "controls/StatementEditor.h"

namespace {

using Kind = ObjectDirectory::Kind;

QModelIndex find(ObjectTreeModel *model, Kind kind, const QString &name)
{
    const QModelIndex parent = model->kindIndex(kind);
    if (model->canFetchMore(parent))
        model->fetchMore(parent);
    for (int row = 0; row < model->rowCount(parent); ++row) {
        if (model->nameOf(model->index(row, 0, parent)) == name)
            return model->index(row, 0, parent);
    }
    return {};
}

QStringList itemTexts(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions()) {
        if (!action->isSeparator())
            texts << action->text();
    }
    return texts;
}

} // namespace

// Each kind of context-menu command does what its twin in a window does.
class TestContextMenus : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuOffersWhatTheKindHas_data();
    void menuOffersWhatTheKindHas();
    void openAndShowDataOpenWhatTheirTwinsOpen();
    void ddlIsWhatTheWindowsDdlButtonGives();
    void dropAsksTheWindowsQuestion();
    void roleDropShowsTheRolesWindowsStatement();
    void catalogueGridCopiesItsRow();
    void everyKindHasItsOwnIcon();

private:
    void trigger(Kind kind, const QString &name, const QString &item);

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    TDatabaseExplorer *m_explorer = nullptr;
};

void TestContextMenus::init()
{
    m_session = std::make_unique<TestSession>(true, 3);
    m_session->db.execute(ExplorerSchema::statements(3));
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_explorer = TDatabaseExplorer::open();
}

void TestContextMenus::cleanup()
{
    m_shell.reset();
    m_prompts.reset();
    m_session.reset();
}

void TestContextMenus::trigger(Kind kind, const QString &name, const QString &item)
{
    QMenu *menu = m_explorer->objectMenu(find(m_explorer->Objects, kind, name));
    QAction *action = TestWidgets::menuItem(menu, item);
    QVERIFY2(action, qPrintable(item));
    action->trigger();
    delete menu;
}

void TestContextMenus::menuOffersWhatTheKindHas_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    const QString extract = QStringLiteral("E&xtract Metadata…");
    QTest::newRow("table") << int(Kind::Table) << "CUSTOMER"
                           << QStringList{"&Open", "Show &Data", "&DDL", extract, "&Refresh"};
    QTest::newRow("procedure") << int(Kind::Procedure) << "P_COUNT"
                               << QStringList{"&Open", "&DDL", extract, "D&rop…", "&Refresh"};
    QTest::newRow("exception") << int(Kind::Exception) << "E_NO_CUSTOMER"
                               << QStringList{"&Open", extract, "D&rop…", "&Refresh"};
    QTest::newRow("role") << int(Kind::Role) << "CLERK"
                          << QStringList{"&Open", extract, "D&rop…", "&Refresh"};
}

void TestContextMenus::menuOffersWhatTheKindHas()
{
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    std::unique_ptr<QMenu> menu(m_explorer->objectMenu(find(m_explorer->Objects, Kind(kind), name)));
    QCOMPARE(itemTexts(menu.get()), items);
}

void TestContextMenus::openAndShowDataOpenWhatTheirTwinsOpen()
{
    trigger(Kind::Table, "CUSTOMER", "&Open");
    TFormTblStr *structure = m_shell->last<TFormTblStr>();
    QVERIFY(structure);
    TDatabaseExplorer::openObject(Kind::Table, "CUSTOMER");
    QCOMPARE(structure->windowTitle(), m_shell->last<TFormTblStr>()->windowTitle());

    m_session->db.execute("INSERT INTO CUSTOMER VALUES (1, 'Ann', 'Oslo')");
    trigger(Kind::Table, "CUSTOMER", "Show &Data");
    TDataForm *data = m_shell->last<TDataForm>();
    QVERIFY(data);
    QCOMPARE(data->windowTitle(), QString("Data Viewer-CUSTOMER"));
    QCOMPARE(data->SrcTable->rowCount(), 1);
    QCOMPARE(m_prompts->errors(), QStringList());
}

void TestContextMenus::ddlIsWhatTheWindowsDdlButtonGives()
{
    TStoredProcsForm *procedures = qobject_cast<TStoredProcsForm *>(
        TDatabaseExplorer::openObject(Kind::Procedure, "P_COUNT"));
    QVERIFY(procedures);
    procedures->DDLBtn->click();
    const QString byButton = m_shell->last<TSQLExprForm>()->ExecSql->toPlainText();
    QVERIFY(byButton.contains("P_COUNT"));

    trigger(Kind::Procedure, "P_COUNT", "&DDL");
    QCOMPARE(m_shell->last<TSQLExprForm>()->ExecSql->toPlainText(), byButton);
    QCOMPARE(m_prompts->errors(), QStringList());
}

void TestContextMenus::dropAsksTheWindowsQuestion()
{
    m_prompts->answers << Prompts::Answer::Cancel;
    trigger(Kind::Exception, "E_NO_CUSTOMER", "D&rop…");
    QCOMPARE(m_prompts->questions(),
             QStringList{"Proceed to delete exception 'E_NO_CUSTOMER' from database?"});
    QCOMPARE(m_session->db.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS "
                                  "WHERE RDB$EXCEPTION_NAME = 'E_NO_CUSTOMER'"),
             QString("1"));

    m_prompts->answers << Prompts::Answer::Ok;
    trigger(Kind::Exception, "E_NO_CUSTOMER", "D&rop…");
    QCOMPARE(m_session->db.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS "
                                  "WHERE RDB$EXCEPTION_NAME = 'E_NO_CUSTOMER'"),
             QString("0"));
    QCOMPARE(m_prompts->errors(), QStringList());
}

// A role has the roles window for its twin: Open selects it there, and Drop
// shows that window's statement before it runs, Cancel running nothing.
void TestContextMenus::roleDropShowsTheRolesWindowsStatement()
{
    trigger(Kind::Role, "CLERK", "&Open");
    auto *roles = m_shell->last<TRolesForm>();
    QVERIFY(roles);
    QCOMPARE(roles->RoleList->currentItem()->text(0), QStringLiteral("CLERK"));
    const QString held = "SELECT COUNT(*) FROM RDB$ROLES WHERE RDB$ROLE_NAME = 'CLERK'";
    for (const int answer : {int(QDialog::Rejected), int(QDialog::Accepted)}) {
        QStringList shown;
        const ScopedFormRunner preview([&shown, answer](QDialog *dialog) {
            if (auto *source = qobject_cast<TSQLSourceForm *>(dialog))
                shown << source->lines();
            return answer;
        });
        trigger(Kind::Role, "CLERK", "D&rop…");
        QCOMPARE(shown, QStringList{"DROP ROLE CLERK"});
        QCOMPARE(m_session->db.scalar(held), answer == QDialog::Accepted ? "0" : "1");
    }
    QCOMPARE(m_prompts->errors(), QStringList());
}

void TestContextMenus::catalogueGridCopiesItsRow()
{
    auto *exceptions = qobject_cast<TExceptionsForm *>(
        TDatabaseExplorer::openObject(Kind::Exception, "E_NO_CUSTOMER"));
    QVERIFY(exceptions);
    QAction *copy = nullptr;
    for (QAction *action : exceptions->FGrid->actions()) {
        if (action->text() == "&Copy")
            copy = action;
    }
    QVERIFY(copy);
    copy->trigger();
    const QStringList lines = QApplication::clipboard()->text().split("\r\n");
    QVERIFY2(lines.size() == 3 && lines.at(1).contains("E_NO_CUSTOMER\t")
                 && lines.at(1).endsWith("no such customer"),
             qPrintable(lines.join('|')));
}

void TestContextMenus::everyKindHasItsOwnIcon()
{
    QSet<QByteArray> pictures;
    for (const Kind kind : ObjectDirectory::kinds()) {
        const QImage picture = ExplorerIcons::picture(kind);
        QCOMPARE(picture.size(), QSize(16, 16));
        QCOMPARE(picture.pixel(0, 0), qRgb(0xFF, 0x00, 0xFF));
        pictures.insert(QByteArray(reinterpret_cast<const char *>(picture.constBits()),
                                   picture.sizeInBytes()));
        QVERIFY(!m_explorer->Objects->kindIndex(kind).data(Qt::DecorationRole).isNull());
    }
    QCOMPARE(pictures.size(), ObjectDirectory::kinds().size());
}

QUORVEL_TEST_MAIN(TestContextMenus)
#include "tst_contextmenus.moc"
