#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// The login dialog: database path with the history of paths, user name and
// password. Created once; what the user typed stays for the next connect.
class TDBEntryDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TDBEntryDlg(QWidget *parent = nullptr);

    QComboBox *dbPath;
    QLineEdit *UserN;
    QLineEdit *Password;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

    QString path() const;
    QStringList history() const;
    void setHistory(const QStringList &entries);
    void appendToHistory(const QString &entry);

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    QWidget *m_lastFocus = nullptr;
};
