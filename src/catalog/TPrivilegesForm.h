#pragma once

#include "schema/PrivilegeCatalog.h"
#include "schema/PrivilegeMatrix.h"
#include "uikit/TChildForm.h"

#include <QHash>

class PrivilegeGridModel;
class QComboBox;
class QLabel;
class QModelIndex;
class QTableView;
class TOfficeButton;
class TToolPanel;

// Who may do what: the privileges of one grantee on every object, or of
// every grantee on one object, as a matrix the user changes cell by cell;
// a table's or view's columns below it for the selected row. Apply shows
// the GRANT and REVOKE statements the changes come to and runs them as one
// set.
class TPrivilegesForm : public TChildForm
{
    Q_OBJECT

public:
    enum class Mode { ByGrantee, ByObject };

    static TPrivilegesForm *open();

    explicit TPrivilegesForm(QWidget *parent = nullptr);

    void RefreshBtnClick();
    void ApplyBtnClick();
    void RevertBtnClick();
    void setMode(Mode mode);
    Mode mode() const;
    // The grantee ("User ANN", "PUBLIC") or object ("Table T", "DDL TABLE")
    // whose matrix is shown; false when there is none of that caption.
    bool selectSubject(const QString &caption);
    // Selects a row of the matrix by its leading columns; its columns, for
    // a table or view, fill the column grid.
    bool selectRow(const QString &kind, const QString &name);
    const PrivilegeCatalog &catalog() const { return m_catalog; }
    const PrivilegeMatrix &matrix() const { return m_matrix; }

    static QString objectCaption(const PrivilegeTarget &target);

    TToolPanel *ComPanel;
    QComboBox *ModeBox;
    QComboBox *SubjectBox;
    TOfficeButton *ApplyBtn;
    TOfficeButton *RevertBtn;
    TOfficeButton *RefreshBtn;
    QTableView *MatrixGrid;
    QLabel *ColumnsLabel;
    QTableView *ColumnGrid;
    PrivilegeGridModel *MatrixModel;
    PrivilegeGridModel *ColumnModel;

private:
    void createToolPanel();
    void createMenu();
    QTableView *createGrid(const QString &name, PrivilegeGridModel *model);
    void FormCreate();
    void reload();
    void fillSubjects();
    void showSubject();
    void showColumns();
    void toggleCell(QTableView *grid, const QModelIndex &cell);
    void updateButtons();
    QStringList columnsOf(const QString &relation);

    PrivilegeCatalog m_catalog;
    PrivilegeMatrix m_matrix;
    QHash<QString, QStringList> m_columns;
};
