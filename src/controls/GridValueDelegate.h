#pragma once

#include "controls/GridRoles.h"

#include <QStyledItemDelegate>

// Shows a grid's values as the database holds them and edits them without
// losing any of it: numbers and temporal values in one unambiguous,
// locale-free form (a double as the shortest text that reads back to the
// same bits), bytes that are no text as hexadecimal digits, edited as that
// text in a line editor. An editor closed without a change writes nothing,
// so a visit never turns NULL into '' or rounds a value. A NULL shows as
// nullText() in grey italics, so it never passes for an empty string.
class GridValueDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // See GridRoles::WholeValue. A value of a type of the model's own, a
    // stand-in, is not edited.
    static constexpr int WholeValueRole = GridRoles::WholeValue;

    // What a NULL cell shows; its editor starts empty.
    static QString nullText() { return QStringLiteral("<null>"); }
    // The server's NULL: a value of a type that holds nothing. A value the
    // model has not got at all (an invalid one) is no NULL.
    static bool isNull(const QVariant &value) { return value.isValid() && value.isNull(); }

    // The text a cell shows and its editor starts with.
    static QString valueText(const QVariant &value);
    // The value an editor's text stands for, given the value it started from:
    // numbers are parsed here (a double correctly rounded), bytes from their
    // hexadecimal digits, everything else, a NULL of a scaled column among
    // it, goes as text for the server to convert; an empty text in a column
    // that is not text is NULL.
    static QVariant editedValue(const QString &text, const QVariant &original, bool scaled);

    QString displayText(const QVariant &value, const QLocale &locale) const override;
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
};
