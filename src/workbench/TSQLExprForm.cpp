#include "workbench/TSQLExprForm.h"

#include "controls/CaretPanel.h"
#include "core/AppError.h"
#include "controls/SqlEditorKit.h"
#include "controls/StatementEditor.h"
#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "ibdb/StatementLines.h"
#include "ibdb/StatementProfile.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "uikit/Command.h"
#include "uikit/EditorCommands.h"
#include "uikit/ConnectedDialect.h"
#include "uikit/Prompts.h"
#include "uikit/Shell.h"
#include "uikit/StatementText.h"
#include "schema/IsqlScriptReader.h"
#include "workbench/DdlFile.h"
#include "workbench/ScriptRun.h"
#include "workbench/ScriptRunPane.h"
#include "workbench/StatementStatsPane.h"
#include "workbench/TObjRepos.h"
#include "workbench/TOutputForm.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

const QString kRunHint = QStringLiteral("Run DDL statement");
const QString kSelectHint = QStringLiteral("Select saved DDL statement from repository");
const QString kAddHint = QStringLiteral("Add active DDL statement to repository");
const QString kLoadHint = QStringLiteral("Load DDL statement from file");
const QString kSaveHint = QStringLiteral("Save active DDL statement to file");
const QString kScriptHint = QStringLiteral("Run the whole text as a script, statement by statement");
const QString kPlanHint = QStringLiteral("Show the DDL statement's plans without running it");

} // namespace

TSQLExprForm::TSQLExprForm(QWidget *parent)
    : TChildForm(parent),
      Panel1(new TToolPanel(this)),
      ExecSql(new StatementEditor(this)),
      DDLMenu(nullptr),
      PopupMenu1(new QMenu(this)),
      Stats(new StatementStatsPane(this)),
      ScriptPane(new ScriptRunPane(this)),
      m_directory(QDir::currentPath())
{
    setWindowTitle(QStringLiteral("DDL  Statements Editor"));
    resize(480, 300);
    ExecSql->setAccessibleName(QStringLiteral("DDL statement"));
    buildToolPanel();
    buildMenus();
    addPlanCommand();
    EditorCommands::addSelectAll(PopupMenu1, ExecSql);

    ExecSql->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ExecSql, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->popup(ExecSql->mapToGlobal(pos)); });
    connect(ExecSql, &StatementEditor::caretTouched, this, Command::guard([this] {
                ExecSqlKeyUp();
            }));
    connect(ExecSql, &QPlainTextEdit::textChanged, RunResult, &QLabel::clear);
    connect(ExecSql, &StatementEditor::focusLost, this, Command::guard([this] {
                EditorExit();
            }));

    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(Panel1);
    auto *split = new QSplitter(Qt::Vertical, this);
    // The editor keeps a box of its own, where its find bar goes below it.
    auto *editorBox = new QWidget(split);
    auto *editorLayout = new QVBoxLayout(editorBox);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    editorLayout->setSpacing(0);
    ExecSql->setParent(editorBox);
    editorLayout->addWidget(ExecSql);
    split->addWidget(editorBox);
    split->addWidget(Stats);
    split->addWidget(ScriptPane);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setStretchFactor(2, 2);
    split->setChildrenCollapsible(false);
    Stats->hide();
    ScriptPane->hide();
    ScriptPane->offerProfiles(Stats);
    layout->addWidget(split, 1);
    SqlEditorKit::attach(ExecSql, ConnectedDialect::doubleQuotes());
    setFocusProxy(ExecSql);
}

void TSQLExprForm::buildToolPanel()
{
    LoadFromReposBtn = Panel1->addButton(QStringLiteral("load_from_repository"), kSelectHint);
    AddtoreposBtn = Panel1->addButton(QStringLiteral("add_to_repository"), kAddHint);
    LoadFromFileBtn = Panel1->addButton(QStringLiteral("open_file"), kLoadHint);
    SaveToFileBtn = Panel1->addButton(QStringLiteral("save_file"), kSaveHint);
    ExecSQLBtn = Panel1->addButton(QStringLiteral("run"), kRunHint);
    Panel1->addStretch();
    RunResult = new QLabel(Panel1);
    RunResult->setAccessibleName(QStringLiteral("Run result"));
    Panel1->addWidget(RunResult);
    onClick(LoadFromReposBtn, [this] { SelFromReposClick(); });
    onClick(AddtoreposBtn, [this] { AddBtnClick(); });
    onClick(LoadFromFileBtn, [this] { MNLoadfromFileClick(); });
    onClick(SaveToFileBtn, [this] { SavetoFile1Click(); });
    onClick(ExecSQLBtn, [this] { execbtnClick(); });
}

void TSQLExprForm::buildMenus()
{
    DDLMenu = createFormMenu(QStringLiteral("&DDL"));
    DDLMenu->menuAction()->setStatusTip(QStringLiteral("DDL statements menu"));

    Command::addAction(
        PopupMenu1, QStringLiteral("&Cut"), QStringLiteral("Cut to clipboard"),
        [this] { Cut1Click(); }, QKeySequence(Qt::CTRL | Qt::Key_X));
    Command::addAction(
        PopupMenu1, QStringLiteral("C&opy"), QStringLiteral("Copy to clipboard"),
        [this] { Copy1Click(); }, QKeySequence(Qt::CTRL | Qt::Key_C));
    Command::addAction(
        PopupMenu1, QStringLiteral("&Paste"), QStringLiteral("Paste from clipboard"),
        [this] { Paste1Click(); }, QKeySequence(Qt::CTRL | Qt::Key_V));
    PopupMenu1->addSeparator();

    for (QMenu *menu : {DDLMenu, PopupMenu1}) {
        const bool popup = menu == PopupMenu1;
        Command::addAction(
            menu, QStringLiteral("&Run"), kRunHint, [this] { execbtnClick(); },
            QKeySequence(Qt::Key_F9));
        Command::addAction(
            menu, QStringLiteral("Run Script"), kScriptHint, [this] { RunScriptClick(); },
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F9));
        menu->addSeparator();
        Command::addAction(
            menu, QStringLiteral("&Select from Repository"), kSelectHint,
            [this] { SelFromReposClick(); }, QKeySequence(Qt::CTRL | Qt::Key_Space));
        Command::addAction(
            menu, QStringLiteral("&Add to Repository"), kAddHint, [this] { AddBtnClick(); },
            QKeySequence(Qt::CTRL | Qt::Key_A));
        Command::addAction(
            menu, QStringLiteral("&Load from File"),
            popup ? QStringLiteral("Load DDL statement from File") : kLoadHint,
            [this] { MNLoadfromFileClick(); }, QKeySequence(Qt::CTRL | Qt::Key_O));
        Command::addAction(
            menu, QStringLiteral("Save to &File"), kSaveHint, [this] { SavetoFile1Click(); },
            QKeySequence(Qt::CTRL | Qt::Key_S));
        menu->addSeparator();
        Command::addAction(
            menu, QStringLiteral("Open As &Result Set"),
            QStringLiteral("Open as SQL expression with result set"),
            [this] { MNOpenAsResultClick(); }, QKeySequence(Qt::CTRL | Qt::Key_R));
    }
}

void TSQLExprForm::addPlanCommand()
{
    for (QMenu *menu : {DDLMenu, PopupMenu1}) {
        menu->addSeparator();
        Command::addAction(
            menu, QStringLiteral("Show Pla&n"), kPlanHint, [this] { PlanBtnClick(); },
            QKeySequence(Qt::CTRL | Qt::Key_F9));
    }
}

TSQLExprForm *TSQLExprForm::open()
{
    return openInFrame<TSQLExprForm>();
}

QStringList TSQLExprForm::lines() const
{
    return StatementText::lines(ExecSql->toPlainText());
}

void TSQLExprForm::setLines(const QStringList &lines)
{
    ExecSql->setPlainText(lines.join(QLatin1Char('\n')));
}

// A query sent as a statement returns its rows to no one: the server
// refuses it, and the box says where its rows are shown.
void TSQLExprForm::execbtnClick()
{
    RunResult->clear();
    StatementProfile profile;
    const QString text = StatementText::fromEditor(ExecSql->toPlainText());
    try {
        DMSys->execute(text, profile);
    } catch (const DatabaseError &error) {
        if (!isQuery(text))
            throw;
        throw DatabaseError(error.message() + u'\n' + queryHint());
    }
    RunResult->setText(runResultText(DMSys->IBDataBase->changedRows()));
    showStats(profile);
}

QString TSQLExprForm::queryHint()
{
    return QStringLiteral("A query's rows open with Open As Result Set (Ctrl+R)");
}

bool TSQLExprForm::isQuery(const QString &text)
{
    const std::optional<ScriptCommand> first = IsqlScriptReader(text).next();
    if (!first)
        return false;
    const QString word = first->text.section(QRegularExpression(QStringLiteral("\\s+")), 0, 0,
                                             QString::SectionSkipEmpty)
                             .toUpper();
    return word == u"SELECT" || word == u"WITH";
}

void TSQLExprForm::RunScriptClick()
{
    RunResult->clear();
    const QString text = scriptText();
    const ScriptRunner::Outcome outcome = ScriptPane->runText(text, m_directory);
    RunResult->setText(ScriptRun::resultText(outcome));
    if (outcome.failure && outcome.failure->file.isEmpty())
        selectCommand(text, outcome.failure->command);
    ScriptRun::throwFailure(outcome);
}

// A text typed or changed in the editor goes with CR LF line ends, as F9
// sends it.
QString TSQLExprForm::scriptText() const
{
    const QString shown = ExecSql->toPlainText();
    return shown == m_asShown ? m_asWritten : StatementText::fromEditor(shown);
}

void TSQLExprForm::setScript(const QString &text)
{
    ExecSql->setPlainText(StatementText::toEditor(text));
    keepAsWritten(text);
}

void TSQLExprForm::keepAsWritten(const QString &text)
{
    m_asWritten = text;
    m_asShown = ExecSql->toPlainText();
}

// The runner counts in the text it ran, where a line may end CR LF; the
// editor ends every line with one line feed.
void TSQLExprForm::selectCommand(const QString &ran, const ScriptCommand &command)
{
    const QString crLf = QStringLiteral("\r\n");
    const int start = int(command.offset - QStringView(ran).left(command.offset).count(crLf));
    const int length = int(command.text.size() - command.text.count(crLf));
    QTextCursor cursor = ExecSql->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    ExecSql->setTextCursor(cursor);
}

void TSQLExprForm::PlanBtnClick()
{
    StatementProfile profile;
    DMSys->IBDataBase->PlanStatement(StatementText::fromEditor(ExecSql->toPlainText()), profile);
    showStats(profile);
    Stats->setCurrentWidget(Stats->PlanText);
}

void TSQLExprForm::showStats(StatementProfile &profile)
{
    profile.nameTables(DMSys->IBDataBase->connection());
    Stats->showProfile(profile);
    Stats->show();
}

QString TSQLExprForm::runResultText(int changedRows)
{
    const QString ran = QStringLiteral("Statement executed");
    if (changedRows < 0)
        return ran;
    if (changedRows == 1)
        return ran + QStringLiteral(", 1 row changed");
    return ran + QStringLiteral(", %1 rows changed").arg(changedRows);
}

void TSQLExprForm::SelFromReposClick()
{
    QStringList chosen = lines();
    SelectFromRepository(chosen);
    setLines(chosen);
}

void TSQLExprForm::AddBtnClick()
{
    AddToRepository(lines());
}

void TSQLExprForm::MNLoadfromFileClick()
{
    const QString fileName =
        Prompts::instance().openFileName(QString(), DdlFile::scriptFilter());
    if (fileName.isEmpty())
        return;
    const QString text = DdlFile::readText(fileName);
    setLines(StatementLines::splitText(text));
    keepAsWritten(text);
    m_directory = QFileInfo(fileName).absolutePath();
}

void TSQLExprForm::SavetoFile1Click()
{
    const QString fileName = Prompts::instance().saveFileName(QString(), DdlFile::filter());
    if (fileName.isEmpty())
        return;
    DdlFile::write(DdlFile::withDefaultExtension(fileName), lines());
}

void TSQLExprForm::MNOpenAsResultClick()
{
    OpenAsResultSet(StatementLines::join(lines()));
}

void TSQLExprForm::Cut1Click()
{
    ExecSql->cut();
}

void TSQLExprForm::Copy1Click()
{
    ExecSql->copy();
}

void TSQLExprForm::Paste1Click()
{
    ExecSql->paste();
}

void TSQLExprForm::ExecSqlKeyUp()
{
    Shell::instance().setCaretPanel(ExecSql->caretPanelText());
}

void TSQLExprForm::EditorExit()
{
    Shell::instance().setCaretPanel(CaretPanel::empty());
}

void OpenInDDLWindow(const QString &text)
{
    TSQLExprForm *form = TSQLExprForm::open();
    form->ExecSql->clear();
    form->setScript(text);
}
