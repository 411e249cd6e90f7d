#include "catalog/TFormTriggers.h"

#include "catalog/RowFilterModel.h"
#include "catalog/TriggerKinds.h"
#include "catalog/TTrigSourceForm.h"
#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "ibdb/StatementLines.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "uikit/CatalogQuery.h"
#include "uikit/Command.h"
#include "uikit/GridColumns.h"
#include "uikit/Prompts.h"
#include "uikit/RelationNameList.h"
#include "uikit/Shell.h"
#include "uikit/ShownObject.h"
#include "workbench/TObjRepos.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QSqlRecord>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

namespace {

constexpr int DesignDpi = 120;
constexpr int RelationsVisible = 20;

const QString kName = QStringLiteral("RDB$TRIGGER_NAME");
const QString kRelation = QStringLiteral("RDB$RELATION_NAME");
const QString kSequence = QStringLiteral("RDB$TRIGGER_SEQUENCE");
const QString kType = QStringLiteral("RDB$TRIGGER_TYPE");
const QString kSource = QStringLiteral("RDB$TRIGGER_SOURCE");
const QString kDescription = QStringLiteral("RDB$DESCRIPTION");
const QString kInactive = QStringLiteral("RDB$TRIGGER_INACTIVE");
const QString kSystemFlag = QStringLiteral("RDB$SYSTEM_FLAG");

const QString kEditHint = QStringLiteral("Edit trigger source");
const QString kDeleteHint = QStringLiteral("Delete trigger");
const QString kActivateHint = QStringLiteral("Set trigger active");
const QString kDeactivateHint = QStringLiteral("Set trigger inactive");

} // namespace

TFormTriggers::TFormTriggers(QWidget *parent) : TChildForm(parent)
{
    setWindowTitle(QStringLiteral("Triggers List"));
    buildToolPanel();
    buildTable();
    buildMenu();
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(ToolPanel);
    layout->addWidget(DBGrid1, 1);
}

TFormTriggers *TFormTriggers::open()
{
    return openInFrame<TFormTriggers>(&TFormTriggers::ConnectBtnClick);
}

void TFormTriggers::buildToolPanel()
{
    ToolPanel = new TToolPanel(this);
    SrcBtn = ToolPanel->addButton(QStringLiteral("edit"), kEditHint);
    OfficeButton1 = ToolPanel->addButton(QStringLiteral("add_to_repository"),
                                         QStringLiteral("Add source to repository"));
    SpeedButton1 = ToolPanel->addButton(QStringLiteral("delete"), kDeleteHint);
    ActivateBtn = ToolPanel->addButton(QStringLiteral("activate"), kActivateHint);
    DeactivteBtn = ToolPanel->addButton(QStringLiteral("deactivate"), kDeactivateHint);
    auto *label = new QLabel(QStringLiteral("Relation "), ToolPanel);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TableCombo = new QComboBox(ToolPanel);
    TableCombo->setMaxVisibleItems(RelationsVisible);
    TableCombo->setMinimumContentsLength(20);
    TableCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    TableCombo->setToolTip(QStringLiteral("Relation Iist"));
    TableCombo->setStatusTip(QStringLiteral("Relation Iist"));
    label->setBuddy(TableCombo);
    ToolPanel->addWidget(label);
    ToolPanel->addWidget(TableCombo);
    ToolPanel->addStretch();
    onClick(SrcBtn, [this] { SourceEditClick(); });
    onClick(OfficeButton1, [this] { AddReposClick(); });
    onClick(SpeedButton1, [this] { DropClick(); });
    onClick(ActivateBtn, [this] { ActivateBtnClick(); });
    onClick(DeactivteBtn, [this] { DeactiveteBtnClick(); });
    connect(TableCombo, &QComboBox::activated, this,
            Command::guard([this] { TableComboChange(); }));
}

void TFormTriggers::buildMenu()
{
    TriggersMenu = createFormMenu(QStringLiteral("&Triggers"));
    TriggersMenu->menuAction()->setStatusTip(QStringLiteral("Triggers menu"));
    Command::addAction(
        TriggersMenu, QStringLiteral("&Edit"), kEditHint, [this] { SourceEditClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_E));
    Command::addAction(
        TriggersMenu, QStringLiteral("&Add to Repository"),
        QStringLiteral("Add triger source code to repository"), [this] { AddReposClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_A));
    Command::addAction(
        TriggersMenu, QStringLiteral("&Delete"), kDeleteHint, [this] { DropClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_D));
    TriggersMenu->addSeparator();
    Command::addAction(TriggersMenu, QStringLiteral("Activate"), kActivateHint,
                       [this] { ActivateBtnClick(); });
    Command::addAction(TriggersMenu, QStringLiteral("Deactivate"), kDeactivateHint,
                       [this] { DeactiveteBtnClick(); });
}

void TFormTriggers::buildTable()
{
    TrigTable = new CatalogQuery(this);
    TrigTable->setLines({
        QStringLiteral("SELECT RDB$TRIGGER_NAME, RDB$RELATION_NAME, RDB$TRIGGER_SEQUENCE,"),
        QStringLiteral(" RDB$TRIGGER_TYPE, RDB$TRIGGER_SOURCE, RDB$DESCRIPTION,"),
        QStringLiteral(" RDB$TRIGGER_INACTIVE, RDB$SYSTEM_FLAG"),
        QStringLiteral("FROM RDB$TRIGGERS"),
        QStringLiteral("ORDER BY RDB$TRIGGER_NAME"),
    });
    TrigTable->addCalculatedField(QStringLiteral("TYPENAME"), [](const QSqlRecord &row) {
        return QVariant(TriggerKinds::text(row.value(kType)));
    });
    TrigTable->addCalculatedField(QStringLiteral("ACT"), [](const QSqlRecord &row) {
        const bool inactive = row.value(kInactive).toInt() == 1;
        return QVariant(inactive ? QStringLiteral("INACTIVE") : QStringLiteral("ACTIVE"));
    });
    TrigTable->setMemoField(kSource);
    TrigTable->setMemoField(kDescription);
    m_rows = new RowFilterModel([this](int row) { return TrigTableFilterRecord(row); }, this);
    m_rows->setSourceModel(TrigTable);
    DBGrid1 = new QTableView(this);
    DBGrid1->setAccessibleName(QStringLiteral("Triggers"));
    GridColumns::setupReadOnly(DBGrid1);
    DBGrid1->setModel(m_rows);
    GridColumns::sortOnClick(DBGrid1);
    connect(DBGrid1, &QTableView::doubleClicked, this,
            Command::guard([this] { SourceEditClick(); }));
}

void TFormTriggers::ConnectBtnClick()
{
    TableCombo->clear();
    TableCombo->addItems(RelationNameList());
    TableCombo->insertItem(0, allRelations());
    RelationFilter = allRelations();
    TableCombo->setCurrentIndex(0);
    reRead();
}

void TFormTriggers::TableComboChange()
{
    RelationFilter = TableCombo->currentText();
    reRead();
}

bool TFormTriggers::TrigTableFilterRecord(int row) const
{
    if (RelationFilter != allRelations()
        && TrigTable->value(row, kRelation).toString() != RelationFilter)
        return false;
    return TrigTable->value(row, kSystemFlag).toInt() != 1;
}

void TFormTriggers::reRead()
{
    const QString current = currentName();
    TrigTable->open();
    TrigTable->fetchAll();
    const auto width = [this](int designWidth) { return designWidth * logicalDpiX() / DesignDpi; };
    GridColumns::apply(DBGrid1, TrigTable,
                       {
                           {kName, QStringLiteral("NAME"), width(174)},
                           {kRelation, QStringLiteral("RELATION"), width(149)},
                           {kSequence, QStringLiteral("SEQUENCE"), width(84)},
                           {QStringLiteral("TYPENAME"), QStringLiteral("TYPE"), width(132)},
                           {kSource, QStringLiteral("SOURCE"), -1},
                           {kDescription, QStringLiteral("DESCRIPTION"), -1},
                           {QStringLiteral("ACT"), QStringLiteral("ACTIVE"), -1},
                       });
    selectTrigger(current);
}

// The list keeps its place across re-reads: the same trigger when it is
// still listed, the first row otherwise.
void TFormTriggers::selectTrigger(const QString &name)
{
    if (m_rows->rowCount() == 0)
        return;
    const int column = TrigTable->fieldIndex(kName);
    int row = 0;
    for (int r = 0; r < m_rows->rowCount(); ++r) {
        if (m_rows->index(r, column).data(Qt::EditRole).toString() == name) {
            row = r;
            break;
        }
    }
    DBGrid1->setCurrentIndex(m_rows->index(row, column));
}

QVariant TFormTriggers::currentValue(const QString &field) const
{
    const QModelIndex current = m_rows->mapToSource(DBGrid1->currentIndex());
    return current.isValid() ? TrigTable->value(current.row(), field) : QVariant();
}

QString TFormTriggers::currentName() const
{
    return currentValue(kName).toString();
}

void TFormTriggers::execute(const QString &statementTemplate)
{
    DMSys->execute(statementTemplate.arg(DMSys->IBDataBase->sqlName(currentName())));
}

// The editor's ALTER TRIGGER is built from what it opens with: the trigger
// as the catalogue holds it now, not as the list read it.
TTrigSourceForm *TFormTriggers::OpenTriggerEditor()
{
    const QString name = currentName();
    const auto shown = [this, &name]() -> std::optional<QString> {
        if (name.isEmpty() || currentName() != name)
            return std::nullopt;
        return QStringList{currentValue(kType).toString(), currentValue(kSequence).toString(),
                           currentValue(kRelation).toString(), currentValue(kSource).toString()}
            .join(QLatin1Char('\n'));
    };
    if (!name.isEmpty())
        ShownObject::readAgain(name, shown, [this] { reRead(); });
    return TTrigSourceForm::openTrigger(currentName(), currentValue(kType).toLongLong(),
                                        currentValue(kSequence).toInt(),
                                        currentValue(kRelation).toString(),
                                        currentValue(kSource).toString());
}

void TFormTriggers::SourceEditClick()
{
    OpenTriggerEditor();
}

void TFormTriggers::AddReposClick()
{
    AddToRepository(StatementLines::split(currentValue(kSource).toString()));
}

void TFormTriggers::DropClick()
{
    const QString question = QStringLiteral("Proceed to delete trigger '%1'?").arg(currentName());
    if (Prompts::instance().confirm(question, Prompts::Buttons::OkCancel) == Prompts::Answer::Ok)
        execute(QStringLiteral("DROP TRIGGER %1;"));
    reRead();
}

void TFormTriggers::ActivateBtnClick()
{
    execute(QStringLiteral("ALTER TRIGGER %1 ACTIVE;"));
    reRead();
}

void TFormTriggers::DeactiveteBtnClick()
{
    execute(QStringLiteral("ALTER TRIGGER %1 INACTIVE;"));
    reRead();
}
