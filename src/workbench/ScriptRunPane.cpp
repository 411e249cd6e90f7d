#include "workbench/ScriptRunPane.h"

#include "core/ProgramSettings.h"
#include "ibdb/TDMSys.h"
#include "uikit/Command.h"
#include "uikit/Prompts.h"
#include "workbench/ScriptLogModel.h"
#include "workbench/ScriptRun.h"
#include "workbench/StatementStatsPane.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

ScriptRunPane::ScriptRunPane(QWidget *parent)
    : QWidget(parent),
      ContinueBox(new QCheckBox(QStringLiteral("Continue after errors"), this)),
      ProfileBox(new QCheckBox(QStringLiteral("Plans and reads of each statement"), this)),
      SaveLogBtn(new QPushButton(QStringLiteral("Save Log..."), this)),
      LogGrid(new QTableView(this)),
      Log(new ScriptLogModel(this))
{
    LogGrid->setModel(Log);
    LogGrid->setAccessibleName(QStringLiteral("Script log"));
    LogGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    LogGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LogGrid->verticalHeader()->hide();
    LogGrid->horizontalHeader()->setStretchLastSection(true);
    connect(SaveLogBtn, &QPushButton::clicked, this, Command::guard([this] {
                SaveLogBtnClick();
            }));

    ProfileBox->hide();
    auto *bar = new QHBoxLayout;
    bar->addWidget(ContinueBox);
    bar->addWidget(ProfileBox);
    bar->addStretch();
    bar->addWidget(SaveLogBtn);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(LogGrid, 1);
}

ScriptRunner::Options ScriptRunPane::options() const
{
    return {ProgramSettings::instance().AutoCommit, ContinueBox->isChecked(),
            !ProfileBox->isHidden() && ProfileBox->isChecked()};
}

void ScriptRunPane::offerProfiles(StatementStatsPane *stats)
{
    ProfileBox->show();
    connect(LogGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, stats,
            [this, stats](const QModelIndex &current) {
                if (const auto profile = Log->profileAt(current.row())) {
                    stats->showProfile(*profile);
                    stats->show();
                }
            });
}

void ScriptRunPane::SaveLogBtnClick()
{
    QString fileName = Prompts::instance().saveFileName(
        QString(), QStringLiteral("Text files (*.txt);;All files (*.*)"));
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".txt");
    Log->save(fileName);
}

ScriptRunner::Outcome ScriptRunPane::runText(const QString &text, const QString &directory)
{
    return run([&](ScriptRun &script) { return script.runText(text, directory); });
}

ScriptRunner::Outcome ScriptRunPane::runFile(const QString &path)
{
    return run([&](ScriptRun &script) { return script.runFile(path); });
}

ScriptRunner::Outcome ScriptRunPane::run(
    const std::function<ScriptRunner::Outcome(ScriptRun &)> &how)
{
    show();
    ScriptRun script(*DMSys->IBDataBase, *Log, this, options());
    const ScriptRunner::Outcome outcome = how(script);
    LogGrid->scrollToBottom();
    return outcome;
}
