#include "catalog/TSelTableDlg.h"

#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"

#include <QCheckBox>
#include <QListWidget>
#include <QLabel>
#include <QVBoxLayout>

TSelTableDlg::TSelTableDlg(QWidget *parent)
    : TRelationPickerDlg(QStringLiteral("Select table"), QStringLiteral("&Tables"), parent)
{
    SysTblCB = new QCheckBox(QStringLiteral("&Show System tables"), this);
    topArea()->addWidget(SysTblCB);
    Label1->setBuddy(SysTblCB);
    setTabOrder(SysTblCB, TablesList);
    connect(SysTblCB, &QCheckBox::clicked, this, &TSelTableDlg::SysTblCBClick);
    FormCreate();
}

void TSelTableDlg::FormCreate()
{
    SysTblCBClick();
}

void TSelTableDlg::SysTblCBClick()
{
    const bool showSystem = SysTblCB->isChecked();
    fillList([showSystem](QStringList &names) {
        DMSys->IBDataBase->ListTableNames(names, false, showSystem);
    });
}

void SelectTable(QString &name)
{
    TSelTableDlg picker;
    name = picker.choose();
}
