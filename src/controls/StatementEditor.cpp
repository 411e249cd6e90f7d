#include "controls/StatementEditor.h"

#include "controls/CaretPanel.h"
#include "controls/FixedPitchFont.h"

#include <QKeyEvent>
#include <QTextCursor>

StatementEditor::StatementEditor(QWidget *parent) : QPlainTextEdit(parent)
{
    setFont(FixedPitchFont());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(false);
}

QString StatementEditor::caretPanelText() const
{
    const QTextCursor cursor = textCursor();
    return CaretPanel::text(toPlainText(), cursor.selectionStart(), cursor.position());
}

bool StatementEditor::event(QEvent *event)
{
    // Not claiming Ctrl+A lets the window's shortcut have it.
    if (event->type() == QEvent::ShortcutOverride
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::SelectAll)) {
        event->ignore();
        return false;
    }
    return QPlainTextEdit::event(event);
}

void StatementEditor::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::SelectAll))
        event->ignore();
    else
        QPlainTextEdit::keyPressEvent(event);
    emit caretTouched();
}

void StatementEditor::keyReleaseEvent(QKeyEvent *event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    emit caretTouched();
}

void StatementEditor::mouseReleaseEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    emit caretTouched();
}

void StatementEditor::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    emit focusLost();
}
