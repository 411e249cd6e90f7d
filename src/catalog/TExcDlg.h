#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The exception text dialog: a name and a message. One instance serves
// every Exceptions window for the whole run, and its boxes keep what they
// showed last, so a refused statement can be corrected by choosing New again.
class TExcDlg : public QDialog
{
    Q_OBJECT

public:
    // The one dialog, created on first use (the program does that at start).
    static TExcDlg &shared();

    QLineEdit *const NameEdit;
    QPlainTextEdit *const MsgEdit;
    QPushButton *const OKBtn;
    QPushButton *const CancelBtn;

    QString name() const;
    QString message() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TExcDlg();
};
