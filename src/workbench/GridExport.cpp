#include "workbench/GridExport.h"

#include "core/AppError.h"
#include "ibdb/IbDriver.h"
#include "ibdb/IbResult.h"
#include "ibdb/IbSnapshot.h"
#include "ibdb/SqlErrorText.h"
#include "uikit/CsvWriter.h"
#include "uikit/InsertWriter.h"
#include "uikit/JsonWriter.h"
#include "uikit/Prompts.h"
#include "uikit/ValueText.h"

#include <QApplication>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

// Rows between two looks at the progress box: often enough for Cancel to
// answer at once, rarely enough to cost nothing.
constexpr qint64 kRowsPerTick = 2000;

const QString kFilter = QStringLiteral(
    "CSV files (*.csv);;JSON files (*.json);;SQL scripts (*.sql);;All files (*)");

int dialectOf(const QSqlDatabase &database)
{
    const auto *driver = qobject_cast<const IbDriver *>(database.driver());
    return driver ? driver->dialect() : 1;
}

std::unique_ptr<RowWriter> writerFor(QIODevice *device, const GridExport::Target &target,
                                     const QString &table, int dialect)
{
    switch (target.format) {
    case GridExport::Format::Json:
        return std::make_unique<JsonWriter>(device);
    case GridExport::Format::Sql:
        return std::make_unique<InsertWriter>(device, table, dialect);
    default:
        return std::make_unique<CsvWriter>(device, target.separator);
    }
}

QString systemReason(const QSaveFile &file)
{
    return errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
}

QString rowsText(qint64 rows)
{
    return rows == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(rows);
}

} // namespace

GridExport::GridExport(QSqlDatabase database, QString statement, QStringList names,
                       QString table)
    : m_database(std::move(database)),
      m_statement(std::move(statement)),
      m_names(std::move(names)),
      m_table(std::move(table))
{
}

GridExport::Format GridExport::formatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("json"))
        return Format::Json;
    if (suffix == QLatin1String("sql"))
        return Format::Sql;
    return Format::Csv;
}

QChar GridExport::separatorOf(const QString &typed)
{
    if (typed.compare(QLatin1String("tab"), Qt::CaseInsensitive) == 0 || typed == QLatin1String("\t"))
        return QLatin1Char('\t');
    if (typed.size() != 1 || typed.at(0) == QLatin1Char('"') || typed.at(0) == QLatin1Char('\n')
        || typed.at(0) == QLatin1Char('\r')) {
        throw GeneralError(QStringLiteral("The separator must be one character other than a "
                                          "quote or a line break, or the word Tab"));
    }
    return typed.at(0);
}

QString GridExport::leftAsItWas(const QString &path, bool existed)
{
    return existed ? QStringLiteral("%1 was left as it was").arg(path)
                   : QStringLiteral("no file %1 was written").arg(path);
}

qint64 GridExport::write(const Target &target, const Progress &progress) const
{
    const bool existed = QFileInfo::exists(target.path);
    QSaveFile file(target.path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw GeneralError(QStringLiteral("The export to %1 failed: %2")
                               .arg(target.path, file.errorString()));
    }
    qint64 rows = 0;
    try {
        rows = writeRows(&file, target, progress);
        // A buffered write that failed is heard of only here (see WholeFile).
        errno = 0;
        if (!file.flush())
            throw GeneralError(systemReason(file));
    } catch (const SilentAbort &) {
        file.cancelWriting();
        throw;
    } catch (const AppError &error) {
        file.cancelWriting();
        throw GeneralError(QStringLiteral("The export to %1 failed: %2; %3")
                               .arg(target.path, error.message(), leftAsItWas(target.path, existed)));
    }
    if (!file.commit()) {
        throw GeneralError(QStringLiteral("The export to %1 failed: %2; %3")
                               .arg(target.path, file.errorString(),
                                    leftAsItWas(target.path, existed)));
    }
    return rows;
}

qint64 GridExport::writeRows(QIODevice *device, const Target &target,
                             const Progress &progress) const
{
    // One snapshot for the whole file: its rows are those of one moment,
    // and its long blobs stay readable until the last row is written.
    const IbSnapshot snapshot(m_database);
    QSqlQuery query = snapshot.query();
    query.setForwardOnly(true);
    // Exact values, long blobs as previews read whole as they are written.
    query.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!query.exec(m_statement))
        throw DatabaseError(SqlErrorText(query.lastError()));
    // The next rows are fetched while these are written.
    IbResult::readAheadInBackground(query);
    const std::unique_ptr<RowWriter> writer =
        writerFor(device, target, m_table.isEmpty() ? target.table.trimmed() : m_table,
                  dialectOf(m_database));
    const int count = int(m_names.size());
    writer->begin(RowWriter::columns(query.record(), m_names));
    QVariantList values;
    values.reserve(count);
    qint64 rows = 0;
    while (query.next()) {
        values.clear();
        for (int i = 0; i < count; ++i)
            values << ValueText::whole(query.value(i));
        writer->row(values);
        if (++rows % kRowsPerTick == 0 && progress && !progress(rows))
            throw SilentAbort();
    }
    if (query.lastError().isValid())
        throw DatabaseError(SqlErrorText(query.lastError()));
    writer->end();
    return rows;
}

bool GridExport::ask(Target &target) const
{
    target.path = Prompts::instance().saveFileName(QStringLiteral("Export Rows"), kFilter);
    if (target.path.isEmpty())
        return false;
    target.format = formatOf(target.path);
    if (target.format == Format::Sql && m_table.isEmpty()) {
        return Prompts::instance().inputQuery(QStringLiteral("Export Rows"),
                                              QStringLiteral("Insert into table:"), target.table)
               && !target.table.trimmed().isEmpty();
    }
    if (target.format != Format::Csv)
        return true;
    QString typed = QStringLiteral(",");
    if (!Prompts::instance().inputQuery(QStringLiteral("Export Rows"),
                                        QStringLiteral("Field separator (one character, or Tab):"),
                                        typed))
        return false;
    target.separator = separatorOf(typed);
    return true;
}

void GridExport::run() const
{
    Target target;
    if (!ask(target))
        return;
    const bool existed = QFileInfo::exists(target.path);
    QProgressDialog box(QStringLiteral("Exporting rows to %1").arg(target.path),
                        QStringLiteral("Cancel"), 0, 0, QApplication::activeWindow());
    box.setWindowTitle(QStringLiteral("Export Rows"));
    box.setWindowModality(Qt::ApplicationModal);
    box.setMinimumDuration(500);
    const Progress progress = [&box](qint64 rows) {
        box.setLabelText(QStringLiteral("%1 written").arg(rowsText(rows)));
        box.setValue(0);
        QApplication::processEvents();
        return !box.wasCanceled();
    };
    qint64 rows = 0;
    try {
        rows = write(target, progress);
    } catch (const SilentAbort &) {
        Prompts::instance().inform(QStringLiteral("The export was cancelled; %1.")
                                       .arg(leftAsItWas(target.path, existed)));
        return;
    }
    Prompts::instance().inform(
        QStringLiteral("%1 exported to %2.").arg(rowsText(rows), target.path));
}
