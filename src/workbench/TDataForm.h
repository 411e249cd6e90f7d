#pragma once

#include "uikit/TChildForm.h"

class QComboBox;
class QFrame;
class QSqlTableModel;
class QTableView;
class TDBNavigator;
class TableNavigator;

// The rows of one table or view in an editable grid with a record
// navigator; the relation is picked from a drop-down list or given by the
// structure window.
class TDataForm : public TChildForm
{
    Q_OBJECT

public:
    explicit TDataForm(QWidget *parent = nullptr);

    // A new, empty data view in the frame (the frame's "Data &View" command).
    static TDataForm *open();

    // Shows the rows of the relation; throws the data layer's error, leaving
    // the grid empty.
    void openRelation(const QString &relationName);
    QString relationName() const { return m_relationName; }
    TableNavigator *table() const { return m_table; }

    // The user picked an item of TblsCB.
    void TblsCBClick();

    // The grid's commands, as its context menu offers them.
    void copyAsInsert();
    void exportRows();
    void refreshRows();
    // Rows in the server's order of the column, as a click on its title asks.
    void sortBy(int column, Qt::SortOrder order);

    QFrame *Panel1 = nullptr;
    TDBNavigator *DBNavigator1 = nullptr;
    QComboBox *TblsCB = nullptr;
    QTableView *DBGrid1 = nullptr;
    QSqlTableModel *SrcTable = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void FormClose();
    void buildPanel();
    void postPendingRow();
    QString readOnlyReason(const QString &relationName) const;
    void refuseChange();
    void addGridCommands();
    void titleClicked(int column);

    TableNavigator *m_table = nullptr;
    QString m_relationName;
    int m_shownItem = -1;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

// Opens a new data view on the relation and brings it to the front. An error
// of the open is raised to the caller; the window then stays open, empty.
void OpenDataView(const QString &relationName);
