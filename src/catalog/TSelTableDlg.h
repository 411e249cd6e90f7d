#pragma once

#include "catalog/TRelationPickerDlg.h"

class QCheckBox;

// Asks for one of the database's tables, optionally among the system tables.
class TSelTableDlg : public TRelationPickerDlg
{
    Q_OBJECT

public:
    explicit TSelTableDlg(QWidget *parent = nullptr);

    QCheckBox *SysTblCB = nullptr;

private:
    void FormCreate();
    void SysTblCBClick();
};

// Sets name to the table the user picks; a cancelled picker ends the caller's
// command with a silent abort and leaves name as it was.
void SelectTable(QString &name);
