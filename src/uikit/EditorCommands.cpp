#include "uikit/EditorCommands.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>

namespace EditorCommands {

void addSelectAll(QMenu *menu, QPlainTextEdit *editor)
{
    menu->addSeparator();
    QAction *all = menu->addAction(QStringLiteral("Select A&ll"));
    all->setStatusTip(QStringLiteral("Select the whole text"));
    QObject::connect(all, &QAction::triggered, editor, [editor] {
        editor->selectAll();
        editor->setFocus();
    });
}

} // namespace EditorCommands
