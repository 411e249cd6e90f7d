#pragma once

#include <QKeySequence>
#include <QWidget>

#include <functional>

class QMenu;
class QAction;
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

protected:
    // A new window of the class in the frame; its creation step, when it has
    // one, then runs as a user command, so a failure shows the error box and
    // leaves the (empty) window open.
    template <typename Form>
    static Form *openInFrame(void (Form::*create)() = nullptr)
    {
        auto *form = new Form;
        showInFrame(form);
        if (create)
            runAsCommand([form, create] { (form->*create)(); });
        return form;
    }

    QMenu *createFormMenu(const QString &title);
    // A menu item whose hint reaches the status bar; the handler runs as a
    // user command.
    QAction *addCommand(QMenu *menu, const QString &text, const QString &hint,
                        std::function<void()> handler, const QKeySequence &shortcut = {});
    void onClick(TOfficeButton *button, std::function<void()> handler);
    // The window's layout: a tool bar on top of the content, edge to edge.
    QVBoxLayout *createPanelLayout();

private:
    static void showInFrame(TChildForm *form);
    static void runAsCommand(const std::function<void()> &step);

    QMenu *m_formMenu = nullptr;
};
