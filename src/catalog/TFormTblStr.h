#pragma once

#include "uikit/TChildForm.h"

#include <QHash>
#include <QStringList>

#include <optional>

class CatalogQuery;
class QAbstractItemDelegate;
class QAction;
class QLabel;
class QSqlRecord;
class QTableView;
class TOfficeButton;
class TRelationPanes;
class TSplitBar;
class TToolPanel;

// The columns of one table or view with their types, the objects that depend
// on it, and panes on its keys, indices, triggers, privileges and DDL; for a
// view also its CREATE VIEW statement rebuilt for the DDL window.
class TFormTblStr : public TChildForm
{
    Q_OBJECT

public:
    explicit TFormTblStr(QWidget *parent = nullptr);

    // A new window in the frame (the frame's "Table &Structures" command).
    static TFormTblStr *open();

    // The text of a RDB$DEPENDENT_TYPE code; NULL counts as 0.
    static QString DependencyTypeName(const QVariant &code);

    QString relationName() const { return m_relationName; }
    bool isView() const { return m_isView; }

    TToolPanel *PanelComs = nullptr;
    TOfficeButton *SelectforViewBtn = nullptr;
    TOfficeButton *DDLBtn = nullptr;
    TOfficeButton *SelectTableBtn = nullptr;
    TOfficeButton *SelViewBtn = nullptr;
    QWidget *Panel1 = nullptr;
    QTableView *DBGrid1 = nullptr;
    QWidget *Relpanel = nullptr;
    TSplitBar *SplitBar1 = nullptr;
    QTableView *DBGrid2 = nullptr;
    TRelationPanes *DetailPanes = nullptr;
    CatalogQuery *StrQuery = nullptr;
    CatalogQuery *DepQuery = nullptr;
    CatalogQuery *SQLSourceQ = nullptr;
    QAction *ShowSelectItem = nullptr;

    void SelectTableBtnClick();
    void SelViewBtnClick();
    void SrcDataClick();
    void ShowSelect();
    // Shows the relation as the pickers do once one is chosen.
    void showRelation(const QString &name, bool isView);

private:
    void buildToolBar();
    QWidget *buildPanes();
    QWidget *headedPane(const QString &heading, QTableView *grid);
    void buildMenu();
    void createQueries();
    void openQueries();
    void readDetails();
    QVariant columnDetail(const QSqlRecord &row, int detail) const;
    QStringList viewColumns();
    std::optional<QString> shownViewStatement();

    QString m_relationName;
    bool m_isView = false;
    QAbstractItemDelegate *m_positionDelegate = nullptr;
    // Type, NOT NULL, default, collation, generation by column name.
    QHash<QString, QStringList> m_columnDetails;
};
