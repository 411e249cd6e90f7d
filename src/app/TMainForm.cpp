#include "app/TMainForm.h"

#include "app/ConnectionHistory.h"
#include "app/DatabaseMenu.h"
#include "app/FramePlacement.h"
#include "app/TAboutBox.h"
#include "app/TDBEntryDlg.h"
#include "app/TNewDatabaseDlg.h"
#include "app/THelpWindow.h"
#include "app/TileLayout.h"
#include "catalog/TDatabaseExplorer.h"
#include "core/AppError.h"
#include "core/DatabaseFileName.h"
#include "core/ProgramSettings.h"
#include "ibdb/TDMSys.h"
#include "ibdb/ServerCall.h"
#include "ibdb/TIBDataBase.h"
#include "uikit/ApplicationTitle.h"
#include "uikit/Command.h"
#include "uikit/ModalForms.h"
#include "uikit/Prompts.h"
#include "uikit/TChildForm.h"
#include "workbench/DdlFile.h"
#include "workbench/TScriptRunForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>

#include <algorithm>

namespace {

// The status bar's panels, numbered from 1 as panel() takes them.
constexpr int kConnectionPanel = 1;
constexpr int kTransactionPanel = 2;
constexpr int kCaretPanel = 3;
constexpr int kHintPanel = 4;
constexpr int kDialectPanel = 5;
// How often a signal's end looks again whether the call it stopped is over.
constexpr int kSignalRetryMs = 50;

} // namespace

TMainForm::TMainForm(TDMSys &session, const QString &commandLinePath, const QString &historyFile,
                     QWidget *parent)
    : QMainWindow(parent), m_mdiArea(new QMdiArea(this)), m_session(session),
      m_historyFile(historyFile)
{
    setWindowTitle(ApplicationTitle);
    setObjectName(QStringLiteral("MainForm"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &TMainForm::mergeChildMenu);
    buildMenus();
    buildStatusBar();
    Shell::setInstance(this);
    m_session.setTransactionView(this);
    FormCreate(commandLinePath);
    FramePlacement::place(this, ProgramSettings::instance().FrameGeometry);
}

TMainForm::~TMainForm()
{
    m_session.setTransactionView(nullptr);
    Shell::setInstance(nullptr);
}

void TMainForm::FormCreate(const QString &commandLinePath)
{
    DBEntryDlg = new TDBEntryDlg(this);
    DBEntryDlg->dbPath->setEditText(commandLinePath);
    bool exists = false;
    const QStringList entries = ConnectionHistory::load(m_historyFile, &exists);
    if (exists) {
        DBEntryDlg->setHistory(entries);
        if (commandLinePath.isEmpty())
            DBEntryDlg->dbPath->setEditText(entries.value(0));
    }
    const bool autoCommit = ProgramSettings::instance().AutoCommit;
    MnAutoCommit->setChecked(autoCommit);
    panel(kTransactionPanel)->setText(autoCommit ? QStringLiteral("AUTO") : QString());
}

void TMainForm::buildMenus()
{
    buildFileMenu();
    buildDatabaseMenu();
    buildWindowsMenu();
    buildHelpMenu();
}

void TMainForm::buildFileMenu()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    MnConnect =
        Command::addAction(file, QStringLiteral("&Connect"), QStringLiteral("Connect to database"),
                           [this] { ConnectBtnClick(); });
    QFont bold = MnConnect->font();
    bold.setBold(true);
    MnConnect->setFont(bold);
    MnDisconect = Command::addAction(file, QStringLiteral("&Disconnect"),
                                     QStringLiteral("Disconect from database"),
                                     [this] { MnDisconectClick(); });
    Command::addAction(file, QStringLiteral("&New Database..."),
                       QStringLiteral("Create a database and connect to it"),
                       [this] { MnNewDatabaseClick(); });
    file->addSeparator();
    MnAutoCommit = Command::addAction(file, QStringLiteral("&Auto Commit"),
                                      QStringLiteral("Set auto commit on/off"),
                                      [this] { MnAutoCommitClick(); });
    MnAutoCommit->setCheckable(true);
    MnCommitWork = Command::addAction(file, QStringLiteral("C&ommit Work"),
                                      QStringLiteral("Commit work for database"),
                                      [this] { MnCommitWorkClick(); });
    MnRollBackWork = Command::addAction(file, QStringLiteral("&Rollback Work"),
                                        QStringLiteral("Rollback work for database"),
                                        [this] { MnRollBackWorkClick(); });
    MnCommitWork->setEnabled(false);
    MnRollBackWork->setEnabled(false);
    file->addSeparator();
    Command::addAction(
        file, QStringLiteral("&Object Repository Settings..."),
        QStringLiteral("Selects or creates object repository table for keeping DDL and SQL "
                       "statements"),
        [] { DatabaseMenu::ORepSettingsClick(); });
    file->addSeparator();
    Command::addAction(file, QStringLiteral("Run Script &File..."),
                       QStringLiteral("Run a script file on the database without loading it"),
                       [this] { MnRunScriptFileClick(); });
    file->addSeparator();
    MnExit = Command::addAction(file, QStringLiteral("E&xit"), QStringLiteral("Close application"),
                                [this] { close(); });
    MnExit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
}

void TMainForm::buildDatabaseMenu()
{
    DataMenu = menuBar()->addMenu(QStringLiteral("&Database"));
    DataMenu->menuAction()->setStatusTip(QStringLiteral("Database operations"));
    DataMenu->setEnabled(false);
    DataMenu->menuAction()->setEnabled(false);
    for (const DatabaseMenu::Item &item : DatabaseMenu::items())
        Command::addAction(DataMenu, item.text, item.hint, item.open);
}

void TMainForm::buildWindowsMenu()
{
    WindowsBar = menuBar()->addMenu(QStringLiteral("&Windows"));
    connect(WindowsBar, &QMenu::aboutToShow, this, &TMainForm::fillWindowsMenu);
    fillWindowsMenu();
}

void TMainForm::fillWindowsMenu()
{
    WindowsBar->clear();
    Command::addAction(WindowsBar, QStringLiteral("&Cascade"), QStringLiteral("Cascade windows"),
                       [this] { m_mdiArea->cascadeSubWindows(); });
    Command::addAction(WindowsBar, QStringLiteral("Tile &Vertical"),
                       QStringLiteral("Tile windows vertical"), [this] { tile(true); });
    Command::addAction(WindowsBar, QStringLiteral("Tile &Horizontal"),
                       QStringLiteral("Tile windows horizontal"), [this] { tile(false); });
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    if (!windows.isEmpty())
        WindowsBar->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow *window = windows[i];
        QAction *action = WindowsBar->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(window->windowTitle()));
        action->setCheckable(true);
        action->setChecked(window == m_mdiArea->activeSubWindow());
        connect(action, &QAction::triggered, m_mdiArea,
                [this, window] { m_mdiArea->setActiveSubWindow(window); });
    }
}

void TMainForm::buildHelpMenu()
{
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->menuAction()->setStatusTip(QStringLiteral("Information menu"));
    Command::addAction(help, QStringLiteral("&Help Topics"), QString(),
                       [this] { THelpWindow::showHelp(this); });
    Command::addAction(help, QStringLiteral("&About"), QStringLiteral("About this product"),
                       [] { ModalForms::exec(&TAboutBox::shared()); });
}

void TMainForm::buildStatusBar()
{
    const QList<std::pair<int, QString>> panels = {
        {100, QStringLiteral("Disconnected")}, {50, QStringLiteral("AUTO")}, {50, {}}, {50, {}},
        {70, {}}};
    for (const auto &[width, text] : panels) {
        auto *label = new QLabel(text);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(width);
        m_panels << label;
        // The hint panel takes the rest of the bar; the dialect follows it.
        statusBar()->addWidget(label, m_panels.size() == kHintPanel ? 1 : 0);
    }
    statusBar()->setSizeGripEnabled(true);
    statusBar()->installEventFilter(this);
}

QLabel *TMainForm::panel(int number) const
{
    return m_panels.value(number - 1);
}

void TMainForm::showChild(TChildForm *form)
{
    QMdiSubWindow *window = m_mdiArea->addSubWindow(form);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    m_mdiArea->setActiveSubWindow(window);
}

void TMainForm::setCaretPanel(const QString &text)
{
    panel(kCaretPanel)->setText(text);
}

void TMainForm::setCommitItemsEnabled(bool enabled)
{
    MnCommitWork->setEnabled(enabled);
    MnRollBackWork->setEnabled(enabled);
}

void TMainForm::setTransactionPanel(const QString &text)
{
    panel(kTransactionPanel)->setText(text);
}

void TMainForm::showConnectionLost(const QString &message)
{
    showConnected(false, QString());
    Command::tellOnce(message);
}

void TMainForm::mergeChildMenu(QMdiSubWindow *window)
{
    auto *form = window ? qobject_cast<TChildForm *>(window->widget()) : nullptr;
    QMenu *menu = form ? form->formMenu() : nullptr;
    if (menu == m_childMenu)
        return;
    if (m_childMenu)
        menuBar()->removeAction(m_childMenu->menuAction());
    m_childMenu = menu;
    if (menu)
        menuBar()->insertMenu(WindowsBar->menuAction(), menu);
}

void TMainForm::tile(bool vertical)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
        if (!window->isMinimized())
            windows << window;
    }
    const QList<QRect> rects = TileLayout::tiles(m_mdiArea->viewport()->rect(),
                                                 int(windows.size()), vertical);
    for (int i = 0; i < windows.size(); ++i) {
        windows[i]->showNormal();
        windows[i]->setGeometry(rects[i]);
    }
}

void TMainForm::HintHandler(const QString &hint)
{
    m_lastHint = hint;
    panel(kHintPanel)->setText(hint);
}

bool TMainForm::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        HintHandler(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == statusBar() && event->type() == QEvent::MouseButtonPress)
        HintHandler(m_lastHint);
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::showConnected(bool connected, const QString &path)
{
    DataMenu->setEnabled(connected);
    DataMenu->menuAction()->setEnabled(connected);
    panel(kConnectionPanel)
        ->setText(connected ? QStringLiteral("Connected") : QStringLiteral("Disconnected"));
    // Which dialect the tool compiles in decides what "..." and 7/2 mean,
    // the server and ODS which types and names there are. The file name
    // follows them, so a narrow panel still shows them.
    panel(kDialectPanel)->setText(
        connected ? QStringLiteral("%1, %2")
                        .arg(m_session.IBDataBase->serverText(), DatabaseFileName(path))
                  : QString());
    statusBar()->setToolTip(connected ? QStringLiteral("Connected to:%1").arg(path) : QString());
}

void TMainForm::settleTransaction(bool leaving)
{
    TIBDataBase *db = m_session.IBDataBase;
    if (!db->InTransaction())
        return;
    switch (Prompts::instance().confirm(QStringLiteral("Commit work?"),
                                        Prompts::Buttons::YesNoCancel)) {
    case Prompts::Answer::Yes:
        db->Commit();
        break;
    case Prompts::Answer::No:
        // Whoever answers No to leave must be able to leave, whatever the
        // server says to the rollback.
        try {
            db->Rollback();
        } catch (const AppError &) {
            if (leaving)
                db->AbandonTransaction();
            throw;
        }
        break;
    default:
        throw SilentAbort();
    }
}

// A window shows one database's objects; left open across a connect or
// disconnect it would show, and act on, names that are not there.
void TMainForm::refuseWhileWindowsOpen(const TChildForm *keeping) const
{
    // Explorers follow the attachment and close with it; only other windows hold work.
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    const bool onlyExplorers = std::all_of(windows.begin(), windows.end(), [keeping](auto *window) {
        return qobject_cast<TDatabaseExplorer *>(window->widget()) != nullptr
               || (keeping && window->widget() == keeping);
    });
    if (!onlyExplorers)
        throw GeneralError(QStringLiteral("Close opened windows first"));
}

// After a lost connection the windows stay open, holding what the user had
// not posted yet: connecting to the same database again brings them back.
void TMainForm::refuseOtherDatabaseWhileWindowsOpen(const QString &path) const
{
    if (path != m_session.IBDataBase->param(QStringLiteral("SERVER NAME")))
        refuseWhileWindowsOpen();
}

void TMainForm::ConnectBtnClick()
{
    TIBDataBase *db = m_session.IBDataBase;
    if (!db->ConnectionLost())
        refuseWhileWindowsOpen();
    settleTransaction();
    db->Close();
    if (ModalForms::exec(DBEntryDlg) != QDialog::Accepted)
        return;
    const QString path = DBEntryDlg->path();
    refuseOtherDatabaseWhileWindowsOpen(path);
    connectTo(path, DBEntryDlg->UserN->text(), DBEntryDlg->Password->text(),
              DBEntryDlg->Role->text().trimmed());
    DBEntryDlg->rememberRole();
}

void TMainForm::connectTo(const QString &path, const QString &user, const QString &password,
                          const QString &role)
{
    TIBDataBase *db = m_session.IBDataBase;
    db->setParam(QStringLiteral("USER NAME"), user);
    db->setParam(QStringLiteral("PASSWORD"), password);
    db->setParam(QStringLiteral("SERVER NAME"), path);
    db->setParam(QStringLiteral("ROLE NAME"), role);
    db->Open();
    if (ConnectionHistory::indexOf(DBEntryDlg->history(), path) < 0)
        DBEntryDlg->appendToHistory(path);
    showConnected(true, path);
    closeExplorers();
    if (ProgramSettings::instance().ExplorerAtConnect)
        TDatabaseExplorer::open();
}

// An explorer shows one database and holds nothing of the user's: it goes
// with the connection it describes.
void TMainForm::closeExplorers()
{
    for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
        if (qobject_cast<TDatabaseExplorer *>(window->widget()))
            delete window;
    }
}

// The login dialog offers the new database next time, as any database
// connected to.
void TMainForm::MnNewDatabaseClick()
{
    TIBDataBase *db = m_session.IBDataBase;
    if (!db->ConnectionLost())
        refuseWhileWindowsOpen();
    TNewDatabaseDlg dialog(this);
    if (ModalForms::exec(&dialog) != QDialog::Accepted)
        return;
    const NewDatabase request = dialog.request();
    settleTransaction();
    request.create();
    db->Close();
    connectTo(request.path, request.user, request.password, QString());
}

void TMainForm::MnRunScriptFileClick()
{
    if (!m_session.IBDataBase->Connected())
        throw GeneralError(QStringLiteral("Connect to a database first"));
    const QString fileName =
        Prompts::instance().openFileName(QStringLiteral("Run Script File"), DdlFile::scriptFilter());
    if (!fileName.isEmpty())
        RunScriptFile(fileName);
}

void TMainForm::MnDisconectClick()
{
    refuseWhileWindowsOpen();
    disconnectSession();
}

void TMainForm::releaseConnection(const TChildForm *keeping)
{
    refuseWhileWindowsOpen(keeping);
    disconnectSession();
}

void TMainForm::restoreConnection()
{
    TIBDataBase *db = m_session.IBDataBase;
    if (db->Connected())
        return;
    connectTo(db->param(QStringLiteral("SERVER NAME")), db->param(QStringLiteral("USER NAME")),
              db->param(QStringLiteral("PASSWORD")), db->param(QStringLiteral("ROLE NAME")));
}

void TMainForm::disconnectSession()
{
    TIBDataBase *db = m_session.IBDataBase;
    if (db->InTransaction()) {
        if (Prompts::instance().confirm(QStringLiteral("Commit work?"),
                                        Prompts::Buttons::OkCancel) == Prompts::Answer::Ok)
            db->Commit();
        else
            db->Rollback();
    }
    closeExplorers();
    db->Close();
    showConnected(false, QString());
}

void TMainForm::MnAutoCommitClick()
{
    bool &autoCommit = ProgramSettings::instance().AutoCommit;
    autoCommit = !autoCommit;
    MnAutoCommit->setChecked(autoCommit);
    panel(kTransactionPanel)->setText(autoCommit ? QStringLiteral("AUTO") : QString());
}

void TMainForm::MnCommitWorkClick()
{
    m_session.IBDataBase->Commit();
}

void TMainForm::MnRollBackWorkClick()
{
    m_session.IBDataBase->Rollback();
}

void TMainForm::saveHistory()
{
    const QStringList entries =
        ConnectionHistory::reorderedForExit(DBEntryDlg->history(), DBEntryDlg->path());
    DBEntryDlg->setHistory(entries);
    const QStringList onDisk = ConnectionHistory::load(m_historyFile);
    ConnectionHistory::save(m_historyFile, ConnectionHistory::merged(entries, onDisk));
}

bool TMainForm::FormCloseQuery()
{
    Command::run([this] { saveHistory(); });
    bool canClose = Prompts::instance().confirm(QStringLiteral("Are you sure to exit?"),
                                                Prompts::Buttons::OkCancel) ==
                    Prompts::Answer::Ok;
    Command::run([this, &canClose] {
        try {
            settleTransaction(true);
        } catch (const SilentAbort &) {
            canClose = false;
            throw;
        }
    });
    // A failed commit or rollback leaves the transaction open: stay.
    return canClose && !m_session.IBDataBase->InTransaction();
}

void TMainForm::endOnSignal()
{
    TIBDataBase *db = m_session.IBDataBase;
    // A call being waited for holds the attachment: stopped first, its
    // command ends, and the end comes after it.
    if (ServerCall::waiting()) {
        db->CancelRunningCall();
        QTimer::singleShot(kSignalRetryMs, this, &TMainForm::endOnSignal);
        return;
    }
    try {
        if (db->InTransaction())
            db->Rollback();
    } catch (const AppError &) {
        db->AbandonTransaction();
    }
    try {
        saveHistory();
    } catch (const AppError &) {
    }
    ProgramSettings::instance().FrameGeometry = saveGeometry();
    // Deleted, not closed: a closing data view would post the row being
    // edited, which nobody asked for; and while the frame still stands, a
    // window that loses focus on its way out still finds it.
    qDeleteAll(m_mdiArea->subWindowList());
    QCoreApplication::exit(0);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    m_mdiArea->closeAllSubWindows();
    ProgramSettings::instance().FrameGeometry = saveGeometry();
    event->accept();
}
