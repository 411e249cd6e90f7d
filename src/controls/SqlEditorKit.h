#pragma once

#include "controls/SqlHighlighter.h"

class FindReplaceBar;
class LineNumberGutter;
class QPlainTextEdit;

// What every SQL editor of the program carries besides its text: colours,
// line numbers, and find and replace.
struct SqlEditorKit
{
    SqlHighlighter *highlighter = nullptr;
    LineNumberGutter *gutter = nullptr;
    FindReplaceBar *findBar = nullptr;

    // Attaches all three to the editor, colouring double quotes as the
    // database's dialect reads them. The find bar goes into the editor's
    // parent layout right below it. The text, the caret, the editor's
    // accessible name and its own shortcuts stay as they were.
    static SqlEditorKit attach(QPlainTextEdit *editor, SqlHighlighter::DoubleQuotes quotes);
};
