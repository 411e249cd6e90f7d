#include "catalog/TStatisticsForm.h"

#include "controls/TableSizeChart.h"
#include "controls/UpdatesSuspended.h"
#include "ibdb/DatabaseService.h"

#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>

#include <algorithm>

#include <ibase.h>

namespace {

// A row that sorts by its figures as numbers, and by its names as text.
class FigureItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        bool mine = false;
        bool theirs = false;
        const double a = text(column).toDouble(&mine);
        const double b = other.text(column).toDouble(&theirs);
        if (mine && theirs)
            return a < b;
        return QTreeWidgetItem::operator<(other);
    }
};

QString number(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

TStatisticsForm *TStatisticsForm::open()
{
    return openInFrame<TStatisticsForm>();
}

TStatisticsForm::TStatisticsForm(QWidget *parent) : TServiceJobForm(parent)
{
    setWindowTitle(QStringLiteral("Statistics"));
    HeaderList = createList(QStringLiteral("Header"), {QStringLiteral("Entry"),
                                                       QStringLiteral("Value")});
    TableList = createList(QStringLiteral("Tables"), tableColumns());
    IndexList = createList(QStringLiteral("Indices"), indexColumns());
    Chart = new TableSizeChart(this);
    Chart->setObjectName(QStringLiteral("Chart"));
    TablesSplitter = new QSplitter(Qt::Vertical, this);
    TablesSplitter->addWidget(Chart);
    TablesSplitter->addWidget(TableList);
    TablesSplitter->setStretchFactor(1, 1);
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("Pages"));
    tabs->addTab(TablesSplitter, QStringLiteral("&Tables"));
    tabs->addTab(IndexList, QStringLiteral("&Indices"));
    tabs->addTab(HeaderList, QStringLiteral("&Header page"));
    setOptions(tabs);
    resize(760, 600);
}

QStringList TStatisticsForm::tableColumns()
{
    return {QStringLiteral("Table"),        QStringLiteral("Data pages"),
            QStringLiteral("Average fill %"), QStringLiteral("Records"),
            QStringLiteral("Versions"),     QStringLiteral("Average record length"),
            QStringLiteral("Fill 0-19 / 20-39 / 40-59 / 60-79 / 80-99%")};
}

QStringList TStatisticsForm::indexColumns()
{
    return {QStringLiteral("Table"), QStringLiteral("Index"),       QStringLiteral("Depth"),
            QStringLiteral("Leaf buckets"), QStringLiteral("Nodes"),
            QStringLiteral("Fill 0-19 / 20-39 / 40-59 / 60-79 / 80-99%")};
}

QTreeWidget *TStatisticsForm::createList(const QString &name, const QStringList &columns)
{
    auto *list = new QTreeWidget(this);
    list->setObjectName(name);
    list->setAccessibleName(name);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setHeaderLabels(columns);
    list->setSortingEnabled(name != QLatin1String("Header"));
    return list;
}

ServiceJobRunner::Job TStatisticsForm::prepare()
{
    const DatabaseService service(database(), user(), password());
    return [service](const ServiceMonitor &monitor) {
        service.statistics(isc_spb_sts_data_pages | isc_spb_sts_idx_pages
                               | isc_spb_sts_record_versions,
                           monitor);
    };
}

void TStatisticsForm::jobEnded(ServiceJobRunner::End end)
{
    if (end != ServiceJobRunner::End::Succeeded)
        return;
    m_statistics = DatabaseStatistics(Log->toPlainText().split(QLatin1Char('\n')));
    showStatistics();
}

void TStatisticsForm::showStatistics()
{
    const UpdatesSuspended suspended({HeaderList, TableList, IndexList});
    HeaderList->clear();
    TableList->clear();
    IndexList->clear();
    for (const auto &[name, value] : m_statistics.header())
        HeaderList->addTopLevelItem(new QTreeWidgetItem(QStringList{name, value}));
    QList<TableSizeChart::Bar> bars;
    for (const DatabaseStatistics::Table &table : m_statistics.tables()) {
        TableList->addTopLevelItem(new FigureItem(QStringList{
            table.name, QString::number(table.dataPages), QString::number(table.averageFill),
            QString::number(table.records), QString::number(table.versions),
            number(table.averageRecordLength), DatabaseStatistics::fillText(table.fill)}));
        for (const DatabaseStatistics::Index &index : table.indices)
            IndexList->addTopLevelItem(new FigureItem(QStringList{
                table.name, index.name, QString::number(index.depth),
                QString::number(index.leafBuckets), QString::number(index.nodes),
                DatabaseStatistics::fillText(index.fill)}));
        bars.append({table.name, table.dataPages});
    }
    TableList->sortByColumn(1, Qt::DescendingOrder);
    Chart->setBars(bars);
    showChartWhole();
}

// The splitter shared its height out before there were bars; the chart is
// what people look at first, so it gets its bars' height, up to half.
void TStatisticsForm::showChartWhole()
{
    const QList<int> sizes = TablesSplitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (total <= 0)
        return;
    const int chart = std::min(Chart->sizeHint().height(), total / 2);
    TablesSplitter->setSizes({chart, total - chart});
}
