#pragma once

#include "schema/SchemaRoutine.h"
#include "uikit/TChildForm.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QStandardItemModel;
class QTableView;
class TOfficeButton;
class TToolPanel;

// The PSQL and external functions outside packages by name; the current
// one's arguments, return type and source, its rebuilt statement for the
// DDL window, and its drop.
class TFunctionsForm : public TChildForm
{
    Q_OBJECT

public:
    // Opens a new window in the frame.
    static TFunctionsForm *open();

    explicit TFunctionsForm(QWidget *parent = nullptr);

    // Makes the named function current; false when it is not listed.
    bool selectFunction(const QString &name);
    QString currentName() const;

    TToolPanel *CommandPanel;
    TOfficeButton *DDLBtn;
    TOfficeButton *BtnDropFunc;
    TOfficeButton *RefreshBtn;
    QTableView *FunctionsGrid;
    QTableView *ArgumentsGrid;
    QLineEdit *ReturnsEdit;
    QCheckBox *DeterministicBox;
    QPlainTextEdit *SourceMemo;

private:
    void createToolPanel();
    QWidget *createDetails();
    void createMenu();

    void FunctionsRefresh();
    void DDLBtnClick();
    void BtnDropFuncClick();
    void followCurrentFunction();
    const SchemaRoutine *current() const;
    QString typeText(const SchemaType &type) const;
    QString returnText(const SchemaRoutine &function) const;

    QStandardItemModel *m_functions;
    QStandardItemModel *m_arguments;
    QList<SchemaRoutine> m_routines;
};
