#include "catalog/TDatabaseExplorer.h"

#include "catalog/MetadataExtraction.h"
#include "catalog/ObjectTreeModel.h"
#include "catalog/TObjectListForm.h"
#include "catalog/TRelationPanes.h"
#include "catalog/TDomainsForm.h"
#include "catalog/TExceptionsForm.h"
#include "catalog/TFormTblStr.h"
#include "catalog/TFunctionsForm.h"
#include "catalog/TGeneratorsForm.h"
#include "catalog/TPackagesForm.h"
#include "catalog/TRolesForm.h"
#include "catalog/TStoredProcsForm.h"
#include "catalog/TTrigSourceForm.h"
#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "core/BusyCursor.h"
#include "core/ProgramSettings.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "uikit/Command.h"
#include "uikit/GridColumns.h"
#include "workbench/TDataForm.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

using Kind = ObjectDirectory::Kind;

void openGenerator(const QString &name)
{
    TGeneratorsForm *form = TGeneratorsForm::open();
    const QList<QTreeWidgetItem *> found =
        form->GeneratorList->findItems(name, Qt::MatchExactly, 0);
    if (!found.isEmpty())
        form->GeneratorList->setCurrentItem(found.first());
}

} // namespace

TDatabaseExplorer::TDatabaseExplorer(QWidget *parent)
    : TChildForm(parent),
      ToolPanel(new TToolPanel(this)),
      RefreshBtn(ToolPanel->addButton(QStringLiteral("refresh"),
                                      QStringLiteral("Read the database's objects anew"))),
      DatabaseLabel(new QLabel(this)),
      FilterEdit(new QLineEdit(this)),
      ObjectTree(new QTreeView(this)),
      NoteLabel(new QLabel(this)),
      OpenAtConnect(new QCheckBox(QStringLiteral("&Open at connect"), this)),
      Objects(new ObjectTreeModel(this))
{
    setWindowTitle(QStringLiteral("Database Explorer"));
    resize(320, 480);
    ToolPanel->addStretch();
    onClick(RefreshBtn, [this] { RefreshBtnClick(); });

    DatabaseLabel->setAccessibleName(QStringLiteral("Database"));
    DatabaseLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    DatabaseLabel->setWordWrap(true);
    FilterEdit->setAccessibleName(QStringLiteral("Filter"));
    FilterEdit->setPlaceholderText(QStringLiteral("Part of a name"));
    FilterEdit->setClearButtonEnabled(true);
    connect(FilterEdit, &QLineEdit::textChanged, this,
            Command::guard([this] { FilterEditChange(); }));
    Objects->setLoader([](Kind kind) {
        std::optional<QStringList> names;
        Command::run([&] { names = ObjectDirectory::names(TDMSys::ibName(), kind); });
        return names;
    });
    ObjectTree->setAccessibleName(QStringLiteral("Objects"));
    ObjectTree->setModel(Objects);
    ObjectTree->setHeaderHidden(true);
    ObjectTree->setUniformRowHeights(true);
    ObjectTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(ObjectTree, &QAbstractItemView::activated, this,
            [this](const QModelIndex &index) {
                Command::run([this, index] { ObjectTreeActivated(index); });
            });
    ObjectTree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ObjectTree, &QWidget::customContextMenuRequested, this,
            &TDatabaseExplorer::showObjectMenu);
    NoteLabel->setAccessibleName(QStringLiteral("Note"));
    OpenAtConnect->setAccessibleName(QStringLiteral("Open at connect"));
    OpenAtConnect->setChecked(ProgramSettings::instance().ExplorerAtConnect);
    connect(OpenAtConnect, &QCheckBox::toggled, this,
            [](bool on) { ProgramSettings::instance().ExplorerAtConnect = on; });

    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(ToolPanel);
    auto *body = new QVBoxLayout;
    body->setContentsMargins(4, 4, 4, 4);
    body->addWidget(DatabaseLabel);
    body->addWidget(FilterEdit);
    body->addWidget(ObjectTree, 1);
    body->addWidget(NoteLabel);
    body->addWidget(OpenAtConnect);
    layout->addLayout(body, 1);
    setFocusProxy(FilterEdit);
}

TDatabaseExplorer *TDatabaseExplorer::open()
{
    return openInFrame<TDatabaseExplorer>(&TDatabaseExplorer::FormCreate);
}

void TDatabaseExplorer::FormCreate()
{
    TIBDataBase *db = DMSys->IBDataBase;
    DatabaseLabel->setText(QStringLiteral("%1\n%2")
                               .arg(db->param(QStringLiteral("SERVER NAME")), db->serverText()));
    showTree();
}

void TDatabaseExplorer::RefreshBtnClick()
{
    showTree();
}

void TDatabaseExplorer::showTree()
{
    BusyCursor busy;
    Objects->setCounts(ObjectDirectory::counts(TDMSys::ibName()));
    FilterEditChange();
}

void TDatabaseExplorer::FilterEditChange()
{
    Objects->setFilter(FilterEdit->text());
    // While filtering, what was found is what matters: every kind opens.
    // Only the kinds: expandAll would keep a persistent index for each of
    // a hundred thousand names, to be dropped again at the next keystroke.
    if (!Objects->filter().isEmpty()) {
        for (const Kind kind : ObjectDirectory::kinds())
            ObjectTree->expand(Objects->kindIndex(kind));
    }
    NoteLabel->clear();
}

void TDatabaseExplorer::ObjectTreeActivated(const QModelIndex &index)
{
    const QString name = Objects->nameOf(index);
    if (name.isEmpty()) {
        ObjectTree->setExpanded(index, !ObjectTree->isExpanded(index));
        return;
    }
    const Kind kind = Objects->kindOf(index);
    if (kind == Kind::Role) {
        NoteLabel->setText(QStringLiteral("%1 have no window yet")
                               .arg(ObjectDirectory::kindTitle(kind)));
        return;
    }
    NoteLabel->clear();
    openObject(kind, name);
}

TChildForm *TDatabaseExplorer::openObject(Kind kind, const QString &name)
{
    switch (kind) {
    case Kind::Table:
    case Kind::View: {
        TFormTblStr *form = TFormTblStr::open();
        form->showRelation(name, kind == Kind::View);
        return form;
    }
    case Kind::Function: {
        TFunctionsForm *form = TFunctionsForm::open();
        form->selectFunction(name);
        return form;
    }
    case Kind::Package: {
        TPackagesForm *form = TPackagesForm::open();
        form->selectPackage(name);
        return form;
    }
    case Kind::Procedure: {
        TStoredProcsForm *form = TStoredProcsForm::open();
        GridColumns::selectRow(form->DataGrid, form->StorProcsQuery,
                               QStringLiteral("RDB$PROCEDURE_NAME"), name);
        return form;
    }
    case Kind::Domain: {
        TDomainsForm *form = TDomainsForm::open();
        GridColumns::selectRow(form->DBGrid1, form->DMQuery, QStringLiteral("RDB$FIELD_NAME"),
                               name);
        return form;
    }
    case Kind::Exception: {
        TExceptionsForm *form = TExceptionsForm::open();
        GridColumns::selectRow(form->FGrid, form->ExceptionsTable,
                               QStringLiteral("RDB$EXCEPTION_NAME"), name);
        return form;
    }
    case Kind::Generator:
        openGenerator(name);
        return nullptr;
    case Kind::Trigger:
        TTrigSourceForm::openStored(name);
        return nullptr;
    case Kind::Role: {
        TRolesForm *form = TRolesForm::open();
        form->selectRole(name);
        return form;
    }
    default:
        return nullptr;
    }
}

namespace {

bool hasDdlCommand(Kind kind)
{
    return kind == Kind::Table || kind == Kind::View || kind == Kind::Procedure
           || kind == Kind::Function || kind == Kind::Package;
}

bool hasDropCommand(Kind kind)
{
    return kind == Kind::Procedure || kind == Kind::Function || kind == Kind::Package
           || kind == Kind::Domain || kind == Kind::Exception || kind == Kind::Role;
}

} // namespace

// The DDL button of the window that shows the object.
void TDatabaseExplorer::showDdl(Kind kind, const QString &name)
{
    TChildForm *form = openObject(kind, name);
    if (auto *relation = qobject_cast<TFormTblStr *>(form))
        relation->DetailPanes->DdlWindowBtn->click();
    else if (auto *procedures = qobject_cast<TStoredProcsForm *>(form))
        procedures->DDLBtn->click();
    else if (auto *list = qobject_cast<TObjectListForm *>(form))
        list->DDLBtn->click();
}

// The drop command of the window that shows the object, which asks first.
void TDatabaseExplorer::drop(Kind kind, const QString &name)
{
    TChildForm *form = openObject(kind, name);
    if (auto *procedures = qobject_cast<TStoredProcsForm *>(form))
        procedures->BtnDropProc->click();
    else if (auto *list = qobject_cast<TObjectListForm *>(form))
        list->DropBtn->click();
    else if (auto *domains = qobject_cast<TDomainsForm *>(form))
        domains->DeleteDomainBtnClick();
    else if (auto *exceptions = qobject_cast<TExceptionsForm *>(form))
        exceptions->DeleteDomainBtnClick();
    else if (auto *roles = qobject_cast<TRolesForm *>(form))
        roles->DropBtnClick();
}

QMenu *TDatabaseExplorer::objectMenu(const QModelIndex &index)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QString name = Objects->nameOf(index);
    const Kind kind = Objects->kindOf(index);
    if (!name.isEmpty()) {
        Command::addAction(menu, QStringLiteral("&Open"), QStringLiteral("Opens the object in its window"),
                           [kind, name] { openObject(kind, name); });
    }
    if (!name.isEmpty() && (kind == Kind::Table || kind == Kind::View)) {
        Command::addAction(menu, QStringLiteral("Show &Data"),
                           QStringLiteral("Shows the rows in a data view"),
                           [name] { OpenDataView(name); });
    }
    if (!name.isEmpty() && hasDdlCommand(kind)) {
        Command::addAction(menu, QStringLiteral("&DDL"),
                           QStringLiteral("Puts the object's DDL into a DDL statements window"),
                           [kind, name] { showDdl(kind, name); });
    }
    Command::addAction(menu, QStringLiteral("E&xtract Metadata…"),
                       QStringLiteral("Writes the DDL of the whole database into a DDL statements window"),
                       [] { MetadataExtraction::open(); });
    if (!name.isEmpty() && hasDropCommand(kind)) {
        menu->addSeparator();
        Command::addAction(menu, QStringLiteral("D&rop…"), QStringLiteral("Drops the object"),
                           [kind, name] { drop(kind, name); });
    }
    menu->addSeparator();
    Command::addAction(menu, QStringLiteral("&Refresh"), QStringLiteral("Read the database's objects anew"),
                       [this] { RefreshBtnClick(); });
    return menu;
}

void TDatabaseExplorer::showObjectMenu(const QPoint &position)
{
    const QModelIndex index = ObjectTree->indexAt(position);
    if (index.isValid())
        ObjectTree->setCurrentIndex(index);
    objectMenu(index)->popup(ObjectTree->viewport()->mapToGlobal(position));
}
