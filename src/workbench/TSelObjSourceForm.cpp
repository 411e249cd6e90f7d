#include "workbench/TSelObjSourceForm.h"

#include "controls/GridValueDelegate.h"
#include "controls/TSplitBar.h"
#include "core/AppError.h"
#include "ibdb/StatementLines.h"
#include "uikit/Command.h"
#include "uikit/ModalForms.h"
#include "uikit/TableNavigator.h"
#include "workbench/RepositoryGrid.h"
#include "workbench/RepositoryStore.h"
#include "workbench/TObjRepos.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TSelObjSourceForm::TSelObjSourceForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      DataGrid(new QTableView(this)),
      Panel2(new QWidget(this)),
      SplitBar1(new TSplitBar(Panel2)),
      DBMemo1(new QPlainTextEdit(Panel2)),
      OkBtn(new QPushButton(QStringLiteral("OK"), this)),
      CancelBtn(new QPushButton(QStringLiteral("Cancel"), this)),
      ReposTable(new RepositoryStore(this)),
      ReposSource(new TableNavigator(nullptr, DataGrid, this))
{
    setWindowTitle(QStringLiteral("Select Object Source"));
    resize(520, 320);

    DataGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    DataGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    DataGrid->horizontalHeader()->setStretchLastSection(true);
    DataGrid->setItemDelegate(new GridValueDelegate(DataGrid));
    ReposSource->setModel(ReposTable);
    DataGrid->setAccessibleName(QStringLiteral("Repository entries"));
    DBMemo1->setAccessibleName(QStringLiteral("Statement"));
    ReposSource->setReadOnly(QStringLiteral("Cannot modify a read-only dataset"));
    DBMemo1->setReadOnly(true);
    DBMemo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    DBMemo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ReposSource->bindMemo(DBMemo1, RepositoryStore::sourceField());

    SplitBar1->setSplitOrientation(TSplitBar::spHorizontal);
    SplitBar1->setAlignment(TSplitBar::alLeft);
    auto *panelLayout = new QVBoxLayout(Panel2);
    panelLayout->setContentsMargins(TSplitBar::DefaultThickness, 0, 0, 0);
    panelLayout->addWidget(DBMemo1);
    Panel2->setFixedWidth(280);

    OkBtn->setDefault(true);
    connect(OkBtn, &QPushButton::clicked, this, Command::guard([this] { OkBtnClick(); }));
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(DataGrid, &QAbstractItemView::doubleClicked, this,
            Command::guard([this] { OkBtnClick(); }));

    auto *panes = new QHBoxLayout;
    panes->setSpacing(0);
    panes->addWidget(DataGrid, 1);
    panes->addWidget(Panel2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(panes, 1);
    layout->addLayout(buttons);

    Command::run([this] { FormCreate(); });
}

void TSelObjSourceForm::FormCreate()
{
    RepositoryGrid::open(*ReposTable, *ReposSource, *DataGrid);
}

void TSelObjSourceForm::OkBtnClick()
{
    accept();
}

QString TSelObjSourceForm::currentSource() const
{
    return ReposSource->value(RepositoryStore::sourceField()).toString();
}

void SelectFromRepository(QStringList &lines)
{
    TSelObjSourceForm form;
    if (ModalForms::exec(&form) != QDialog::Accepted)
        throw SilentAbort();
    lines = StatementLines::split(form.currentSource());
}
