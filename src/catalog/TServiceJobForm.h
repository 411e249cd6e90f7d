#pragma once

#include "catalog/ServiceJobRunner.h"
#include "uikit/TChildForm.h"

class QLabel;
class QPlainTextEdit;
class TOfficeButton;
class TToolPanel;

// The frame of every long job on the server's services (backup, restore,
// validation, sweep, statistics): the job's options on top, Start and
// Cancel, the service's log as it comes, a progress line, and at the end
// how long the job took and whether it succeeded. The log can be saved.
// A window of a kind supplies its options and makes the job from them.
class TServiceJobForm : public TChildForm
{
    Q_OBJECT

public:
    explicit TServiceJobForm(QWidget *parent = nullptr);

    void StartBtnClick();
    void CancelBtnClick();
    void SaveLogBtnClick();
    bool running() const { return m_runner->running(); }
    ServiceJobRunner *runner() const { return m_runner; }

    // "Succeeded in 2.4 s", "Failed after 1 min 03 s", "Cancelled after 0.8 s".
    static QString endText(ServiceJobRunner::End end, qint64 elapsed);
    static QString durationText(qint64 elapsed);
    static QString progressText(qint64 done, qint64 total);

    TToolPanel *ComPanel;
    TOfficeButton *StartBtn;
    TOfficeButton *CancelBtn;
    TOfficeButton *SaveLogBtn;
    QLabel *ProgressLine;
    QPlainTextEdit *Log;
    QLabel *ResultLine;

protected:
    // The options' panel goes above the log and is locked while a job runs.
    void setOptions(QWidget *options);
    // The job of the options as they are now; throws to refuse them.
    virtual ServiceJobRunner::Job prepare() = 0;
    // After the job's end, on the window's thread.
    virtual void jobEnded(ServiceJobRunner::End end) { Q_UNUSED(end) }

    // The connected database and its login, which the jobs reuse.
    static QString database();
    static QString user();
    static QString password();

private:
    void createToolPanel();
    void appendLine(const QString &text);
    void showEnd(ServiceJobRunner::End end, const QString &message, qint64 elapsed);
    void updateButtons();

    ServiceJobRunner *m_runner;
    QWidget *m_options = nullptr;
};
