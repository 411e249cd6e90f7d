#pragma once

#include <QString>
#include <QVariant>

class IbBlobPreview;

// What a grid cell shows of a long value: its start and its size, as in
// "first characters… (128 MB)", so that neither painting nor the
// accessibility bus ever carries a whole blob. Text shows its first
// characters, bytes their first bytes as hexadecimal digits, as the grid
// shows them whole. The editor still gets the whole value.
class CellPreview
{
public:
    static constexpr int kCharacters = 100;

    // The value a grid cell shows for the value a query gave: itself when
    // short, else its preview text.
    static QVariant shown(const QVariant &value);
    // The blob preview a value holds, if it holds one.
    static const IbBlobPreview *preview(const QVariant &value);
    // "3 bytes", "4.0 MB", "128 MB".
    static QString sizeText(qint64 bytes);
    // The whole value of the cell, from the query's own transaction while
    // it lives; an invalid value once it is over.
    static QVariant whole(const QVariant &value);

private:
    static QString text(const QString &start, qint64 bytes);
};
