#pragma once

#include "catalog/ViewTriggerStatements.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class CatalogQuery;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

// What the insert and update wizards share: the view and its chosen base
// relation on the left, the statement grid on the right with one row per
// column of the base relation, pre-filled with the view column built on it.
class TViewStatementWiz : public QDialog
{
    Q_OBJECT

public:
    enum GridColumn { FieldCol = 0, ValueCol = 1, CriteriaCol = 2 };

    struct GridTitle
    {
        QString title;
        int width; // pixels at 120 dots per inch
    };

    // Shows the wizard modally for a view; raises SilentAbort unless the
    // user confirms.
    void runFor(const QString &viewName);
    void setViewName(const QString &name);
    QString viewName() const;
    QString relationName() const;
    // The grid's rows in order, empty cells as empty texts.
    QList<StatementRow> rows() const;

    // Picks the base relation and rebuilds the "Field" and "Value" columns.
    void SelRelBtnClick();
    // "NEW." and the first view column built on the base column, or empty.
    QString ViewColumnFor(const QString &baseColumn) const;
    // Swaps the context prefix of the current row's value ("NEW." or "OLD.").
    void MnNewClick(const QString &prefix);
    void MnClearClick();

    QLabel *VNameLabel = nullptr;
    QLabel *RelName = nullptr;
    QPushButton *SelRelBtn = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
    QTableWidget *StmGrid = nullptr;
    QMenu *GridMenu = nullptr;
    QAction *MnNew = nullptr;
    QAction *MnOld = nullptr;
    QAction *MnClear = nullptr;

protected:
    TViewStatementWiz(const QString &caption, const QString &relationLabel,
                      const QStringList &note, const QList<GridTitle> &columns,
                      QWidget *parent);

    // Where a wizard adds controls of its own, below the note.
    QVBoxLayout *belowNote() const { return m_belowNote; }
    // A new relation was chosen (before its columns are read).
    virtual void relationChosen(const QString &name);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildLeftPanel(const QString &relationLabel, const QStringList &note);
    void buildGrid();
    void buildGridMenu();
    void StmGridMouseDown(const QPoint &position);
    QStringList baseColumns(const QString &relation) const;
    void fillGrid(const QStringList &columns);
    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString &text);

    QList<GridTitle> m_columns;
    QVBoxLayout *m_belowNote = nullptr;
    CatalogQuery *FldsQuery = nullptr;
};
