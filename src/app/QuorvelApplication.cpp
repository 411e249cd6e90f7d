#include "app/QuorvelApplication.h"

#include "app/ConnectionHistory.h"
#include "app/SettingsStore.h"
#include "app/SignalExit.h"
#include "app/TAboutBox.h"
#include "app/TMainForm.h"
#include "app/TSplashScreen.h"
#include "app/TSplashThread.h"
#include "catalog/TExcDlg.h"
#include "controls/ApplicationLook.h"
#include "ibdb/IbDriver.h"
#include "ibdb/TDMSys.h"
#include "uikit/ApplicationTitle.h"
#include "uikit/Command.h"
#include "uikit/Prompts.h"
#include "uikit/ServerWaitBox.h"
#include "uikit/WaitCursor.h"
#include "workbench/TORepOptDlg.h"

#include <QApplication>
#include <QPixmap>

// The resource initialiser is declared in the global namespace, so it must be called from there.
static void initResources()
{
    Q_INIT_RESOURCE(quorvel);
}

namespace QuorvelApplication {

namespace {

void registerBusyCursor()
{
    initResources();
    const QPixmap picture(QStringLiteral(":/ibsqlcursor.xpm"));
    WaitCursor::install(QCursor(picture, picture.width() / 2, picture.height() / 2));
}

TSplashScreen *showSplash()
{
    auto *splash = new TSplashScreen;
    splash->show();
    splash->repaint();
    QApplication::processEvents();
    return splash;
}

void writeSettings()
{
    const QString failure = SettingsStore::write();
    if (!failure.isEmpty())
        Prompts::instance().error(failure + QLatin1Char('.'));
}

} // namespace

int run(int argc, char *argv[])
{
    const SignalExit signalExit;
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Kelderwick"));
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    IbDriver::registerDriver();
    ApplicationLook::apply();
    registerBusyCursor();
    ServerWaitBox::install();
    SettingsStore::read();
    const QStringList arguments = QApplication::arguments();
    const QString commandLinePath = arguments.value(1);
    TSplashScreen *splash = showSplash();

    int result = 0;
    {
        TDMSys dmSys;
        Command::run([&dmSys] { dmSys.DMSysCreate(); });
        TMainForm mainForm(dmSys, commandLinePath, ConnectionHistory::defaultFileName());
        TAboutBox::shared();
        TExcDlg::shared();
        TORepOptDlg::shared();
        mainForm.show();
        (new TSplashThread(splash))->start();
        SignalExit::setHandler(&mainForm, [&mainForm] { mainForm.endOnSignal(); });

        result = app.exec();
        SignalExit::clearHandler();
        writeSettings();
        // The frame's windows close their queries, then the data module its attachment.
    }
    IbDriver::shutdownClient();
    return result;
}

} // namespace QuorvelApplication
