#pragma once

#include "schema/ObjectDirectory.h"
#include "uikit/TChildForm.h"

class ObjectTreeModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QTreeView;
class TOfficeButton;
class TToolPanel;

// Everything the database holds, kind by kind with counts, under the path and
// dialect of the database; a filter finds any object by part of its name, and
// activating a name (double-click or Enter) opens it in its own window.
class TDatabaseExplorer : public TChildForm
{
    Q_OBJECT

public:
    explicit TDatabaseExplorer(QWidget *parent = nullptr);

    // A new explorer in the frame with the names read.
    static TDatabaseExplorer *open();

    void FormCreate();
    void RefreshBtnClick();
    void FilterEditChange();
    void ObjectTreeActivated(const QModelIndex &index);

    // Opens the object in the window that shows its kind.
    static void openObject(ObjectDirectory::Kind kind, const QString &name);

    TToolPanel *ToolPanel;
    TOfficeButton *RefreshBtn;
    QLabel *DatabaseLabel;
    QLineEdit *FilterEdit;
    QTreeView *ObjectTree;
    QLabel *NoteLabel;
    QCheckBox *OpenAtConnect;
    ObjectTreeModel *Objects;

private:
    void showTree();
};
