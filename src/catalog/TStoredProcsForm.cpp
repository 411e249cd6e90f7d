#include "catalog/TStoredProcsForm.h"

#include "catalog/FieldTypeText.h"
#include "controls/FixedPitchFont.h"
#include "controls/SqlEditorKit.h"
#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "controls/UpdatesSuspended.h"
#include "ibdb/StatementLines.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "schema/CatalogFeatures.h"
#include "schema/RoutineDdl.h"
#include "schema/SchemaReader.h"
#include "uikit/CatalogQuery.h"
#include "uikit/Command.h"
#include "uikit/ConnectedDialect.h"
#include "uikit/GridColumns.h"
#include "uikit/Prompts.h"
#include "uikit/ShownObject.h"
#include "workbench/TSQLExprForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QSqlRecord>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kProcedureName = QStringLiteral("RDB$PROCEDURE_NAME");
const QString kProcedureSource = QStringLiteral("RDB$PROCEDURE_SOURCE");
const QString kSqlSecurity = QStringLiteral("RDB$SQL_SECURITY");
const QString kParameterName = QStringLiteral("RDB$PARAMETER_NAME");
const QString kTypeText = QStringLiteral("FIELD_TS");

const QList<GridColumn> kProcedureColumns{{kProcedureName, QStringLiteral("Procedure name"), 252}};
const QList<GridColumn> kParameterColumns{
    {QStringLiteral("RDB$PARAMETER_NUMBER"), QStringLiteral("#"), -1},
    {kParameterName, QStringLiteral("Parameter Name"), -1},
    {kTypeText, QStringLiteral("Data Type"), -1},
};

QTableView *createGrid(QWidget *parent, QAbstractItemModel *model)
{
    auto *grid = new QTableView(parent);
    GridColumns::setupReadOnly(grid);
    grid->setModel(model);
    return grid;
}

QLabel *centredCaption(const QString &text)
{
    auto *label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TStoredProcsForm *TStoredProcsForm::open()
{
    return openInFrame<TStoredProcsForm>(&TStoredProcsForm::FormCreate);
}

TStoredProcsForm::TStoredProcsForm(QWidget *parent)
    : TChildForm(parent),
      StorProcsQuery(new CatalogQuery(this)),
      InParamsQuery(new CatalogQuery(this)),
      OutParamsQuery(new CatalogQuery(this))
{
    setWindowTitle(QStringLiteral("Stored Procedures"));
    createToolPanel();
    DataGrid = createGrid(this, StorProcsQuery);
    DataGrid->setFixedWidth(273);
    DataGrid->setAccessibleName(QStringLiteral("Stored procedures"));
    GridColumns::sortOnClick(DataGrid);
    QWidget *details = createDetails();
    createMenu();

    auto *body = new QHBoxLayout;
    body->setSpacing(0);
    body->addWidget(DataGrid);
    body->addWidget(details, 1);
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(CommandPanel);
    layout->addLayout(body, 1);
    resize(700, 480);

    connect(DataGrid, &QTableView::doubleClicked, this, Command::guard([this] { DDLBtnClick(); }));
    connect(DataGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (!m_moving)
            Command::run([this] { followCurrentProcedure(); });
    });
}

void TStoredProcsForm::createToolPanel()
{
    CommandPanel = new TToolPanel(this);
    CommandPanel->setFixedHeight(32);
    DDLBtn = CommandPanel->addButton(QStringLiteral("show_ddl"),
                                     QStringLiteral("Edit procedure DDL statement"));
    BtnDropProc = CommandPanel->addButton(QStringLiteral("delete"),
                                          QStringLiteral("Delete selected procedure"));
    RefreshBtn = CommandPanel->addButton(QStringLiteral("refresh"),
                                         QStringLiteral("Refresh table contents"));
    CommandPanel->addStretch();
    onClick(DDLBtn, [this] { DDLBtnClick(); });
    onClick(BtnDropProc, [this] { BtnDropProcClick(); });
    onClick(RefreshBtn, [this] { StoredProcesRefresh(); });
}

QWidget *TStoredProcsForm::createDetails()
{
    auto *details = new QWidget(this);
    DBGrid1 = createGrid(details, InParamsQuery);
    DBGrid1->setFixedHeight(144);
    DBGrid1->setAccessibleName(QStringLiteral("Input parameters"));
    DBGrid2 = createGrid(details, OutParamsQuery);
    DBGrid2->setFixedHeight(136);
    DBGrid2->setAccessibleName(QStringLiteral("Output parameters"));

    DBMemo1 = new QPlainTextEdit(details);
    DBMemo1->setReadOnly(true);
    DBMemo1->setAccessibleName(QStringLiteral("Procedure source"));
    DBMemo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    DBMemo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo1->setFont(FixedPitchFont());
    DBMemo1->setFocusPolicy(Qt::ClickFocus);
    QPalette palette = DBMemo1->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    DBMemo1->setPalette(palette);

    auto *layout = new QVBoxLayout(details);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(centredCaption(QStringLiteral("Input parameters")));
    layout->addWidget(DBGrid1);
    layout->addWidget(centredCaption(QStringLiteral("Output parameters")));
    layout->addWidget(DBGrid2);
    layout->addWidget(DBMemo1, 1);
    SqlEditorKit::attach(DBMemo1, ConnectedDialect::doubleQuotes());
    return details;
}

void TStoredProcsForm::createMenu()
{
    QMenu *menu = createFormMenu(QStringLiteral("&Procedures"));
    menu->menuAction()->setStatusTip(
        QStringLiteral("Procedures list for creaating and editing stored functions"));
    Command::addAction(
        menu, QStringLiteral("&Edit "), QStringLiteral("Edit procedure DDL statement"),
        [this] { DDLBtnClick(); }, QKeySequence(Qt::CTRL | Qt::Key_E));
    Command::addAction(
        menu, QStringLiteral("&Delete"), QStringLiteral("Delete selected procedure"),
        [this] { BtnDropProcClick(); }, QKeySequence(Qt::CTRL | Qt::Key_D));
    Command::addAction(
        menu, QStringLiteral("&Refresh"), QStringLiteral("Refresh table contents"),
        [this] { StoredProcesRefresh(); }, QKeySequence(Qt::Key_F5));
}

void TStoredProcsForm::prepareParamsQuery(CatalogQuery *query, int parameterType)
{
    query->setLines({
        QStringLiteral("SELECT * FROM RDB$PROCEDURE_PARAMETERS PARAMS_IN , RDB$FIELDS RDB$FIELDS"),
        QStringLiteral("WHERE ( PARAMS_IN.RDB$FIELD_SOURCE = RDB$FIELDS.RDB$FIELD_NAME )"),
        QStringLiteral("  AND"),
        QStringLiteral(" "),
        QStringLiteral(" ( PARAMS_IN.RDB$PARAMETER_TYPE =%1 )").arg(parameterType),
        QStringLiteral(" AND"),
        QStringLiteral(" (PARAMS_IN.RDB$PROCEDURE_NAME  = :\"RDB$PROCEDURE_NAME\")"),
        QStringLiteral(" AND PARAMS_IN.RDB$PACKAGE_NAME IS NULL"),
        QString(),
        QStringLiteral("ORDER BY"),
        QStringLiteral(" PARAMS_IN.RDB$PARAMETER_NUMBER"),
    });
    query->addCalculatedField(kTypeText, &TStoredProcsForm::ParamTypeCalc);
}

void TStoredProcsForm::FormCreate()
{
    StorProcsQuery->setLines({
        QStringLiteral("SELECT PROCS.RDB$PROCEDURE_NAME , "),
        QStringLiteral(" PROCS.RDB$PROCEDURE_ID , "),
        QStringLiteral(" PROCS.RDB$PROCEDURE_SOURCE , "),
        QStringLiteral(" PROCS.RDB$DESCRIPTION , "),
        QStringLiteral(" PROCS.RDB$PROCEDURE_INPUTS , "),
        QStringLiteral(" PROCS.RDB$PROCEDURE_OUTPUTS")
            + CatalogFeatures::of(DMSys->IBDataBase->connection())
                  .sqlSecurityColumn(QStringLiteral("PROCS.")),
        QStringLiteral("FROM RDB$PROCEDURES PROCS"),
        // Members of packages are rebuilt with their package, not on their own.
        QStringLiteral("WHERE PROCS.RDB$PACKAGE_NAME IS NULL"),
        QStringLiteral("ORDER BY"),
        QStringLiteral(" PROCS.RDB$PROCEDURE_NAME"),
    });
    StorProcsQuery->setMemoField(kProcedureSource);
    StorProcsQuery->setMemoField(QStringLiteral("RDB$DESCRIPTION"));
    prepareParamsQuery(InParamsQuery, 0);
    prepareParamsQuery(OutParamsQuery, 1);
    openProcedures();
}

namespace {

// The character set goes into the declaration apart from the type text.
SchemaType parameterField(const QSqlRecord &record)
{
    const auto number = [&record](const char *field) {
        return record.value(QLatin1String(field)).toInt();
    };
    SchemaType field;
    field.type = number("RDB$FIELD_TYPE");
    field.scale = number("RDB$FIELD_SCALE");
    field.charLength = number("RDB$CHARACTER_LENGTH");
    field.subType = number("RDB$FIELD_SUB_TYPE");
    field.segmentLength = number("RDB$SEGMENT_LENGTH");
    field.precision = number("RDB$FIELD_PRECISION");
    return field;
}

} // namespace

QVariant TStoredProcsForm::ParamTypeCalc(const QSqlRecord &record)
{
    SchemaType field = parameterField(record);
    if (record.value(QStringLiteral("RDB$CHARACTER_SET_ID")).toInt() == OctetsCharacterSetId)
        field.characterSet = QStringLiteral("OCTETS");
    return FieldTypeText(field, DMSys->IBDataBase->statementDialect());
}

void TStoredProcsForm::openProcedures()
{
    {
        // The details follow once, below, not at every step of the reset.
        m_moving = true;
        const auto moved = qScopeGuard([this] { m_moving = false; });
        StorProcsQuery->open();
        GridColumns::apply(DataGrid, StorProcsQuery, kProcedureColumns);
        const int column = StorProcsQuery->fieldIndex(kProcedureName);
        if (StorProcsQuery->rowCount() > 0)
            DataGrid->setCurrentIndex(StorProcsQuery->index(0, column));
    }
    followCurrentProcedure();
}

void TStoredProcsForm::followCurrentProcedure()
{
    const int row = currentRow();
    const QString source = StorProcsQuery->value(row, kProcedureSource).toString();
    DBMemo1->setPlainText(StatementLines::split(source).join(QLatin1Char('\n')));
    const QVariant name = StorProcsQuery->value(row, kProcedureName);
    const std::pair<CatalogQuery *, QTableView *> details[] = {{OutParamsQuery, DBGrid2},
                                                               {InParamsQuery, DBGrid1}};
    for (const auto &[query, grid] : details) {
        query->close();
        query->setParam(kProcedureName, name);
        query->open();
        GridColumns::apply(grid, query, kParameterColumns);
    }
}

void TStoredProcsForm::StoredProcesRefresh()
{
    const UpdatesSuspended suspended({DataGrid, DBMemo1});
    // A list that fails to open must not leave the old procedure's details.
    InParamsQuery->close();
    OutParamsQuery->close();
    DBMemo1->clear();
    StorProcsQuery->close();
    openProcedures();
}

int TStoredProcsForm::currentRow() const
{
    const QModelIndex current = DataGrid->currentIndex();
    return StorProcsQuery->isOpen() && current.isValid() ? current.row() : -1;
}

QString TStoredProcsForm::currentName() const
{
    return StorProcsQuery->value(currentRow(), kProcedureName).toString();
}

// Rebuilding goes through the parameters as the list's cursor does, which
// leaves each grid on its last parameter.
void TStoredProcsForm::passParameters(CatalogQuery *query, QTableView *grid)
{
    query->fetchAll();
    if (query->rowCount() > 0)
        grid->setCurrentIndex(query->index(query->rowCount() - 1,
                                           query->fieldIndex(kParameterName)));
}

std::optional<QString> TStoredProcsForm::shownProcedure(const QString &name)
{
    if (currentRow() < 0 || currentName() != name)
        return std::nullopt;
    // Parameters that could not be read must not hide a change.
    if (!InParamsQuery->isOpen() || !OutParamsQuery->isOpen())
        followCurrentProcedure();
    QStringList shown{StorProcsQuery->value(currentRow(), kProcedureSource).toString(),
                      StorProcsQuery->value(currentRow(), kSqlSecurity).toString()};
    for (CatalogQuery *query : {InParamsQuery, OutParamsQuery}) {
        query->fetchAll();
        for (int row = 0; row < query->rowCount(); ++row) {
            for (int column = 0; column < query->columnCount(); ++column)
                shown << query->index(row, column).data(Qt::EditRole).toString();
        }
        shown << QString();
    }
    return shown.join(QChar(0));
}

// Built by the schema layer, as the metadata script declares the procedure.
QString TStoredProcsForm::currentStatement()
{
    const QString name = currentName();
    const SchemaModel model = SchemaReader(DMSys->IBDataBase->connection()).readProcedure(name);
    if (model.routines.isEmpty())
        ShownObject::dropped(name);
    passParameters(InParamsQuery, DBGrid1);
    passParameters(OutParamsQuery, DBGrid2);
    const SchemaRoutine &procedure = model.routines.first();
    return StatementLines::join(RoutineDdl::procedureLines(
        procedure, procedure.source, false, DMSys->IBDataBase->statementDialect()));
}

void TStoredProcsForm::selectProcedure(const QString &name)
{
    StorProcsQuery->fetchAll();
    const int column = StorProcsQuery->fieldIndex(kProcedureName);
    for (int row = 0; row < StorProcsQuery->rowCount(); ++row) {
        if (StorProcsQuery->value(row, kProcedureName).toString() == name) {
            DataGrid->setCurrentIndex(StorProcsQuery->index(row, column));
            return;
        }
    }
}

void TStoredProcsForm::DDLBtnClick()
{
    if (currentRow() < 0)
        return;
    const QString name = currentName();
    const auto statement = [this, &name] { return shownProcedure(name); };
    ShownObject::readAgain(name, statement, [this, &name] {
        StoredProcesRefresh();
        selectProcedure(name);
    });
    OpenInDDLWindow(currentStatement());
}

void TStoredProcsForm::BtnDropProcClick()
{
    if (currentRow() < 0)
        return;
    const QString name = currentName();
    const QString question = QStringLiteral("Proceed to delete procedure %1 from database?");
    if (Prompts::instance().confirm(question.arg(name), Prompts::Buttons::OkCancel)
        != Prompts::Answer::Ok)
        return;
    DMSys->execute(QStringLiteral("DROP PROCEDURE %1").arg(DMSys->IBDataBase->sqlName(name)));
}
