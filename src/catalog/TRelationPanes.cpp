#include "catalog/TRelationPanes.h"

#include "catalog/RelationRows.h"
#include "catalog/TTrigSourceForm.h"
#include "uikit/Command.h"
#include "uikit/GridColumns.h"
#include "workbench/TSQLExprForm.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kKeys = QStringLiteral("Keys and constraints");
const QString kIndices = QStringLiteral("Indices");
const QString kTriggers = QStringLiteral("Triggers");
const QString kPrivileges = QStringLiteral("Privileges");
const QString kBaseRelations = QStringLiteral("Base relations");
const QString kDdl = QStringLiteral("DDL");

void fill(QTableView *grid, const RelationRows::Rows &rows)
{
    auto *model = static_cast<QStandardItemModel *>(grid->model());
    model->setRowCount(0);
    for (const QStringList &cells : rows) {
        QList<QStandardItem *> items;
        for (const QString &cell : cells)
            items << new QStandardItem(cell);
        model->appendRow(items);
    }
    grid->resizeColumnsToContents();
}

} // namespace

TRelationPanes::TRelationPanes(QWidget *parent)
    : QTabWidget(parent),
      KeysGrid(newGrid(RelationRows::constraintTitles())),
      IndicesGrid(newGrid(RelationRows::indexTitles())),
      TriggersGrid(newGrid(RelationRows::triggerTitles())),
      PrivilegesGrid(newGrid(RelationRows::privilegeTitles())),
      BaseRelationsGrid(newGrid(RelationRows::baseRelationTitles())),
      m_ddlPane(buildDdlPane())
{
    setAccessibleName(QStringLiteral("Relation details"));
    placePanes(false);
    KeysGrid->setAccessibleName(kKeys);
    IndicesGrid->setAccessibleName(kIndices);
    TriggersGrid->setAccessibleName(kTriggers);
    TriggersGrid->setToolTip(QStringLiteral("Double-click a trigger to edit its source"));
    PrivilegesGrid->setAccessibleName(kPrivileges);
    BaseRelationsGrid->setAccessibleName(kBaseRelations);
    connect(TriggersGrid, &QAbstractItemView::activated, this, [this](const QModelIndex &index) {
        Command::run([this, index] { TriggersGridActivated(index); });
    });
    connect(DdlWindowBtn, &QPushButton::clicked, this, Command::guard([this] {
                DdlWindowBtnClick();
            }));
}

QTableView *TRelationPanes::newGrid(const QStringList &titles)
{
    auto *grid = new QTableView(this);
    auto *model = new QStandardItemModel(0, titles.size(), grid);
    model->setHorizontalHeaderLabels(titles);
    grid->setModel(model);
    GridColumns::setupReadOnly(grid);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return grid;
}

QWidget *TRelationPanes::buildDdlPane()
{
    auto *pane = new QWidget(this);
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(2, 2, 2, 2);
    DdlText = new QPlainTextEdit(pane);
    DdlText->setReadOnly(true);
    DdlText->setLineWrapMode(QPlainTextEdit::NoWrap);
    DdlText->setAccessibleName(kDdl);
    DdlWindowBtn = new QPushButton(QStringLiteral("Open in DDL window"), pane);
    DdlWindowBtn->setToolTip(QStringLiteral("Put these statements into a DDL statements window"));
    layout->addWidget(DdlText, 1);
    layout->addWidget(DdlWindowBtn, 0, Qt::AlignLeft);
    return pane;
}

// Hides the panes a relation of another kind showed: a page taken off the
// tabs stays a child of the widget and would be drawn over the others.
void TRelationPanes::removePanes()
{
    clear();
    for (QWidget *pane : std::initializer_list<QWidget *>{KeysGrid, IndicesGrid, TriggersGrid,
                                                         PrivilegesGrid, BaseRelationsGrid,
                                                         m_ddlPane})
        pane->hide();
}

void TRelationPanes::placePanes(bool isView)
{
    // Taking the tabs off and on again costs about a millisecond.
    if (m_placedForView == isView)
        return;
    m_placedForView = isView;
    removePanes();
    if (isView) {
        addTab(BaseRelationsGrid, kBaseRelations);
    } else {
        addTab(KeysGrid, kKeys);
        addTab(IndicesGrid, kIndices);
    }
    addTab(TriggersGrid, kTriggers);
    addTab(PrivilegesGrid, kPrivileges);
    addTab(m_ddlPane, kDdl);
}

void TRelationPanes::showRelation(const SchemaModel &model,
                                  const QList<RelationIndices::Index> &indices, bool isView)
{
    const int current = currentIndex();
    placePanes(isView);
    fill(KeysGrid, RelationRows::constraints(model));
    fill(IndicesGrid, RelationRows::indices(indices));
    fill(TriggersGrid, RelationRows::triggers(model));
    fill(PrivilegesGrid, RelationRows::privileges(model));
    fill(BaseRelationsGrid, RelationRows::baseRelations(model));
    DdlText->setPlainText(RelationRows::script(model));
    setCurrentIndex(qBound(0, current, count() - 1));
}

void TRelationPanes::TriggersGridActivated(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    TTrigSourceForm::openStored(TriggersGrid->model()->index(index.row(), 0).data().toString());
}

void TRelationPanes::DdlWindowBtnClick()
{
    OpenInDDLWindow(DdlText->toPlainText());
}
