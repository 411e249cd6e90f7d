#include "catalog/TExceptionsForm.h"

#include "catalog/TExcDlg.h"
#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "uikit/CatalogQuery.h"
#include "uikit/Command.h"
#include "uikit/GridColumns.h"
#include "uikit/ModalForms.h"
#include "uikit/Prompts.h"
#include "uikit/ShownObject.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The whole table in the order of its unique name index.
const QStringList kTableLines = {
    QStringLiteral("SELECT RDB$EXCEPTION_NAME, RDB$MESSAGE, RDB$SYSTEM_FLAG"),
    QStringLiteral("FROM RDB$EXCEPTIONS"),
    QStringLiteral("ORDER BY RDB$EXCEPTION_NAME"),
};

const QString kNameField = QStringLiteral("RDB$EXCEPTION_NAME");
const QString kMessageField = QStringLiteral("RDB$MESSAGE");

const QList<GridColumn> kColumns = {
    {kNameField, QStringLiteral("NAME"), -1},
    {kMessageField, QStringLiteral("MESSAGE"), -1},
};

// A new name goes in as typed; a stored one as the dialect spells it. The
// message goes as a string literal, so that its quotes are stored as typed.
const QString kCreateTemplate = QStringLiteral("CREATE EXCEPTION %1  %2");
const QString kAlterTemplate = QStringLiteral("ALTER EXCEPTION %1  %2");
const QString kDropTemplate = QStringLiteral("DROP EXCEPTION %1");

QString messageLiteral(const QString &message)
{
    return DMSys->IBDataBase->sqlString(message);
}

} // namespace

TExceptionsForm::TExceptionsForm(QWidget *parent)
    : TChildForm(parent),
      ExceptionsTable(new CatalogQuery(this)),
      btnPanel(new TToolPanel(this)),
      NewBtn(btnPanel->addButton(QStringLiteral("new"), QStringLiteral("Create new exception"))),
      EditBtn(btnPanel->addButton(QStringLiteral("edit"),
                                  QStringLiteral("Edit current exception text"))),
      DeleteBtn(btnPanel->addButton(QStringLiteral("delete"),
                                    QStringLiteral("Delete current exception"))),
      RefreshBtb(btnPanel->addButton(QStringLiteral("refresh"),
                                     QStringLiteral("Refresh table contents"))),
      FGrid(new QTableView(this))
{
    setWindowTitle(QStringLiteral("Exceptions"));
    resize(600, 300);
    ExceptionsTable->setLines(kTableLines);

    btnPanel->setObjectName(QStringLiteral("btnPanel"));
    NewBtn->setObjectName(QStringLiteral("NewBtn"));
    EditBtn->setObjectName(QStringLiteral("EditBtn"));
    DeleteBtn->setObjectName(QStringLiteral("DeleteBtn"));
    RefreshBtb->setObjectName(QStringLiteral("RefreshBtb"));
    btnPanel->addStretch();
    onClick(NewBtn, [this] { newexcpBtnClick(); });
    onClick(EditBtn, [this] { BtnUpdateClick(); });
    onClick(DeleteBtn, [this] { DeleteDomainBtnClick(); });
    onClick(RefreshBtb, [this] { RefrBtnClick(); });

    FGrid->setObjectName(QStringLiteral("FGrid"));
    FGrid->setAccessibleName(QStringLiteral("Exceptions"));
    GridColumns::setupReadOnly(FGrid);
    FGrid->horizontalHeader()->setStretchLastSection(true);
    FGrid->setModel(ExceptionsTable);
    GridColumns::sortOnClick(FGrid);
    connect(FGrid, &QAbstractItemView::doubleClicked, this,
            Command::guard([this] { BtnUpdateClick(); }));

    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(btnPanel);
    layout->addWidget(FGrid);
    createMenu();
}

void TExceptionsForm::createMenu()
{
    QMenu *menu = createFormMenu(QStringLiteral("&Exceptions"));
    menu->menuAction()->setStatusTip(QStringLiteral("Exceptions menu"));
    Command::addAction(
        menu, QStringLiteral("&New"), QStringLiteral("Create new exception"),
        [this] { newexcpBtnClick(); }, QKeySequence(Qt::Key_Insert));
    Command::addAction(
        menu, QStringLiteral("&Edit"), QStringLiteral("Edit current exception text"),
        [this] { BtnUpdateClick(); }, QKeySequence(Qt::CTRL | Qt::Key_E));
    Command::addAction(
        menu, QStringLiteral("&Delete"), QStringLiteral("Delete current exception"),
        [this] { DeleteDomainBtnClick(); }, QKeySequence(Qt::CTRL | Qt::Key_D));
    Command::addAction(
        menu, QStringLiteral("&Refresh"), QStringLiteral("Refresh table contents"),
        [this] { RefrBtnClick(); }, QKeySequence(Qt::Key_F5));
}

TExceptionsForm *TExceptionsForm::open()
{
    return openInFrame<TExceptionsForm>(&TExceptionsForm::openTable);
}

void TExceptionsForm::openTable()
{
    ExceptionsTable->open();
    GridColumns::apply(FGrid, ExceptionsTable, kColumns);
    if (ExceptionsTable->rowCount() > 0)
        FGrid->setCurrentIndex(ExceptionsTable->index(0, ExceptionsTable->fieldIndex(kNameField)));
}

void TExceptionsForm::RefrBtnClick()
{
    // Read the rows again but stay on the same exception, or where it stood.
    const QString name = current(kNameField);
    const QModelIndex before = FGrid->currentIndex();
    openTable();
    if (!before.isValid() || ExceptionsTable->rowCount() == 0)
        return;
    ExceptionsTable->fetchAll();
    const int rows = ExceptionsTable->rowCount();
    int row = std::min(before.row(), rows - 1);
    for (int r = 0; r < rows; ++r) {
        if (ExceptionsTable->value(r, kNameField).toString() == name) {
            row = r;
            break;
        }
    }
    FGrid->setCurrentIndex(ExceptionsTable->index(row, before.column()));
}

bool TExceptionsForm::hasCurrent() const
{
    return FGrid->currentIndex().isValid();
}

QString TExceptionsForm::current(const QString &field) const
{
    return ExceptionsTable->value(FGrid->currentIndex().row(), field).toString();
}

void TExceptionsForm::runDialog(const QString &statementTemplate, bool storedName)
{
    TExcDlg &dialog = TExcDlg::shared();
    if (ModalForms::exec(&dialog) == QDialog::Accepted) {
        const QString name =
            storedName ? DMSys->IBDataBase->sqlName(dialog.name()) : dialog.name();
        DMSys->execute(statementTemplate.arg(name, messageLiteral(dialog.message())));
    }
    RefrBtnClick();
}

void TExceptionsForm::newexcpBtnClick()
{
    // The boxes keep what the dialog showed last, a refused name included.
    TExcDlg::shared().NameEdit->setEnabled(true);
    runDialog(kCreateTemplate, false);
}

void TExceptionsForm::BtnUpdateClick()
{
    if (!hasCurrent())
        return;
    // The message the dialog offers to edit is the one stored now.
    const QString name = current(kNameField);
    ShownObject::readAgain(
        name,
        [this, &name]() -> std::optional<QString> {
            if (!hasCurrent() || current(kNameField) != name)
                return std::nullopt;
            return current(kMessageField);
        },
        [this] { RefrBtnClick(); });
    TExcDlg &dialog = TExcDlg::shared();
    dialog.NameEdit->setEnabled(false);
    dialog.NameEdit->setText(current(kNameField));
    dialog.MsgEdit->setPlainText(current(kMessageField));
    runDialog(kAlterTemplate, true);
}

void TExceptionsForm::DeleteDomainBtnClick()
{
    if (!hasCurrent())
        return;
    const QString name = current(kNameField);
    const QString question =
        QStringLiteral("Proceed to delete exception '%1' from database?").arg(name);
    if (Prompts::instance().confirm(question, Prompts::Buttons::OkCancel) != Prompts::Answer::Ok)
        return;
    DMSys->execute(kDropTemplate.arg(DMSys->IBDataBase->sqlName(name)));
    RefrBtnClick();
}
