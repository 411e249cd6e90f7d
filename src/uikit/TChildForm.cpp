#include "uikit/TChildForm.h"

#include "controls/CellWidth.h"
#include "controls/ColumnHeader.h"
#include "controls/ColumnResizeBatch.h"
#include "controls/TOfficeButton.h"
#include "uikit/Command.h"
#include "uikit/Shell.h"

#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTableView>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>

TChildForm::TChildForm(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

QMenu *TChildForm::createFormMenu(const QString &title)
{
    m_formMenu = new QMenu(title, this);
    return m_formMenu;
}

void TChildForm::onClick(TOfficeButton *button, std::function<void()> handler)
{
    connect(button, &TOfficeButton::clicked, this, Command::guard(std::move(handler)));
}

QVBoxLayout *TChildForm::createPanelLayout()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

void TChildForm::showInFrame(TChildForm *form)
{
    form->m_designSize = form->testAttribute(Qt::WA_Resized) ? form->size() : QSize();
    Shell::instance().showChild(form);
}

void TChildForm::runAsCommand(const std::function<void()> &step)
{
    Command::run(step);
}

namespace {

// An editor shows at least this many characters of a line and lines.
constexpr int kEditorColumns = 80;
constexpr int kEditorLines = 16;
// Lines measured for an editor's width: its first screen.
constexpr int kEditorMeasuredLines = 40;
// Rounds of widening: side-by-side panes share what the window gains.
constexpr int kFitRounds = 5;

// The rows a screen of the frame can show: what is measured. Only rows the
// model already holds count; nothing more is fetched for it.
int firstScreenRows(const QAbstractItemView *view, int roomHeight)
{
    const int rowHeight = std::max(1, view->fontMetrics().height());
    return std::min(view->model()->rowCount(view->rootIndex()), roomHeight / rowHeight + 1);
}

// Widens each shown column to its title and its first screen of cells;
// returns the width the columns then need side by side. A last column that
// stretches to the grid's edge is measured at its own size.
int widenColumns(QAbstractItemView *view, QHeaderView *header, int roomHeight)
{
    const int rows = firstScreenRows(view, roomHeight);
    const auto *table = qobject_cast<QTableView *>(view);
    const int gridLine = table && table->showGrid() ? 1 : 0;
    const bool stretch = header->stretchLastSection();
    header->setStretchLastSection(false);
    for (int column = 0; column < header->count(); ++column) {
        if (header->isSectionHidden(column))
            continue;
        int wanted = header->sectionSizeHint(column);
        if (rows > 0)
            wanted = std::max(wanted, CellWidth::widest(view, column, rows) + gridLine);
        if (wanted > header->sectionSize(column))
            header->resizeSection(column, wanted);
    }
    const int total = header->length();
    header->setStretchLastSection(stretch);
    return total;
}

int scrollBarExtent(const QAbstractScrollArea *area)
{
    return area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
}

// The width a view needs to show its columns side by side.
int wantedWidth(QAbstractItemView *view, int columns)
{
    int width = 2 * view->frameWidth() + columns;
    if (auto *table = qobject_cast<QTableView *>(view)) {
        if (table->verticalHeader()->isVisible())
            width += table->verticalHeader()->width();
    }
    if (view->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff)
        width += scrollBarExtent(view);
    return width;
}

QSize wantedSize(QPlainTextEdit *editor)
{
    const QFontMetrics metrics(editor->font());
    int columns = kEditorColumns;
    QTextBlock block = editor->document()->firstBlock();
    for (int line = 0; block.isValid() && line < kEditorMeasuredLines; ++line) {
        columns = std::max(columns, int(block.length()));
        block = block.next();
    }
    // A gutter or a bar inside the frame takes from the viewport.
    const QRect inner = editor->viewport()->geometry();
    const int around = editor->width() - inner.width();
    const int margin = 2 * int(editor->document()->documentMargin());
    return {around + margin + columns * metrics.horizontalAdvance(QLatin1Char('0')),
            editor->height() - inner.height() + margin + kEditorLines * metrics.lineSpacing()};
}

// The widget between `widget` and `form` whose width is fixed, if any: it
// has to widen itself, the window's growth does not reach it.
QWidget *fixedWidthPane(QWidget *widget, QWidget *form)
{
    for (QWidget *w = widget; w && w != form; w = w->parentWidget()) {
        if (w->minimumWidth() == w->maximumWidth())
            return w;
    }
    return nullptr;
}

} // namespace

void TChildForm::fitToContent()
{
    auto *window = qobject_cast<QMdiSubWindow *>(parentWidget());
    QMdiArea *area = window ? window->mdiArea() : nullptr;
    if (!area || window->isMaximized() || window->isMinimized())
        return;
    const QSize room = area->viewport()->size();
    const QSize decoration = window->size() - size();
    // The window's growth stretches last columns too.
    const ColumnResizeBatch batch(this);

    QList<std::pair<QAbstractItemView *, int>> grids;
    for (QAbstractItemView *view : findChildren<QAbstractItemView *>()) {
        QHeaderView *header = columnHeader(view);
        if (view->isVisibleTo(this) && view->model() && header)
            grids.append({view, wantedWidth(view, widenColumns(view, header, room.height()))});
    }

    if (!m_placed) {
        QSize start = m_designSize.expandedTo(sizeHint()) + decoration;
        window->resize(start.boundedTo(room));
    }
    const QPoint at = m_placed ? window->pos() : QPoint(0, 0);
    const QSize limit = room - QSize(at.x(), at.y());

    for (int round = 0; round < kFitRounds; ++round) {
        if (layout())
            layout()->activate();
        int wider = 0;
        int taller = 0;
        for (const auto &[view, wanted] : std::as_const(grids)) {
            const int missing = wanted - view->width();
            if (missing <= 0)
                continue;
            if (QWidget *pane = fixedWidthPane(view, this))
                pane->setFixedWidth(pane->width() + missing);
            wider = std::max(wider, missing);
        }
        for (QPlainTextEdit *editor : findChildren<QPlainTextEdit *>()) {
            if (!editor->isVisibleTo(this))
                continue;
            const QSize missing = wantedSize(editor) - editor->size();
            if (!fixedWidthPane(editor, this))
                wider = std::max(wider, missing.width());
            if (editor->minimumHeight() != editor->maximumHeight())
                taller = std::max(taller, missing.height());
        }
        const QSize grown =
            (window->size() + QSize(std::max(0, wider), std::max(0, taller))).boundedTo(limit);
        if (grown == window->size())
            break;
        window->resize(grown);
    }

    if (!m_placed) {
        m_placed = true;
        place(window, area);
    }
}

void TChildForm::place(QMdiSubWindow *window, QMdiArea *area)
{
    const QSize room = area->viewport()->size();
    QMdiSubWindow *previous = nullptr;
    for (QMdiSubWindow *other : area->subWindowList(QMdiArea::CreationOrder)) {
        if (other != window && other->isVisible() && !other->isMinimized())
            previous = other;
    }
    // One title bar down and right of the window opened before, so both
    // captions show; back to the corner when that would leave the frame.
    const int step = std::max(1, geometry().top());
    QPoint at = previous ? previous->pos() + QPoint(step, step) : QPoint(0, 0);
    const QSize smallest = minimumSizeHint().expandedTo(minimumSize())
                           + (window->size() - size());
    const QSize left = room - QSize(at.x(), at.y());
    if (left.width() < smallest.width() || left.height() < smallest.height())
        at = QPoint(0, 0);
    window->move(at);
    window->resize(window->size().boundedTo(room - QSize(at.x(), at.y())));
}
