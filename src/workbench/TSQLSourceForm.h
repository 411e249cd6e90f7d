#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

// The statement preview: shows a statement a window is about to run, which
// the user lets run (OK), stops (Cancel) or first stores in the repository.
class TSQLSourceForm : public QDialog
{
    Q_OBJECT

public:
    explicit TSQLSourceForm(QWidget *parent = nullptr);

    QStringList lines() const;
    void setLines(const QStringList &lines);

    // Stores the shown lines in the repository; the preview stays open.
    void AddrepBtnClick();

    QPlainTextEdit *Memo1;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;
    QPushButton *AddBtn;
};

// Shows the lines for approval; throws SilentAbort unless the user presses OK.
void ShowSQLSource(const QStringList &lines);
