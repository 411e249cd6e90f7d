#include "controls/FindReplaceBar.h"
#include "controls/LineNumberGutter.h"
#include "controls/SqlEditorKit.h"
#include "controls/SqlHighlighter.h"
#include "support/WidgetTestMain.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QVBoxLayout>

using Kind = SqlHighlighter::Kind;
using Quotes = SqlHighlighter::DoubleQuotes;

namespace {

// The kind the highlighter gave the character, or "plain".
QString kindAt(const QTextDocument &document, int line, int column)
{
    const QTextBlock block = document.findBlockByNumber(line);
    QTextCharFormat format;
    for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
        if (column >= range.start && column < range.start + range.length)
            format = range.format;
    }
    const QList<std::pair<Kind, QString>> kinds{
        {Kind::Keyword, QStringLiteral("keyword")}, {Kind::String, QStringLiteral("string")},
        {Kind::QuotedName, QStringLiteral("name")}, {Kind::Comment, QStringLiteral("comment")},
        {Kind::Number, QStringLiteral("number")}};
    for (const auto &[kind, name] : kinds) {
        const QTextCharFormat wanted = SqlHighlighter::format(kind);
        if (format.foreground() == wanted.foreground()
            && format.fontWeight() == wanted.fontWeight()
            && format.fontItalic() == wanted.fontItalic())
            return name;
    }
    return format.foreground().style() == Qt::NoBrush ? QStringLiteral("plain")
                                                      : QStringLiteral("other");
}

// An editor in a holder with a box layout, as the windows place theirs.
struct EditorUnderTest
{
    QWidget holder;
    QPlainTextEdit *editor = new QPlainTextEdit(&holder);
    SqlEditorKit kit;

    explicit EditorUnderTest(const QString &text)
    {
        auto *layout = new QVBoxLayout(&holder);
        layout->addWidget(editor, 1);
        kit = SqlEditorKit::attach(editor, Quotes::DelimitString);
        editor->setPlainText(text);
    }
    void select(int from, int to)
    {
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
    }
    std::pair<int, int> selection() const
    {
        return {editor->textCursor().selectionStart(), editor->textCursor().selectionEnd()};
    }
};

} // namespace

// The editor widgets on their own: colours, find and replace, line numbers.
class TstEditorWidgets : public QObject
{
    Q_OBJECT

private slots:
    void highlighting_data();
    void highlighting();
    void dialectSwitchRehighlights();
    void hugeTextStaysPlainUntilSmallAgain();

    void findWrapsAndReportsNotFound();
    void findBackwardWraps();
    void replaceAllInSelectionOnly();
    void replaceNextAndWholeText();
    void readOnlyEditorFindsButNeverReplaces();
    void shortcutsOpenFindAndStepThrough();
    void gutterMakesRoomAndKeepsText();
};

void TstEditorWidgets::highlighting_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("dialect3");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("kind");

    const QString select = QStringLiteral("select x from T_0001 where RDB$FIELD_NAME = 12.5e3");
    QTest::newRow("keyword, any case") << select << false << 0 << 0 << "keyword";
    QTest::newRow("plain name") << select << false << 0 << 7 << "plain";
    QTest::newRow("digits inside a name") << select << false << 0 << 18 << "plain";
    QTest::newRow("dollar name") << select << false << 0 << 30 << "plain";
    QTest::newRow("number with exponent") << select << false << 0 << 46 << "number";

    const QString quoted = QStringLiteral("SELECT 'from x' FROM \"SELECT\" WHERE");
    QTest::newRow("keyword in single quotes") << quoted << false << 0 << 9 << "string";
    QTest::newRow("after the string") << quoted << false << 0 << 16 << "keyword";
    QTest::newRow("double quotes, dialect 1: string") << quoted << false << 0 << 23 << "string";
    QTest::newRow("double quotes, dialect 3: a name") << quoted << true << 0 << 23 << "name";
    QTest::newRow("after the name, dialect 3") << quoted << true << 0 << 30 << "keyword";
    QTest::newRow("single quotes, dialect 3") << quoted << true << 0 << 9 << "string";

    const QString doubled = QStringLiteral("'it''s where' where");
    QTest::newRow("doubled quote stays inside") << doubled << false << 0 << 7 << "string";
    QTest::newRow("keyword after doubled quote") << doubled << false << 0 << 14 << "keyword";

    const QString comments =
        QStringLiteral("x = a-b -- select here\n/* begin\n end */ select 1\n'open\nselect' end");
    QTest::newRow("minus is no comment") << comments << false << 0 << 5 << "plain";
    QTest::newRow("keyword in line comment") << comments << false << 0 << 11 << "comment";
    QTest::newRow("block comment opens") << comments << false << 1 << 3 << "comment";
    QTest::newRow("keyword on the comment's next line") << comments << false << 2 << 1
                                                        << "comment";
    QTest::newRow("keyword after the comment") << comments << false << 2 << 8 << "keyword";
    QTest::newRow("number after the comment") << comments << false << 2 << 15 << "number";
    QTest::newRow("string over two lines") << comments << false << 4 << 2 << "string";
    QTest::newRow("keyword after it") << comments << false << 4 << 9 << "keyword";
}

void TstEditorWidgets::highlighting()
{
    QFETCH(QString, text);
    QFETCH(bool, dialect3);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, kind);
    QTextDocument document;
    // As in an editor: without a layout the document reports no changes.
    document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
    SqlHighlighter highlighter(&document,
                               dialect3 ? Quotes::DelimitName : Quotes::DelimitString);
    document.setPlainText(text);
    QCOMPARE(kindAt(document, line, column), kind);
    QCOMPARE(document.toPlainText(), text);
}

void TstEditorWidgets::dialectSwitchRehighlights()
{
    QTextDocument document;
    document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
    SqlHighlighter highlighter(&document, Quotes::DelimitString);
    document.setPlainText(QStringLiteral("\"a\nb\" select"));
    QCOMPARE(kindAt(document, 1, 0), QStringLiteral("string"));
    highlighter.setDoubleQuotes(Quotes::DelimitName);
    QCOMPARE(kindAt(document, 1, 0), QStringLiteral("name"));
    QCOMPARE(kindAt(document, 1, 4), QStringLiteral("keyword"));
}

void TstEditorWidgets::hugeTextStaysPlainUntilSmallAgain()
{
    QPlainTextEdit editor;
    auto *highlighter =
        new SqlHighlighter(editor.document(), SqlHighlighter::DoubleQuotes::DelimitString);
    const QString line = QStringLiteral("select 1 from t;\n");
    const QString huge = line.repeated(SqlHighlighter::kLargestColoured / line.size() + 1);
    editor.setPlainText(huge);
    QVERIFY(!highlighter->isColouring());
    QCOMPARE(kindAt(*editor.document(), 0, 0), QStringLiteral("plain"));
    QCOMPARE(editor.toPlainText(), huge);
    editor.setPlainText(QStringLiteral("select 1"));
    QVERIFY(highlighter->isColouring());
    QCOMPARE(kindAt(*editor.document(), 0, 0), QStringLiteral("keyword"));
}

void TstEditorWidgets::findWrapsAndReportsNotFound()
{
    EditorUnderTest t(QStringLiteral("alpha beta\nALPHA gamma"));
    FindReplaceBar *bar = t.kit.findBar;
    bar->setFindText(QStringLiteral("alpha"));
    QVERIFY(bar->findNext());
    QCOMPARE(t.selection(), std::make_pair(0, 5));
    QVERIFY(bar->findNext());
    QCOMPARE(t.selection(), std::make_pair(11, 16));
    QVERIFY(bar->statusText().isEmpty());
    QVERIFY(bar->findNext());
    QCOMPARE(t.selection(), std::make_pair(0, 5));
    QCOMPARE(bar->statusText(), QStringLiteral("Continued from the start"));

    bar->setMatchCase(true);
    QVERIFY(bar->findNext());
    QCOMPARE(t.selection(), std::make_pair(0, 5));

    bar->setFindText(QStringLiteral("delta"));
    QVERIFY(!bar->findNext());
    QCOMPARE(bar->statusText(), QStringLiteral("Not found"));
    QCOMPARE(t.selection(), std::make_pair(0, 5));
}

void TstEditorWidgets::findBackwardWraps()
{
    EditorUnderTest t(QStringLiteral("end; end; begin"));
    FindReplaceBar *bar = t.kit.findBar;
    bar->setFindText(QStringLiteral("end"));
    bar->setWholeWords(true);
    t.select(0, 0);
    QVERIFY(bar->findNext(true));
    QCOMPARE(t.selection(), std::make_pair(5, 8));
    QCOMPARE(bar->statusText(), QStringLiteral("Continued from the end"));
}

void TstEditorWidgets::replaceAllInSelectionOnly()
{
    EditorUnderTest t(QStringLiteral("a x a\na y a\na z a"));
    FindReplaceBar *bar = t.kit.findBar;
    bar->setFindText(QStringLiteral("a"));
    bar->setReplaceText(QStringLiteral("bb"));
    bar->setInSelection(true);
    t.select(6, 11);
    QCOMPARE(bar->replaceAll(), 2);
    QCOMPARE(t.editor->toPlainText(), QStringLiteral("a x a\nbb y bb\na z a"));
    QCOMPARE(t.selection(), std::make_pair(6, 13));
    QCOMPARE(bar->statusText(), QStringLiteral("2 replaced"));
    // A match that only starts inside the selection is left alone.
    t.select(0, 4);
    QCOMPARE(bar->replaceAll(), 1);
    QCOMPARE(t.editor->toPlainText(), QStringLiteral("bb x a\nbb y bb\na z a"));
    // One undo step per replace-all.
    t.editor->undo();
    QCOMPARE(t.editor->toPlainText(), QStringLiteral("a x a\nbb y bb\na z a"));
}

void TstEditorWidgets::replaceNextAndWholeText()
{
    EditorUnderTest t(QStringLiteral("x := x + 1;\nx := x + x;"));
    FindReplaceBar *bar = t.kit.findBar;
    bar->setFindText(QStringLiteral("x"));
    bar->setReplaceText(QStringLiteral("xx"));
    // Nothing matching is selected: the first press only finds.
    QVERIFY(bar->replaceNext());
    QCOMPARE(t.editor->toPlainText(), QStringLiteral("x := x + 1;\nx := x + x;"));
    QVERIFY(bar->replaceNext());
    QCOMPARE(t.editor->toPlainText(), QStringLiteral("xx := x + 1;\nx := x + x;"));
    QCOMPARE(t.selection(), std::make_pair(6, 7));
    // The replacement holds the searched text: no endless loop, no rescan.
    QCOMPARE(bar->replaceAll(), 6);
    QCOMPARE(t.editor->toPlainText(), QStringLiteral("xxxx := xx + 1;\nxx := xx + xx;"));
    bar->setFindText(QStringLiteral("nothing"));
    QCOMPARE(bar->replaceAll(), 0);
    QCOMPARE(bar->statusText(), QStringLiteral("Not found"));
}

void TstEditorWidgets::readOnlyEditorFindsButNeverReplaces()
{
    EditorUnderTest t(QStringLiteral("BEGIN SUSPEND; END"));
    t.editor->setReadOnly(true);
    FindReplaceBar *bar = t.kit.findBar;
    bar->setFindText(QStringLiteral("suspend"));
    bar->setReplaceText(QStringLiteral("EXIT"));
    QVERIFY(bar->findNext());
    QVERIFY(!bar->replaceNext());
    QCOMPARE(bar->replaceAll(), 0);
    QCOMPARE(t.editor->toPlainText(), QStringLiteral("BEGIN SUSPEND; END"));
}

void TstEditorWidgets::shortcutsOpenFindAndStepThrough()
{
    EditorUnderTest t(QStringLiteral("select a from b;\nselect c from d;"));
    t.holder.resize(600, 300);
    t.holder.show();
    QVERIFY(QTest::qWaitForWindowActive(&t.holder));
    t.editor->setFocus();
    t.select(7, 8); // "a"
    FindReplaceBar *bar = t.kit.findBar;
    QVERIFY(!bar->isVisible());
    QTest::keyClick(t.editor, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->findText(), QStringLiteral("a"));
    bar->setFindText(QStringLiteral("from"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
    QCOMPARE(t.selection(), std::make_pair(9, 13));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
    QCOMPARE(t.selection(), std::make_pair(26, 30));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(t.selection(), std::make_pair(9, 13));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QCOMPARE(QApplication::focusWidget(), t.editor);
    QTest::keyClick(t.editor, Qt::Key_H, Qt::ControlModifier);
    QVERIFY(bar->isVisible());
    QCOMPARE(QApplication::focusWidget()->accessibleName(), QStringLiteral("Replace with"));
    QCOMPARE(t.editor->toPlainText(), QStringLiteral("select a from b;\nselect c from d;"));
}

void TstEditorWidgets::gutterMakesRoomAndKeepsText()
{
    QString text = QStringLiteral("line\n").repeated(998) + QLatin1String("a\0b", 3);
    EditorUnderTest t(text);
    t.holder.resize(400, 300);
    t.holder.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.holder));
    LineNumberGutter *gutter = t.kit.gutter;
    QVERIFY(gutter->width() > 0);
    QVERIFY(t.editor->viewport()->geometry().left() >= gutter->geometry().right());
    const int narrow = gutter->width();
    t.editor->appendPlainText(QStringLiteral("one more"));
    QVERIFY(gutter->width() > narrow);
    QVERIFY(t.editor->viewport()->geometry().left() >= gutter->geometry().right());
    QCOMPARE(t.editor->toPlainText(), text + QStringLiteral("\none more"));
}

QUORVEL_WIDGET_TEST_MAIN(TstEditorWidgets)
#include "tst_editorwidgets.moc"
