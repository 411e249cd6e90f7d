#include "catalog/TFormTblStr.h"

#include "catalog/RelationRows.h"
#include "catalog/TRelationPanes.h"
#include "catalog/TSelectViewDlg.h"
#include "catalog/TSelTableDlg.h"
#include "schema/RelationIndices.h"
#include "schema/SchemaReader.h"
#include "schema/ViewDdl.h"
#include "controls/TOfficeButton.h"
#include "controls/TSplitBar.h"
#include "controls/TToolPanel.h"
#include "controls/UpdatesSuspended.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "uikit/CatalogQuery.h"
#include "uikit/Command.h"
#include "uikit/GridColumns.h"
#include "uikit/ShownObject.h"
#include "ibdb/PlainName.h"
#include "workbench/TDataForm.h"
#include "workbench/TSQLExprForm.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QSqlRecord>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QStringList kStrQueryLines = {
    QStringLiteral("SELECT rf.RDB$RELATION_NAME , "),
    QStringLiteral(" rf.RDB$FIELD_NAME , "),
    QStringLiteral(" rf.RDB$FIELD_SOURCE , "),
    QStringLiteral(" rf.RDB$BASE_FIELD , "),
    QStringLiteral(" rf.RDB$FIELD_POSITION , "),
    QStringLiteral(" rf.RDB$DEFAULT_VALUE , "),
    QStringLiteral(" rf.RDB$SYSTEM_FLAG"),
    QStringLiteral("FROM RDB$RELATION_FIELDS rf"),
    QStringLiteral(
        "WHERE (( rf.RDB$SYSTEM_FLAG <>1 ) AND (rf.RDB$RELATION_NAME = :\"RELNAME\"))"),
    QStringLiteral("ORDER BY"),
    QStringLiteral(" rf.RDB$RELATION_NAME , rf.RDB$FIELD_POSITION"),
};

const QStringList kDepQueryLines = {
    QStringLiteral("SELECT deps.RDB$DEPENDENT_NAME , "),
    QStringLiteral(" deps.RDB$DEPENDED_ON_NAME , "),
    QStringLiteral(" deps.RDB$FIELD_NAME , "),
    QStringLiteral(" deps.RDB$DEPENDENT_TYPE , "),
    QStringLiteral(" deps.RDB$DEPENDED_ON_TYPE"),
    QStringLiteral("FROM RDB$DEPENDENCIES deps"),
    QStringLiteral("WHERE (deps.RDB$DEPENDED_ON_NAME = :\"RELNAME\")"),
    QStringLiteral("ORDER BY"),
    QStringLiteral(" deps.RDB$FIELD_NAME , deps.RDB$DEPENDED_ON_NAME , deps.RDB$DEPENDENT_NAME"),
};

const QStringList kSQLSourceLines = {
    QStringLiteral("SELECT relations_t.RDB$VIEW_SOURCE , "),
    QStringLiteral(" relations_t.RDB$RELATION_NAME"),
    QStringLiteral("FROM RDB$RELATIONS relations_t"),
    QStringLiteral("WHERE relations_t.RDB$RELATION_NAME = :Name"),
};

const QStringList kDependencyTypes = {
    QStringLiteral("Table"),     QStringLiteral("View"),
    QStringLiteral("Trigger"),   QStringLiteral("Computed Field"),
    QStringLiteral("Validation"), QStringLiteral("Procedure"),
    QStringLiteral("Expression Index"), QStringLiteral("Exception"),
    QStringLiteral("User"),      QStringLiteral("Field"),
    QStringLiteral("Index"),     QStringLiteral("Character Set"),
    QStringLiteral("User Group"), QStringLiteral("Role"),
    QStringLiteral("Generator"), QStringLiteral("Function"),
    QStringLiteral("Blob Filter"), QStringLiteral("Collation"),
    QStringLiteral("Package"),   QStringLiteral("Package Body"),
};

const QString kRelName = QStringLiteral("RELNAME");
const QString kFieldName = QStringLiteral("RDB$FIELD_NAME");
// The calculated fields the schema layer's model of the relation fills.
const QStringList kDetailFields = {QStringLiteral("TYPE_TEXT"), QStringLiteral("NOT_NULL"),
                                   QStringLiteral("DEFAULT_TEXT"), QStringLiteral("COLLATION"),
                                   QStringLiteral("GENERATION")};

// The "#" column is drawn on the button-shadow colour, like a fixed column.
class ShadedColumnDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->backgroundBrush = option->palette.brush(QPalette::Dark);
    }
};

QTableView *newGrid(QWidget *parent)
{
    auto *grid = new QTableView(parent);
    GridColumns::setupReadOnly(grid);
    return grid;
}

} // namespace

TFormTblStr::TFormTblStr(QWidget *parent) : TChildForm(parent)
{
    setWindowTitle(QStringLiteral("Table Structure"));
    resize(640, 400);
    createQueries();
    QVBoxLayout *layout = createPanelLayout();
    buildToolBar();
    layout->addWidget(PanelComs);
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(buildPanes());
    DetailPanes = new TRelationPanes(splitter);
    splitter->addWidget(DetailPanes);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);
    buildMenu();
}

TFormTblStr *TFormTblStr::open()
{
    return openInFrame<TFormTblStr>();
}

void TFormTblStr::createQueries()
{
    StrQuery = new CatalogQuery(this);
    StrQuery->setLines(kStrQueryLines);
    DepQuery = new CatalogQuery(this);
    DepQuery->setLines(kDepQueryLines);
    DepQuery->addCalculatedField(QStringLiteral("DEPTYPE"), [](const QSqlRecord &row) {
        return QVariant(DependencyTypeName(row.value(QStringLiteral("RDB$DEPENDENT_TYPE"))));
    });
    for (int detail = 0; detail < kDetailFields.size(); ++detail)
        StrQuery->addCalculatedField(kDetailFields[detail], [this, detail](const QSqlRecord &row) {
            return columnDetail(row, detail);
        });
    SQLSourceQ = new CatalogQuery(this);
    SQLSourceQ->setLines(kSQLSourceLines);
    SQLSourceQ->setMemoField(QStringLiteral("RDB$VIEW_SOURCE"));
}

void TFormTblStr::buildToolBar()
{
    PanelComs = new TToolPanel(this);
    SelectforViewBtn = PanelComs->addButton(QStringLiteral("show_data"),
                                            QStringLiteral("Show data window"));
    DDLBtn = PanelComs->addButton(QStringLiteral("show_ddl"),
                                  QStringLiteral("Show view \"SELECT\"statement"));
    DDLBtn->setEnabled(false);
    SelectTableBtn = PanelComs->addCaptionButton(QStringLiteral("table"), QStringLiteral("Table"),
                                                 QStringLiteral("Select table to view structure"));
    SelViewBtn = PanelComs->addCaptionButton(QStringLiteral("view"), QStringLiteral("View"),
                                             QStringLiteral("Select view to view structure"));
    PanelComs->addStretch();
    onClick(SelectforViewBtn, [this] { SrcDataClick(); });
    onClick(DDLBtn, [this] { ShowSelect(); });
    onClick(SelectTableBtn, [this] { SelectTableBtnClick(); });
    onClick(SelViewBtn, [this] { SelViewBtnClick(); });
}

QWidget *TFormTblStr::headedPane(const QString &heading, QTableView *grid)
{
    auto *pane = new QWidget(this);
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(new QLabel(heading, pane));
    grid->setAccessibleName(heading.trimmed());
    layout->addWidget(grid, 1);
    return pane;
}

QWidget *TFormTblStr::buildPanes()
{
    auto *panes = new QWidget(this);
    auto *layout = new QHBoxLayout(panes);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    DBGrid1 = newGrid(this);
    DBGrid1->setModel(StrQuery);
    m_positionDelegate = new ShadedColumnDelegate(DBGrid1);
    Panel1 = headedPane(QStringLiteral("  Table structure"), DBGrid1);
    layout->addWidget(Panel1, 1);

    DBGrid2 = newGrid(this);
    DBGrid2->setModel(DepQuery);
    Relpanel = new QWidget(panes);
    Relpanel->setFixedWidth(320);
    auto *relLayout = new QHBoxLayout(Relpanel);
    relLayout->setContentsMargins(0, 0, 0, 0);
    relLayout->setSpacing(0);
    SplitBar1 = new TSplitBar(Relpanel);
    SplitBar1->setSplitOrientation(TSplitBar::spHorizontal);
    SplitBar1->setAlignment(TSplitBar::alLeft);
    SplitBar1->setThickness(9);
    relLayout->addWidget(SplitBar1);
    relLayout->addWidget(headedPane(QStringLiteral("    Dependent objects"), DBGrid2), 1);
    layout->addWidget(Relpanel);
    return panes;
}

void TFormTblStr::buildMenu()
{
    QMenu *menu = createFormMenu(QStringLiteral("&Table"));
    Command::addAction(menu, QStringLiteral("Select &Table"),
                       QStringLiteral("Select table to see structure"),
                       [this] { SelectTableBtnClick(); });
    Command::addAction(menu, QStringLiteral("Select &VIEW "),
                       QStringLiteral("Select VIEW to see strcture"),
                       [this] { SelViewBtnClick(); });
    menu->addSeparator();
    Command::addAction(menu, QStringLiteral("Show &Data"),
                       QStringLiteral("Show contents in data window"), [this] { SrcDataClick(); });
    ShowSelectItem = Command::addAction(menu, QStringLiteral("&Show \"SELECT\" for View"),
                                        QStringLiteral("Show \"SELECT\" statement for view"),
                                        [this] { ShowSelect(); });
    ShowSelectItem->setEnabled(false);
}

QString TFormTblStr::DependencyTypeName(const QVariant &code)
{
    const int type = code.isNull() ? 0 : code.toInt();
    return type >= 0 && type < kDependencyTypes.size() ? kDependencyTypes[type]
                                                       : QStringLiteral("N/A");
}

void TFormTblStr::SelectTableBtnClick()
{
    QString name = m_relationName;
    SelectTable(name);
    showRelation(name, false);
}

void TFormTblStr::SelViewBtnClick()
{
    QString name = m_relationName;
    SelectView(name);
    showRelation(name, true);
}

void TFormTblStr::showRelation(const QString &name, bool isView)
{
    m_relationName = PlainName(name);
    {
        UpdatesSuspended suspended({DBGrid1, DBGrid2});
        StrQuery->close();
        DepQuery->close();
        StrQuery->setParam(kRelName, m_relationName);
        DepQuery->setParam(kRelName, m_relationName);
        m_isView = isView;
        DDLBtn->setEnabled(m_isView);
        ShowSelectItem->setEnabled(m_isView);
        readDetails();
        openQueries();
    }
    setWindowTitle((m_isView ? QStringLiteral("View structure -")
                             : QStringLiteral("Table structure -"))
                   + m_relationName);
    // The window opens empty; the columns have content only now.
    fitToContent();
}

void TFormTblStr::openQueries()
{
    const QString position = QStringLiteral("RDB$FIELD_POSITION");
    StrQuery->open();
    DBGrid1->setItemDelegateForColumn(StrQuery->fieldIndex(position), m_positionDelegate);
    QList<GridColumn> columns = {
        {position, QStringLiteral("#"),
         DBGrid1->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 8},
        {kFieldName, QStringLiteral("Field name")},
        {QStringLiteral("RDB$FIELD_SOURCE"), QStringLiteral("DOMAIN")}};
    const QStringList detailTitles = RelationRows::columnTitles();
    for (int detail = 0; detail < kDetailFields.size(); ++detail)
        columns.append({kDetailFields[detail], detailTitles[detail]});
    GridColumns::apply(DBGrid1, StrQuery, columns);
    DepQuery->open();
    GridColumns::apply(DBGrid2, DepQuery,
                       {{kFieldName, QStringLiteral("Field Name")},
                        {QStringLiteral("DEPTYPE"), QStringLiteral("Object Type")},
                        {QStringLiteral("RDB$DEPENDENT_NAME"), QStringLiteral("Object Name")}});
    for (QTableView *grid : {DBGrid1, DBGrid2}) {
        const int firstColumn = grid->horizontalHeader()->logicalIndex(0);
        if (grid->model()->rowCount() > 0)
            grid->setCurrentIndex(grid->model()->index(0, firstColumn));
    }
}

// One read of the relation through the schema layer fills the field grid's
// type columns and every pane.
void TFormTblStr::readDetails()
{
    const QSqlDatabase database = QSqlDatabase::database(TDMSys::ibName());
    const SchemaModel model = SchemaReader(database).readRelation(m_relationName);
    m_columnDetails = RelationRows::columnDetails(model, DMSys->IBDataBase->statementDialect());
    DetailPanes->showRelation(model, m_isView ? QList<RelationIndices::Index>()
                                              : RelationIndices::read(database, m_relationName),
                              m_isView);
}

QVariant TFormTblStr::columnDetail(const QSqlRecord &row, int detail) const
{
    const QStringList details = m_columnDetails.value(PlainName(row.value(kFieldName).toString()));
    return detail < details.size() ? QVariant(details[detail]) : QVariant(QString());
}

void TFormTblStr::SrcDataClick()
{
    OpenDataView(m_relationName);
}

QStringList TFormTblStr::viewColumns()
{
    StrQuery->fetchAll();
    QStringList columns;
    for (int row = 0; row < StrQuery->rowCount(); ++row)
        columns << PlainName(StrQuery->value(row, kFieldName).toString());
    if (StrQuery->rowCount() > 0)
        DBGrid1->setCurrentIndex(StrQuery->index(StrQuery->rowCount() - 1,
                                                 DBGrid1->currentIndex().column()));
    return columns;
}

// The columns as the window shows them, with the source it read last; none
// once the view is gone.
std::optional<QString> TFormTblStr::shownViewStatement()
{
    if (!SQLSourceQ->isOpen()) {
        SQLSourceQ->setParam(QStringLiteral("Name"), m_relationName);
        SQLSourceQ->open();
    }
    if (SQLSourceQ->rowCount() == 0)
        return std::nullopt;
    const QString source = SQLSourceQ->value(0, QStringLiteral("RDB$VIEW_SOURCE")).toString();
    return ViewDdl::text(m_relationName, viewColumns(), source,
                         DMSys->IBDataBase->statementDialect());
}

void TFormTblStr::ShowSelect()
{
    const QString name = m_relationName;
    ShownObject::readAgain(name, [this] { return shownViewStatement(); }, [this, &name] {
        SQLSourceQ->close();
        showRelation(name, m_isView);
    });
    OpenInDDLWindow(*shownViewStatement());
}
