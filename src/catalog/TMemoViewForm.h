#pragma once

#include <QPointer>
#include <QWidget>

class CatalogQuery;
class QPlainTextEdit;
class QTableView;

// A small stay-on-top window showing the full text of one text-blob column
// of a grid's current row, following the grid as the current row changes.
// Owned by the window it was opened from; closing it frees it.
class TMemoViewForm : public QWidget
{
    Q_OBJECT

public:
    explicit TMemoViewForm(QWidget *owner);

    // Shows the field of the view's current row from now on.
    void bind(CatalogQuery *query, QTableView *view, const QString &field);

    QPlainTextEdit *const MemoCtrl;

private:
    void showCurrent();

    QPointer<CatalogQuery> m_query;
    QPointer<QTableView> m_view;
    QString m_field;
};

// Opens a viewer on a text-blob field of the view's current row, captioned
// with the owner's caption and the field's grid title. Any other field, or
// none, does nothing.
void ShowMemoField(const QString &field, CatalogQuery *query, QTableView *view, QWidget *owner);
