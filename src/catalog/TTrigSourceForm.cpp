#include "catalog/TTrigSourceForm.h"

#include "catalog/TriggerKinds.h"
#include "catalog/TViewInsertWiz.h"
#include "catalog/TViewUpdateWiz.h"
#include "controls/CaretPanel.h"
#include "controls/ComboWidth.h"
#include "controls/SqlEditorKit.h"
#include "controls/StatementEditor.h"
#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "core/AppError.h"
#include "ibdb/BoundQuery.h"
#include "ibdb/PlainName.h"
#include "ibdb/StatementLines.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "uikit/Command.h"
#include "uikit/EditorCommands.h"
#include "uikit/ConnectedDialect.h"
#include "uikit/Prompts.h"
#include "uikit/RelationNameList.h"
#include "uikit/Shell.h"
#include "workbench/DdlFile.h"
#include "workbench/TSQLSourceForm.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QSqlQuery>
#include <QVBoxLayout>

#include <memory>

namespace {

constexpr int NameLength = 30;
constexpr int LastPosition = 15;
constexpr int RelationsVisible = 25;
// Lines the statement puts before the source: its name and relation lines.
constexpr int HeaderLines = 2;

// Only a frame shows the caret; without one (closing down) there is nothing
// to tell.
void writeCaretPanel(const QString &text)
{
    try {
        Shell::instance().setCaretPanel(text);
    } catch (const GeneralError &) {
    }
}

const QString kCreateHint = QStringLiteral("Run \"CREATE TRIGGER \" statement");
const QString kAlterHint = QStringLiteral("Run \"ALTER TRIGER\" statement");
const QString kInsertHint = QStringLiteral("Creates insert statement using wizard");
const QString kUpdateHint = QStringLiteral("Create update statement using wizard");

QLabel *boxLabel(const QString &text, QWidget *box, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(box);
    return label;
}

} // namespace

TTrigSourceForm::TTrigSourceForm(QWidget *parent) : TChildForm(parent)
{
    setWindowTitle(QStringLiteral("Trigger Source Editor"));
    TrigSource = new StatementEditor(this);
    TrigSource->setAccessibleName(QStringLiteral("Trigger source"));
    buildToolPanel();
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(ToolPanel);
    layout->addWidget(TrigSource, 1);
    layout->addWidget(buildHeaderPanel());
    SqlEditorKit::attach(TrigSource, ConnectedDialect::doubleQuotes());
    buildMenus();
    buildSourceMenu();
    connect(TrigSource, &StatementEditor::caretTouched, this, [this] { TrigSourceKeyUp(); });
    connect(TrigSource, &StatementEditor::focusLost, this, [this] { TriggerExit(); });
    connect(TrigNameEdit, &QLineEdit::textChanged, this,
            [this](const QString &name) { TrigNameEditChange(name); });
}

TTrigSourceForm *TTrigSourceForm::open()
{
    return openInFrame<TTrigSourceForm>(&TTrigSourceForm::FormCreate);
}

TTrigSourceForm *TTrigSourceForm::openTrigger(const QString &name, qint64 type, int sequence,
                                              const QString &relation, const QString &source)
{
    auto editor = std::make_unique<TTrigSourceForm>();
    editor->FormCreate();
    editor->setSourceLines(StatementLines::split(source));
    editor->TrigNameEdit->setText(name);
    editor->showKind(type);
    // The box brings a position above 15 down to 15.
    editor->PositionEdit->setValue(sequence);
    editor->TableNameEdit->setEditText(relation);
    Shell::instance().showChild(editor.get());
    editor->fitToContent();
    return editor.release();
}

TTrigSourceForm *TTrigSourceForm::openStored(const QString &name)
{
    QSqlQuery query = BoundQuery::run(
        QSqlDatabase::database(TDMSys::ibName()),
        QStringLiteral("SELECT RDB$TRIGGER_TYPE, RDB$TRIGGER_SEQUENCE, RDB$RELATION_NAME, "
                       "RDB$TRIGGER_SOURCE FROM RDB$TRIGGERS WHERE RDB$TRIGGER_NAME = :NAME"),
        {{QStringLiteral(":NAME"), name}});
    if (!query.next())
        throw GeneralError(QStringLiteral("Trigger %1 is no longer in the database").arg(name));
    return openTrigger(name, query.value(0).toLongLong(), query.value(1).toInt(),
                       PlainName(query.value(2).toString()), query.value(3).toString());
}

void TTrigSourceForm::buildToolPanel()
{
    ToolPanel = new TToolPanel(this);
    MewButton = ToolPanel->addButton(QStringLiteral("new"), kCreateHint);
    LoadFromFileButton = ToolPanel->addButton(QStringLiteral("open_file"),
                                              QStringLiteral("Load DDL statement code from File"));
    SaveToFileButton = ToolPanel->addButton(
        QStringLiteral("save_file"), QStringLiteral("Save active DDL statement code to file"));
    UpdateButton = ToolPanel->addButton(QStringLiteral("run"), kAlterHint);
    BtnInsert = ToolPanel->addButton(QStringLiteral("wizard_insert"), kInsertHint);
    BtnUpdate = ToolPanel->addButton(QStringLiteral("wizard_update"), kUpdateHint);
    ToolPanel->addStretch();
    onClick(MewButton, [this] { NewBtnClick(); });
    onClick(LoadFromFileButton, [this] { MNLoadfromFileClick(); });
    onClick(SaveToFileButton, [this] { MnSaveToFileClick(); });
    onClick(UpdateButton, [this] { UpdateBtnClick(); });
    onClick(BtnInsert, [this] { MnInsertWizardClick(); });
    onClick(BtnUpdate, [this] { MNUpdateWizardClick(); });
}

QWidget *TTrigSourceForm::buildHeaderPanel()
{
    auto *panel = new QWidget(this);
    TrigNameEdit = new QLineEdit(panel);
    TrigNameEdit->setMaxLength(NameLength);
    EventTypeEdit = new QComboBox(panel);
    EventTypeEdit->addItems(TriggerKinds::texts());
    EventTypeEdit->setCurrentIndex(-1);
    PositionEdit = new QSpinBox(panel);
    PositionEdit->setRange(0, LastPosition);
    TableNameEdit = new QComboBox(panel);
    TableNameEdit->setEditable(true);
    TableNameEdit->setInsertPolicy(QComboBox::NoInsert);
    TableNameEdit->setMaxVisibleItems(RelationsVisible);
    auto *grid = new QGridLayout(panel);
    grid->addWidget(boxLabel(QStringLiteral("&TriggerName"), TrigNameEdit, panel), 0, 0);
    grid->addWidget(TrigNameEdit, 0, 1);
    grid->addWidget(boxLabel(QStringLiteral("&Event type"), EventTypeEdit, panel), 0, 2);
    grid->addWidget(EventTypeEdit, 0, 3);
    grid->addWidget(boxLabel(QStringLiteral("&Position"), PositionEdit, panel), 1, 0);
    grid->addWidget(PositionEdit, 1, 1);
    grid->addWidget(boxLabel(QStringLiteral("&Table (view) name"), TableNameEdit, panel), 1, 2);
    grid->addWidget(TableNameEdit, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return panel;
}

void TTrigSourceForm::buildMenus()
{
    TriggerMenu = createFormMenu(QStringLiteral("&Trigger"));
    TriggerMenu->menuAction()->setStatusTip(QStringLiteral("Trigger statements menu"));
    Command::addAction(
        TriggerMenu, QStringLiteral("&New"), kCreateHint, [this] { NewBtnClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_N));
    Command::addAction(
        TriggerMenu, QStringLiteral("&Run"), kAlterHint, [this] { UpdateBtnClick(); },
        QKeySequence(Qt::Key_F9));
    TriggerMenu->addSeparator();
    Command::addAction(
        TriggerMenu, QStringLiteral("&Load from File"),
        QStringLiteral("Load DDL statement code from File"), [this] { MNLoadfromFileClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_O));
    Command::addAction(
        TriggerMenu, QStringLiteral("Save to &File"),
        QStringLiteral("Save active DDL statement code to file"), [this] { MnSaveToFileClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_S));
    TriggerMenu->addSeparator();
    // One check item: the context menu shows the same action, so either
    // item turns the one switch over.
    MnShowSQL = TriggerMenu->addAction(QStringLiteral("Show S&QL"));
    MnShowSQL->setStatusTip(QStringLiteral("See the prepeared DDL statement before execution"));
    MnShowSQL->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    MnShowSQL->setCheckable(true);
    TriggerMenu->addSeparator();
    Command::addAction(
        TriggerMenu, QStringLiteral("&Insert Statement"), kInsertHint,
        [this] { MnInsertWizardClick(); }, QKeySequence(Qt::CTRL | Qt::Key_I));
    Command::addAction(
        TriggerMenu, QStringLiteral("&Update Statement "), kUpdateHint,
        [this] { MNUpdateWizardClick(); }, QKeySequence(Qt::CTRL | Qt::Key_U));
}

void TTrigSourceForm::buildSourceMenu()
{
    SourceMenu = new QMenu(this);
    auto add = [this](const QString &text, const QString &hint, std::function<void()> handler,
                      const QKeySequence &key) {
        // The window menu owns these keys; here they only work while the
        // context menu is open.
        Command::addAction(SourceMenu, text, hint, std::move(handler), key)
            ->setShortcutContext(Qt::WidgetShortcut);
    };
    add(QStringLiteral("&Cut"), QStringLiteral("Cut to clipboard"), [this] { Cut1Click(); },
        QKeySequence(Qt::CTRL | Qt::Key_X));
    add(QStringLiteral("C&opy"), QStringLiteral("Copy to clipboard"), [this] { Copy1Click(); },
        QKeySequence(Qt::CTRL | Qt::Key_C));
    add(QStringLiteral("&Paste"), QStringLiteral("Paste from clipboard"),
        [this] { Paste1Click(); }, QKeySequence(Qt::CTRL | Qt::Key_V));
    SourceMenu->addSeparator();
    add(QStringLiteral("&New"), kCreateHint, [this] { NewBtnClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_N));
    add(QStringLiteral("&Run "), kAlterHint, [this] { UpdateBtnClick(); },
        QKeySequence(Qt::Key_F9));
    SourceMenu->addSeparator();
    add(QStringLiteral("&Load from File"), QStringLiteral("Load DDL statement from File"),
        [this] { MNLoadfromFileClick(); }, QKeySequence(Qt::CTRL | Qt::Key_O));
    add(QStringLiteral("Save to &File"), QStringLiteral("Save active DDL statement to file"),
        [this] { MnSaveToFileClick(); }, QKeySequence(Qt::CTRL | Qt::Key_S));
    SourceMenu->addAction(MnShowSQL);
    SourceMenu->addSeparator();
    add(QStringLiteral("&Insert Statement "), kInsertHint, [this] { MnInsertWizardClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_I));
    add(QStringLiteral("&Update Statement "), kUpdateHint, [this] { MNUpdateWizardClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_U));
    EditorCommands::addSelectAll(SourceMenu, TrigSource);
    TrigSource->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TrigSource, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        SourceMenu->popup(TrigSource->viewport()->mapToGlobal(pos));
    });
}

void TTrigSourceForm::FormCreate()
{
    const QStringList relations = RelationNameList();
    TableNameEdit->addItems(relations);
    ComboWidth::fitLongest(TableNameEdit, 0);
    // Filling the list must not pick a relation: the box starts empty.
    TableNameEdit->setCurrentIndex(-1);
    TableNameEdit->setEditText(QString());
}

// A database or DDL trigger's kind is none of the six the box offers: it is
// added for the trigger shown, so the box names it as the catalogue does.
void TTrigSourceForm::showKind(qint64 type)
{
    int index = TriggerKinds::indexOf(type);
    const QString text = TriggerKinds::text(type);
    if (index < 0 && !text.isEmpty()) {
        EventTypeEdit->addItem(text);
        index = EventTypeEdit->count() - 1;
    }
    EventTypeEdit->setCurrentIndex(index);
}

QStringList TTrigSourceForm::sourceLines() const
{
    return StatementLines::split(TrigSource->toPlainText());
}

void TTrigSourceForm::setSourceLines(const QStringList &lines)
{
    TrigSource->setPlainText(lines.join(QLatin1Char('\n')));
}

// A relation picked from the list is a stored name, spelled as the dialect
// needs; a name typed in the boxes is SQL already and goes as typed.
QString TTrigSourceForm::relationName() const
{
    const QString text = TableNameEdit->currentText();
    return TableNameEdit->findText(text, Qt::MatchExactly) >= 0 ? DMSys->IBDataBase->sqlName(text)
                                                                 : text;
}

QStringList TTrigSourceForm::createStatement() const
{
    // A database or DDL trigger is for no relation.
    const QString relation = relationName();
    QStringList lines{
        QStringLiteral("CREATE TRIGGER ") + TrigNameEdit->text(),
        relation.isEmpty() ? QStringLiteral("ACTIVE")
                           : QStringLiteral("FOR ") + relation + QStringLiteral(" ACTIVE"),
        EventTypeEdit->currentText(),
        QStringLiteral("POSITION ") + QString::number(PositionEdit->value()),
    };
    return lines + sourceLines();
}

QStringList TTrigSourceForm::alterStatement() const
{
    const QString kind = EventTypeEdit->currentText();
    QStringList lines{
        // The editor opens on a stored trigger: its name is the stored one.
        QStringLiteral("ALTER TRIGGER ") + DMSys->IBDataBase->sqlName(TrigNameEdit->text()),
        // ALTER TRIGGER names no database or DDL event: left out, the server
        // keeps the one stored.
        TriggerKinds::texts().contains(kind) ? kind : QString(),
    };
    return lines + sourceLines();
}

void TTrigSourceForm::run(const QStringList &lines)
{
    if (MnShowSQL->isChecked())
        ShowSQLSource(lines);
    DMSys->execute(StatementLines::join(lines));
}

void TTrigSourceForm::NewBtnClick()
{
    run(createStatement());
}

void TTrigSourceForm::UpdateBtnClick()
{
    run(alterStatement());
}

void TTrigSourceForm::MNLoadfromFileClick()
{
    QString fileName = Prompts::instance().openFileName(QStringLiteral("Open"), DdlFile::filter());
    if (fileName.isEmpty())
        return;
    if (!QFileInfo::exists(fileName))
        fileName = DdlFile::withDefaultExtension(fileName);
    setSourceLines(DdlFile::read(fileName));
}

void TTrigSourceForm::MnSaveToFileClick()
{
    const QString fileName =
        Prompts::instance().saveFileName(QStringLiteral("Save As"), DdlFile::filter());
    if (!fileName.isEmpty())
        DdlFile::write(DdlFile::withDefaultExtension(fileName), sourceLines());
}

void TTrigSourceForm::insertFromWizard(const std::function<QString(const QString &)> &wizard)
{
    InsertAtCaret(wizard(TableNameEdit->currentText()));
}

void TTrigSourceForm::MnInsertWizardClick()
{
    insertFromWizard(RunInsertWizard);
}

void TTrigSourceForm::MNUpdateWizardClick()
{
    insertFromWizard(RunUpdateWizard);
}

void TTrigSourceForm::InsertAtCaret(const QString &text)
{
    QTextCursor cursor = TrigSource->textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const int start = cursor.position();
    cursor.insertText(text);
    cursor.endEditBlock();
    cursor.setPosition(start);
    TrigSource->setTextCursor(cursor);
}

void TTrigSourceForm::Cut1Click()
{
    TrigSource->cut();
}

void TTrigSourceForm::Copy1Click()
{
    TrigSource->copy();
}

void TTrigSourceForm::Paste1Click()
{
    TrigSource->paste();
}

void TTrigSourceForm::TrigNameEditChange(const QString &name)
{
    setWindowTitle(QStringLiteral("Trigger -") + name);
}

QString TTrigSourceForm::caretPanelText() const
{
    return CaretPanel::withStatementLine(TrigSource->toPlainText(),
                                         TrigSource->textCursor().selectionStart(), HeaderLines);
}

void TTrigSourceForm::TrigSourceKeyUp()
{
    writeCaretPanel(caretPanelText());
}

void TTrigSourceForm::TriggerExit()
{
    writeCaretPanel(CaretPanel::empty());
}
