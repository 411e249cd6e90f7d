#pragma once

#include "ibdb/NewDatabase.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// Asks what the database to be made is: its file or server path, the login
// that makes it, and its page size, SQL dialect and default character set.
class TNewDatabaseDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TNewDatabaseDlg(QWidget *parent = nullptr);

    // What the fields hold.
    NewDatabase request() const;

    QLineEdit *dbPath;
    QLineEdit *UserN;
    QLineEdit *Password;
    QComboBox *PageSize;
    QComboBox *Dialect;
    QComboBox *CharSet;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};
