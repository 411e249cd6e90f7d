#pragma once

#include <QString>

class TChildForm;

// The frame as child windows see it: where they open and which status panel
// they write. The frame implements it; child windows never see the frame.
class Shell
{
public:
    virtual ~Shell() = default;

    // Opens a new child window in the frame; the window frees itself when closed.
    virtual void showChild(TChildForm *form) = 0;
    // Status panel 3: the caret position of the focused editor.
    virtual void setCaretPanel(const QString &text) = 0;
    // Lets go of the attachment for a job that needs the database to itself,
    // as Disconnect does: the open transaction is settled as the user answers.
    // Refused while a window other than `keeping` holds work.
    virtual void releaseConnection(const TChildForm *keeping) = 0;
    // Attaches again with the login last used, unless attached meanwhile.
    virtual void restoreConnection() = 0;

    static Shell &instance();
    static void setInstance(Shell *shell);
};
