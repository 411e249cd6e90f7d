#include "uikit/Command.h"

#include "core/AppError.h"
#include "core/MessageLines.h"
#include "uikit/Prompts.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>

#include <utility>

namespace Command {

namespace {

int runningCommands = 0;
QString toldOnce;

// The command's error, empty when it ended well or quietly.
QString failureOf(const std::function<void()> &command)
{
    try {
        command();
    } catch (const SilentAbort &) {
    } catch (const AppError &error) {
        return error.message();
    } catch (const std::bad_alloc &) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    }
    return QString();
}

void showError(const QString &failure)
{
    if (!toldOnce.isEmpty() && failure.contains(toldOnce))
        toldOnce.clear();
    QString message = MessageLines::plain(failure);
    // A cursor a failed command left behind must not outlive its error.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    // A message that ends a sentence of its own (an exception's text, for
    // one) is not given a second full stop.
    if (!message.endsWith(QLatin1Char('.')))
        message += QLatin1Char('.');
    Prompts::instance().error(message);
}

void showToldOnce()
{
    if (!toldOnce.isEmpty())
        showError(std::exchange(toldOnce, QString()));
}

} // namespace

void run(const std::function<void()> &command)
{
    ++runningCommands;
    const QString message = failureOf(command);
    --runningCommands;
    if (!message.isEmpty())
        showError(message);
    if (runningCommands == 0)
        showToldOnce();
}

void tellOnce(const QString &message)
{
    toldOnce = message;
    if (runningCommands == 0)
        QTimer::singleShot(0, QCoreApplication::instance(), &showToldOnce);
}

QAction *addAction(QMenu *menu, const QString &text, const QString &hint,
                   std::function<void()> handler, const QKeySequence &shortcut)
{
    QAction *action = menu->addAction(text);
    action->setStatusTip(hint);
    action->setShortcut(shortcut);
    QObject::connect(action, &QAction::triggered, action, guard(std::move(handler)));
    return action;
}

} // namespace Command
