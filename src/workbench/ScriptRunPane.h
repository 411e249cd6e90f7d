#pragma once

#include "schema/ScriptRunner.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QPushButton;
class QTableView;
class ScriptLogModel;
class ScriptRun;
class StatementStatsPane;

// The log of a window's script runs, one row per command, with the choice
// to run on after a failure and a button that saves the log as text.
class ScriptRunPane : public QWidget
{
    Q_OBJECT

public:
    explicit ScriptRunPane(QWidget *parent = nullptr);

    // The tool's transaction setting and the pane's choice.
    ScriptRunner::Options options() const;
    // A run in the pane's log on the connected database, with the box that
    // shows how far it got while it runs.
    ScriptRunner::Outcome runText(const QString &text, const QString &directory);
    ScriptRunner::Outcome runFile(const QString &path);
    // Asks for a file and writes the whole log into it.
    void SaveLogBtnClick();
    // Offers to keep each statement's plans and reads; a log row chosen
    // then shows its statement's in stats.
    void offerProfiles(StatementStatsPane *stats);

    QCheckBox *ContinueBox;
    QCheckBox *ProfileBox;
    QPushButton *SaveLogBtn;
    QTableView *LogGrid;
    ScriptLogModel *Log;

private:
    ScriptRunner::Outcome run(const std::function<ScriptRunner::Outcome(ScriptRun &)> &how);
};
