#pragma once

#include "uikit/TChildForm.h"

#include <QVariant>

class CatalogQuery;
class QComboBox;
class QTableView;
class RowFilterModel;
class TOfficeButton;
class TToolPanel;
class TTrigSourceForm;

// The list of the database's triggers, all of them or one relation's, with
// their kinds and states. RDB$TRIGGERS is read whole and filtered here; every
// command acts on the current row and re-reads the list afterwards.
class TFormTriggers : public TChildForm
{
    Q_OBJECT

public:
    explicit TFormTriggers(QWidget *parent = nullptr);

    // A new triggers window shown in the frame.
    static TFormTriggers *open();

    // Fills the relation box and reads the triggers of every relation.
    void ConnectBtnClick();
    // The user picked an entry of the relation box.
    void TableComboChange();
    // Whether a row of the table is shown under the present relation.
    bool TrigTableFilterRecord(int row) const;

    void SourceEditClick();
    void AddReposClick();
    void DropClick();
    void ActivateBtnClick();
    void DeactiveteBtnClick();
    // A new trigger source editor filled from the current row, shown.
    TTrigSourceForm *OpenTriggerEditor();

    // A field of the current row; null without one.
    QVariant currentValue(const QString &field) const;

    static QString allRelations() { return QStringLiteral("<All relations>"); }

    QString RelationFilter;
    TToolPanel *ToolPanel = nullptr;
    TOfficeButton *SrcBtn = nullptr;
    TOfficeButton *OfficeButton1 = nullptr;
    TOfficeButton *SpeedButton1 = nullptr;
    TOfficeButton *ActivateBtn = nullptr;
    TOfficeButton *DeactivteBtn = nullptr;
    QComboBox *TableCombo = nullptr;
    QTableView *DBGrid1 = nullptr;
    CatalogQuery *TrigTable = nullptr;
    QMenu *TriggersMenu = nullptr;

private:
    void buildToolPanel();
    void buildMenu();
    void buildTable();
    void reRead();
    void selectTrigger(const QString &name);
    QString currentName() const;
    // Formats the template with the current trigger's name and runs it.
    void execute(const QString &statementTemplate);

    RowFilterModel *m_rows = nullptr;
};
