#pragma once

#include "uikit/TChildForm.h"

#include <QStringList>

class QPlainTextEdit;
class QTableView;
class RepositoryStore;
class TDBNavigator;
class TOfficeButton;
class TSplitBar;
class TToolPanel;
class TableNavigator;

// The repository window: the stored statement texts by name, each editable
// in place, runnable as a statement or as a query, and openable in a DDL
// statements window.
class TObjRepos : public TChildForm
{
    Q_OBJECT

public:
    explicit TObjRepos(QWidget *parent = nullptr);

    // A new repository window shown in the frame, its table opened (an error
    // opening it is shown and leaves the grid empty).
    static TObjRepos *open();

    // Stores the lines (each followed by CR LF) under the name as a new
    // entry that becomes the current row. On failure the pending change is
    // cancelled and the error thrown on.
    void AddEntry(const QString &name, const QStringList &lines);

    // The current entry's text, its lines each followed by CR LF.
    QString currentText() const;

    void FormCreate();
    void ExecSQLBtnClick();
    void MNOpenAsResultClick();
    void MNOpenAsDDLClick();

    TToolPanel *ToolPanel;
    TDBNavigator *DBNavigator1;
    TOfficeButton *ExecSQLBtn;
    QWidget *GridPanel;
    QTableView *DBGrid1;
    TSplitBar *SplitBar1;
    QPlainTextEdit *DBMemo1;
    RepositoryStore *SrcTable;
    TableNavigator *DS;
    QMenu *DDLMenu;

private:
    void buildMenu();
};

// Stores the lines as a new entry under a name the user types, in a new
// repository window. Cancelling the name stores nothing.
void AddToRepository(const QStringList &lines);

// Lets the user pick an entry and replaces the lines with its text; throws
// SilentAbort when the user cancels, leaving the lines as they were.
void SelectFromRepository(QStringList &lines);
