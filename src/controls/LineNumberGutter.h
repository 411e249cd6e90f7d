#pragma once

#include <QWidget>

class QPlainTextEdit;

// Line numbers down the left edge of a plain-text editor. It takes room
// inside the editor's frame (the text moves right by its width), follows
// scrolling and editing, and never takes the focus.
class LineNumberGutter : public QWidget
{
    Q_OBJECT

public:
    explicit LineNumberGutter(QPlainTextEdit *editor);

    // Wide enough for the largest line number, with a little air.
    int gutterWidth() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateWidth();
    void placeBeside();

    QPlainTextEdit *m_editor;
    // Kept from the start: the filter sees the editor's last events while it
    // is being destroyed, when it is no longer a scroll area to ask.
    QWidget *m_viewport;
    int m_width = 0;
};
