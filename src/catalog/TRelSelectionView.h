#pragma once

#include <QDialog>

class CatalogQuery;
class QPushButton;
class QTableView;

// The picker of a view's base relations, one row per relation context of
// the view (a relation used twice is listed twice).
class TRelSelectionView : public QDialog
{
    Q_OBJECT

public:
    explicit TRelSelectionView(QWidget *parent = nullptr);

    // Lists the base relations of the view; throws DatabaseError.
    void open(const QString &viewName);
    // The relation of the selected row; empty when the list is empty.
    QString selectedRelation() const;

    void DBGrid1DblClick();

    CatalogQuery *SelQuery = nullptr;
    QTableView *DBGrid1 = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
};

// Shows the picker for a view and returns the chosen base relation; raises
// SilentAbort when the user cancels.
QString SelectBaseRelation(const QString &viewName);
