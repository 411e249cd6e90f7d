#include "catalog/TViewStatementWiz.h"

#include "catalog/TRelSelectionView.h"
#include "core/AppError.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "uikit/CatalogQuery.h"
#include "uikit/Command.h"
#include "uikit/ModalForms.h"

#include <QAction>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int DesignDpi = 120;
constexpr int LeftPanelWidth = 180;
constexpr int GridHeight = 300;
constexpr int EmptyGridRows = 4;

const QStringList kMappingQuery{
    QStringLiteral("SELECT RFV.RDB$FIELD_NAME , "),
    QStringLiteral(" RFT.RDB$FIELD_NAME"),
    QStringLiteral("FROM RDB$RELATION_FIELDS RFV , RDB$VIEW_RELATIONS VRE , "),
    QStringLiteral(" RDB$RELATION_FIELDS RFT"),
    QStringLiteral("WHERE ( RFV.RDB$VIEW_CONTEXT = VRE.RDB$VIEW_CONTEXT )"),
    QStringLiteral("  AND"),
    QStringLiteral(" ( VRE.RDB$VIEW_NAME = RFV.RDB$RELATION_NAME )"),
    QStringLiteral("  AND"),
    QStringLiteral(" ( RFT.RDB$RELATION_NAME = VRE.RDB$RELATION_NAME )"),
    QStringLiteral("  AND"),
    QStringLiteral(" ( RFT.RDB$FIELD_NAME = RFV.RDB$BASE_FIELD )"),
    QStringLiteral("  AND"),
    QStringLiteral(" ("),
    QStringLiteral(" ( ( RFV.RDB$RELATION_NAME =:VIEW_NAME ) AND"),
    QStringLiteral("  ( RFT.RDB$RELATION_NAME =:TABLE_NAME ) )"),
    QStringLiteral(" )"),
};

QLabel *boldLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

TViewStatementWiz::TViewStatementWiz(const QString &caption, const QString &relationLabel,
                                     const QStringList &note, const QList<GridTitle> &columns,
                                     QWidget *parent)
    : QDialog(parent), m_columns(columns), FldsQuery(new CatalogQuery(this))
{
    setWindowTitle(caption);
    FldsQuery->setLines(kMappingQuery);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(buildLeftPanel(relationLabel, note));
    buildGrid();
    StmGrid->setAccessibleName(caption);
    layout->addWidget(StmGrid, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    buildGridMenu();
}

QWidget *TViewStatementWiz::buildLeftPanel(const QString &relationLabel, const QStringList &note)
{
    auto *panel = new QWidget(this);
    panel->setFixedWidth(LeftPanelWidth);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(new QLabel(QStringLiteral("View name"), panel));
    VNameLabel = boldLabel(panel);
    column->addWidget(VNameLabel);
    column->addWidget(new QLabel(relationLabel, panel));
    RelName = boldLabel(panel);
    column->addWidget(RelName);
    SelRelBtn = new QPushButton(QStringLiteral("&Select table"), panel);
    connect(SelRelBtn, &QPushButton::clicked, this, Command::guard([this] { SelRelBtnClick(); }));
    column->addWidget(SelRelBtn);
    auto *noteBox = new QPlainTextEdit(note.join(QLatin1Char('\n')), panel);
    noteBox->setReadOnly(true);
    noteBox->setFixedHeight(noteBox->fontMetrics().lineSpacing() * (note.size() + 1));
    column->addWidget(noteBox);
    m_belowNote = new QVBoxLayout;
    column->addLayout(m_belowNote);
    column->addStretch(1);
    OkBtn = new QPushButton(QStringLiteral("&Ok"), panel);
    OkBtn->setDefault(true);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), panel);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    column->addLayout(buttons);
    return panel;
}

void TViewStatementWiz::buildGrid()
{
    StmGrid = new QTableWidget(EmptyGridRows, int(m_columns.size()), this);
    StmGrid->verticalHeader()->hide();
    StmGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    StmGrid->setHorizontalHeaderLabels(QStringList(m_columns.size(), QString()));
    StmGrid->setContextMenuPolicy(Qt::PreventContextMenu);
    int total = 2 * StmGrid->frameWidth();
    for (int c = 0; c < m_columns.size(); ++c) {
        const int width = m_columns[c].width * logicalDpiX() / DesignDpi;
        StmGrid->setColumnWidth(c, width);
        total += width;
    }
    StmGrid->setFixedSize(total + StmGrid->style()->pixelMetric(QStyle::PM_ScrollBarExtent),
                          GridHeight * logicalDpiY() / DesignDpi);
    StmGrid->viewport()->installEventFilter(this);
}

void TViewStatementWiz::buildGridMenu()
{
    GridMenu = new QMenu(this);
    auto add = [this](const QString &text, const QString &hint, const QKeySequence &key,
                      std::function<void()> handler) {
        QAction *action = GridMenu->addAction(text);
        action->setStatusTip(hint);
        action->setShortcut(key);
        // The shortcuts work while the grid has the focus, menu shown or not.
        action->setShortcutContext(Qt::WidgetShortcut);
        StmGrid->addAction(action);
        connect(action, &QAction::triggered, this, Command::guard(std::move(handler)));
        return action;
    };
    MnNew = add(QStringLiteral("&New"), QStringLiteral("Change modifier to NEW"),
                QKeySequence(Qt::CTRL | Qt::Key_N),
                [this] { MnNewClick(QStringLiteral("NEW.")); });
    MnOld = add(QStringLiteral("&Old"), QString(), QKeySequence(Qt::CTRL | Qt::Key_O),
                [this] { MnNewClick(QStringLiteral("OLD.")); });
    GridMenu->addSeparator();
    MnClear = add(QStringLiteral("&Clear"), QStringLiteral("Clear contents of cell"),
                  QKeySequence(Qt::Key_Delete), [this] { MnClearClick(); });
}

void TViewStatementWiz::runFor(const QString &viewName)
{
    setViewName(viewName);
    if (ModalForms::exec(this) != QDialog::Accepted)
        throw SilentAbort();
}

void TViewStatementWiz::setViewName(const QString &name)
{
    VNameLabel->setText(name);
}

QString TViewStatementWiz::viewName() const
{
    return VNameLabel->text();
}

QString TViewStatementWiz::relationName() const
{
    return RelName->text();
}

void TViewStatementWiz::relationChosen(const QString &) {}

QString TViewStatementWiz::cellText(int row, int column) const
{
    const QTableWidgetItem *item = StmGrid->item(row, column);
    return item ? item->text() : QString();
}

void TViewStatementWiz::setCellText(int row, int column, const QString &text)
{
    if (QTableWidgetItem *item = StmGrid->item(row, column))
        item->setText(text);
    else
        StmGrid->setItem(row, column, new QTableWidgetItem(text));
}

QList<StatementRow> TViewStatementWiz::rows() const
{
    QList<StatementRow> list;
    const bool hasCriteria = StmGrid->columnCount() > CriteriaCol;
    for (int r = 0; r < StmGrid->rowCount(); ++r) {
        list.append({cellText(r, FieldCol), cellText(r, ValueCol),
                     hasCriteria ? cellText(r, CriteriaCol) : QString()});
    }
    return list;
}

void TViewStatementWiz::SelRelBtnClick()
{
    const QString relation = SelectBaseRelation(viewName());
    RelName->setText(relation);
    relationChosen(relation);
    const auto closeMapping = qScopeGuard([this] { FldsQuery->close(); });
    FldsQuery->close();
    FldsQuery->setParam(QStringLiteral("VIEW_NAME"), viewName());
    FldsQuery->setParam(QStringLiteral("TABLE_NAME"), relation);
    FldsQuery->open();
    FldsQuery->fetchAll();
    fillGrid(baseColumns(relation));
    QStringList titles;
    for (const GridTitle &column : m_columns)
        titles << column.title;
    StmGrid->setHorizontalHeaderLabels(titles);
}

QStringList TViewStatementWiz::baseColumns(const QString &relation) const
{
    const QSqlRecord record = QSqlDatabase::database(TDMSys::ibName()).record(relation);
    if (record.isEmpty())
        throw DatabaseError(QStringLiteral("Table does not exist: \"%1\"").arg(relation));
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    return names;
}

void TViewStatementWiz::fillGrid(const QStringList &columns)
{
    StmGrid->setRowCount(int(columns.size()));
    for (int r = 0; r < columns.size(); ++r) {
        setCellText(r, FieldCol, columns[r]);
        setCellText(r, ValueCol, ViewColumnFor(columns[r]));
    }
}

QString TViewStatementWiz::ViewColumnFor(const QString &baseColumn) const
{
    for (int r = 0; r < FldsQuery->rowCount(); ++r) {
        const QSqlRecord row = FldsQuery->record(r);
        if (row.value(1).toString() == baseColumn)
            return QStringLiteral("NEW.")
                   + DMSys->IBDataBase->sqlName(row.value(0).toString());
    }
    return QString();
}

void TViewStatementWiz::MnNewClick(const QString &prefix)
{
    const int row = StmGrid->currentRow();
    if (row < 0)
        return;
    const QString value = cellText(row, ValueCol);
    if (!value.isEmpty())
        setCellText(row, ValueCol, ViewTriggerStatements::WithModifier(value, prefix));
}

void TViewStatementWiz::MnClearClick()
{
    const int row = StmGrid->currentRow();
    if (row >= 0)
        setCellText(row, ValueCol, QString());
}

void TViewStatementWiz::StmGridMouseDown(const QPoint &position)
{
    const QModelIndex cell = StmGrid->indexAt(position);
    if (!cell.isValid())
        return;
    StmGrid->setCurrentCell(cell.row(), cell.column());
    GridMenu->popup(StmGrid->viewport()->mapToGlobal(position));
}

bool TViewStatementWiz::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == StmGrid->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            const QPoint position = mouse->position().toPoint();
            Command::run([this, position] { StmGridMouseDown(position); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
