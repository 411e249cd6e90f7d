#include "uikit/Command.h"

#include "core/AppError.h"
#include "uikit/Prompts.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>

namespace Command {

void run(const std::function<void()> &command)
{
    QString message;
    try {
        command();
        return;
    } catch (const SilentAbort &) {
        return;
    } catch (const AppError &error) {
        message = error.message();
    } catch (const std::bad_alloc &) {
        message = QStringLiteral("Out of memory");
    } catch (const std::exception &error) {
        message = QString::fromUtf8(error.what());
    }
    // A cursor a failed command left behind must not outlive its error.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    // A message that ends a sentence of its own (an exception's text, for
    // one) is not given a second full stop.
    if (!message.endsWith(QLatin1Char('.')))
        message += QLatin1Char('.');
    Prompts::instance().error(message);
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
