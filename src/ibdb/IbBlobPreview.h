#pragma once

#include <ibase.h>

#include <QByteArray>
#include <QMetaType>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

// A long blob as a grid's query keeps it: its first bytes and its length,
// not its content, so a grid of such rows costs what it shows.
//
// The content is read by the blob's id, which only the transaction that
// fetched the row may open, and only while it lives: a later transaction
// could be refused the id, or find another blob under it once the row was
// changed and collected. So the reader the preview holds is the fetching
// run's own, let go of when that transaction ends; from then on whole() has
// nothing to give, and a caller that knows the row reads its value afresh
// through the row's key (see DataViewModel).
class IbBlobPreview
{
public:
    // Reads a blob whole by its id, in the fetching transaction.
    using Reader = std::function<QByteArray(ISC_QUAD)>;

    IbBlobPreview() = default;
    IbBlobPreview(QByteArray start, qint64 length, bool text, ISC_QUAD id,
                  std::weak_ptr<const Reader> reader);

    const QByteArray &start() const { return m_start; }
    qint64 length() const { return m_length; }
    bool isText() const { return m_text; }
    // Within one table, one id holds one content.
    quint64 id() const;

    // The whole value as the column delivers it (text as QString, binary as
    // QByteArray), or nothing once the fetching transaction is over. A
    // server failure throws IbError.
    std::optional<QVariant> whole() const;
    // A blob's value from its content.
    static QVariant value(bool text, const QByteArray &content);

    friend bool operator==(const IbBlobPreview &a, const IbBlobPreview &b)
    {
        return a.id() == b.id() && a.m_length == b.m_length && a.m_text == b.m_text;
    }

private:
    QByteArray m_start;
    qint64 m_length = 0;
    bool m_text = false;
    ISC_QUAD m_id{};
    std::weak_ptr<const Reader> m_reader;
};

Q_DECLARE_METATYPE(IbBlobPreview)
