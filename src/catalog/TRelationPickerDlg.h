#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QVBoxLayout;

// The frame the table and view pickers share: a caption over a single-choice
// list of relation names, "Ok" and "Cancel". OK is enabled exactly while the
// list holds a name; a double-click on a name is the same as OK.
class TRelationPickerDlg : public QDialog
{
    Q_OBJECT

public:
    QListWidget *TablesList = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // The name at the selected position; empty when nothing is selected.
    QString selectedName() const;

    // Shows the picker modally and returns the chosen name; anything but OK
    // with a name chosen ends the caller's command with a silent abort.
    QString choose();

protected:
    TRelationPickerDlg(const QString &caption, const QString &listLabel, QWidget *parent);

    // Where a subclass puts controls above the list label.
    QVBoxLayout *topArea() const { return m_top; }

    // Fills the list from a listing operation: the first entry is selected
    // and OK follows the list. A failed listing leaves the list empty (so
    // nothing can be chosen) and shows the error in the standard error box.
    void fillList(const std::function<void(QStringList &)> &listNames);

    void TablesListDblClick(QListWidgetItem *item);

private:
    void centreOnScreen();

    QVBoxLayout *m_top = nullptr;
};
