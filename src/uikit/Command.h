#pragma once

#include <QKeySequence>
#include <QString>

#include <functional>

class QAction;
class QMenu;

// Runs user commands. Every action, button and double-click handler is
// connected through here: an error becomes the standard error box (its
// message followed by a full stop), a silent abort ends the command quietly,
// and no exception ever reaches Qt's event loop.
namespace Command {

void run(const std::function<void()> &command);

// Shows the message once as the standard error box: at the end of the
// command that runs, unless that command's own error says it already; at
// once (from the event loop) when no command runs, as when a grid fetches
// rows while it scrolls.
void tellOnce(const QString &message);

// A slot that runs the command through run().
inline auto guard(std::function<void()> command)
{
    return [command = std::move(command)] { run(command); };
}

// A menu item whose hint reaches the status bar and whose handler runs
// through run(): the one way the frame and its child windows add commands.
QAction *addAction(QMenu *menu, const QString &text, const QString &hint,
                   std::function<void()> handler, const QKeySequence &shortcut = {});

} // namespace Command
