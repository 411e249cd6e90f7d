#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class QTableView;
class RepositoryStore;
class TSplitBar;
class TableNavigator;

// The repository picker: entry names on the left, the current entry's text
// (read-only) on the right.
class TSelObjSourceForm : public QDialog
{
    Q_OBJECT

public:
    explicit TSelObjSourceForm(QWidget *parent = nullptr);

    // Opens the table; an error is shown and leaves the grid empty.
    void FormCreate();
    // OK button and double-click on a row.
    void OkBtnClick();

    // The text of the current row; throws when the table is not open.
    QString currentSource() const;

    QTableView *DataGrid;
    QWidget *Panel2;
    TSplitBar *SplitBar1;
    QPlainTextEdit *DBMemo1;
    QPushButton *OkBtn;
    QPushButton *CancelBtn;
    RepositoryStore *ReposTable;
    TableNavigator *ReposSource;
};
