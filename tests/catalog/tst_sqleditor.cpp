#include "catalog/TStoredProcsForm.h"
#include "catalog/TTrigSourceForm.h"
#include "controls/FindReplaceBar.h"
#include "controls/LineNumberGutter.h"
#include "controls/SqlHighlighter.h"
#include "controls/StatementEditor.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "uikit/ConnectedDialect.h"
#include "workbench/TSQLExprForm.h"
#include "workbench/TSQLSourceForm.h"

#include <QAction>
#include <QBoxLayout>
#include <QPlainTextEdit>
#include <QTextDocument>

// Every SQL editor of the program carries the editor widgets, coloured as the
// connected database reads double quotes (the widgets themselves are tested
// with the controls).
class TstSqlEditor : public QObject
{
    Q_OBJECT

private slots:
    void withoutAConnectionDoubleQuotesAreStrings();
    void everySqlEditorCarriesTheKit();
};

void TstSqlEditor::withoutAConnectionDoubleQuotesAreStrings()
{
    QCOMPARE(ConnectedDialect::doubleQuotes(), SqlHighlighter::DoubleQuotes::DelimitString);
}

void TstSqlEditor::everySqlEditorCarriesTheKit()
{
    TestSession session;
    TestShell shell;
    QList<std::pair<QWidget *, QPlainTextEdit *>> editors;
    TSQLExprForm *ddl = TSQLExprForm::open();
    editors.append({ddl, ddl->ExecSql});
    TTrigSourceForm *trigger = TTrigSourceForm::open();
    editors.append({trigger, trigger->TrigSource});
    TStoredProcsForm *procedures = TStoredProcsForm::open();
    editors.append({procedures, procedures->DBMemo1});
    TSQLSourceForm preview;
    editors.append({&preview, preview.Memo1});
    const QStringList names{QStringLiteral("DDL statement"), QStringLiteral("Trigger source"),
                            QStringLiteral("Procedure source"), QStringLiteral("SQL source")};

    for (int i = 0; i < editors.size(); ++i) {
        const auto [window, editor] = editors[i];
        QCOMPARE(editor->accessibleName(), names[i]);
        QVERIFY(editor->document()->findChild<SqlHighlighter *>());
        QVERIFY(editor->findChild<LineNumberGutter *>());
        auto bars = window->findChildren<FindReplaceBar *>();
        QCOMPARE(bars.size(), 1);
        // The bar sits right below its editor.
        auto *layout = qobject_cast<QBoxLayout *>(editor->parentWidget()->layout());
        QVERIFY(layout);
        QCOMPARE(layout->indexOf(bars.first()), layout->indexOf(editor) + 1);
        // Each key belongs to one action only: nothing the window already had.
        for (const QKeySequence &key :
             {QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence(Qt::Key_F3),
              QKeySequence(Qt::SHIFT | Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::Key_H)}) {
            int owners = 0;
            for (const QAction *action : window->findChildren<QAction *>())
                owners += action->shortcuts().contains(key) ? 1 : 0;
            QCOMPARE(owners, 1);
        }
    }
}

QUORVEL_TEST_MAIN(TstSqlEditor)
#include "tst_sqleditor.moc"
