#include "catalog/TDomainsForm.h"
#include "catalog/TExceptionsForm.h"
#include "catalog/TFormTblStr.h"
#include "catalog/TFormTriggers.h"
#include "catalog/TFunctionsForm.h"
#include "catalog/TGeneratorsForm.h"
#include "catalog/TPackagesForm.h"
#include "catalog/TStoredProcsForm.h"
#include "catalog/TTrigSourceForm.h"
#include "controls/ColumnHeader.h"
#include "controls/TOfficeButton.h"
#include "ibdb/ServerCall.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "uikit/TChildForm.h"
#include "workbench/TDataForm.h"
#include "workbench/TOutputForm.h"
#include "workbench/TSQLExprForm.h"

#include <QHash>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QPlainTextEdit>

#include <functional>

namespace {

// Names as long as the system tables hold (31 characters).
QString longName(const QString &prefix)
{
    return prefix + QString(31 - prefix.size(), QLatin1Char('W'));
}

const QString kDomain = longName(QStringLiteral("D_"));
const QString kException = longName(QStringLiteral("E_"));
const QString kGenerator = longName(QStringLiteral("G_"));
const QString kTable = longName(QStringLiteral("T_"));
const QString kColumn = longName(QStringLiteral("C_"));
const QString kProcedure = longName(QStringLiteral("P_"));
const QString kInput = longName(QStringLiteral("I_"));
const QString kOutput = longName(QStringLiteral("O_"));
const QString kTrigger = longName(QStringLiteral("TR_"));
const QString kFunction = longName(QStringLiteral("F_"));
const QString kPackage = longName(QStringLiteral("PK_"));

QMdiSubWindow *frameOf(const QWidget *form)
{
    return qobject_cast<QMdiSubWindow *>(form->parentWidget());
}

bool lists(const QWidget *form, const QString &text)
{
    for (QAbstractItemView *view : form->findChildren<QAbstractItemView *>()) {
        const QAbstractItemModel *model = view->model();
        for (int row = 0; model && row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column) {
                if (model->index(row, column).data().toString().trimmed() == text)
                    return true;
            }
        }
    }
    return false;
}

// Counts the paints of each grid's cells, wherever they come from.
class GridPaints : public QObject
{
public:
    GridPaints() { QCoreApplication::instance()->installEventFilter(this); }
    ~GridPaints() override { QCoreApplication::instance()->removeEventFilter(this); }

    QHash<const QObject *, int> counts;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto *view = qobject_cast<QAbstractItemView *>(watched->parent());
        // A header is a view too, cheap to paint; the cells are what count.
        if (qobject_cast<const QHeaderView *>(view))
            return false;
        // A slow server lets the empty window paint while it waits; that
        // paint is the wait showing, not the columns settling.
        if (ServerCall::waiting())
            return false;
        if (event->type() == QEvent::Paint && view && view->viewport() == watched)
            ++counts[watched];
        return false;
    }
};

} // namespace

class TstWindowSizes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void windowShowsItsContent_data();
    void windowShowsItsContent();
    void newWindowCascadesBelowThePrevious();
    void windowNeverLeavesASmallFrame();

private:
    void checkShowsContent(TChildForm *form);

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

using Opener = std::function<TChildForm *(TestShell &)>;
Q_DECLARE_METATYPE(Opener)

void TstWindowSizes::initTestCase()
{
    m_session = std::make_unique<TestSession>();
    QStringList schema{
        QStringLiteral("CREATE DOMAIN %1 NUMERIC(18,4) DEFAULT 0 NOT NULL").arg(kDomain),
        QStringLiteral("CREATE EXCEPTION %1 'The order cannot be shipped before it is paid'")
            .arg(kException),
        QStringLiteral("CREATE GENERATOR %1").arg(kGenerator),
        QStringLiteral("SET GENERATOR %1 TO 2147483647").arg(kGenerator),
        QStringLiteral("CREATE TABLE %1 (%2 VARCHAR(31), AMOUNT NUMERIC(18,4))")
            .arg(kTable, kColumn),
        QStringLiteral("INSERT INTO %1 VALUES ('%2', 12345678.1234)").arg(kTable, kColumn),
        QStringLiteral("CREATE PROCEDURE %1 (%2 NUMERIC(18,4), SHORT_NAME VARCHAR(31)) "
                       "RETURNS (%3 DOUBLE PRECISION) AS BEGIN SUSPEND; END")
            .arg(kProcedure, kInput, kOutput),
        QStringLiteral("CREATE FUNCTION %1 (%2 NUMERIC(18,4), SHORT_NAME VARCHAR(31)) "
                       "RETURNS DOUBLE PRECISION AS BEGIN RETURN 1; END")
            .arg(kFunction, kInput),
        QStringLiteral("CREATE PACKAGE %1 AS BEGIN PROCEDURE P; END").arg(kPackage),
        QStringLiteral("CREATE TRIGGER %1 FOR %2 BEFORE INSERT POSITION 0 AS BEGIN END")
            .arg(kTrigger, kTable),
    };
    // More rows than a screen shows, so measuring stops at the screen.
    for (int i = 0; i < 60; ++i)
        schema << QStringLiteral("CREATE DOMAIN D_%1 INTEGER").arg(i, 3, 10, QLatin1Char('0'));
    m_session->db.execute(schema);
}

void TstWindowSizes::cleanupTestCase()
{
    m_session.reset();
}

void TstWindowSizes::init()
{
    m_shell = std::make_unique<TestShell>();
    m_shell->area.resize(1280, 900);
    m_prompts = std::make_unique<ScriptedPrompts>();
}

void TstWindowSizes::cleanup()
{
    // Closing the windows moves the focus between editors: the scripted
    // prompts stay to take anything that reports.
    m_shell.reset();
    m_prompts.reset();
}

// Every shown column of every grid is at least as wide as its title and the
// cells of the rows on screen need, and lies inside the grid; the tool bar's
// buttons and the window lie inside the frame.
void TstWindowSizes::checkShowsContent(TChildForm *form)
{
    QMdiSubWindow *window = frameOf(form);
    QVERIFY(window);
    // What the user sees: after the grids have laid out their sections.
    QCoreApplication::processEvents();
    const QRect room = m_shell->area.viewport()->rect();
    QVERIFY2(room.contains(window->geometry()),
             qPrintable(QStringLiteral("window %1,%2 %3x%4 outside the frame")
                            .arg(window->x()).arg(window->y())
                            .arg(window->width()).arg(window->height())));
    for (TOfficeButton *button : form->findChildren<TOfficeButton *>()) {
        if (!button->isVisibleTo(form))
            continue;
        const QRect onForm(button->mapTo(form, QPoint(0, 0)), button->size());
        QVERIFY2(form->rect().contains(onForm), qPrintable(button->hint()));
    }
    for (QAbstractItemView *view : form->findChildren<QAbstractItemView *>()) {
        QHeaderView *header = columnHeader(view);
        if (!header || !view->isVisibleTo(form) || !view->model())
            continue;
        for (int column = 0; column < header->count(); ++column) {
            if (header->isSectionHidden(column))
                continue;
            const QString title =
                view->model()->headerData(column, Qt::Horizontal).toString();
            const int width = header->sectionSize(column);
            QVERIFY2(header->sectionViewportPosition(column) + width
                         <= view->viewport()->width(),
                     qPrintable(view->accessibleName() + ": column off the edge: " + title));
            QVERIFY2(header->sectionSizeHint(column) <= width, qPrintable(title));
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                const QModelIndex index = view->model()->index(row, column, view->rootIndex());
                if (!view->viewport()->rect().intersects(view->visualRect(index)))
                    break;
                QVERIFY2(view->sizeHintForIndex(index).width() <= width,
                         qPrintable(title + ": " + index.data().toString()));
            }
        }
    }
}

void TstWindowSizes::windowShowsItsContent_data()
{
    QTest::addColumn<Opener>("open");
    QTest::addColumn<QString>("shown");
    QTest::newRow("domains") << Opener([](TestShell &) { return TDomainsForm::open(); })
                             << kDomain;
    QTest::newRow("exceptions")
        << Opener([](TestShell &) { return TExceptionsForm::open(); }) << kException;
    QTest::newRow("generators")
        << Opener([](TestShell &) { return TGeneratorsForm::open(); }) << kGenerator;
    QTest::newRow("procedures")
        << Opener([](TestShell &) { return TStoredProcsForm::open(); }) << kInput;
    QTest::newRow("functions")
        << Opener([](TestShell &) { return TFunctionsForm::open(); }) << kInput;
    QTest::newRow("packages")
        << Opener([](TestShell &) { return TPackagesForm::open(); }) << kPackage;
    QTest::newRow("triggers") << Opener([](TestShell &) { return TFormTriggers::open(); })
                              << kTrigger;
    QTest::newRow("structure") << Opener([](TestShell &) { return TFormTblStr::open(); })
                               << QString();
    QTest::newRow("data view") << Opener([](TestShell &) { return TDataForm::open(); })
                               << QString();
    QTest::newRow("query result") << Opener([](TestShell &shell) -> TChildForm * {
        OpenAsResultSet(QStringLiteral("SELECT * FROM %1").arg(kTable));
        return shell.last<TOutputForm>();
    }) << kColumn;
    QTest::newRow("data view of a table")
        << Opener([](TestShell &shell) -> TChildForm * {
               OpenDataView(kTable);
               return shell.last<TDataForm>();
           })
        << kColumn;
    QTest::newRow("trigger editor from the list")
        << Opener([](TestShell &) -> TChildForm * {
               return TFormTriggers::open()->OpenTriggerEditor();
           })
        << QString();
    QTest::newRow("ddl statements")
        << Opener([](TestShell &) { return TSQLExprForm::open(); }) << QString();
    QTest::newRow("trigger editor")
        << Opener([](TestShell &) { return TTrigSourceForm::open(); }) << QString();
}

void TstWindowSizes::windowShowsItsContent()
{
    QFETCH(Opener, open);
    QFETCH(QString, shown);
    // The frame is on screen before the command, as for the user.
    QVERIFY(QTest::qWaitForWindowExposed(&m_shell->area));
    const GridPaints paints;
    TChildForm *form = open(*m_shell);
    QVERIFY(form);
    // Columns sized as the window opens must not make it paint its grids again.
    QTest::qWait(50);
    for (QAbstractItemView *view : form->findChildren<QAbstractItemView *>())
        QVERIFY2(paints.counts.value(view->viewport()) <= 1,
                 qPrintable(view->accessibleName() + " painted again"));
    QVERIFY(m_prompts->asked.isEmpty());
    if (!shown.isEmpty())
        QVERIFY2(lists(form, shown), qPrintable("the window does not list " + shown));
    checkShowsContent(form);
    // An editor shows a line of 80 characters and a screen of lines.
    for (QPlainTextEdit *editor : form->findChildren<QPlainTextEdit *>()) {
        if (editor->isReadOnly() || !editor->isVisibleTo(form))
            continue;
        const QFontMetrics metrics(editor->font());
        QVERIFY(editor->viewport()->width() >= 80 * metrics.horizontalAdvance(QLatin1Char('0')));
        QVERIFY(editor->viewport()->height() >= 16 * metrics.lineSpacing());
    }
}

void TstWindowSizes::newWindowCascadesBelowThePrevious()
{
    TChildForm *first = TExceptionsForm::open();
    TChildForm *second = TExceptionsForm::open();
    TChildForm *third = TSQLExprForm::open();
    const QPoint a = frameOf(first)->pos();
    const QPoint b = frameOf(second)->pos();
    const QPoint c = frameOf(third)->pos();
    // Each caption stays in sight: the next window starts one title bar lower.
    const int titleBar = first->geometry().top();
    QCOMPARE(b, a + QPoint(titleBar, titleBar));
    QCOMPARE(c, b + QPoint(titleBar, titleBar));
    checkShowsContent(second);
    checkShowsContent(third);
}

void TstWindowSizes::windowNeverLeavesASmallFrame()
{
    m_shell->area.resize(500, 360);
    for (int i = 0; i < 6; ++i) {
        TChildForm *form = TStoredProcsForm::open();
        QVERIFY(m_shell->area.viewport()->rect().contains(frameOf(form)->geometry()));
    }
}

QUORVEL_TEST_MAIN(TstWindowSizes)
#include "tst_windowsizes.moc"
