#pragma once

#include <QPlainTextEdit>

// The editor of a statement text: fixed-pitch font, no word wrap, both
// scroll bars, Tab typed into the text. It reports every key and click that
// may have moved the caret, and losing the focus. Ctrl+A is left to the
// window's commands instead of selecting all.
class StatementEditor : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit StatementEditor(QWidget *parent = nullptr);

    // The text of the caret panel for the present caret and selection.
    QString caretPanelText() const;

signals:
    void caretTouched();
    void focusLost();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};
