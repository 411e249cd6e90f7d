#include "catalog/TDatabaseExplorer.h"

#include "catalog/ObjectTreeModel.h"
#include "catalog/TDomainsForm.h"
#include "catalog/TExceptionsForm.h"
#include "catalog/TFormTblStr.h"
#include "catalog/TFunctionsForm.h"
#include "catalog/TGeneratorsForm.h"
#include "catalog/TPackagesForm.h"
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

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
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

void TDatabaseExplorer::openObject(Kind kind, const QString &name)
{
    switch (kind) {
    case Kind::Table:
    case Kind::View:
        TFormTblStr::open()->showRelation(name, kind == Kind::View);
        break;
    case Kind::Function:
        TFunctionsForm::open()->selectFunction(name);
        break;
    case Kind::Package:
        TPackagesForm::open()->selectPackage(name);
        break;
    case Kind::Procedure: {
        TStoredProcsForm *form = TStoredProcsForm::open();
        GridColumns::selectRow(form->DataGrid, form->StorProcsQuery,
                               QStringLiteral("RDB$PROCEDURE_NAME"), name);
        break;
    }
    case Kind::Domain: {
        TDomainsForm *form = TDomainsForm::open();
        GridColumns::selectRow(form->DBGrid1, form->DMQuery, QStringLiteral("RDB$FIELD_NAME"),
                               name);
        break;
    }
    case Kind::Exception: {
        TExceptionsForm *form = TExceptionsForm::open();
        GridColumns::selectRow(form->FGrid, form->ExceptionsTable,
                               QStringLiteral("RDB$EXCEPTION_NAME"), name);
        break;
    }
    case Kind::Generator:
        openGenerator(name);
        break;
    case Kind::Trigger:
        TTrigSourceForm::openStored(name);
        break;
    default:
        break;
    }
}
