#pragma once

#include "uikit/Shell.h"

#include <QList>
#include <QMdiArea>
#include <QPointer>

class TChildForm;

// A frame stand-in for window tests: an MDI area that records what opened.
class TestShell : public Shell
{
public:
    TestShell();
    ~TestShell() override;

    void showChild(TChildForm *form) override;
    void setCaretPanel(const QString &text) override { caretPanel = text; }
    // The session's attachment closed and opened again, as the frame does
    // without its questions and windows.
    void releaseConnection(const TChildForm *keeping) override;
    void restoreConnection() override;

    QMdiArea area;
    QString caretPanel;
    int released = 0;
    QList<QPointer<TChildForm>> opened;

    // The last window opened of a given class, or nullptr.
    template <typename Form>
    Form *last() const
    {
        for (auto it = opened.crbegin(); it != opened.crend(); ++it) {
            if (auto *form = qobject_cast<Form *>(it->data()))
                return form;
        }
        return nullptr;
    }
};
