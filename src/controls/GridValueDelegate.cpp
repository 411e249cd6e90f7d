#include "controls/GridValueDelegate.h"

#include <QDate>
#include <QDateTime>
#include <QLineEdit>
#include <QLocale>
#include <QMetaProperty>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTime>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

// What an editor was opened with, to tell a visit from a change.
const char *const kShownValue = "quorvelShownValue";

QVariant editorValue(const QWidget *editor)
{
    return editor->metaObject()->userProperty().read(editor);
}

bool isTextEdited(const QVariant &value)
{
    return value.metaType().id() != QMetaType::Bool;
}

QVariant startValue(const QModelIndex &index)
{
    const QVariant whole = index.data(GridValueDelegate::WholeValueRole);
    return whole.isValid() ? whole : index.data(Qt::EditRole);
}

// The shortest digits that read back to the same bits, in plain decimal
// unless that would run to a long string of zeros; the sign of a negative
// zero, a value of its own, is kept.
template <typename Real>
QString shortestText(Real value)
{
    const double magnitude = std::abs(double(value));
    const bool plain = magnitude == 0 || (magnitude >= 1e-7 && magnitude < 1e21);
    char digits[64];
    const auto end = std::to_chars(digits, digits + sizeof digits, value,
                                   plain ? std::chars_format::fixed
                                         : std::chars_format::scientific).ptr;
    return QString::fromLatin1(digits, end - digits);
}

bool isScaled(const QModelIndex &index)
{
    return index.data(GridRoles::Scale).toInt() > 0;
}

// Bytes that are no text, typed as two hexadecimal digits each; blanks may
// group them.
QRegularExpression hexBytes()
{
    return QRegularExpression(QStringLiteral("( *[0-9A-Fa-f]{2})* *"));
}

QString fractionTime(const QTime &time)
{
    return time.toString(time.msec() ? QStringLiteral("HH:mm:ss.zzz")
                                     : QStringLiteral("HH:mm:ss"));
}

} // namespace

QString GridValueDelegate::valueText(const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (value.metaType().id()) {
    case QMetaType::Double:
        return shortestText(value.toDouble());
    case QMetaType::Float:
        return shortestText(value.toFloat());
    case QMetaType::Int:
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::QByteArray: return QString::fromLatin1(value.toByteArray().toHex()).toUpper();
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
        return fractionTime(value.toTime());
    case QMetaType::QDateTime: {
        const QDateTime stamp = value.toDateTime();
        return stamp.date().toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ')
               + fractionTime(stamp.time());
    }
    default:
        return value.toString();
    }
}

QVariant GridValueDelegate::editedValue(const QString &text, const QVariant &original,
                                        bool scaled)
{
    const QMetaType type = original.metaType();
    const int id = type.id();
    const bool number = id == QMetaType::Double || id == QMetaType::Float
                        || id == QMetaType::Int || id == QMetaType::LongLong;
    if (!number && id != QMetaType::QDate && id != QMetaType::QTime && id != QMetaType::QDateTime
        && id != QMetaType::QByteArray) {
        return text;
    }
    if (text.trimmed().isEmpty())
        return QVariant(type);
    if (id == QMetaType::QByteArray)
        return QByteArray::fromHex(text.toLatin1());
    // A new row's NUMERIC starts as a NULL double: its digits must not pass
    // through binary floating point.
    if (scaled && original.isNull())
        return text;
    bool ok = false;
    if (id == QMetaType::Double) {
        const double value = QLocale::c().toDouble(text.trimmed(), &ok);
        if (ok)
            return value;
    } else if (id == QMetaType::Float) {
        const float value = QLocale::c().toFloat(text.trimmed(), &ok);
        if (ok)
            return value;
    } else if (number) {
        const qlonglong value = QLocale::c().toLongLong(text.trimmed(), &ok);
        if (ok)
            return id == QMetaType::Int && value == int(value) ? QVariant(int(value))
                                                               : QVariant(value);
    }
    // Not a number, or a date: the server converts it or says why it cannot.
    return text;
}

QString GridValueDelegate::displayText(const QVariant &value, const QLocale &locale) const
{
    if (!isTextEdited(value))
        return QStyledItemDelegate::displayText(value, locale);
    return valueText(value);
}

void GridValueDelegate::initStyleOption(QStyleOptionViewItem *option,
                                        const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    // Cells hold names, numbers and dates in Latin script: laid out glyph by
    // glyph without the shaping engine, a screen of cells draws in a fraction
    // of the time. Scripts that need shaping are still shaped.
    option->font.setStyleStrategy(QFont::PreferNoShaping);
    if (!isNull(index.data(Qt::DisplayRole)) || !isTextEdited(index.data(Qt::DisplayRole)))
        return;
    // Qt counts no text for a null value: the cell would be sized without it.
    option->features |= QStyleOptionViewItem::HasDisplay;
    option->text = nullText();
    option->font.setItalic(true);
    option->palette.setBrush(QPalette::Text, option->palette.brush(QPalette::PlaceholderText));
}

QWidget *GridValueDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    const QVariant value = startValue(index);
    // A value the model could not give (it said why) is not edited as empty.
    if (!value.isValid() || value.metaType().id() >= QMetaType::User)
        return nullptr;
    if (!isTextEdited(value))
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto *editor = new QLineEdit(parent);
    editor->setFrame(false);
    if (value.metaType().id() == QMetaType::QByteArray)
        editor->setValidator(new QRegularExpressionValidator(hexBytes(), editor));
    // A line editor cuts its text at 32767 characters unless told otherwise;
    // a text blob runs longer, and a change must write all of it back.
    editor->setMaxLength(std::numeric_limits<int>::max());
    return editor;
}

void GridValueDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        line->setText(valueText(startValue(index)));
    else
        QStyledItemDelegate::setEditorData(editor, index);
    editor->setProperty(kShownValue, editorValue(editor));
}

void GridValueDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                     const QModelIndex &index) const
{
    const QVariant shown = editor->property(kShownValue);
    const QVariant now = editorValue(editor);
    if (shown.metaType() == now.metaType() && shown == now)
        return;
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        const QVariant value = editedValue(line->text(), startValue(index), isScaled(index));
        model->setData(index, value, Qt::EditRole);
    }
    else
        QStyledItemDelegate::setModelData(editor, model, index);
}
