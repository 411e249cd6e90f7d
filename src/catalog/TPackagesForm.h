#pragma once

#include "schema/SchemaPackage.h"
#include "uikit/TChildForm.h"

class QPlainTextEdit;
class QStandardItemModel;
class QTabWidget;
class QTableView;
class TOfficeButton;
class TToolPanel;

// The packages by name; the current one's header and body, its rebuilt
// statements for the DDL window, and its drop.
class TPackagesForm : public TChildForm
{
    Q_OBJECT

public:
    // Opens a new window in the frame.
    static TPackagesForm *open();

    explicit TPackagesForm(QWidget *parent = nullptr);

    // Makes the named package current; false when it is not listed.
    bool selectPackage(const QString &name);
    QString currentName() const;

    TToolPanel *CommandPanel;
    TOfficeButton *DDLBtn;
    TOfficeButton *BtnDropPackage;
    TOfficeButton *RefreshBtn;
    QTableView *PackagesGrid;
    QTabWidget *SourceTabs;
    QPlainTextEdit *HeaderMemo;
    QPlainTextEdit *BodyMemo;

private:
    void createToolPanel();
    QPlainTextEdit *createSourceMemo(const QString &name);
    void createMenu();

    void PackagesRefresh();
    void DDLBtnClick();
    void BtnDropPackageClick();
    void followCurrentPackage();
    const SchemaPackage *current() const;

    QStandardItemModel *m_packages;
    QList<SchemaPackage> m_list;
};
