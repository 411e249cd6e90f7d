#include "catalog/TDomainsForm.h"
#include "catalog/TMemoViewForm.h"
#include "controls/TOfficeButton.h"
#include "core/AppError.h"
#include "core/MessageLines.h"
#include "ibdb/TIBDataBase.h"
#include "support/Failures.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "uikit/CatalogQuery.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableView>

class TestDomains : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listsUserDomains_data();
    void listsUserDomains();
    void windowGridAndMenu();
    void dropIsListedUntilRefresh_data();
    void dropIsListedUntilRefresh();
    void refusedDropShowsServerText();
    void openFailureLeavesEmptyWindow();
    void memoViewer_data();
    void memoViewer();
    void dialect3TypeTexts();

private:
    QStringList names() const;
    int rowOf(const QString &name) const { return names().indexOf(name); }
    QModelIndex index(const QString &name, const QString &field) const;

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    TDomainsForm *m_form = nullptr;
};

void TestDomains::init()
{
    m_session = std::make_unique<TestSession>(true);
    m_session->db.execute(QStringList{
        "CREATE DOMAIN D_INT INTEGER NOT NULL",
        "CREATE DOMAIN D_NUM NUMERIC(9,2) DEFAULT 0 CHECK (VALUE >= 0)",
        "CREATE DOMAIN D_NAME VARCHAR(40) DEFAULT 'x'",
        "CREATE DOMAIN D_MEMO BLOB SUB_TYPE 1 SEGMENT SIZE 80",
    });
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_form = TDomainsForm::open();
}

void TestDomains::cleanup()
{
    m_prompts.reset();
    m_shell.reset();
    m_session.reset();
}

QStringList TestDomains::names() const
{
    m_form->DMQuery->fetchAll();
    QStringList list;
    for (int row = 0; row < m_form->DMQuery->rowCount(); ++row)
        list << m_form->DMQuery->value(row, "RDB$FIELD_NAME").toString();
    return list;
}

QModelIndex TestDomains::index(const QString &name, const QString &field) const
{
    return m_form->DMQuery->index(rowOf(name), m_form->DMQuery->fieldIndex(field));
}

void TestDomains::listsUserDomains_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QVariant>("notNull");
    QTest::addColumn<QString>("validation");
    QTest::addColumn<QString>("defaultSource");

    QTest::newRow("integer") << "D_INT" << "INTEGER" << QVariant(1) << "" << "";
    QTest::newRow("numeric") << "D_NUM" << "NUMERIC(9,2)" << QVariant() << "CHECK (VALUE >= 0)"
                             << "DEFAULT 0";
    QTest::newRow("varchar") << "D_NAME" << "VARCHAR(40)" << QVariant() << "" << "DEFAULT 'x'";
    QTest::newRow("blob") << "D_MEMO" << "BLOB SUBTYPE TEXT SEGMENT SIZE 80" << QVariant() << ""
                          << "";
}

void TestDomains::listsUserDomains()
{
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(QVariant, notNull);
    QFETCH(QString, validation);
    QFETCH(QString, defaultSource);

    QStringList listed = names();
    listed.sort();
    QCOMPARE(listed, QStringList({"D_INT", "D_MEMO", "D_NAME", "D_NUM"})); // no system domain
    QCOMPARE(index(name, "FTYPE").data().toString(), type);
    const QVariant flag = index(name, "RDB$NULL_FLAG").data();
    QCOMPARE(flag.isNull(), notNull.isNull());
    QCOMPARE(flag.toInt(), notNull.toInt());
    QCOMPARE(index(name, "RDB$DEFAULT_SOURCE").data().toString(), QStringLiteral("(MEMO)"));
    const int row = rowOf(name);
    QCOMPARE(m_form->DMQuery->value(row, "RDB$VALIDATION_SOURCE").toString(), validation);
    QCOMPARE(m_form->DMQuery->value(row, "RDB$DEFAULT_SOURCE").toString(), defaultSource);
}

void TestDomains::windowGridAndMenu()
{
    QCOMPARE(m_shell->last<TDomainsForm>(), m_form);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Domains"));
    QCOMPARE(m_form->BtnDelete->hint(), QStringLiteral("Delete current domain"));
    QCOMPARE(m_form->OfficeButton2->hint(), QStringLiteral("Refresh table contents"));

    const QList<std::tuple<QString, QString, int>> columns = {
        {"RDB$FIELD_NAME", "NAME", -1},          {"FTYPE", "TYPE", 124},
        {"RDB$NULL_FLAG", "NOT NULL", 102},      {"RDB$VALIDATION_SOURCE", "VALIDATION", 104},
        {"RDB$COMPUTED_SOURCE", "COMPUTED", 97}, {"RDB$DEFAULT_SOURCE", "DEFAULT", 94},
    };
    QHeaderView *header = m_form->DBGrid1->horizontalHeader();
    QCOMPARE(header->count() - header->hiddenSectionCount(), columns.size());
    for (int position = 0; position < columns.size(); ++position) {
        const auto &[field, title, width] = columns[position];
        const int logical = header->logicalIndex(position);
        QCOMPARE(m_form->DMQuery->fieldName(logical), field);
        QCOMPARE(m_form->DMQuery->headerData(logical, Qt::Horizontal).toString(), title);
        // The window widens a column whose content needs more, never less.
        QVERIFY(width < 0 || header->sectionSize(logical) >= width);
    }

    QMenu *menu = m_form->formMenu();
    QCOMPARE(menu->title(), QStringLiteral("Domains"));
    QCOMPARE(menu->menuAction()->statusTip(), QStringLiteral("Domains menu"));
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions()[0]->text(), QStringLiteral("&Delete"));
    QCOMPARE(menu->actions()[0]->shortcut(), QKeySequence("Ctrl+D"));
    QCOMPARE(menu->actions()[0]->statusTip(), QStringLiteral("Delete current domain"));
    QCOMPARE(menu->actions()[1]->text(), QStringLiteral("&Refresh"));
    QCOMPARE(menu->actions()[1]->shortcut(), QKeySequence("F5"));
    QCOMPARE(menu->actions()[1]->statusTip(), QStringLiteral("Refresh table contenrs"));
}

void TestDomains::dropIsListedUntilRefresh_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("ok") << true;
    QTest::newRow("cancel") << false;
}

void TestDomains::dropIsListedUntilRefresh()
{
    QFETCH(bool, confirmed);
    m_form->DBGrid1->setCurrentIndex(index("D_NAME", "FTYPE"));
    m_prompts->answers << (confirmed ? Prompts::Answer::Ok : Prompts::Answer::Cancel);
    m_form->formMenu()->actions()[0]->trigger();

    QCOMPARE(m_prompts->questions(),
             QStringList("Proceed to delete domain 'D_NAME' from database"));
    QCOMPARE(m_prompts->asked.first().caption, QStringLiteral("OkCancel"));
    QCOMPARE(m_session->sent,
             confirmed ? QByteArrayList({"DROP DOMAIN D_NAME\r\n"}) : QByteArrayList());
    QCOMPARE(m_session->db.scalar("SELECT COUNT(*) FROM RDB$FIELDS "
                                  "WHERE RDB$FIELD_NAME = 'D_NAME'"),
             confirmed ? "0" : "1");
    QVERIFY(names().contains("D_NAME"));

    m_form->OfficeButton2->click();
    QCOMPARE(names().contains("D_NAME"), !confirmed);
    QCOMPARE(m_form->DBGrid1->currentIndex().row(), 0);
    QVERIFY(m_prompts->errors().isEmpty());
}

void TestDomains::refusedDropShowsServerText()
{
    m_session->db.execute("CREATE TABLE T_USER (A D_INT)");
    m_form->RefrBtnClick();
    const QStringList before = names();
    m_form->DBGrid1->setCurrentIndex(index("D_INT", "FTYPE"));
    m_prompts->answers << Prompts::Answer::Ok;
    m_form->BtnDelete->click();

    QCOMPARE(m_session->sent, QByteArrayList({"DROP DOMAIN D_INT\r\n"}));
    const QString serverText =
        failureOf<DatabaseError>([&] { m_session->ib()->ExecuteStatement("DROP DOMAIN D_INT", true); });
    QVERIFY(!serverText.isEmpty());
    QCOMPARE(m_prompts->errors(), QStringList(MessageLines::plain(serverText) + "."));
    QCOMPARE(names(), before);
}

void TestDomains::openFailureLeavesEmptyWindow()
{
    // Catalogue queries reopen the connection on demand: point it nowhere.
    m_session->ib()->Close();
    m_session->ib()->connection().setDatabaseName(m_session->db.folder() + "/missing.fdb");
    auto *form = TDomainsForm::open();
    m_session->ib()->connection().setDatabaseName(m_session->db.path());
    m_session->ib()->Open();
    QCOMPARE(m_prompts->errors().size(), 1);
    const QString shown = m_prompts->errors().first();
    QVERIFY2(shown.contains("missing.fdb") && shown.endsWith(u'.'), qPrintable(shown));
    QCOMPARE(m_shell->last<TDomainsForm>(), form);
    QVERIFY(form->isVisible());
    QCOMPARE(form->DMQuery->rowCount(), 0);
}

void TestDomains::memoViewer_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("caption"); // empty: no viewer opens
    QTest::addColumn<QString>("text");

    QTest::newRow("name") << "RDB$FIELD_NAME" << "" << "";
    QTest::newRow("type") << "FTYPE" << "" << "";
    QTest::newRow("not null") << "RDB$NULL_FLAG" << "" << "";
    QTest::newRow("validation") << "RDB$VALIDATION_SOURCE" << "Data 'Domains' 'VALIDATION'"
                                << "CHECK (VALUE >= 0)";
    QTest::newRow("computed") << "RDB$COMPUTED_SOURCE" << "Data 'Domains' 'COMPUTED'" << "";
    QTest::newRow("default") << "RDB$DEFAULT_SOURCE" << "Data 'Domains' 'DEFAULT'"
                             << "DEFAULT 0";
}

void TestDomains::memoViewer()
{
    QFETCH(QString, field);
    QFETCH(QString, caption);
    QFETCH(QString, text);

    QTableView *grid = m_form->DBGrid1;
    const QModelIndex cell = index("D_NUM", field);
    grid->scrollTo(cell);
    const QPoint at = grid->visualRect(cell).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    const auto viewers = m_form->findChildren<TMemoViewForm *>();
    QCOMPARE(viewers.size(), caption.isEmpty() ? 0 : 1);
    if (caption.isEmpty())
        return;
    TMemoViewForm *viewer = viewers.first();
    QCOMPARE(viewer->windowTitle(), caption);
    QVERIFY(viewer->isVisible() && viewer->MemoCtrl->isReadOnly());
    QCOMPARE(viewer->MemoCtrl->toPlainText(), text);

    // It follows the grid's current row, and a refresh.
    grid->setCurrentIndex(index("D_NAME", "FTYPE"));
    QCOMPARE(viewer->MemoCtrl->toPlainText(),
             m_form->DMQuery->value(rowOf("D_NAME"), field).toString());
    m_form->RefrBtnClick();
    QCOMPARE(viewer->MemoCtrl->toPlainText(),
             m_form->DMQuery->value(0, field).toString());

    // Each double click opens another; they go with their window.
    grid->setCurrentIndex(index("D_NUM", field));
    m_form->DBGrid1DblClick();
    QCOMPARE(m_form->findChildren<TMemoViewForm *>().size(), 2);
    QPointer<TMemoViewForm> watched = viewer;
    m_form->parentWidget()->close();
    QTRY_VERIFY(watched.isNull());
}

// On a dialect-3 database each type shows as the DDL that declares it: a
// domain declared with the shown text has the same type columns. A domain
// whose name needs quotes is dropped.
void TestDomains::dialect3TypeTexts()
{
    m_form->close();
    m_session.reset();
    m_session = std::make_unique<TestSession>(true, 3);
    const QList<std::pair<QString, QString>> domains = {
        {"D_BIG", "BIGINT"},
        {"D_DATE", "DATE"},
        {"D_TIME", "TIME"},
        {"D_TS", "TIMESTAMP"},
        {"D_BOOL", "BOOLEAN"},
        {"D_N184", "NUMERIC(18,4)"},
        {"D_N92", "NUMERIC(9,2)"},
        {"D_N41", "NUMERIC(4,1)"},
        {"D_DEC51", "DECIMAL(5,1)"},
        {"D_DEC152", "DECIMAL(15,2)"},
        {"D_DBL", "DOUBLE PRECISION"},
        {"D_FLT", "FLOAT"},
        {"D_UTF", "VARCHAR(10) CHARACTER SET UTF8"},
        {"D_CHR", "CHAR(3)"},
        {"D_TXT", "BLOB SUB_TYPE TEXT SEGMENT SIZE 80 CHARACTER SET UTF8"},
        {"D_BIN", "BLOB SUB_TYPE BINARY SEGMENT SIZE 100"},
        {"d_Lower", "INTEGER"},
    };
    for (const auto &[name, type] : domains)
        m_session->db.execute("CREATE DOMAIN \"" + name + "\" AS " + type);
    m_form = TDomainsForm::open();
    for (const auto &[name, type] : domains)
        QCOMPARE(index(name, "FTYPE").data().toString(), type);

    const QString columns = "SELECT RDB$FIELD_TYPE || ':' || COALESCE(RDB$FIELD_SUB_TYPE, 0) || "
                            "':' || RDB$FIELD_SCALE || ':' || COALESCE(RDB$FIELD_PRECISION, 0) || "
                            "':' || COALESCE(RDB$CHARACTER_LENGTH, 0) || ':' || "
                            "COALESCE(RDB$CHARACTER_SET_ID, -1) || ':' || "
                            "COALESCE(RDB$SEGMENT_LENGTH, 0) FROM RDB$FIELDS "
                            "WHERE RDB$FIELD_NAME = '%1'";
    for (const auto &[name, type] : domains) {
        const QString shown = index(name, "FTYPE").data().toString();
        m_session->db.execute("CREATE DOMAIN \"" + name + "_AGAIN\" AS " + shown);
        QCOMPARE(m_session->db.scalar(columns.arg(name + "_AGAIN")),
                 m_session->db.scalar(columns.arg(name)));
    }

    m_form->DBGrid1->setCurrentIndex(index("d_Lower", "FTYPE"));
    m_prompts->answers << Prompts::Answer::Ok;
    m_form->formMenu()->actions()[0]->trigger();
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(m_session->sent, QByteArrayList({"DROP DOMAIN \"d_Lower\"\r\n"}));
    QCOMPARE(m_session->db.scalar("SELECT COUNT(*) FROM RDB$FIELDS "
                                  "WHERE RDB$FIELD_NAME = 'd_Lower'"),
             "0");
}

QUORVEL_TEST_MAIN(TestDomains)
#include "tst_domains.moc"
