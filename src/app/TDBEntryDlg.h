#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// The login dialog: database path with the history of paths, user name,
// password and role. Created once; what the user typed stays for the next
// connect, and the role follows the path it was last used with.
class TDBEntryDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TDBEntryDlg(QWidget *parent = nullptr);

    QComboBox *dbPath;
    QLineEdit *UserN;
    QLineEdit *Password;
    QLineEdit *Role;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

    QString path() const;
    // Remembers the role for the path (an empty role forgets it).
    void rememberRole();
    QStringList history() const;
    void setHistory(const QStringList &entries);
    void appendToHistory(const QString &entry);

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void recallRole(const QString &path);

    QWidget *m_lastFocus = nullptr;
};
