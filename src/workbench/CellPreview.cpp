#include "workbench/CellPreview.h"

#include "ibdb/IbBlobPreview.h"

#include <array>

namespace {

// Two hexadecimal digits a byte: as many bytes as fill the characters.
constexpr int kBytes = CellPreview::kCharacters / 2;

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.left(kBytes).toHex()).toUpper();
}

} // namespace

const IbBlobPreview *CellPreview::preview(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<IbBlobPreview>()
               ? static_cast<const IbBlobPreview *>(value.constData())
               : nullptr;
}

QVariant CellPreview::shown(const QVariant &value)
{
    if (const IbBlobPreview *blob = preview(value)) {
        // The start may end inside a character; it lies past what is shown.
        return blob->isText() ? text(QString::fromUtf8(blob->start()), blob->length())
                              : text(hex(blob->start()), blob->length());
    }
    if (value.isNull())
        return value;
    if (value.metaType().id() == QMetaType::QString) {
        const QString whole = value.toString();
        if (whole.size() <= kCharacters)
            return value;
        return text(whole, whole.toUtf8().size());
    }
    if (value.metaType().id() == QMetaType::QByteArray) {
        const QByteArray whole = value.toByteArray();
        return whole.size() <= kBytes ? value : QVariant(text(hex(whole), whole.size()));
    }
    return value;
}

QString CellPreview::text(const QString &start, qint64 bytes)
{
    return start.left(kCharacters) + QStringLiteral("\u2026 (") + sizeText(bytes)
           + QLatin1Char(')');
}

QString CellPreview::sizeText(qint64 bytes)
{
    if (bytes < 1024)
        return bytes == 1 ? QStringLiteral("1 byte") : QStringLiteral("%1 bytes").arg(bytes);
    static const std::array<const char *, 4> units{"KB", "MB", "GB", "TB"};
    double size = double(bytes) / 1024;
    std::size_t unit = 0;
    while (size >= 1024 && unit + 1 < units.size()) {
        size /= 1024;
        ++unit;
    }
    // One decimal where it tells something, whole units from ten on.
    const QString number = size < 10 ? QString::number(size, 'f', 1)
                                     : QString::number(qint64(size + 0.5));
    return number + QLatin1Char(' ') + QLatin1String(units[unit]);
}

QVariant CellPreview::whole(const QVariant &value)
{
    const IbBlobPreview *blob = preview(value);
    if (!blob)
        return value;
    return blob->whole().value_or(QVariant());
}
