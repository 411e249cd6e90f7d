#include "controls/SqlEditorKit.h"

#include "controls/FindReplaceBar.h"
#include "controls/LineNumberGutter.h"

#include <QBoxLayout>
#include <QPlainTextEdit>

SqlEditorKit SqlEditorKit::attach(QPlainTextEdit *editor, SqlHighlighter::DoubleQuotes quotes)
{
    SqlEditorKit kit;
    kit.highlighter = new SqlHighlighter(editor->document(), quotes);
    kit.gutter = new LineNumberGutter(editor);

    QWidget *holder = editor->parentWidget();
    auto *box = holder ? qobject_cast<QBoxLayout *>(holder->layout()) : nullptr;
    kit.findBar = new FindReplaceBar(editor, holder);
    const int at = box ? box->indexOf(editor) : -1;
    if (at >= 0)
        box->insertWidget(at + 1, kit.findBar);
    return kit;
}
