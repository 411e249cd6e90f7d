#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

// The modal box of a script run: its progress line, which the run keeps up
// to date, and Stop. Input reaches the box only, so nothing else starts a
// call on the attachment meanwhile; the frame behind it still repaints.
// Escape and the title bar's close press Stop too.
class ScriptRunBox : public QDialog
{
    Q_OBJECT

public:
    ScriptRunBox(QWidget *parent, std::function<void()> stop);

    void setProgress(const QString &text);

    QLabel *ProgressText = nullptr;
    QPushButton *StopBtn = nullptr;

    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void StopBtnClick();

    std::function<void()> m_stop;
};
