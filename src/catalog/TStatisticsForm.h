#pragma once

#include "catalog/TServiceJobForm.h"
#include "schema/DatabaseStatistics.h"

class QTreeWidget;
class QSplitter;
class TableSizeChart;

// Database > Statistics: the server's statistics of the connected
// database, read as a job: the header page, every table's pages, fill,
// records and versions, every index's depth, buckets and nodes, in lists
// that sort by any column, and the largest tables as bars, since those are
// what people look at first.
class TStatisticsForm : public TServiceJobForm
{
    Q_OBJECT

public:
    static TStatisticsForm *open();
    explicit TStatisticsForm(QWidget *parent = nullptr);

    static QStringList tableColumns();
    static QStringList indexColumns();
    const DatabaseStatistics &statistics() const { return m_statistics; }

    QTreeWidget *HeaderList;
    QTreeWidget *TableList;
    QTreeWidget *IndexList;
    TableSizeChart *Chart;
    QSplitter *TablesSplitter;

protected:
    ServiceJobRunner::Job prepare() override;
    void jobEnded(ServiceJobRunner::End end) override;

private:
    QTreeWidget *createList(const QString &name, const QStringList &columns);
    void showStatistics();
    void showChartWhole();

    DatabaseStatistics m_statistics{QStringList()};
};
