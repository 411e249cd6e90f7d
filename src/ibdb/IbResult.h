#pragma once

#include <QHash>
#include <QSqlResult>
#include <QStringList>
#include <QVariantList>

#include "ibdb/IbError.h"
#include "ibdb/IbHandles.h"
#include "ibdb/IbReadAhead.h"
#include "ibdb/IbRowBuffer.h"
#include "ibdb/StatementTimes.h"

#include <atomic>
#include <memory>
#include <optional>

class IbDriver;
class IbQuery;
class QSqlQuery;

// A query of the INTRBASE driver. Rows stream in only as they are asked
// for, a batch at a time, and stay in memory as the server sent them, so
// seeking back works; a forward-only query keeps just its latest batch.
// Exact reading (the grids') gives a blob longer than kWholeBlob as an
// IbBlobPreview. Bound values are found by name (":NAME", ":\"NAME\"" and
// "NAME" are one name) or by position.
class IbResult : public QSqlResult
{
public:
    // The longest blob an exact run keeps whole.
    static constexpr qint64 kWholeBlob = 8 * 1024;

    explicit IbResult(const IbDriver *driver);
    ~IbResult() override;

    // The statement handle (isc_stmt_handle) while one is prepared.
    QVariant handle() const override;

    // For a query whose rows are few enough to hold all (the catalogue's):
    // the rows past its first batch are read on the server thread in the
    // background, from now on, until asked for. A forward-only query is read
    // a few batches ahead of the rows it has passed, so that its reader works
    // on one batch while the next is fetched. One of another driver or one
    // read to its end is left as it is.
    static void readAheadInBackground(const QSqlQuery &query);
    // Where the query's time went so far; nothing for another driver's.
    static StatementTimes times(const QSqlQuery &query);
    // Every statement prepared from now on runs in `shared` (see IbSnapshot).
    void shareTransaction(std::shared_ptr<IbTransaction> shared)
    {
        m_shared = std::move(shared);
    }

protected:
    bool reset(const QString &query) override;
    bool savePrepare(const QString &query) override;
    bool prepare(const QString &query) override;
    bool exec() override;
    void bindValue(int pos, const QVariant &value, QSql::ParamType type) override;
    void bindValue(const QString &placeholder, const QVariant &value,
                   QSql::ParamType type) override;
    bool fetch(int i) override;
    bool fetchFirst() override;
    bool fetchLast() override;
    QVariant data(int i) override;
    bool isNull(int i) override;
    int size() override;
    int numRowsAffected() override;
    QSqlRecord record() const override;
    void detachFromResultSet() override;

private:
    friend class IbDriver;

    const IbDriver *ibDriver() const;
    // The attachment is going: every handle is let go of at once. The rows
    // read so far stay readable when the attachment was lost.
    void releaseHandles(bool keepRows) noexcept;
    // Rows read in one server call, and how it ended.
    struct Run
    {
        IbReadAhead::Batch batch;
        // Set and notified on the server thread once the batch is read.
        std::shared_ptr<std::atomic<bool>> read = std::make_shared<std::atomic<bool>>(false);
        bool kept = false;
        int keptRows = 0;
        // Reads the run's long blobs whole; none for a run that is not exact.
        std::shared_ptr<const IbBlobPreview::Reader> reader;
    };

    // A fresh statement on the attachment; false when it is not open.
    bool startStatement();
    // Prepares and, when asked, runs at once: one server call.
    bool run(const QString &serverText, bool withParameters, bool execute);
    Run runOnServer(const QVariantList &values, int firstRows,
                    std::shared_ptr<const IbBlobPreview::Reader> reader);
    int firstBatch() const;
    void ran(Run &&started);
    // Up to count further rows; false when none came.
    bool fetchMore(int count);
    void takeInFlight();
    static void readBatch(IbQuery &query, IbReadAhead::Batch &batch);
    static void readRows(IbQuery &query, IbReadAhead::Batch &batch, int rows);
    // The rows the batch brought (once only, however often it is asked).
    int keepBatch(Run &run);
    int keepBatch(IbReadAhead::Batch &&batch);
    void keepRows(IbRowBuffer &&batch);
    void startReadAhead();
    // Keeps the rows read ahead; asking for more than were read ends the
    // reading, so that the rest follows them in order.
    int takeReadAhead(int count);
    int keepTaken(IbReadAhead &ahead);
    void dropReadAhead() noexcept;
    std::shared_ptr<const IbBlobPreview::Reader> blobReader() const;
    // The one row of a run that is no cursor, read before it was committed.
    void takeSingleRow();
    void finishQuery();
    void clearRows();
    QVariantList parameterValues() const;
    QSqlError noticed(const IbError &error) const;
    bool fail(const IbError &error);
    int rowsKnown() const { return m_firstRow + m_rows.count() + (m_singleRow ? 1 : 0); }
    bool holds(int row, int column) const;
    int readAhead() const;

    std::unique_ptr<IbQuery> m_query;
    QStringList m_parameterNames;
    QHash<QString, QVariant> m_named;
    QVariantList m_positional;
    IbRowBuffer m_rows;
    std::shared_ptr<const IbBlobPreview::Reader> m_blobReader;
    std::optional<QVariantList> m_singleRow;
    int m_firstRow = 0;   // row number of m_rows.front(); grows when forward-only
    bool m_atEnd = true;
    // The batch being read on the server thread, while one is.
    Run *m_inFlight = nullptr;
    std::shared_ptr<IbReadAhead> m_readAhead;
    bool m_exact = false;
    std::shared_ptr<IbTransaction> m_shared;
};
