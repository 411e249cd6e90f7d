#pragma once

#include "uikit/TChildForm.h"

#include <QStringList>

class QLabel;
class QMenu;
class ScriptRunPane;
struct ScriptCommand;
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
    // The editor shows the text; until it is edited, Run Script runs the
    // text as written, line ends included, as isql runs a file.
    void setScript(const QString &text);

    // The commands, shared by tool buttons, the "&DDL" menu and the
    // editor's context menu.
    void execbtnClick();
    // Runs the whole text as an isql script, statement by statement; stops
    // at a failure with the failing statement selected, unless told to go on.
    void RunScriptClick();
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
    // What F9's error box adds for a query, after the server's text.
    static QString queryHint();
    static bool isQuery(const QString &text);

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
    // The log of the last script run; hidden until there was one.
    ScriptRunPane *ScriptPane;

private:
    void buildToolPanel();
    void buildMenus();
    void addPlanCommand();
    void showStats(StatementProfile &profile);
    void selectCommand(const QString &ran, const ScriptCommand &command);
    QString scriptText() const;
    void keepAsWritten(const QString &text);

    // Where the text was loaded from: a script's INPUT names files from there.
    QString m_directory;
    // The script given to the editor, and the editor's text it became.
    QString m_asWritten;
    QString m_asShown;
};

// Opens a new DDL statements window holding the text; line breaks in the
// text become editor lines.
void OpenInDDLWindow(const QString &text);
