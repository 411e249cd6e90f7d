#pragma once

#include "schema/ObjectDirectory.h"
#include "uikit/TChildForm.h"

class ObjectTreeModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPoint;
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

    // Opens the object in the window that shows its kind, and gives that
    // window (nullptr for a kind that has none).
    static TChildForm *openObject(ObjectDirectory::Kind kind, const QString &name);

    // The object's context menu: the commands of the windows that show its
    // kind, run through their own buttons, with their own questions.
    QMenu *objectMenu(const QModelIndex &index);

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
    void showObjectMenu(const QPoint &position);
    static void showDdl(ObjectDirectory::Kind kind, const QString &name);
    static void drop(ObjectDirectory::Kind kind, const QString &name);
};
