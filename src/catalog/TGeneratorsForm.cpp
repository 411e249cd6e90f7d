#include "catalog/TGeneratorsForm.h"

#include "catalog/TGenValueForm.h"
#include "controls/ColumnResizeBatch.h"
#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "controls/UpdatesSuspended.h"
#include "ibdb/IbGeneratorValue.h"
#include "ibdb/TDMSys.h"
#include "uikit/CatalogQuery.h"
#include "uikit/Command.h"

#include <QHeaderView>
#include <QMenu>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>

namespace {

enum Column { NameColumn = 0, ValueColumn = 1, SystemColumn = 2 };

// A row that takes its place in the list by the window's comparison.
class GeneratorItem : public QTreeWidgetItem
{
public:
    GeneratorItem(const TGeneratorsForm *form, const QStringList &texts)
        : QTreeWidgetItem(texts), m_form(form)
    {
    }

    bool operator<(const QTreeWidgetItem &other) const override
    {
        return m_form->GeneratorListCompare(this, &other) < 0;
    }

private:
    const TGeneratorsForm *m_form;
};

int sign(qint64 a, qint64 b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace

TGeneratorsForm *TGeneratorsForm::open()
{
    return openInFrame<TGeneratorsForm>(&TGeneratorsForm::FormCreate);
}

TGeneratorsForm::TGeneratorsForm(QWidget *parent)
    : TChildForm(parent), SysGenQuery(new CatalogQuery(this))
{
    setWindowTitle(QStringLiteral("Generators"));
    createToolPanel();
    createList();
    createMenu();
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(ComPanel);
    layout->addWidget(GeneratorList);
    resize(480, 300);
}

void TGeneratorsForm::createToolPanel()
{
    ComPanel = new TToolPanel(this);
    ComPanel->setFixedHeight(37);
    NewBtn = ComPanel->addButton(QStringLiteral("new"), QStringLiteral("Create new generator"));
    EditBtn = ComPanel->addButton(QStringLiteral("edit"),
                                  QStringLiteral("Edit generator value"));
    RefreshBtb = ComPanel->addButton(QStringLiteral("refresh"),
                                     QStringLiteral("Refresh generators list"));
    SystemGenView = ComPanel->addCaptionButton(QStringLiteral("system"),
                                               QStringLiteral("&System "),
                                               QStringLiteral("Show system generators"));
    ComPanel->addStretch();
    SystemGenView->setGroupIndex(1);
    SystemGenView->setAllowAllUp(true);
    SystemGenView->setDown(false);
    onClick(NewBtn, [this] { NewBtnClick(); });
    onClick(EditBtn, [this] { EditBtnClick(); });
    onClick(RefreshBtb, [this] { RefreshBtbClick(); });
    onClick(SystemGenView, [this] { SystemGenViewClick(); });
}

void TGeneratorsForm::createList()
{
    GeneratorList = new QTreeWidget(this);
    GeneratorList->setObjectName(QStringLiteral("GeneratorList"));
    GeneratorList->setAccessibleName(QStringLiteral("Generators"));
    GeneratorList->setRootIsDecorated(false);
    GeneratorList->setUniformRowHeights(true);
    GeneratorList->setAllColumnsShowFocus(true);
    GeneratorList->setSelectionMode(QAbstractItemView::SingleSelection);
    GeneratorList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GeneratorList->setHeaderLabels(
        {QStringLiteral("Generator name"), QStringLiteral("Value"), QStringLiteral("System")});
    const ColumnResizeBatch columns(GeneratorList);
    GeneratorList->setColumnWidth(NameColumn, 250);
    GeneratorList->setColumnWidth(ValueColumn, 100);
    GeneratorList->setColumnWidth(SystemColumn, 107);
    QHeaderView *header = GeneratorList->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { Command::run([=, this] { GeneratorListColumnClick(column); }); });
    connect(GeneratorList, &QTreeWidget::itemDoubleClicked, this,
            Command::guard([this] { EditBtnClick(); }));
}

void TGeneratorsForm::createMenu()
{
    QMenu *menu = createFormMenu(QStringLiteral("&Generators"));
    menu->menuAction()->setStatusTip(QStringLiteral("Generators menu"));
    Command::addAction(
        menu, QStringLiteral("&New"), QStringLiteral("Create new generator"),
        [this] { NewBtnClick(); }, QKeySequence(Qt::Key_Insert));
    Command::addAction(
        menu, QStringLiteral("&Value"), QStringLiteral("Set generator value"),
        [this] { EditBtnClick(); }, QKeySequence(Qt::CTRL | Qt::Key_E));
    Command::addAction(
        menu, QStringLiteral("&Refresh"), QStringLiteral("Refresh table contents"),
        [this] { RefreshBtbClick(); }, QKeySequence(Qt::Key_F5));
}

void TGeneratorsForm::FormCreate()
{
    SysGenQuery->setLines({
        QStringLiteral("SELECT RG.RDB$GENERATOR_NAME , "),
        QStringLiteral(" RG.RDB$SYSTEM_FLAG "),
        QStringLiteral("FROM RDB$GENERATORS RG"),
    });
    FillGeneratorList();
}

void TGeneratorsForm::FillGeneratorList()
{
    const bool showSystem = SystemGenView->down();
    const UpdatesSuspended suspended({GeneratorList});
    GeneratorList->clear();
    // Whatever row the fill ends at, what was read so far is shown in order.
    const auto finish = qScopeGuard([this] {
        SysGenQuery->close();
        sortList();
    });
    SysGenQuery->open();
    SysGenQuery->fetchAll();
    QStringList names;
    QList<bool> systemFlags;
    for (int row = 0; row < SysGenQuery->rowCount(); ++row) {
        const QSqlRecord record = SysGenQuery->record(row);
        // An identity column's generator carries system flag 6: it belongs to
        // the column, not to the user, and is listed as a system generator.
        const bool system = record.value(1).toInt() != 0;
        if (system && !showSystem)
            continue;
        names << record.value(0).toString();
        systemFlags << system;
    }
    // The values are read in one go; those read before a failure are listed.
    QList<qint64> values;
    const auto list = qScopeGuard([&] {
        for (qsizetype i = 0; i < values.size(); ++i)
            addGenerator(names[i], values[i], systemFlags[i]);
    });
    IbGeneratorValue::readAll(QSqlDatabase::database(TDMSys::ibName()), names, values);
}

void TGeneratorsForm::addGenerator(const QString &name, qint64 value, bool system)
{
    const QString systemText = system ? QStringLiteral("Yes") : QStringLiteral("No");
    GeneratorList->addTopLevelItem(
        new GeneratorItem(this, {name, QString::number(value), systemText}));
}

void TGeneratorsForm::sortList()
{
    // Every item compares through GeneratorListCompare, which applies the
    // window's own column and direction; the view's order flag stays ascending.
    GeneratorList->sortItems(m_sortColumn, Qt::AscendingOrder);
}

int TGeneratorsForm::GeneratorListCompare(const QTreeWidgetItem *item1,
                                          const QTreeWidgetItem *item2) const
{
    const QString text1 = item1->text(m_sortColumn);
    const QString text2 = item2->text(m_sortColumn);
    int raw = 0;
    if (m_sortColumn == ValueColumn)
        raw = sign(text2.toLongLong(), text1.toLongLong());
    else
        raw = QString::localeAwareCompare(text1, text2);
    return raw * m_sortDirection;
}

void TGeneratorsForm::GeneratorListColumnClick(int column)
{
    m_sortDirection = column == m_sortColumn ? -m_sortDirection : 1;
    m_sortColumn = column;
    sortList();
}

void TGeneratorsForm::RefreshBtbClick()
{
    FillGeneratorList();
}

void TGeneratorsForm::SystemGenViewClick()
{
    FillGeneratorList();
}

void TGeneratorsForm::NewBtnClick()
{
    // Refilled whatever the answer: a failed value may have left the generator created.
    std::make_unique<TGenValueForm>()->ShowForNew();
    FillGeneratorList();
}

void TGeneratorsForm::EditBtnClick()
{
    const QList<QTreeWidgetItem *> selected = GeneratorList->selectedItems();
    if (selected.isEmpty())
        return;
    const QTreeWidgetItem *item = selected.first();
    std::make_unique<TGenValueForm>()->ShowForValue(item->text(NameColumn),
                                                    item->text(ValueColumn));
}
