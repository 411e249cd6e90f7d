#pragma once

#include "uikit/TChildForm.h"

class CatalogQuery;
class QTreeWidget;
class QTreeWidgetItem;
class TOfficeButton;
class TToolPanel;

// The generators of the database with their current values, sortable by any
// column; creates generators and sets their values through TGenValueForm.
class TGeneratorsForm : public TChildForm
{
    Q_OBJECT

public:
    // Opens a new window in the frame.
    static TGeneratorsForm *open();

    explicit TGeneratorsForm(QWidget *parent = nullptr);

    // The list's order: negative puts item1 first.
    int GeneratorListCompare(const QTreeWidgetItem *item1, const QTreeWidgetItem *item2) const;

    TToolPanel *ComPanel;
    TOfficeButton *NewBtn;
    TOfficeButton *EditBtn;
    TOfficeButton *RefreshBtb;
    TOfficeButton *SystemGenView;
    QTreeWidget *GeneratorList;

private:
    void createToolPanel();
    void createList();
    void createMenu();

    void FormCreate();
    void FillGeneratorList();
    void addGenerator(const QString &name, qint64 value, bool system);
    void sortList();

    void RefreshBtbClick();
    void SystemGenViewClick();
    void NewBtnClick();
    void EditBtnClick();
    void GeneratorListColumnClick(int column);

    CatalogQuery *SysGenQuery;
    int m_sortColumn = 0;
    int m_sortDirection = 1;
};
