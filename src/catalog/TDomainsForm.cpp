#include "catalog/TDomainsForm.h"

#include "catalog/FieldTypeText.h"
#include "catalog/TMemoViewForm.h"
#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "ibdb/PlainName.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "uikit/CatalogQuery.h"
#include "uikit/Command.h"
#include "uikit/GridColumns.h"
#include "uikit/Prompts.h"

#include <QAction>
#include <QMenu>
#include <QSqlRecord>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QStringList kQueryLines = {
    QStringLiteral("SELECT RF.RDB$FIELD_NAME , RF.RDB$QUERY_NAME , "),
    QStringLiteral(" RF.RDB$VALIDATION_SOURCE , "),
    QStringLiteral(" RF.RDB$COMPUTED_SOURCE , "),
    QStringLiteral(" RF.RDB$DEFAULT_SOURCE , "),
    QStringLiteral(" RF.RDB$FIELD_LENGTH , "),
    QStringLiteral(" RF.RDB$FIELD_SCALE , RF.RDB$FIELD_TYPE , "),
    QStringLiteral(" RF.RDB$FIELD_SUB_TYPE , "),
    QStringLiteral(" RF.RDB$SYSTEM_FLAG , "),
    QStringLiteral(" RF.RDB$SEGMENT_LENGTH , "),
    QStringLiteral(" RF.RDB$NULL_FLAG , "),
    QStringLiteral(" RF.RDB$CHARACTER_LENGTH , "),
    // What a dialect-3 type text needs beyond the columns above.
    QStringLiteral(" RF.RDB$FIELD_PRECISION , "),
    QStringLiteral(" (SELECT CS.RDB$CHARACTER_SET_NAME FROM RDB$CHARACTER_SETS CS"),
    QStringLiteral("  WHERE CS.RDB$CHARACTER_SET_ID = RF.RDB$CHARACTER_SET_ID)"),
    QStringLiteral("  AS FIELD_CHARSET , "),
    QStringLiteral(" (SELECT DB.RDB$CHARACTER_SET_NAME FROM RDB$DATABASE DB) AS DEFAULT_CHARSET"),
    QStringLiteral("FROM RDB$FIELDS RF"),
    QStringLiteral("WHERE ( RF.RDB$SYSTEM_FLAG <>1 )"),
};

const QList<GridColumn> kColumns = {
    {QStringLiteral("RDB$FIELD_NAME"), QStringLiteral("NAME"), -1},
    {QStringLiteral("FTYPE"), QStringLiteral("TYPE"), 124},
    {QStringLiteral("RDB$NULL_FLAG"), QStringLiteral("NOT NULL"), 102},
    {QStringLiteral("RDB$VALIDATION_SOURCE"), QStringLiteral("VALIDATION"), 104},
    {QStringLiteral("RDB$COMPUTED_SOURCE"), QStringLiteral("COMPUTED"), 97},
    {QStringLiteral("RDB$DEFAULT_SOURCE"), QStringLiteral("DEFAULT"), 94},
};

// NULL reads as 0.
int intField(const QSqlRecord &record, const char *name)
{
    return record.value(QLatin1String(name)).toInt();
}

QString textField(const QSqlRecord &record, const char *name)
{
    return PlainName(record.value(QLatin1String(name)).toString());
}

QVariant TableFieldsCalcFields(const QSqlRecord &record)
{
    SchemaType field;
    field.type = intField(record, "RDB$FIELD_TYPE");
    field.scale = intField(record, "RDB$FIELD_SCALE");
    field.charLength = intField(record, "RDB$CHARACTER_LENGTH");
    field.subType = intField(record, "RDB$FIELD_SUB_TYPE");
    field.segmentLength = intField(record, "RDB$SEGMENT_LENGTH");
    field.precision = intField(record, "RDB$FIELD_PRECISION");
    QString defaultSet = textField(record, "DEFAULT_CHARSET");
    if (defaultSet.isEmpty())
        defaultSet = QStringLiteral("NONE");
    const QString characterSet = textField(record, "FIELD_CHARSET");
    if (characterSet != defaultSet)
        field.characterSet = characterSet;
    return FieldTypeText(field, DMSys->IBDataBase->statementDialect());
}

} // namespace

TDomainsForm::TDomainsForm(QWidget *parent)
    : TChildForm(parent),
      DMQuery(new CatalogQuery(this)),
      btnPanel(new TToolPanel(this)),
      BtnDelete(btnPanel->addButton(QStringLiteral("delete"),
                                    QStringLiteral("Delete current domain"))),
      OfficeButton2(btnPanel->addButton(QStringLiteral("refresh"),
                                        QStringLiteral("Refresh table contents"))),
      DBGrid1(new QTableView(this))
{
    setWindowTitle(QStringLiteral("Domains"));
    resize(640, 300);
    DMQuery->setLines(kQueryLines);
    DMQuery->addCalculatedField(QStringLiteral("FTYPE"), TableFieldsCalcFields);
    for (const char *memo : {"RDB$VALIDATION_SOURCE", "RDB$COMPUTED_SOURCE", "RDB$DEFAULT_SOURCE"})
        DMQuery->setMemoField(QLatin1String(memo));

    btnPanel->setObjectName(QStringLiteral("btnPanel"));
    BtnDelete->setObjectName(QStringLiteral("BtnDelete"));
    OfficeButton2->setObjectName(QStringLiteral("OfficeButton2"));
    btnPanel->addStretch();
    onClick(BtnDelete, [this] { DeleteDomainBtnClick(); });
    onClick(OfficeButton2, [this] { RefrBtnClick(); });

    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Domains"));
    GridColumns::setupReadOnly(DBGrid1);
    DBGrid1->setModel(DMQuery);
    GridColumns::sortOnClick(DBGrid1);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this,
            Command::guard([this] { DBGrid1DblClick(); }));

    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(btnPanel);
    layout->addWidget(DBGrid1);
    createMenu();
}

void TDomainsForm::createMenu()
{
    QMenu *menu = createFormMenu(QStringLiteral("Domains"));
    menu->menuAction()->setStatusTip(QStringLiteral("Domains menu"));
    Command::addAction(
        menu, QStringLiteral("&Delete"), QStringLiteral("Delete current domain"),
        [this] { DeleteDomainBtnClick(); }, QKeySequence(Qt::CTRL | Qt::Key_D));
    Command::addAction(
        menu, QStringLiteral("&Refresh"), QStringLiteral("Refresh table contenrs"),
        [this] { RefrBtnClick(); }, QKeySequence(Qt::Key_F5));
}

TDomainsForm *TDomainsForm::open()
{
    return openInFrame<TDomainsForm>(&TDomainsForm::FormCreate);
}

void TDomainsForm::FormCreate()
{
    openQuery();
}

void TDomainsForm::RefrBtnClick()
{
    DMQuery->close();
    openQuery();
}

void TDomainsForm::openQuery()
{
    DMQuery->open();
    GridColumns::apply(DBGrid1, DMQuery, kColumns);
    // Like a freshly opened dataset, the list starts at its first row.
    if (DMQuery->rowCount() > 0)
        DBGrid1->setCurrentIndex(DMQuery->index(0, DMQuery->fieldIndex(kColumns[0].field)));
}

QString TDomainsForm::currentName() const
{
    return DMQuery->value(DBGrid1->currentIndex().row(), QStringLiteral("RDB$FIELD_NAME"))
        .toString();
}

void TDomainsForm::DeleteDomainBtnClick()
{
    // An empty list has no current domain: there is nothing to ask about.
    if (!DBGrid1->currentIndex().isValid())
        return;
    const QString name = currentName();
    const QString question =
        QStringLiteral("Proceed to delete domain '%1' from database").arg(name);
    if (Prompts::instance().confirm(question, Prompts::Buttons::OkCancel) != Prompts::Answer::Ok)
        return;
    // The list is left as it is: the dropped domain shows until the next refresh.
    DMSys->execute(QStringLiteral("DROP DOMAIN %1").arg(DMSys->IBDataBase->sqlName(name)));
}

void TDomainsForm::DBGrid1DblClick()
{
    ShowMemoField(GridColumns::currentField(DBGrid1, DMQuery), DMQuery, DBGrid1, this);
}
