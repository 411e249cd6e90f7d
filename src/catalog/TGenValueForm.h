#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The generator dialog: a name and a value, confirmed by Ok, which executes
// the statements itself and stays open when one of them fails.
class TGenValueForm : public QDialog
{
    Q_OBJECT

public:
    explicit TGenValueForm(QWidget *parent = nullptr);

    // Both show the dialog modally and return its result.
    int ShowForNew();
    int ShowForValue(const QString &name, const QString &value);

    QLineEdit *GenNameEdit;
    QLineEdit *GenValueEdit;
    QPushButton *Ok;
    QPushButton *CancelBtn;

private:
    int showAs(const QString &caption, const QString &name, const QString &value, bool isNew);
    void OkClick();
    bool isShownValue(qint64 value) const;

    bool m_newGenerator = false;
    QString m_shownValue;
};
