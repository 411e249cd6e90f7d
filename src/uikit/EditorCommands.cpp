#include "uikit/EditorCommands.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>

namespace {

QAction *command(QMenu *menu, const QString &text, const QString &keys)
{
    return menu->addAction(keys.isEmpty() ? text : text + QLatin1Char('\t') + keys);
}

} // namespace

namespace EditorCommands {

void add(QMenu *menu, QPlainTextEdit *editor)
{
    menu->addSeparator();
    QAction *cut = command(menu, QStringLiteral("Cu&t"), QStringLiteral("Ctrl+X"));
    QAction *copy = command(menu, QStringLiteral("&Copy"), QStringLiteral("Ctrl+C"));
    QAction *paste = command(menu, QStringLiteral("&Paste"), QStringLiteral("Ctrl+V"));
    QAction *all = command(menu, QStringLiteral("Select A&ll"), {});
    QObject::connect(cut, &QAction::triggered, editor, &QPlainTextEdit::cut);
    QObject::connect(copy, &QAction::triggered, editor, &QPlainTextEdit::copy);
    QObject::connect(paste, &QAction::triggered, editor, &QPlainTextEdit::paste);
    QObject::connect(all, &QAction::triggered, editor, &QPlainTextEdit::selectAll);
    // Asked when the menu opens: what is selected and writable then.
    QObject::connect(menu, &QMenu::aboutToShow, editor, [=] {
        const bool selected = editor->textCursor().hasSelection();
        cut->setEnabled(selected && !editor->isReadOnly());
        copy->setEnabled(selected);
        paste->setEnabled(editor->canPaste());
    });
}

} // namespace EditorCommands
