#include "catalog/TRelationPanes.h"

#include "catalog/PaneGrid.h"
#include "catalog/RelationRows.h"
#include "catalog/TTrigSourceForm.h"
#include "uikit/Command.h"
#include "workbench/TSQLExprForm.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kKeys = QStringLiteral("Keys and constraints");
const QString kIndices = QStringLiteral("Indices");
const QString kTriggers = QStringLiteral("Triggers");
const QString kPrivileges = QStringLiteral("Privileges");
const QString kBaseRelations = QStringLiteral("Base relations");
const QString kDdl = QStringLiteral("DDL");

} // namespace

TRelationPanes::TRelationPanes(QWidget *parent)
    : QTabWidget(parent),
      m_keys(new PaneGrid(RelationRows::constraintTitles(), kKeys, this)),
      m_indices(new PaneGrid(RelationRows::indexTitles(), kIndices, this)),
      m_triggers(new PaneGrid(RelationRows::triggerTitles(), kTriggers, this)),
      m_privileges(new PaneGrid(RelationRows::privilegeTitles(), kPrivileges, this)),
      m_baseRelations(new PaneGrid(RelationRows::baseRelationTitles(), kBaseRelations, this)),
      m_ddlPane(buildDdlPane())
{
    setAccessibleName(QStringLiteral("Relation details"));
    placePanes(false);
    m_triggers->setToolTip(QStringLiteral("Double-click a trigger to edit its source"));
    connect(m_triggers, &PaneGrid::activated, this, [this](const QModelIndex &index) {
        Command::run([this, index] { TriggersGridActivated(index); });
    });
    connect(DdlWindowBtn, &QPushButton::clicked, this, Command::guard([this] {
                DdlWindowBtnClick();
            }));
}

QTableView *TRelationPanes::keysGrid()
{
    return m_keys->grid();
}

QTableView *TRelationPanes::indicesGrid()
{
    return m_indices->grid();
}

QTableView *TRelationPanes::triggersGrid()
{
    return m_triggers->grid();
}

QTableView *TRelationPanes::privilegesGrid()
{
    return m_privileges->grid();
}

QTableView *TRelationPanes::baseRelationsGrid()
{
    return m_baseRelations->grid();
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
    for (QWidget *pane : std::initializer_list<QWidget *>{m_keys, m_indices, m_triggers,
                                                         m_privileges, m_baseRelations,
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
        addTab(m_baseRelations, kBaseRelations);
    } else {
        addTab(m_keys, kKeys);
        addTab(m_indices, kIndices);
    }
    addTab(m_triggers, kTriggers);
    addTab(m_privileges, kPrivileges);
    addTab(m_ddlPane, kDdl);
}

void TRelationPanes::showRelation(const SchemaModel &model,
                                  const QList<RelationIndices::Index> &indices, bool isView)
{
    const int current = currentIndex();
    placePanes(isView);
    m_keys->setRows(RelationRows::constraints(model));
    m_indices->setRows(RelationRows::indices(indices));
    m_triggers->setRows(RelationRows::triggers(model));
    m_privileges->setRows(RelationRows::privileges(model));
    m_baseRelations->setRows(RelationRows::baseRelations(model));
    DdlText->setPlainText(RelationRows::script(model));
    setCurrentIndex(qBound(0, current, count() - 1));
}

void TRelationPanes::TriggersGridActivated(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    TTrigSourceForm::openStored(triggersGrid()->model()->index(index.row(), 0).data().toString());
}

void TRelationPanes::DdlWindowBtnClick()
{
    OpenInDDLWindow(DdlText->toPlainText());
}
