#include "controls/LineNumberGutter.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

namespace {

// QAbstractScrollArea keeps its viewport margins to subclasses; a member
// pointer taken through a derived class reaches them on any editor.
struct MarginAccess : QPlainTextEdit
{
    static void setLeft(QPlainTextEdit *editor, int left)
    {
        using Getter = QMargins (QAbstractScrollArea::*)() const;
        using Setter = void (QAbstractScrollArea::*)(int, int, int, int);
        const Getter margins = &MarginAccess::viewportMargins;
        const Setter setMargins = &MarginAccess::setViewportMargins;
        const QMargins old = (editor->*margins)();
        (editor->*setMargins)(left, old.top(), old.right(), old.bottom());
    }
};

constexpr int kPadding = 4;

} // namespace

LineNumberGutter::LineNumberGutter(QPlainTextEdit *editor)
    : QWidget(editor), m_editor(editor), m_viewport(editor->viewport())
{
    setObjectName(QStringLiteral("lineNumberGutter"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    setAccessibleName(QStringLiteral("Line numbers"));
    setFont(editor->font());
    connect(editor, &QPlainTextEdit::blockCountChanged, this, [this] { updateWidth(); });
    connect(editor, &QPlainTextEdit::updateRequest, this, [this](const QRect &rect, int dy) {
        if (dy != 0)
            scroll(0, dy);
        else
            update(0, rect.y(), width(), rect.height());
    });
    editor->installEventFilter(this);
    // The viewport takes its new size after the editor's own resize event.
    m_viewport->installEventFilter(this);
    updateWidth();
    placeBeside();
    show();
}

int LineNumberGutter::gutterWidth() const
{
    int digits = 1;
    for (int count = std::max(1, m_editor->blockCount()); count >= 10; count /= 10)
        ++digits;
    // Room for three digits from the start, so typing the tenth line does
    // not shift the text.
    digits = std::max(digits, 3);
    return 2 * kPadding + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

QSize LineNumberGutter::sizeHint() const
{
    return {gutterWidth(), 0};
}

void LineNumberGutter::updateWidth()
{
    const int width = gutterWidth();
    if (width == m_width)
        return;
    m_width = width;
    MarginAccess::setLeft(m_editor, width);
    placeBeside();
}

void LineNumberGutter::placeBeside()
{
    const QRect contents = m_editor->contentsRect();
    const QRect viewport = m_viewport->geometry();
    setGeometry(contents.left(), viewport.top(), m_width, viewport.height());
}

bool LineNumberGutter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_viewport && event->type() == QEvent::Resize) {
        placeBeside();
    } else if (watched == m_editor) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)
            placeBeside();
        else if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
            setFont(m_editor->font());
            m_width = 0;
            updateWidth();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void LineNumberGutter::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QPalette palette = m_editor->palette();
    painter.fillRect(event->rect(), palette.color(QPalette::Window));
    painter.setPen(palette.color(QPalette::Mid));
    painter.drawLine(width() - 1, event->rect().top(), width() - 1, event->rect().bottom());
    painter.setPen(palette.color(QPalette::Dark));
    painter.setFont(m_editor->font());

    const int lineHeight = m_editor->fontMetrics().height();
    QAbstractTextDocumentLayout *layout = m_editor->document()->documentLayout();
    QTextBlock block = m_editor->cursorForPosition(QPoint(0, 0)).block();
    while (block.isValid()) {
        // The editor lays out lines as it paints them; this may come first.
        layout->blockBoundingRect(block);
        const QRect line = m_editor->cursorRect(QTextCursor(block));
        if (line.top() > event->rect().bottom())
            break;
        if (block.isVisible() && line.bottom() >= event->rect().top()) {
            painter.drawText(0, line.top(), width() - kPadding, lineHeight,
                             Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(block.blockNumber() + 1));
        }
        block = block.next();
    }
}
