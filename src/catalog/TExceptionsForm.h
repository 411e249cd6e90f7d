#pragma once

#include "uikit/TChildForm.h"

class CatalogQuery;
class QTableView;
class TOfficeButton;
class TToolPanel;

// The rows of RDB$EXCEPTIONS, system exceptions included; creates an
// exception, changes its message or drops it through the shared TExcDlg.
class TExceptionsForm : public TChildForm
{
    Q_OBJECT

public:
    explicit TExceptionsForm(QWidget *parent = nullptr);

    // A new window in the frame with its table open. A failure to read is
    // shown and leaves the window open and empty.
    static TExceptionsForm *open();

    void newexcpBtnClick();
    void BtnUpdateClick();
    void DeleteDomainBtnClick();
    void RefrBtnClick();

    CatalogQuery *const ExceptionsTable;
    TToolPanel *const btnPanel;
    TOfficeButton *const NewBtn;
    TOfficeButton *const EditBtn;
    TOfficeButton *const DeleteBtn;
    TOfficeButton *const RefreshBtb;
    QTableView *const FGrid;

private:
    void createMenu();
    void openTable();
    bool hasCurrent() const;
    QString current(const QString &field) const;
    // Shows the shared dialog; on OK executes the template filled with its
    // name and message. The list is re-read either way.
    void runDialog(const QString &statementTemplate, bool storedName);
};
