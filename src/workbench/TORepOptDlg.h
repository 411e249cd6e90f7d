#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The repository settings: the directory of the repository table, created
// with the table when missing. It only changes the stored setting; the
// repository windows use the new directory from the next start on.
class TORepOptDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TORepOptDlg(QWidget *parent = nullptr);

    // The one dialog of the run, created at start-up; it keeps what was
    // typed into it between showings.
    static TORepOptDlg &shared();

    // Takes the directory from the settings.
    void FormCreate();
    // Accepts the typed directory; closes the dialog only when the setting
    // changed.
    void OKBtnClick();

    QFrame *Bevel1;
    QLabel *Label1;
    QLineEdit *DirName;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

protected:
    void showEvent(QShowEvent *event) override;
};

// Creates the directory and any missing parents; a failure shows later,
// when the table cannot be created in it.
void CreateDirectoryChain(const QString &dir);

// The frame's "&Object Repository Settings..." command: the shared dialog,
// shown modally.
void ShowRepositorySettings();
