#pragma once

#include "uikit/TChildForm.h"

class QLabel;
class ScriptRunPane;
class TOfficeButton;
class TToolPanel;

// A script file run on the connected database without loading it into an
// editor: a script of any size is read as it runs. Shows the file, what the
// last run did and its log; Run runs the file again.
class TScriptRunForm : public TChildForm
{
    Q_OBJECT

public:
    explicit TScriptRunForm(QWidget *parent = nullptr);

    static TScriptRunForm *open();

    // Throws the first failure, its line and file named.
    void runFile(const QString &path);
    void RunBtnClick();

    TToolPanel *Panel1;
    TOfficeButton *RunBtn;
    QLabel *FileName;
    QLabel *RunResult;
    ScriptRunPane *Pane;

private:
    QString m_path;
};

// Opens a window for the file and runs it there.
void RunScriptFile(const QString &path);
