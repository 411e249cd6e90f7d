#pragma once

#include "catalog/TRelationPickerDlg.h"

// Asks for one of the database's views.
class TSelectViewDlg : public TRelationPickerDlg
{
    Q_OBJECT

public:
    explicit TSelectViewDlg(QWidget *parent = nullptr);

private:
    void FormCreate();
};

// Sets name to the view the user picks; a cancelled picker ends the caller's
// command with a silent abort and leaves name as it was.
void SelectView(QString &name);
