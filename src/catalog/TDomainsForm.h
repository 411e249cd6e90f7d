#pragma once

#include "uikit/TChildForm.h"

class CatalogQuery;
class QTableView;
class TOfficeButton;
class TToolPanel;

// The domains of the connected database (the user rows of RDB$FIELDS) with
// their type text, NOT NULL flag and clause sources; drops the current one.
class TDomainsForm : public TChildForm
{
    Q_OBJECT

public:
    explicit TDomainsForm(QWidget *parent = nullptr);

    // A new window in the frame with its list read. A failure to read is
    // shown and leaves the window open and empty.
    static TDomainsForm *open();

    void FormCreate();
    void RefrBtnClick();
    void DeleteDomainBtnClick();
    void DBGrid1DblClick();

    CatalogQuery *const DMQuery;
    TToolPanel *const btnPanel;
    TOfficeButton *const BtnDelete;
    TOfficeButton *const OfficeButton2;
    QTableView *const DBGrid1;

private:
    void createMenu();
    void openQuery();
    QString currentName() const;
};
