#include "catalog/TFunctionsForm.h"

#include "catalog/FieldTypeText.h"
#include "controls/FixedPitchFont.h"
#include "controls/SqlEditorKit.h"
#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "ibdb/StatementLines.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "schema/RoutineDdl.h"
#include "schema/SchemaReader.h"
#include "schema/SqlTypeText.h"
#include "uikit/Command.h"
#include "uikit/ConnectedDialect.h"
#include "uikit/GridColumns.h"
#include "uikit/Prompts.h"
#include "workbench/TSQLExprForm.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QTableView *createGrid(QWidget *parent, QStandardItemModel *model, const QString &name)
{
    auto *grid = new QTableView(parent);
    GridColumns::setupReadOnly(grid);
    grid->setModel(model);
    grid->setAccessibleName(name);
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

QList<QStandardItem *> itemRow(const QStringList &texts)
{
    QList<QStandardItem *> items;
    for (const QString &text : texts)
        items << new QStandardItem(text);
    return items;
}

} // namespace

TFunctionsForm *TFunctionsForm::open()
{
    return openInFrame<TFunctionsForm>(&TFunctionsForm::FunctionsRefresh);
}

TFunctionsForm::TFunctionsForm(QWidget *parent)
    : TChildForm(parent),
      m_functions(new QStandardItemModel(0, 1, this)),
      m_arguments(new QStandardItemModel(0, 3, this))
{
    setWindowTitle(QStringLiteral("Functions"));
    m_functions->setHorizontalHeaderLabels({QStringLiteral("Function name")});
    m_arguments->setHorizontalHeaderLabels(
        {QStringLiteral("#"), QStringLiteral("Parameter Name"), QStringLiteral("Data Type")});
    createToolPanel();
    FunctionsGrid = createGrid(this, m_functions, QStringLiteral("Functions"));
    FunctionsGrid->setFixedWidth(273);
    QWidget *details = createDetails();
    createMenu();

    auto *body = new QHBoxLayout;
    body->setSpacing(0);
    body->addWidget(FunctionsGrid);
    body->addWidget(details, 1);
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(CommandPanel);
    layout->addLayout(body, 1);
    resize(700, 480);

    connect(FunctionsGrid, &QTableView::doubleClicked, this, Command::guard([this] { DDLBtnClick(); }));
    connect(FunctionsGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { Command::run([this] { followCurrentFunction(); }); });
}

void TFunctionsForm::createToolPanel()
{
    CommandPanel = new TToolPanel(this);
    CommandPanel->setFixedHeight(32);
    DDLBtn = CommandPanel->addButton(QStringLiteral("show_ddl"),
                                     QStringLiteral("Edit function DDL statement"));
    BtnDropFunc = CommandPanel->addButton(QStringLiteral("delete"),
                                          QStringLiteral("Delete selected function"));
    RefreshBtn = CommandPanel->addButton(QStringLiteral("refresh"),
                                         QStringLiteral("Refresh table contents"));
    CommandPanel->addStretch();
    onClick(DDLBtn, [this] { DDLBtnClick(); });
    onClick(BtnDropFunc, [this] { BtnDropFuncClick(); });
    onClick(RefreshBtn, [this] { FunctionsRefresh(); });
}

QWidget *TFunctionsForm::createDetails()
{
    auto *details = new QWidget(this);
    ArgumentsGrid = createGrid(details, m_arguments, QStringLiteral("Input parameters"));
    ArgumentsGrid->setFixedHeight(144);
    ReturnsEdit = new QLineEdit(details);
    ReturnsEdit->setReadOnly(true);
    ReturnsEdit->setAccessibleName(QStringLiteral("Return type"));
    DeterministicBox = new QCheckBox(QStringLiteral("Deterministic"), details);
    DeterministicBox->setEnabled(false);
    DeterministicBox->setAccessibleName(QStringLiteral("Deterministic"));

    SourceMemo = new QPlainTextEdit(details);
    SourceMemo->setReadOnly(true);
    SourceMemo->setAccessibleName(QStringLiteral("Function source"));
    SourceMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    SourceMemo->setFont(FixedPitchFont());

    auto *returns = new QFormLayout;
    returns->addRow(QStringLiteral("Returns"), ReturnsEdit);
    returns->addRow(QString(), DeterministicBox);
    auto *layout = new QVBoxLayout(details);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ArgumentsGrid);
    layout->addLayout(returns);
    layout->addWidget(SourceMemo, 1);
    SqlEditorKit::attach(SourceMemo, ConnectedDialect::doubleQuotes());
    return details;
}

void TFunctionsForm::createMenu()
{
    QMenu *menu = createFormMenu(QStringLiteral("F&unctions"));
    menu->menuAction()->setStatusTip(QStringLiteral("Functions list for editing stored functions"));
    Command::addAction(
        menu, QStringLiteral("&Edit "), QStringLiteral("Edit function DDL statement"),
        [this] { DDLBtnClick(); }, QKeySequence(Qt::CTRL | Qt::Key_E));
    Command::addAction(
        menu, QStringLiteral("&Delete"), QStringLiteral("Delete selected function"),
        [this] { BtnDropFuncClick(); }, QKeySequence(Qt::CTRL | Qt::Key_D));
    Command::addAction(
        menu, QStringLiteral("&Refresh"), QStringLiteral("Refresh table contents"),
        [this] { FunctionsRefresh(); }, QKeySequence(Qt::Key_F5));
}

void TFunctionsForm::FunctionsRefresh()
{
    // A list that fails to read must not leave the old function's details.
    m_routines.clear();
    m_functions->removeRows(0, m_functions->rowCount());
    followCurrentFunction();
    m_routines = SchemaReader(DMSys->IBDataBase->connection()).readRoutines().routines;
    for (const SchemaRoutine &routine : m_routines)
        m_functions->appendRow(new QStandardItem(routine.name));
    if (!m_routines.isEmpty())
        FunctionsGrid->setCurrentIndex(m_functions->index(0, 0));
}

bool TFunctionsForm::selectFunction(const QString &name)
{
    const QList<QStandardItem *> found = m_functions->findItems(name);
    if (!found.isEmpty())
        FunctionsGrid->setCurrentIndex(found.first()->index());
    return !found.isEmpty();
}

const SchemaRoutine *TFunctionsForm::current() const
{
    const int row = FunctionsGrid->currentIndex().row();
    return row >= 0 && row < m_routines.size() ? &m_routines.at(row) : nullptr;
}

QString TFunctionsForm::currentName() const
{
    const SchemaRoutine *function = current();
    return function ? function->name : QString();
}

QString TFunctionsForm::typeText(const SchemaType &type) const
{
    const FieldType field{type.type, type.scale, type.charLength, type.subType,
                          type.segmentLength, type.precision};
    const int dialect = DMSys->IBDataBase->statementDialect();
    // The display form has no word for types only external functions take.
    const QString shown = FieldTypeText(field, dialect);
    return shown.isEmpty() ? SqlTypeText(type, dialect) : shown;
}

QString TFunctionsForm::returnText(const SchemaRoutine &function) const
{
    if (function.returnArgument > 0)
        return QStringLiteral("PARAMETER %1").arg(function.returnArgument);
    return function.outputs.isEmpty() ? QString() : typeText(function.outputs.first().type);
}

void TFunctionsForm::followCurrentFunction()
{
    m_arguments->removeRows(0, m_arguments->rowCount());
    const SchemaRoutine *function = current();
    ReturnsEdit->setText(function ? returnText(*function) : QString());
    DeterministicBox->setChecked(function && function->deterministic);
    SourceMemo->setPlainText(
        function ? StatementLines::split(function->source).join(QLatin1Char('\n')) : QString());
    if (!function)
        return;
    for (int position = 0; position < function->inputs.size(); ++position) {
        const SchemaParameter &argument = function->inputs.at(position);
        m_arguments->appendRow(itemRow(
            {QString::number(position + 1), argument.name, typeText(argument.type)}));
    }
    ArgumentsGrid->resizeColumnsToContents();
}

void TFunctionsForm::DDLBtnClick()
{
    const SchemaRoutine *function = current();
    if (!function)
        return;
    const int dialect = DMSys->IBDataBase->statementDialect();
    OpenInDDLWindow(StatementLines::join(
        function->kind == SchemaRoutine::Kind::External
            ? RoutineDdl::externalLines(*function, dialect)
            : RoutineDdl::functionLines(*function, function->source, false, dialect)));
}

void TFunctionsForm::BtnDropFuncClick()
{
    const SchemaRoutine *function = current();
    if (!function)
        return;
    const QString name = function->name;
    const QString question = QStringLiteral("Proceed to delete function %1 from database?");
    if (Prompts::instance().confirm(question.arg(name), Prompts::Buttons::OkCancel)
        != Prompts::Answer::Ok)
        return;
    DMSys->execute(QStringLiteral("DROP %1 %2")
                       .arg(function->kind == SchemaRoutine::Kind::External
                                ? QStringLiteral("EXTERNAL FUNCTION")
                                : QStringLiteral("FUNCTION"),
                            DMSys->IBDataBase->sqlName(name)));
    FunctionsRefresh();
}
