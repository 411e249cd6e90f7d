#pragma once

#include "controls/ColumnResizeBatch.h"

#include <QWidget>

#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QVBoxLayout;
class TOfficeButton;

// A child window of the frame. It frees itself when closed; its own menu,
// when it has one, is merged into the frame's menu bar while it is active,
// and the shortcuts of that menu live only then.
class TChildForm : public QWidget
{
    Q_OBJECT

public:
    explicit TChildForm(QWidget *parent = nullptr);

    QMenu *formMenu() const { return m_formMenu; }

    // Sizes the window to its content inside the frame: each grid's columns
    // as wide as their titles and the first screen of rows (never every
    // row), the window wide enough for them and its tool bar, editors
    // wide and tall enough to read. The first call also places the window
    // a title bar below and right of the one opened before it. Later calls
    // (once a window has read its rows) only widen and grow.
    void fitToContent();

protected:
    // A new window of the class in the frame; its creation step, when it has
    // one, then runs as a user command, so a failure shows the error box and
    // leaves the (empty) window open.
    template <typename Form>
    static Form *openInFrame(void (Form::*create)() = nullptr)
    {
        auto *form = new Form;
        // Showing, filling and fitting size its columns many times over.
        const ColumnResizeBatch columns(form);
        showInFrame(form);
        if (create)
            runAsCommand([form, create] { (form->*create)(); });
        form->fitToContent();
        return form;
    }

    QMenu *createFormMenu(const QString &title);
    void onClick(TOfficeButton *button, std::function<void()> handler);
    // The window's layout: a tool bar on top of the content, edge to edge.
    QVBoxLayout *createPanelLayout();

private:
    static void showInFrame(TChildForm *form);
    void place(QMdiSubWindow *window, QMdiArea *area);
    static void runAsCommand(const std::function<void()> &step);

    QMenu *m_formMenu = nullptr;
    // The size the window's constructor asked for, before the frame's
    // window around it imposed its own.
    QSize m_designSize;
    bool m_placed = false;
};
