#include "catalog/TObjectListForm.h"

#include "controls/FixedPitchFont.h"
#include "controls/SqlEditorKit.h"
#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "ibdb/TDMSys.h"
#include "uikit/Command.h"
#include "uikit/ConnectedDialect.h"
#include "uikit/GridColumns.h"
#include "uikit/Prompts.h"
#include "uikit/ShownObject.h"
#include "workbench/TSQLExprForm.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kRefreshHint = QStringLiteral("Refresh table contents");

QString dropHint(const QString &noun)
{
    return QStringLiteral("Delete selected %1").arg(noun);
}

} // namespace

TObjectListForm::TObjectListForm(const Kind &kind, QWidget *parent)
    : TChildForm(parent), m_noun(kind.noun), m_names(new QStandardItemModel(0, 1, this))
{
    setWindowTitle(kind.title);
    m_names->setHorizontalHeaderLabels({kind.nameColumn});
    createToolPanel(kind);
    NamesGrid = new QTableView(this);
    GridColumns::setupReadOnly(NamesGrid);
    NamesGrid->setModel(m_names);
    NamesGrid->setAccessibleName(kind.title);
    NamesGrid->horizontalHeader()->setStretchLastSection(true);
    NamesGrid->setFixedWidth(273);
    createMenu(kind);
    resize(700, 480);

    connect(NamesGrid, &QTableView::doubleClicked, this, Command::guard([this] { editAsNow(); }));
    connect(NamesGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { Command::run([this] { followCurrent(); }); });
}

void TObjectListForm::createToolPanel(const Kind &kind)
{
    CommandPanel = new TToolPanel(this);
    CommandPanel->setFixedHeight(32);
    DDLBtn = CommandPanel->addButton(QStringLiteral("show_ddl"), kind.editHint);
    DropBtn = CommandPanel->addButton(QStringLiteral("delete"), dropHint(kind.noun));
    RefreshBtn = CommandPanel->addButton(QStringLiteral("refresh"), kRefreshHint);
    CommandPanel->addStretch();
    onClick(DDLBtn, [this] { editAsNow(); });
    onClick(DropBtn, [this] { dropCurrent(); });
    onClick(RefreshBtn, [this] { refreshList(); });
}

void TObjectListForm::createMenu(const Kind &kind)
{
    QMenu *menu = createFormMenu(kind.menuCaption);
    menu->menuAction()->setStatusTip(kind.menuTip);
    Command::addAction(
        menu, QStringLiteral("&Edit "), kind.editHint, [this] { editAsNow(); },
        QKeySequence(Qt::CTRL | Qt::Key_E));
    Command::addAction(
        menu, QStringLiteral("&Delete"), dropHint(kind.noun), [this] { dropCurrent(); },
        QKeySequence(Qt::CTRL | Qt::Key_D));
    Command::addAction(
        menu, QStringLiteral("&Refresh"), kRefreshHint, [this] { refreshList(); },
        QKeySequence(Qt::Key_F5));
}

void TObjectListForm::placeDetails(QWidget *details)
{
    auto *body = new QHBoxLayout;
    body->setSpacing(0);
    body->addWidget(NamesGrid);
    body->addWidget(details, 1);
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(CommandPanel);
    layout->addLayout(body, 1);
}

QPlainTextEdit *TObjectListForm::createSourceMemo(QWidget *parent, const QString &accessibleName)
{
    auto *memo = new QPlainTextEdit(parent);
    memo->setReadOnly(true);
    memo->setAccessibleName(accessibleName);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setFont(FixedPitchFont());
    SqlEditorKit::attach(memo, ConnectedDialect::doubleQuotes());
    return memo;
}

void TObjectListForm::refreshList()
{
    m_names->removeRows(0, m_names->rowCount());
    followCurrent();
    const QStringList names = readObjects();
    for (const QString &name : names)
        m_names->appendRow(new QStandardItem(name));
    if (!names.isEmpty())
        NamesGrid->setCurrentIndex(m_names->index(0, 0));
}

bool TObjectListForm::selectName(const QString &name)
{
    const QList<QStandardItem *> found = m_names->findItems(name);
    if (!found.isEmpty())
        NamesGrid->setCurrentIndex(found.first()->index());
    return !found.isEmpty();
}

int TObjectListForm::currentRow() const
{
    return NamesGrid->currentIndex().row();
}

QString TObjectListForm::currentName() const
{
    const int row = currentRow();
    return row >= 0 ? m_names->item(row)->text() : QString();
}

void TObjectListForm::editAsNow()
{
    if (currentRow() < 0)
        return;
    const QString name = currentName();
    const auto statements = [this, &name]() -> std::optional<QString> {
        if (currentRow() < 0 || currentName() != name)
            return std::nullopt;
        return currentStatements().join(QLatin1Char('\n'));
    };
    ShownObject::readAgain(name, statements, [this, &name] {
        refreshList();
        selectName(name);
    });
    // Each statement in a window of its own, the last one on top.
    for (const QString &statement : currentStatements())
        OpenInDDLWindow(statement);
}

void TObjectListForm::dropCurrent()
{
    if (currentRow() < 0)
        return;
    const QString name = currentName();
    const QString question = QStringLiteral("Proceed to delete %1 %2 from database?");
    if (Prompts::instance().confirm(question.arg(m_noun, name), Prompts::Buttons::OkCancel)
        != Prompts::Answer::Ok)
        return;
    DMSys->execute(dropStatement());
    refreshList();
}
