#pragma once

class QMenu;
class QPlainTextEdit;

// The text commands of an editor's context menu: Cut, Copy, Paste and
// Select All, enabled as the editor allows them. They carry no shortcut of
// their own: the editor's keys already do the same, and a window may give a
// key (Ctrl+A) another meaning.
namespace EditorCommands {

void add(QMenu *menu, QPlainTextEdit *editor);

} // namespace EditorCommands
