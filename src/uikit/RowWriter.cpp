#include "uikit/RowWriter.h"

#include "core/AppError.h"

#include <QIODevice>
#include <QSqlField>
#include <QSqlRecord>

RowWriter::Columns RowWriter::columns(const QSqlRecord &record, const QStringList &names)
{
    Columns columns;
    for (int i = 0; i < names.size(); ++i) {
        const int type = i < record.count() ? record.field(i).metaType().id() : QMetaType::QString;
        columns.append({names.at(i), QMetaType::Type(type)});
    }
    return columns;
}

void RowWriter::begin(const Columns &columns)
{
    m_columns = columns;
}

namespace {

constexpr qsizetype kBufferBytes = 256 * 1024;

} // namespace

void RowWriter::write(const QString &text)
{
    m_buffer += text.toUtf8();
    if (m_buffer.size() >= kBufferBytes)
        flush();
}

void RowWriter::end()
{
    flush();
}

void RowWriter::flush()
{
    if (m_device->write(m_buffer) != m_buffer.size())
        throw GeneralError(m_device->errorString());
    m_buffer.clear();
}
