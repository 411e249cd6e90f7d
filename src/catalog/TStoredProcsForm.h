#pragma once

#include "uikit/TChildForm.h"

#include <optional>

class CatalogQuery;
class QPlainTextEdit;
class QSqlRecord;
class QTableView;
class QVariant;
class TOfficeButton;
class TToolPanel;

// The stored procedures by name; the current one's parameters and source,
// its ALTER PROCEDURE statement for the DDL window, and its drop.
class TStoredProcsForm : public TChildForm
{
    Q_OBJECT

public:
    // Opens a new window in the frame.
    static TStoredProcsForm *open();

    explicit TStoredProcsForm(QWidget *parent = nullptr);

    TToolPanel *CommandPanel;
    TOfficeButton *DDLBtn;
    TOfficeButton *BtnDropProc;
    TOfficeButton *RefreshBtn;
    QTableView *DataGrid;
    QTableView *DBGrid1;
    QTableView *DBGrid2;
    QPlainTextEdit *DBMemo1;

    CatalogQuery *StorProcsQuery;
    CatalogQuery *InParamsQuery;
    CatalogQuery *OutParamsQuery;

private:
    void createToolPanel();
    QWidget *createDetails();
    void createMenu();
    void prepareParamsQuery(CatalogQuery *query, int parameterType);

    void FormCreate();
    void StoredProcesRefresh();
    void DDLBtnClick();
    void BtnDropProcClick();
    static QVariant ParamTypeCalc(const QSqlRecord &record);

    void openProcedures();
    void followCurrentProcedure();
    int currentRow() const;
    QString currentName() const;
    static void passParameters(CatalogQuery *query, QTableView *grid);
    // What the window shows of the procedure of that name, as one text to
    // compare; nullopt when it does not show it.
    std::optional<QString> shownProcedure(const QString &name);
    // The ALTER PROCEDURE of the current procedure as the catalogue holds it.
    QString currentStatement();
    void selectProcedure(const QString &name);

    bool m_moving = false;
};
