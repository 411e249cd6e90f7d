#pragma once

#include "schema/RelationIndices.h"
#include "schema/SchemaModel.h"

#include <QTabWidget>

#include <optional>

class QPlainTextEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

// The structure window's panes on one table or view: its keys and
// constraints, indices, triggers, privileges and DDL; a view shows the
// relations it selects from instead of keys and indices.
class TRelationPanes : public QTabWidget
{
    Q_OBJECT

public:
    explicit TRelationPanes(QWidget *parent = nullptr);

    void showRelation(const SchemaModel &model, const QList<RelationIndices::Index> &indices,
                      bool isView);

    QTableView *KeysGrid = nullptr;
    QTableView *IndicesGrid = nullptr;
    QTableView *TriggersGrid = nullptr;
    QTableView *PrivilegesGrid = nullptr;
    QTableView *BaseRelationsGrid = nullptr;
    QPlainTextEdit *DdlText = nullptr;
    QPushButton *DdlWindowBtn = nullptr;

    void TriggersGridActivated(const QModelIndex &index);
    void DdlWindowBtnClick();

private:
    QTableView *newGrid(const QStringList &titles);
    QWidget *buildDdlPane();
    void removePanes();
    void placePanes(bool isView);

    QWidget *m_ddlPane = nullptr;
    // The kind of relation the tabs are placed for.
    std::optional<bool> m_placedForView;
};
