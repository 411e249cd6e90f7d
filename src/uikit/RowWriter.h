#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantList>

class QIODevice;
class QSqlRecord;

// Writes rows, one after another, into a device in one format; what the
// clipboard and the export files share. A writer holds no row after it has
// written it. A device that refuses bytes throws GeneralError.
class RowWriter
{
public:
    struct Column
    {
        QString name;
        QMetaType::Type type = QMetaType::QString;
    };
    using Columns = QList<Column>;

    explicit RowWriter(QIODevice *device) : m_device(device) {}
    virtual ~RowWriter() = default;
    RowWriter(const RowWriter &) = delete;
    RowWriter &operator=(const RowWriter &) = delete;

    // The columns of a query's record, named as given.
    static Columns columns(const QSqlRecord &record, const QStringList &names);

    virtual void begin(const Columns &columns);
    // One row's values, in the order of the columns.
    virtual void row(const QVariantList &values) = 0;
    // Writes what is still buffered; nothing reaches the device without it.
    virtual void end();

protected:
    const Columns &columnList() const { return m_columns; }
    void write(const QString &text);

private:
    void flush();

    QIODevice *m_device;
    // Rows go to the device in large writes, not one by one.
    QByteArray m_buffer;
    Columns m_columns;
};
