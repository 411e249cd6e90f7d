#include "workbench/TDataForm.h"

#include "controls/ComboWidth.h"
#include "controls/GridValueDelegate.h"
#include "controls/TDBNavigator.h"
#include "core/AppError.h"
#include "ibdb/SqlErrorText.h"
#include "ibdb/TDMSys.h"
#include "uikit/Command.h"
#include "ibdb/PlainName.h"
#include "uikit/RelationNameList.h"
#include "uikit/TableNavigator.h"
#include "workbench/DataViewModel.h"
#include "workbench/GridExport.h"
#include "ibdb/IbDriver.h"
#include "uikit/GridCopy.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlIndex>
#include <QSqlTableModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kConnection = TDMSys::ibName();
const QString kCaption = QStringLiteral("Data Viewer");
// The box is never narrower than it was with short names.
constexpr int kNameLength = 24;

// Keys with which a user starts changing a cell.
bool isEditKey(const QKeyEvent *key)
{
    if (key->key() == Qt::Key_F2)
        return true;
    const bool command = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    return !command && !key->text().isEmpty() && key->text().at(0).isPrint();
}

} // namespace

TDataForm::TDataForm(QWidget *parent) : TChildForm(parent)
{
    setWindowTitle(kCaption);
    resize(560, 360);
    buildPanel();
    DBGrid1 = new QTableView(this);
    DBGrid1->setAccessibleName(QStringLiteral("Table data"));
    auto *delegate = new GridValueDelegate(DBGrid1);
    DBGrid1->setItemDelegate(delegate);
    auto *model = new DataViewModel(this, QSqlDatabase::database(kConnection, false));
    SrcTable = model;
    connect(delegate, &QAbstractItemDelegate::closeEditor, model,
            &DataViewModel::forgetWholeValue);
    m_table = new TableNavigator(DBNavigator1, DBGrid1, this);
    m_table->setModel(SrcTable);
    DBGrid1->installEventFilter(this);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, [this] {
        if (m_table->isReadOnly())
            refuseChange();
    });

    addGridCommands();

    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(Panel1);
    layout->addWidget(DBGrid1, 1);
    FormCreate();
}

void TDataForm::addGridCommands()
{
    GridCopy::install(DBGrid1);
    GridCopy::addAction(DBGrid1, QStringLiteral("Copy as &INSERT"), [this] { copyAsInsert(); },
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    GridCopy::addAction(DBGrid1, QStringLiteral("&Export Rows..."), [this] { exportRows(); }, {});
    GridCopy::addAction(DBGrid1, QStringLiteral("&Refresh"), [this] { refreshRows(); },
                        QKeySequence::Refresh);
    QHeaderView *titles = DBGrid1->horizontalHeader();
    titles->setSortIndicatorShown(true);
    titles->setSortIndicator(-1, Qt::AscendingOrder);
    connect(titles, &QHeaderView::sectionClicked, this, &TDataForm::titleClicked);
}

void TDataForm::titleClicked(int column)
{
    const Qt::SortOrder order = column == m_sortColumn && m_sortOrder == Qt::AscendingOrder
                                    ? Qt::DescendingOrder
                                    : Qt::AscendingOrder;
    Command::run([&] { sortBy(column, order); });
    DBGrid1->horizontalHeader()->setSortIndicator(m_sortColumn, m_sortOrder);
}

void TDataForm::sortBy(int column, Qt::SortOrder order)
{
    if (!m_table->isOpen())
        return;
    // A pending change is written before the rows are read again, as when
    // the user leaves its row; refused, the rows stay as they are.
    postPendingRow();
    auto *model = static_cast<DataViewModel *>(SrcTable);
    model->setSort(column, order);
    try {
        m_table->open();
    } catch (...) {
        model->setSort(m_sortColumn, m_sortOrder);
        m_table->open();
        throw;
    }
    m_sortColumn = column;
    m_sortOrder = order;
    // The column sorted by stays in sight, its first row current.
    if (SrcTable->rowCount() > 0)
        DBGrid1->setCurrentIndex(SrcTable->index(0, column));
}

void TDataForm::copyAsInsert()
{
    if (!m_table->isOpen())
        throw GeneralError(QStringLiteral("Pick a table or view to copy its rows"));
    const auto *driver = qobject_cast<const IbDriver *>(SrcTable->database().driver());
    QApplication::clipboard()->setText(GridCopy::selectedInserts(
        DBGrid1, m_relationName, driver ? driver->dialect() : 1));
}

void TDataForm::exportRows()
{
    if (!m_table->isOpen())
        throw GeneralError(QStringLiteral("Pick a table or view to export its rows"));
    postPendingRow();
    QStringList names;
    for (int column = 0; column < SrcTable->columnCount(); ++column)
        names << SrcTable->headerData(column, Qt::Horizontal).toString();
    const auto *model = static_cast<const DataViewModel *>(SrcTable);
    GridExport(SrcTable->database(), model->exportStatement(), names, m_relationName).run();
}

void TDataForm::refreshRows()
{
    m_table->refresh();
}

void TDataForm::buildPanel()
{
    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Panel1->setFixedHeight(33);
    auto *layout = new QHBoxLayout(Panel1);
    layout->setContentsMargins(2, 2, 2, 2);
    DBNavigator1 = new TDBNavigator(Panel1);
    TblsCB = new QComboBox(Panel1);
    TblsCB->setEditable(false);
    const QString hint = QStringLiteral("Select table or view to edit");
    TblsCB->setToolTip(hint);
    TblsCB->setStatusTip(hint);
    TblsCB->setAccessibleName(QStringLiteral("Table or view"));
    layout->addWidget(DBNavigator1);
    layout->addWidget(TblsCB);
    layout->addStretch();
    connect(TblsCB, &QComboBox::activated, this, Command::guard([this] { TblsCBClick(); }));
}

TDataForm *TDataForm::open()
{
    return openInFrame<TDataForm>();
}

void TDataForm::FormCreate()
{
    Command::run([this] {
        TblsCB->addItems(RelationNameList());
        ComboWidth::fitLongest(TblsCB, kNameLength);
        TblsCB->setCurrentIndex(-1);
    });
}

void TDataForm::openRelation(const QString &relationName)
{
    const QString name = PlainName(relationName);
    m_table->close();
    m_relationName.clear();
    SrcTable->setTable(name);
    m_sortColumn = -1;
    DBGrid1->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setReadOnly(readOnlyReason(name));
    m_table->open();
    m_relationName = name;
    // The window opens empty; its columns are known only now.
    fitToContent();
}

// Rows are changed through the primary key; a view, or a table without a
// key, has nothing that names one row for sure, so its rows stay as they are.
QString TDataForm::readOnlyReason(const QString &relationName) const
{
    const QSqlDatabase db = SrcTable->database();
    if (db.tables(QSql::Views).contains(relationName))
        return QStringLiteral("The rows of view %1 cannot be changed here").arg(relationName);
    if (SrcTable->primaryKey().isEmpty()) {
        return QStringLiteral("The rows of %1 cannot be changed here: "
                              "the table has no primary key").arg(relationName);
    }
    return {};
}

void TDataForm::TblsCBClick()
{
    const int picked = TblsCB->currentIndex();
    // Leaving the relation leaves its row: a pending change is written first.
    try {
        postPendingRow();
    } catch (...) {
        TblsCB->setCurrentIndex(m_shownItem);
        throw;
    }
    m_shownItem = picked;
    const QString name = TblsCB->currentText();
    openRelation(name);
    setWindowTitle(QStringLiteral("Table data -") + m_relationName);
}

void TDataForm::postPendingRow()
{
    if (m_table->isOpen())
        m_table->post();
}

void TDataForm::refuseChange()
{
    Command::run([this] { m_table->edit(); });
}

bool TDataForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress && m_table->isReadOnly()
        && m_table->isOpen() && isEditKey(static_cast<QKeyEvent *>(event))) {
        refuseChange();
        return true;
    }
    return TChildForm::eventFilter(watched, event);
}

void TDataForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    TChildForm::closeEvent(event);
}

// Closing leaves the row being edited, so it is written like any row left
// behind; when the server refuses it the user sees why before it is dropped.
void TDataForm::FormClose()
{
    Command::run([this] { postPendingRow(); });
    m_table->close();
}

void OpenDataView(const QString &relationName)
{
    TDataForm *form = TDataForm::open();
    form->openRelation(relationName);
    form->setWindowTitle(kCaption + QLatin1Char('-') + form->relationName());
    if (auto *window = qobject_cast<QMdiSubWindow *>(form->parentWidget())) {
        if (QMdiArea *area = window->mdiArea())
            area->setActiveSubWindow(window);
    }
    form->raise();
}
