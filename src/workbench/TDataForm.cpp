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

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
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

    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(Panel1);
    layout->addWidget(DBGrid1, 1);
    FormCreate();
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
