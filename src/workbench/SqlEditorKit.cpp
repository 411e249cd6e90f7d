#include "SqlEditorKit.h"

#include "FindReplaceBar.h"
#include "IbDriver.h"
#include "LineNumberGutter.h"
#include "TDMSys.h"

#include <QBoxLayout>
#include <QPlainTextEdit>
#include <QSqlDatabase>

namespace {
const QString kConnection = TDMSys::ibName();
}

SqlHighlighter::DoubleQuotes SqlEditorKit::connectedDoubleQuotes()
{
    int dialect = 1;
    if (QSqlDatabase::contains(kConnection)) {
        const QSqlDatabase database = QSqlDatabase::database(kConnection, false);
        if (const auto *driver = qobject_cast<const IbDriver *>(database.driver()))
            dialect = driver->dialect();
    }
    return dialect == 1 ? SqlHighlighter::DoubleQuotes::DelimitString
                        : SqlHighlighter::DoubleQuotes::DelimitName;
}

SqlEditorKit SqlEditorKit::attach(QPlainTextEdit *editor)
{
    SqlEditorKit kit;
    kit.highlighter = new SqlHighlighter(editor->document(), connectedDoubleQuotes());
    kit.gutter = new LineNumberGutter(editor);

    QWidget *holder = editor->parentWidget();
    auto *box = holder ? qobject_cast<QBoxLayout *>(holder->layout()) : nullptr;
    kit.findBar = new FindReplaceBar(editor, holder);
    const int at = box ? box->indexOf(editor) : -1;
    if (at >= 0)
        box->insertWidget(at + 1, kit.findBar);
    return kit;
}
