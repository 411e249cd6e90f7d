#pragma once

#include "catalog/TObjectListForm.h"
#include "schema/SchemaRoutine.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QStandardItemModel;

// The PSQL and external functions outside packages by name; the current
// one's arguments, return type and source, its rebuilt statement for the
// DDL window, and its drop.
class TFunctionsForm : public TObjectListForm
{
    Q_OBJECT

public:
    // Opens a new window in the frame.
    static TFunctionsForm *open();

    explicit TFunctionsForm(QWidget *parent = nullptr);

    bool selectFunction(const QString &name) { return selectName(name); }

    QTableView *const FunctionsGrid = NamesGrid;
    TOfficeButton *const BtnDropFunc = DropBtn;
    QTableView *ArgumentsGrid;
    QLineEdit *ReturnsEdit;
    QCheckBox *DeterministicBox;
    QPlainTextEdit *SourceMemo;

private:
    QWidget *createDetails();

    void FunctionsRefresh() { refreshList(); }
    QStringList readObjects() override;
    void followCurrent() override;
    QStringList currentStatements() const override;
    QString dropStatement() const override;

    const SchemaRoutine *current() const;
    QString typeText(const SchemaType &type) const;
    QString returnText(const SchemaRoutine &function) const;

    QStandardItemModel *m_arguments;
    QList<SchemaRoutine> m_routines;
};
