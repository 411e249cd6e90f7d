#include "ExportBench.h"

#include "BenchClock.h"
#include "IscSession.h"
#include "IscStatement.h"

#include "ibdb/TDMSys.h"
#include "workbench/GridExport.h"
#include "workbench/TDataForm.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlTableModel>
#include <QTemporaryDir>

#include <algorithm>
#include <limits>

namespace {

const QString kTable = QStringLiteral("BENCH_ROWS");
const QString kSelect = QStringLiteral("SELECT ID, NAME, AMOUNT, CREATED FROM BENCH_ROWS");
const QStringList kNames = {QStringLiteral("ID"), QStringLiteral("NAME"),
                            QStringLiteral("AMOUNT"), QStringLiteral("CREATED")};
constexpr double kGoal = 1.3;

} // namespace

QList<BenchMeasure> ExportBench::measures() const
{
    return {csv(), sortedFirstScreen()};
}

BenchMeasure ExportBench::csv() const
{
    BenchMeasure measure;
    measure.name = QStringLiteral("export_csv");
    measure.goal = kGoal;
    measure.quorvelMs = measure.rawMs = std::numeric_limits<double>::max();
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("rows.csv"));
    const GridExport rows(QSqlDatabase::database(TDMSys::ibName()), kSelect, kNames, kTable);
    for (int i = 0; i < m_repeats; ++i) {
        const double before = BenchClock::residentMb();
        QElapsedTimer timer;
        timer.start();
        measure.rows = int(rows.write({path, GridExport::Format::Csv}, {}));
        measure.quorvelMs = std::min(measure.quorvelMs, BenchClock::elapsedMs(timer));
        measure.rssMb = BenchClock::residentMb();
        measure.addedMb = std::max(measure.addedMb, measure.rssMb - before);
        int rawRows = 0;
        measure.rawMs = std::min(measure.rawMs, rawCsvMs(path, rawRows));
    }
    measure.dataMb = double(QFile(path).size()) / (1024.0 * 1024.0);
    return measure;
}

// The bare client fetches every row and writes the bytes the export wrote,
// a share a row, as it goes.
double ExportBench::rawCsvMs(const QString &written, int &rows) const
{
    QFile source(written);
    source.open(QIODevice::ReadOnly);
    const QByteArray bytes = source.readAll();
    QTemporaryDir folder;
    QFile target(folder.filePath(QStringLiteral("raw.csv")));
    target.open(QIODevice::WriteOnly);
    QElapsedTimer timer;
    timer.start();
    IbTransaction transaction = m_raw.readCommitted();
    {
        IscStatement statement(m_raw, transaction, kSelect.toStdString());
        statement.execute(true);
        const qint64 perRow = 40;
        qint64 at = 0;
        while (statement.fetch()) {
            statement.readBlobs();
            ++rows;
            const qint64 size = std::min<qint64>(perRow, bytes.size() - at);
            if (size > 0) {
                target.write(bytes.constData() + at, size);
                at += size;
            }
        }
        if (at < bytes.size())
            target.write(bytes.constData() + at, bytes.size() - at);
    }
    m_raw.commit(transaction);
    target.flush();
    return BenchClock::elapsedMs(timer);
}

BenchMeasure ExportBench::sortedFirstScreen() const
{
    BenchMeasure measure;
    measure.name = QStringLiteral("sort_first_screen");
    measure.goal = kGoal;
    measure.quorvelMs = measure.rawMs = std::numeric_limits<double>::max();
    TDataForm form;
    form.resize(800, 600);
    form.openRelation(kTable);
    const int name = form.SrcTable->fieldIndex(QStringLiteral("NAME"));
    for (int i = 0; i < m_repeats; ++i) {
        // Each repeat sorts afresh: the other way first, then by the name.
        form.sortBy(name, Qt::DescendingOrder);
        QElapsedTimer timer;
        timer.start();
        form.sortBy(name, Qt::AscendingOrder);
        measure.quorvelMs = std::min(measure.quorvelMs, BenchClock::elapsedMs(timer));
        measure.rows = form.SrcTable->rowCount();
        measure.rawMs = std::min(measure.rawMs, rawFirstBatchMs(measure.rows));
    }
    measure.rssMb = BenchClock::residentMb();
    return measure;
}

double ExportBench::rawFirstBatchMs(int rows) const
{
    QElapsedTimer timer;
    timer.start();
    IbTransaction transaction = m_raw.readCommitted();
    {
        IscStatement statement(m_raw, transaction,
                               "SELECT ID, NAME, AMOUNT, CREATED, RDB$RECORD_VERSION "
                               "FROM BENCH_ROWS ORDER BY NAME ASC");
        statement.execute(true);
        for (int i = 0; i < rows && statement.fetch(); ++i)
            statement.readBlobs();
    }
    const double ms = BenchClock::elapsedMs(timer);
    m_raw.commit(transaction);
    return ms;
}
