#include "catalog/TSelectViewDlg.h"
#include "catalog/TSelTableDlg.h"
#include "core/AppError.h"
#include "ibdb/TIBDataBase.h"
#include "support/Failures.h"
#include "support/ScopedFormRunner.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "uikit/ModalForms.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

QStringList items(const QListWidget *list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}


} // namespace

class TestPickers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void tablePickerList();
    void viewPickerList_data();
    void viewPickerList();
    void choice_data();
    void choice();
    void doubleClick();
    void listingFailure();

private:
    std::unique_ptr<TestSession> m_session;
};

void TestPickers::init()
{
    m_session = std::make_unique<TestSession>();
    m_session->db.execute({QStringLiteral("CREATE TABLE ALPHA (A INTEGER)"),
                           QStringLiteral("CREATE TABLE BETA (B INTEGER)"),
                           QStringLiteral("CREATE VIEW GAMMA (A) AS SELECT A FROM ALPHA")});
}

void TestPickers::cleanup()
{
    m_session.reset();
}

// Views never appear, with or without the system tables; ticking and
// unticking refills the list and selects its first entry again.
void TestPickers::tablePickerList()
{
    TSelTableDlg picker;
    QCOMPARE(picker.windowTitle(), QStringLiteral("Select table"));
    QVERIFY(!picker.SysTblCB->isChecked());
    QCOMPARE(items(picker.TablesList), QStringList({"ALPHA", "BETA"}));
    QCOMPARE(picker.TablesList->currentRow(), 0);
    QVERIFY(picker.OkBtn->isEnabled());

    picker.TablesList->setCurrentRow(1);
    picker.SysTblCB->click();
    const QStringList withSystem = items(picker.TablesList);
    QVERIFY(withSystem.contains("RDB$RELATIONS"));
    QVERIFY(withSystem.contains("ALPHA"));
    QVERIFY(!withSystem.contains("GAMMA"));
    QCOMPARE(picker.TablesList->currentRow(), 0);

    picker.SysTblCB->click();
    QCOMPARE(items(picker.TablesList), QStringList({"ALPHA", "BETA"}));
    QCOMPARE(picker.TablesList->currentRow(), 0);
}

void TestPickers::viewPickerList_data()
{
    QTest::addColumn<bool>("dropView");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("one view") << false << QStringList({"GAMMA"});
    QTest::newRow("no views") << true << QStringList();
}

void TestPickers::viewPickerList()
{
    QFETCH(bool, dropView);
    QFETCH(QStringList, expected);
    if (dropView)
        m_session->db.execute(QStringLiteral("DROP VIEW GAMMA"));
    TSelectViewDlg picker;
    QCOMPARE(picker.windowTitle(), QStringLiteral("Select view"));
    QCOMPARE(items(picker.TablesList), expected);
    QCOMPARE(picker.OkBtn->isEnabled(), !expected.isEmpty());
    QCOMPARE(picker.TablesList->currentRow(), expected.isEmpty() ? -1 : 0);
}

void TestPickers::choice_data()
{
    QTest::addColumn<bool>("views");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("expected"); // empty: silent abort
    QTest::newRow("table ok") << false << 1 << int(QDialog::Accepted) << "BETA";
    QTest::newRow("table cancel") << false << 1 << int(QDialog::Rejected) << "";
    QTest::newRow("view ok") << true << 0 << int(QDialog::Accepted) << "GAMMA";
    QTest::newRow("view cancel") << true << 0 << int(QDialog::Rejected) << "";
}

void TestPickers::choice()
{
    QFETCH(bool, views);
    QFETCH(int, row);
    QFETCH(int, result);
    QFETCH(QString, expected);
    ScopedFormRunner runner([&](QDialog *dialog) {
        static_cast<TRelationPickerDlg *>(dialog)->TablesList->setCurrentRow(row);
        return result;
    });
    QString name = QStringLiteral("UNCHANGED");
    const bool aborted =
        threw<SilentAbort>([&] { views ? SelectView(name) : SelectTable(name); });
    QCOMPARE(aborted, expected.isEmpty());
    QCOMPARE(name, expected.isEmpty() ? QStringLiteral("UNCHANGED") : expected);
}

// The list has the focus; a double-click on a name is OK.
void TestPickers::doubleClick()
{
    TSelTableDlg picker;
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QCOMPARE(picker.focusWidget(), picker.TablesList);
    const QPoint at = picker.TablesList->visualItemRect(picker.TablesList->item(0)).center();
    QTest::mouseClick(picker.TablesList->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(picker.TablesList->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(picker.result(), int(QDialog::Accepted));
    QVERIFY(!picker.isVisible());
}

// A listing that fails shows the error once; the picker opens empty and can
// only be cancelled.
void TestPickers::listingFailure()
{
    ScriptedPrompts prompts;
    m_session->ib()->Close();
    m_session->ib()->setParam(QStringLiteral("SERVER NAME"),
                              m_session->db.folder() + QStringLiteral("/missing.fdb"));
    TSelTableDlg picker;
    QCOMPARE(prompts.errors().size(), 1);
    QVERIFY(prompts.errors().first().endsWith(QLatin1Char('.')));
    QCOMPARE(picker.TablesList->count(), 0);
    QVERIFY(!picker.OkBtn->isEnabled());
    QString name = QStringLiteral("UNCHANGED");
    ScopedFormRunner runner([](QDialog *) { return int(QDialog::Accepted); });
    QVERIFY(threw<SilentAbort>([&] { SelectTable(name); }));
    QCOMPARE(name, QStringLiteral("UNCHANGED"));
}

QUORVEL_TEST_MAIN(TestPickers)
#include "tst_pickers.moc"
