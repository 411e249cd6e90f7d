#pragma once

#include "schema/RelationIndices.h"
#include "schema/SchemaModel.h"

#include <QTabWidget>

#include <optional>

class PaneGrid;
class QPlainTextEdit;
class QPushButton;
class QTableView;

// The structure window's panes on one table or view: its keys and
// constraints, indices, triggers, privileges and DDL; a view shows the
// relations it selects from instead of keys and indices. A pane's grid is
// made when the pane is first shown or its grid first asked for.
class TRelationPanes : public QTabWidget
{
    Q_OBJECT

public:
    explicit TRelationPanes(QWidget *parent = nullptr);

    void showRelation(const SchemaModel &model, const QList<RelationIndices::Index> &indices,
                      bool isView);

    QTableView *keysGrid();
    QTableView *indicesGrid();
    QTableView *triggersGrid();
    QTableView *privilegesGrid();
    QTableView *baseRelationsGrid();
    QPlainTextEdit *DdlText = nullptr;
    QPushButton *DdlWindowBtn = nullptr;

    void TriggersGridActivated(const QModelIndex &index);
    void DdlWindowBtnClick();

private:
    QWidget *buildDdlPane();
    void removePanes();
    void placePanes(bool isView);

    PaneGrid *m_keys = nullptr;
    PaneGrid *m_indices = nullptr;
    PaneGrid *m_triggers = nullptr;
    PaneGrid *m_privileges = nullptr;
    PaneGrid *m_baseRelations = nullptr;
    QWidget *m_ddlPane = nullptr;
    // The kind of relation the tabs are placed for.
    std::optional<bool> m_placedForView;
};
