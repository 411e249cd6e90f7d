#include "catalog/TPrivilegesForm.h"

#include "catalog/AdminWindow.h"
#include "catalog/PrivilegeGridModel.h"
#include "catalog/StatementSet.h"
#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "core/AppError.h"
#include "uikit/Command.h"
#include "uikit/Prompts.h"
#include "workbench/TSQLSourceForm.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace {

using Row = PrivilegeGridModel::Row;
using Kind = PrivilegeTarget::Kind;

QString granteeKind(const PrivilegeGrantee &grantee)
{
    return grantee.isPublic() ? QString() : PrivilegeGrantee::typeName(grantee.type);
}

bool isRelation(const PrivilegeTarget &target)
{
    return target.kind == Kind::Table || target.kind == Kind::View;
}

} // namespace

TPrivilegesForm *TPrivilegesForm::open()
{
    return openInFrame<TPrivilegesForm>(&TPrivilegesForm::FormCreate);
}

TPrivilegesForm::TPrivilegesForm(QWidget *parent)
    : TChildForm(parent),
      MatrixModel(new PrivilegeGridModel(m_matrix, QStringLiteral("Kind"), QStringLiteral("Name"),
                                         this)),
      ColumnModel(new PrivilegeGridModel(m_matrix, QStringLiteral("Kind"),
                                         QStringLiteral("Column"), this))
{
    setWindowTitle(QStringLiteral("Privileges"));
    createToolPanel();
    createMenu();
    MatrixGrid = createGrid(QStringLiteral("Privileges"), MatrixModel);
    ColumnsLabel = new QLabel(this);
    ColumnsLabel->setObjectName(QStringLiteral("ColumnsLabel"));
    ColumnsLabel->setContentsMargins(4, 2, 4, 2);
    ColumnGrid = createGrid(QStringLiteral("Column privileges"), ColumnModel);
    auto *lower = new QWidget(this);
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);
    lowerLayout->addWidget(ColumnsLabel);
    lowerLayout->addWidget(ColumnGrid);
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(MatrixGrid);
    splitter->addWidget(lower);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(ComPanel);
    layout->addWidget(splitter);
    connect(MatrixGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            Command::guard([this] { showColumns(); }));
    for (PrivilegeGridModel *model : {MatrixModel, ColumnModel})
        connect(model, &QAbstractItemModel::dataChanged, this, [this] { updateButtons(); });
    updateButtons();
    resize(760, 480);
}

void TPrivilegesForm::createToolPanel()
{
    ComPanel = new TToolPanel(this);
    ModeBox = new QComboBox(ComPanel);
    ModeBox->setObjectName(QStringLiteral("ModeBox"));
    ModeBox->setAccessibleName(QStringLiteral("Matrix of"));
    ModeBox->addItems({QStringLiteral("By grantee"), QStringLiteral("By object")});
    ComPanel->addWidget(ModeBox);
    SubjectBox = new QComboBox(ComPanel);
    SubjectBox->setObjectName(QStringLiteral("SubjectBox"));
    SubjectBox->setAccessibleName(QStringLiteral("Grantee or object"));
    SubjectBox->setMinimumContentsLength(24);
    SubjectBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComPanel->addWidget(SubjectBox);
    ComPanel->addSeparator();
    ApplyBtn = ComPanel->addCaptionButton(
        QStringLiteral("post"), QStringLiteral("&Apply"),
        QStringLiteral("Shows the GRANT and REVOKE statements of the changes and runs them"));
    RevertBtn = ComPanel->addCaptionButton(QStringLiteral("cancel"), QStringLiteral("Re&vert"),
                                           QStringLiteral("Forgets the changes not applied"));
    RefreshBtn = ComPanel->addButton(QStringLiteral("refresh"), QStringLiteral("Refresh privileges"));
    ComPanel->addStretch();
    onClick(ApplyBtn, [this] { ApplyBtnClick(); });
    onClick(RevertBtn, [this] { RevertBtnClick(); });
    onClick(RefreshBtn, [this] { RefreshBtnClick(); });
    connect(ModeBox, &QComboBox::currentIndexChanged, this,
            Command::guard([this] { fillSubjects(); }));
    connect(SubjectBox, &QComboBox::currentIndexChanged, this,
            Command::guard([this] { showSubject(); }));
}

void TPrivilegesForm::createMenu()
{
    QMenu *menu = createFormMenu(QStringLiteral("&Privileges"));
    Command::addAction(menu, QStringLiteral("&Apply…"),
                       QStringLiteral("Shows the GRANT and REVOKE statements of the changes and "
                                      "runs them"),
                       [this] { ApplyBtnClick(); });
    Command::addAction(menu, QStringLiteral("Re&vert"),
                       QStringLiteral("Forgets the changes not applied"),
                       [this] { RevertBtnClick(); });
    Command::addAction(
        menu, QStringLiteral("&Refresh"), QStringLiteral("Refresh privileges"),
        [this] { RefreshBtnClick(); }, QKeySequence(Qt::Key_F5));
}

QTableView *TPrivilegesForm::createGrid(const QString &name, PrivilegeGridModel *model)
{
    auto *grid = new QTableView(this);
    grid->setObjectName(name);
    grid->setAccessibleName(name);
    grid->setModel(model);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    // A cell steps on by a double click or the space bar.
    connect(grid, &QAbstractItemView::doubleClicked, this, [this, grid](const QModelIndex &cell) {
        Command::run([&] { toggleCell(grid, cell); });
    });
    auto *toggle = new QAction(QStringLiteral("Toggle"), grid);
    toggle->setShortcut(QKeySequence(Qt::Key_Space));
    toggle->setShortcutContext(Qt::WidgetShortcut);
    connect(toggle, &QAction::triggered, this,
            Command::guard([this, grid] { toggleCell(grid, grid->currentIndex()); }));
    grid->addAction(toggle);
    return grid;
}

QString TPrivilegesForm::objectCaption(const PrivilegeTarget &target)
{
    const QString name =
        target.kind == Kind::Ddl ? PrivilegeTarget::ddlKeyword(target.name) : target.name;
    return PrivilegeTarget::kindName(target.kind) + QLatin1Char(' ') + name;
}

void TPrivilegesForm::FormCreate()
{
    reload();
}

void TPrivilegesForm::reload()
{
    const QString subject = SubjectBox->currentText();
    m_catalog = PrivilegeCatalog::read(AdminWindow::connection(), AdminWindow::userNames());
    m_matrix = std::move(m_catalog.matrix);
    m_columns.clear();
    fillSubjects();
    selectSubject(subject);
}

void TPrivilegesForm::RefreshBtnClick()
{
    if (m_matrix.changed()
        && Prompts::instance().confirm(QStringLiteral("Forget the privilege changes not applied?"),
                                       Prompts::Buttons::OkCancel)
               != Prompts::Answer::Ok)
        throw SilentAbort();
    reload();
}

TPrivilegesForm::Mode TPrivilegesForm::mode() const
{
    return ModeBox->currentIndex() == 1 ? Mode::ByObject : Mode::ByGrantee;
}

void TPrivilegesForm::setMode(Mode mode)
{
    ModeBox->setCurrentIndex(mode == Mode::ByObject ? 1 : 0);
}

void TPrivilegesForm::fillSubjects()
{
    QStringList captions;
    if (mode() == Mode::ByGrantee) {
        for (const PrivilegeGrantee &grantee : std::as_const(m_catalog.grantees))
            captions << grantee.caption();
    } else {
        for (const PrivilegeTarget &target : std::as_const(m_catalog.objects))
            captions << objectCaption(target);
    }
    const QSignalBlocker quiet(SubjectBox);
    SubjectBox->clear();
    SubjectBox->addItems(captions);
    showSubject();
}

bool TPrivilegesForm::selectSubject(const QString &caption)
{
    const int at = SubjectBox->findText(caption);
    if (at < 0)
        return false;
    SubjectBox->setCurrentIndex(at);
    return true;
}

void TPrivilegesForm::showSubject()
{
    const int subject = SubjectBox->currentIndex();
    QList<Row> rows;
    if (subject >= 0 && mode() == Mode::ByGrantee) {
        const PrivilegeGrantee &grantee = m_catalog.grantees.at(subject);
        rows.reserve(m_catalog.objects.size());
        for (const PrivilegeTarget &target : std::as_const(m_catalog.objects)) {
            const QString name =
                target.kind == Kind::Ddl ? PrivilegeTarget::ddlKeyword(target.name) : target.name;
            rows << Row{target, grantee, PrivilegeTarget::kindName(target.kind), name};
        }
    } else if (subject >= 0) {
        const PrivilegeTarget &target = m_catalog.objects.at(subject);
        // Users and roles are offered whether or not they hold anything;
        // routines, triggers and views when they do.
        const QList<PrivilegeGrantee> holders = m_matrix.granteesOf(target);
        for (const PrivilegeGrantee &grantee : std::as_const(m_catalog.grantees)) {
            const bool person = grantee.type == PrivilegeGrantee::User
                                || grantee.type == PrivilegeGrantee::Role;
            if (person || holders.contains(grantee))
                rows << Row{target, grantee, granteeKind(grantee), grantee.name};
        }
    }
    MatrixModel->setRows(rows);
    if (!rows.isEmpty())
        MatrixGrid->setCurrentIndex(MatrixModel->index(0, 0));
    showColumns();
}

bool TPrivilegesForm::selectRow(const QString &kind, const QString &name)
{
    const int at = MatrixModel->find(kind, name);
    if (at < 0)
        return false;
    MatrixGrid->setCurrentIndex(MatrixModel->index(at, 0));
    return true;
}

QStringList TPrivilegesForm::columnsOf(const QString &relation)
{
    auto found = m_columns.find(relation);
    if (found == m_columns.end())
        found = m_columns.insert(relation,
                                 PrivilegeCatalog::columnsOf(AdminWindow::connection(), relation));
    return *found;
}

void TPrivilegesForm::showColumns()
{
    const Row *selected = MatrixModel->row(MatrixGrid->currentIndex().row());
    QList<Row> rows;
    if (selected && isRelation(selected->target)) {
        for (const QString &column : columnsOf(selected->target.name)) {
            PrivilegeTarget target = selected->target;
            target.column = column;
            rows << Row{target, selected->grantee, QStringLiteral("Column"), column};
        }
        ColumnsLabel->setText(QStringLiteral("Columns of %1 for %2")
                                  .arg(selected->target.name, selected->grantee.caption()));
    } else {
        ColumnsLabel->setText(QStringLiteral("Columns: select a table or view"));
    }
    ColumnModel->setRows(rows);
}

void TPrivilegesForm::toggleCell(QTableView *grid, const QModelIndex &cell)
{
    auto *model = static_cast<PrivilegeGridModel *>(grid->model());
    model->toggle(cell);
    // The matrix and its column grid show the same matrix.
    (model == MatrixModel ? ColumnModel : MatrixModel)->refreshCells();
}

void TPrivilegesForm::updateButtons()
{
    ApplyBtn->setEnabled(m_matrix.changed());
    RevertBtn->setEnabled(m_matrix.changed());
}

void TPrivilegesForm::RevertBtnClick()
{
    m_matrix.revert();
    MatrixModel->refreshCells();
    ColumnModel->refreshCells();
    updateButtons();
}

void TPrivilegesForm::ApplyBtnClick()
{
    const QStringList statements = m_matrix.statements(AdminWindow::dialect());
    if (statements.isEmpty())
        throw GeneralError(QStringLiteral("No privilege has been changed"));
    ShowSQLSource(statements);
    // A refusal undoes the whole set and keeps the changes on screen, to
    // be corrected and applied again.
    StatementSet::run(statements);
    m_matrix.revert();
    reload();
}
