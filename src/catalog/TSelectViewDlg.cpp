#include "catalog/TSelectViewDlg.h"

#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"

TSelectViewDlg::TSelectViewDlg(QWidget *parent)
    : TRelationPickerDlg(QStringLiteral("Select view"), QStringLiteral("&Views"), parent)
{
    FormCreate();
}

void TSelectViewDlg::FormCreate()
{
    fillList([](QStringList &names) { DMSys->IBDataBase->ListViewNames(names); });
}

void SelectView(QString &name)
{
    TSelectViewDlg picker;
    name = picker.choose();
}
