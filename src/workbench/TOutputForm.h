#pragma once

#include "uikit/TChildForm.h"

class QLabel;
class QPlainTextEdit;
class QSqlQueryModel;
class QTableView;

// The rows one statement text returns when run as a query, with that text
// below them. The query stays open, fetching rows as the grid scrolls,
// until the window closes.
class TOutputForm : public TChildForm
{
    Q_OBJECT

public:
    explicit TOutputForm(QWidget *parent = nullptr);

    // A new, empty result window shown in the frame.
    static TOutputForm *open();

    // Runs the text, unchanged and unsplit, as one query on "IBB" outside
    // the tool's transaction; throws DatabaseError when it yields no rows
    // to show or the server refuses it.
    void OpenQuery(const QString &text);

    // What the row count line says of the rows fetched so far; all is true
    // once the server has sent the last one.
    static QString rowCountText(int rows, bool all);

    QSqlQueryModel *OutSQL;
    QTableView *GridResult;
    QPlainTextEdit *StmStrings;
    QLabel *RowCount;

private:
    void showRowCount();
};

// Opens a new result window running the text as a query. When the query
// cannot be opened the window is gone again and the error is thrown on.
void OpenAsResultSet(const QString &text);
