#include "workbench/TObjRepos.h"

#include "controls/GridValueDelegate.h"
#include "controls/TDBNavigator.h"
#include "controls/TOfficeButton.h"
#include "controls/TSplitBar.h"
#include "controls/TToolPanel.h"
#include "ibdb/StatementLines.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "uikit/Command.h"
#include "uikit/Prompts.h"
#include "uikit/TableNavigator.h"
#include "workbench/RepositoryGrid.h"
#include "workbench/RepositoryStore.h"
#include "workbench/TOutputForm.h"
#include "workbench/TSQLExprForm.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableView>
#include <QVBoxLayout>

TObjRepos::TObjRepos(QWidget *parent)
    : TChildForm(parent),
      ToolPanel(new TToolPanel(this)),
      DBNavigator1(new TDBNavigator(ToolPanel)),
      GridPanel(new QWidget(this)),
      DBGrid1(new QTableView(GridPanel)),
      SplitBar1(new TSplitBar(GridPanel)),
      DBMemo1(new QPlainTextEdit(this)),
      SrcTable(new RepositoryStore(this)),
      DS(new TableNavigator(DBNavigator1, DBGrid1, this))
{
    setWindowTitle(QStringLiteral("Objects repository"));
    resize(560, 320);

    ToolPanel->addWidget(DBNavigator1);
    ExecSQLBtn = ToolPanel->addButton(QStringLiteral("run"), QStringLiteral("Run DDL statement"));
    ToolPanel->addStretch();
    onClick(ExecSQLBtn, [this] { ExecSQLBtnClick(); });

    DBGrid1->setShowGrid(true);
    DBGrid1->setAccessibleName(QStringLiteral("Repository entries"));
    DBMemo1->setAccessibleName(QStringLiteral("Statement"));
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setItemDelegate(new GridValueDelegate(DBGrid1));
    DS->setModel(SrcTable);
    DS->bindMemo(DBMemo1, RepositoryStore::sourceField());

    SplitBar1->setSplitOrientation(TSplitBar::spHorizontal);
    SplitBar1->setAlignment(TSplitBar::alRight);
    auto *gridLayout = new QVBoxLayout(GridPanel);
    gridLayout->setContentsMargins(0, 0, TSplitBar::DefaultThickness, 0);
    gridLayout->addWidget(DBGrid1);
    GridPanel->setFixedWidth(241);

    DBMemo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    DBMemo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(GridPanel);
    body->addWidget(DBMemo1, 1);
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(ToolPanel);
    layout->addLayout(body, 1);

    buildMenu();
}

void TObjRepos::buildMenu()
{
    DDLMenu = createFormMenu(QStringLiteral("&Repository"));
    DDLMenu->menuAction()->setStatusTip(QStringLiteral("DDL statements menu"));
    Command::addAction(
        DDLMenu, QStringLiteral("&Open as DDL "), QStringLiteral("Open in DDL window"),
        [this] { MNOpenAsDDLClick(); }, QKeySequence(Qt::Key_F9));
    DDLMenu->addSeparator();
    Command::addAction(
        DDLMenu, QStringLiteral("Open As &Result Set"),
        QStringLiteral("Open as SQL expression with result set"), [this] { MNOpenAsResultClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_R));
}

TObjRepos *TObjRepos::open()
{
    return openInFrame<TObjRepos>(&TObjRepos::FormCreate);
}

void TObjRepos::FormCreate()
{
    RepositoryGrid::open(*SrcTable, *DS, *DBGrid1);
    SrcTable->setHeaderData(SrcTable->fieldIndex(RepositoryStore::sourceField()), Qt::Horizontal,
                            QStringLiteral("Source"));
}

void TObjRepos::AddEntry(const QString &name, const QStringList &lines)
{
    // One post, one row written: a crash never leaves a name without its text.
    try {
        DS->insert();
        DS->setValue(RepositoryStore::nameField(), name);
        DS->setValue(RepositoryStore::sourceField(), StatementLines::join(lines));
        DS->post();
    } catch (...) {
        // A lock or a full disk passes: the entry waits in the window to be
        // posted again rather than being thrown away.
        if (!SrcTable->lastFailureKeepsEntry())
            DS->cancel();
        throw;
    }
}

QString TObjRepos::currentText() const
{
    const QString source = DS->value(RepositoryStore::sourceField()).toString();
    return StatementLines::join(StatementLines::split(source));
}

void TObjRepos::ExecSQLBtnClick()
{
    DMSys->execute(currentText());
}

void TObjRepos::MNOpenAsResultClick()
{
    OpenAsResultSet(currentText());
}

void TObjRepos::MNOpenAsDDLClick()
{
    OpenInDDLWindow(currentText());
}

void AddToRepository(const QStringList &lines)
{
    TObjRepos *form = TObjRepos::open();
    QString name;
    if (!Prompts::instance().inputQuery(QStringLiteral("Name of statement"),
                                        QStringLiteral("Input statement name"), name)) {
        return;
    }
    form->AddEntry(name, lines);
}
