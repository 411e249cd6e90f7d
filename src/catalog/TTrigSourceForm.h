#pragma once

#include "uikit/TChildForm.h"

#include <QStringList>

#include <functional>

class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QSpinBox;
class StatementEditor;
class TOfficeButton;
class TToolPanel;

// The trigger source editor: a trigger's header values in four boxes and
// its source text, sent as CREATE TRIGGER or ALTER TRIGGER. The statement
// is assembled from the boxes at every run; the window keeps nothing else.
class TTrigSourceForm : public TChildForm
{
    Q_OBJECT

public:
    explicit TTrigSourceForm(QWidget *parent = nullptr);

    // A new, empty editor shown in the frame.
    static TTrigSourceForm *open();
    // A new editor in the frame holding a stored trigger: its name, kind
    // code, position, relation and source.
    static TTrigSourceForm *openTrigger(const QString &name, qint64 type, int sequence,
                                        const QString &relation, const QString &source);
    // The same for the stored trigger of that name, read from the database.
    static TTrigSourceForm *openStored(const QString &name);

    // Fills the relation box with the database's tables and views.
    void FormCreate();

    // The source box's lines, as a trigger's stored source gives them.
    QStringList sourceLines() const;
    void setSourceLines(const QStringList &lines);

    // The statements as the boxes give them now, one entry a line.
    QStringList createStatement() const;
    QString relationName() const;
    QStringList alterStatement() const;

    // The commands, shared by the tool buttons, the "&Trigger" menu and the
    // source box's context menu.
    void NewBtnClick();
    void UpdateBtnClick();
    void MNLoadfromFileClick();
    void MnSaveToFileClick();
    void MnInsertWizardClick();
    void MNUpdateWizardClick();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    // Puts a text into the source exactly at the caret, replacing the
    // selection, and leaves the caret at its start.
    void InsertAtCaret(const QString &text);
    // " line|column|statement line" of the caret for the status bar.
    QString caretPanelText() const;

    TToolPanel *ToolPanel = nullptr;
    TOfficeButton *MewButton = nullptr;
    TOfficeButton *LoadFromFileButton = nullptr;
    TOfficeButton *SaveToFileButton = nullptr;
    TOfficeButton *UpdateButton = nullptr;
    TOfficeButton *BtnInsert = nullptr;
    TOfficeButton *BtnUpdate = nullptr;
    StatementEditor *TrigSource = nullptr;
    QLineEdit *TrigNameEdit = nullptr;
    QComboBox *EventTypeEdit = nullptr;
    QSpinBox *PositionEdit = nullptr;
    QComboBox *TableNameEdit = nullptr;
    QMenu *TriggerMenu = nullptr;
    QMenu *SourceMenu = nullptr;
    // The preview switch: while checked every run shows its statement first.
    QAction *MnShowSQL = nullptr;

private:
    void buildToolPanel();
    QWidget *buildHeaderPanel();
    void buildMenus();
    void buildSourceMenu();
    void showKind(qint64 type);
    void TrigNameEditChange(const QString &name);
    void TrigSourceKeyUp();
    void TriggerExit();
    void run(const QStringList &lines);
    void insertFromWizard(const std::function<QString(const QString &)> &wizard);
};
