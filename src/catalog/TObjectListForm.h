#pragma once

#include "uikit/TChildForm.h"

#include <QStringList>

class QPlainTextEdit;
class QStandardItemModel;
class QTableView;
class TOfficeButton;
class TToolPanel;

// A window that lists the objects of one kind by name beside the current
// one's details, with commands that put its rebuilt statement into a DDL
// window, drop it, and read the list again. A kind supplies its texts, how
// to read the list, what to show of the current object and how to drop it.
class TObjectListForm : public TChildForm
{
    Q_OBJECT

public:
    struct Kind
    {
        QString title;       // the window's caption, "Functions"
        QString noun;        // as the questions and hints say it, "function"
        QString nameColumn;  // the list's title, "Function name"
        QString menuCaption; // "F&unctions"
        QString menuTip;
        QString editHint;
    };

    // Makes the named object current; false when it is not listed.
    bool selectName(const QString &name);
    QString currentName() const;

    TToolPanel *CommandPanel;
    TOfficeButton *DDLBtn;
    TOfficeButton *DropBtn;
    TOfficeButton *RefreshBtn;
    QTableView *NamesGrid;

protected:
    TObjectListForm(const Kind &kind, QWidget *parent);

    // Puts the details right of the list; once, from the constructor.
    void placeDetails(QWidget *details);
    // The row of the current object, or -1.
    int currentRow() const;
    QPlainTextEdit *createSourceMemo(QWidget *parent, const QString &accessibleName);
    // Reads the list again; a list that fails to read leaves no details of
    // the object current before.
    void refreshList();

    // Forgets the objects read before, reads them anew and gives their
    // names in list order.
    virtual QStringList readObjects() = 0;
    // Shows the details of the current object, or none.
    virtual void followCurrent() = 0;
    // The statements that rebuild the current object, each for a DDL window.
    virtual QStringList currentStatements() const = 0;
    // The statement that drops the current object.
    virtual QString dropStatement() const = 0;

private:
    void createToolPanel(const Kind &kind);
    void createMenu(const Kind &kind);
    void editAsNow();
    void dropCurrent();

    QString m_noun;
    QStandardItemModel *m_names;
};
