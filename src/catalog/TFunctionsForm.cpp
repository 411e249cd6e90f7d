#include "catalog/TFunctionsForm.h"

#include "catalog/FieldTypeText.h"
#include "controls/ColumnResizeBatch.h"
#include "ibdb/StatementLines.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "schema/RoutineDdl.h"
#include "schema/SchemaReader.h"
#include "schema/SqlTypeText.h"
#include "uikit/GridColumns.h"
#include "workbench/TSQLExprForm.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const TObjectListForm::Kind kFunctions{
    QStringLiteral("Functions"),
    QStringLiteral("function"),
    QStringLiteral("Function name"),
    QStringLiteral("F&unctions"),
    QStringLiteral("Functions list for editing stored functions"),
    QStringLiteral("Edit function DDL statement"),
};

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
    : TObjectListForm(kFunctions, parent), m_arguments(new QStandardItemModel(0, 3, this))
{
    m_arguments->setHorizontalHeaderLabels(
        {QStringLiteral("#"), QStringLiteral("Parameter Name"), QStringLiteral("Data Type")});
    placeDetails(createDetails());
}

QWidget *TFunctionsForm::createDetails()
{
    auto *details = new QWidget(this);
    ArgumentsGrid = new QTableView(details);
    GridColumns::setupReadOnly(ArgumentsGrid);
    ArgumentsGrid->setModel(m_arguments);
    ArgumentsGrid->setAccessibleName(QStringLiteral("Input parameters"));
    ArgumentsGrid->horizontalHeader()->setStretchLastSection(true);
    ArgumentsGrid->setFixedHeight(144);
    ReturnsEdit = new QLineEdit(details);
    ReturnsEdit->setReadOnly(true);
    ReturnsEdit->setAccessibleName(QStringLiteral("Return type"));
    DeterministicBox = new QCheckBox(QStringLiteral("Deterministic"), details);
    DeterministicBox->setEnabled(false);
    DeterministicBox->setAccessibleName(QStringLiteral("Deterministic"));
    SourceMemo = createSourceMemo(details, QStringLiteral("Function source"));

    auto *returns = new QFormLayout;
    returns->addRow(QStringLiteral("Returns"), ReturnsEdit);
    returns->addRow(QString(), DeterministicBox);
    auto *layout = new QVBoxLayout(details);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ArgumentsGrid);
    layout->addLayout(returns);
    layout->addWidget(SourceMemo, 1);
    return details;
}

QStringList TFunctionsForm::readObjects()
{
    m_routines.clear();
    m_routines = SchemaReader(DMSys->IBDataBase->connection()).readRoutines().routines;
    QStringList names;
    for (const SchemaRoutine &routine : std::as_const(m_routines))
        names << routine.name;
    return names;
}

const SchemaRoutine *TFunctionsForm::current() const
{
    const int row = currentRow();
    return row >= 0 && row < m_routines.size() ? &m_routines.at(row) : nullptr;
}

QString TFunctionsForm::typeText(const SchemaType &type) const
{
    SchemaType field = type;
    field.characterSet = BinaryCharacterSet(type.characterSet);
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

void TFunctionsForm::followCurrent()
{
    m_arguments->removeRows(0, m_arguments->rowCount());
    const SchemaRoutine *function = current();
    ReturnsEdit->setText(function ? returnText(*function) : QString());
    DeterministicBox->setChecked(function && function->deterministic);
    SourceMemo->setPlainText(
        function ? StatementLines::split(function->source).join(QLatin1Char('\n')) : QString());
    if (!function)
        return;
    const ColumnResizeBatch batch(ArgumentsGrid);
    for (int position = 0; position < function->inputs.size(); ++position) {
        const SchemaParameter &argument = function->inputs.at(position);
        m_arguments->appendRow(itemRow(
            {QString::number(position + 1), argument.name, typeText(argument.type)}));
    }
    ArgumentsGrid->resizeColumnsToContents();
}

QStringList TFunctionsForm::currentStatements() const
{
    const SchemaRoutine *function = current();
    if (!function)
        return {};
    const int dialect = DMSys->IBDataBase->statementDialect();
    return {StatementLines::join(
        function->kind == SchemaRoutine::Kind::External
            ? RoutineDdl::externalLines(*function, dialect)
            : RoutineDdl::functionLines(*function, function->source, false, dialect))};
}

QString TFunctionsForm::dropStatement() const
{
    const SchemaRoutine *function = current();
    return QStringLiteral("DROP %1 %2")
        .arg(function->kind == SchemaRoutine::Kind::External ? QStringLiteral("EXTERNAL FUNCTION")
                                                             : QStringLiteral("FUNCTION"),
             DMSys->IBDataBase->sqlName(function->name));
}
