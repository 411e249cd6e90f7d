#include "workbench/TScriptRunForm.h"

#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "workbench/ScriptRun.h"
#include "workbench/ScriptRunPane.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>

TScriptRunForm::TScriptRunForm(QWidget *parent)
    : TChildForm(parent),
      Panel1(new TToolPanel(this)),
      FileName(new QLabel(this)),
      RunResult(new QLabel(this)),
      Pane(new ScriptRunPane(this))
{
    setWindowTitle(QStringLiteral("Run Script File"));
    resize(560, 320);
    RunBtn = Panel1->addButton(QStringLiteral("run"), QStringLiteral("Run the script file again"));
    FileName->setAccessibleName(QStringLiteral("Script file"));
    RunResult->setAccessibleName(QStringLiteral("Run result"));
    Panel1->addWidget(FileName);
    Panel1->addStretch();
    Panel1->addWidget(RunResult);
    onClick(RunBtn, [this] { RunBtnClick(); });
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(Panel1);
    layout->addWidget(Pane, 1);
}

TScriptRunForm *TScriptRunForm::open()
{
    return openInFrame<TScriptRunForm>();
}

void TScriptRunForm::runFile(const QString &path)
{
    m_path = path;
    setWindowTitle(QStringLiteral("Run Script File - %1").arg(QFileInfo(path).fileName()));
    FileName->setText(QDir::toNativeSeparators(path));
    RunResult->clear();
    const ScriptRunner::Outcome outcome = Pane->runFile(path);
    RunResult->setText(ScriptRun::resultText(outcome));
    ScriptRun::throwFailure(outcome);
}

void TScriptRunForm::RunBtnClick()
{
    if (!m_path.isEmpty())
        runFile(m_path);
}

void RunScriptFile(const QString &path)
{
    TScriptRunForm::open()->runFile(path);
}
