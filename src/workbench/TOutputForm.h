#pragma once

#include "ibdb/StatementProfile.h"
#include "uikit/TChildForm.h"

#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QSqlQueryModel;
class QSqlQuery;
class QTableView;
class StatementStatsPane;

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
    // The query's plans and what it read, updated with every batch of rows.
    StatementStatsPane *Stats;
    const StatementProfile &profile() const { return m_profile; }

    // The grid's commands, as its context menu offers them.
    void copyAsInsert();
    void exportRows();
    void refreshRows();
    // The rows again in the server's order of the column, as a click on its
    // title asks; the text shown stays the one the user gave.
    void sortBy(int column, Qt::SortOrder order);

private:
    void showRowCount();
    void runProfiled(QSqlQuery &query);
    void showStats();
    void runText(const QString &text);
    QString sortedText(int column, Qt::SortOrder order) const;
    void showTitles();
    void titleClicked(int column);
    void addGridCommands();
    QString insertTable() const;
    int dialect() const;

    StatementProfile m_profile;
    isc_db_handle m_attachment = 0;
    // The user's text, the one the rows shown came from, and the result's
    // own column names.
    QString m_text;
    QString m_shownText;
    QStringList m_names;
    // The one table every column comes from, if there is one.
    QString m_insertTable;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

// Opens a new result window running the text as a query. When the query
// cannot be opened the window is gone again and the error is thrown on.
void OpenAsResultSet(const QString &text);
