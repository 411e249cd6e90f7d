#pragma once

#include "ibdb/TransactionView.h"
#include "uikit/Shell.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class TDBEntryDlg;
class TDMSys;

// The frame: menus, the status bar (four panels and the SQL dialect) and the MDI area in which
// every tool window opens. It owns no database state; it shows the state the
// data module reports and runs the connect, disconnect and exit flows.
class TMainForm : public QMainWindow, public Shell, public TransactionView
{
    Q_OBJECT

public:
    // The frame connects, commits and rolls back through the session it is
    // given, which outlives it.
    TMainForm(TDMSys &session, const QString &commandLinePath, const QString &historyFile,
              QWidget *parent = nullptr);
    ~TMainForm() override;

    // Shell
    void showChild(TChildForm *form) override;
    void setCaretPanel(const QString &text) override;
    void releaseConnection(const TChildForm *keeping) override;
    void restoreConnection() override;
    // TransactionView
    void setCommitItemsEnabled(bool enabled) override;
    void setTransactionPanel(const QString &text) override;
    void showConnectionLost(const QString &message) override;

    QMdiArea *mdiArea() const { return m_mdiArea; }
    TDBEntryDlg *DBEntryDlg = nullptr;
    QLabel *panel(int number) const;

    QMenu *DataMenu = nullptr;
    QMenu *WindowsBar = nullptr;
    QAction *MnConnect = nullptr;
    QAction *MnDisconect = nullptr;
    QAction *MnAutoCommit = nullptr;
    QAction *MnCommitWork = nullptr;
    QAction *MnRollBackWork = nullptr;
    QAction *MnExit = nullptr;

    void ConnectBtnClick();
    // Makes a database and connects to it.
    void MnNewDatabaseClick();
    // Runs a script file on the connected database without loading it.
    void MnRunScriptFileClick();
    void MnDisconectClick();
    void MnAutoCommitClick();
    void MnCommitWorkClick();
    void MnRollBackWorkClick();
    void HintHandler(const QString &hint);
    // A termination signal: ends as a quiet exit does, asking nothing.
    void endOnSignal();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate(const QString &commandLinePath);
    bool FormCloseQuery();
    void saveHistory();
    // Asks "Commit work?" when the tool's transaction is active; Cancel aborts.
    void settleTransaction(bool leaving = false);
    void refuseWhileWindowsOpen(const TChildForm *keeping = nullptr) const;
    void disconnectSession();
    void refuseOtherDatabaseWhileWindowsOpen(const QString &path) const;
    void buildMenus();
    void buildFileMenu();
    void buildDatabaseMenu();
    void buildWindowsMenu();
    void buildHelpMenu();
    void buildStatusBar();
    void fillWindowsMenu();
    void tile(bool vertical);
    void mergeChildMenu(QMdiSubWindow *window);
    void showConnected(bool connected, const QString &path);
    void connectTo(const QString &path, const QString &user, const QString &password,
                   const QString &role);
    void closeExplorers();

    QMdiArea *m_mdiArea;
    TDMSys &m_session;
    QString m_historyFile;
    QList<QLabel *> m_panels;
    QPointer<QMenu> m_childMenu;
    QString m_lastHint;
};
