#pragma once

#include "catalog/TObjectListForm.h"
#include "schema/SchemaPackage.h"

class QPlainTextEdit;
class QTabWidget;

// The packages by name; the current one's header and body, its rebuilt
// statements for the DDL window, and its drop.
class TPackagesForm : public TObjectListForm
{
    Q_OBJECT

public:
    // Opens a new window in the frame.
    static TPackagesForm *open();

    explicit TPackagesForm(QWidget *parent = nullptr);

    bool selectPackage(const QString &name) { return selectName(name); }

    QTableView *const PackagesGrid = NamesGrid;
    TOfficeButton *const BtnDropPackage = DropBtn;
    QTabWidget *SourceTabs;
    QPlainTextEdit *HeaderMemo;
    QPlainTextEdit *BodyMemo;

private:
    void PackagesRefresh() { refreshList(); }
    QStringList readObjects() override;
    void followCurrent() override;
    QStringList currentStatements() const override;
    QString dropStatement() const override;

    const SchemaPackage *current() const;

    QList<SchemaPackage> m_list;
};
