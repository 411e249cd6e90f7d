#pragma once

class QMenu;
class QPlainTextEdit;

// What an editor's own context menu adds to its cut, copy and paste.
namespace EditorCommands {

// Select All, at the end of the menu. It carries no shortcut: the editor's
// key does the same where the window gives Ctrl+A no other meaning, and
// where it does (Add to Repository), the key keeps it.
void addSelectAll(QMenu *menu, QPlainTextEdit *editor);

} // namespace EditorCommands
