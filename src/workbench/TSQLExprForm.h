#pragma once

#include "uikit/TChildForm.h"

#include <QStringList>

class QLabel;
class QMenu;
class StatementEditor;
class StatementProfile;
class StatementStatsPane;
class TOfficeButton;
class TToolPanel;

// The DDL statements window: one statement text typed, loaded, saved, kept
// in the repository and run, either as a statement in the tool's
// transaction or as a query in a result window.
class TSQLExprForm : public TChildForm
{
    Q_OBJECT

public:
    explicit TSQLExprForm(QWidget *parent = nullptr);

    // A new, empty window shown in the frame.
    static TSQLExprForm *open();

    // The editor's lines; a trailing line break starts no further line.
    QStringList lines() const;
    void setLines(const QStringList &lines);

    // The commands, shared by tool buttons, the "&DDL" menu and the
    // editor's context menu.
    void execbtnClick();
    void SelFromReposClick();
    void AddBtnClick();
    void MNLoadfromFileClick();
    void SavetoFile1Click();
    void MNOpenAsResultClick();
    // Prepares the text without running it and shows its plans.
    void PlanBtnClick();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    // The caret panel, after keys and clicks in the editor and when it
    // loses the focus.
    void ExecSqlKeyUp();
    void EditorExit();

    // What the tool bar says after a statement ran: changedRows is the
    // number of rows it changed, or -1 for a statement that changes none
    // by itself (DDL, a procedure).
    static QString runResultText(int changedRows);

    TToolPanel *Panel1;
    TOfficeButton *LoadFromReposBtn;
    TOfficeButton *AddtoreposBtn;
    TOfficeButton *LoadFromFileBtn;
    TOfficeButton *SaveToFileBtn;
    TOfficeButton *ExecSQLBtn;
    // Says that the last run succeeded, until the text changes.
    QLabel *RunResult;
    StatementEditor *ExecSql;
    QMenu *DDLMenu;
    QMenu *PopupMenu1;
    // What the last run or plan cost; hidden until there was one.
    StatementStatsPane *Stats;

private:
    void buildToolPanel();
    void buildMenus();
    void addPlanCommand();
    void showStats(StatementProfile &profile);
};

// Opens a new DDL statements window holding the text; line breaks in the
// text become editor lines.
void OpenInDDLWindow(const QString &text);
