#pragma once

#include <QHash>
#include <QSqlResult>
#include <QStringList>
#include <QVariantList>

#include "ibdb/IbRowBuffer.h"

#include <memory>
#include <optional>

class IbDriver;
class IbError;
class IbQuery;

// A query of the INTRBASE driver. Rows stream in only as they are asked
// for (a scrollable query reads a little ahead) and stay in memory as the
// server sent them, so seeking back works; a forward-only query keeps just
// the current row. Exact reading (the grids') gives a blob longer than
// kWholeBlob as an IbBlobPreview. Bound values are found by name (":NAME",
// ":\"NAME\"" and "NAME" are one name) or by position.
class IbResult : public QSqlResult
{
public:
    // The longest blob an exact run keeps whole.
    static constexpr qint64 kWholeBlob = 8 * 1024;

    explicit IbResult(const IbDriver *driver);
    ~IbResult() override;

    // The statement handle (isc_stmt_handle) while one is prepared.
    QVariant handle() const override;

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
    bool prepareText(const QString &serverText, bool withParameters = true);
    // Up to count further rows; false when none came.
    bool fetchMore(int count);
    void keepRows(IbRowBuffer &&batch);
    // Long blobs of an exact run are kept as previews read whole, on asking,
    // through the run's transaction for as long as it lives.
    void startBlobReader();
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
    bool m_fetching = false;
    bool m_exact = false;
};
