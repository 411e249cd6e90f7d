#include "support/TestShell.h"

#include "uikit/TChildForm.h"

#include <QMdiSubWindow>

TestShell::TestShell()
{
    Shell::setInstance(this);
    area.resize(1000, 700);
    area.show();
}

TestShell::~TestShell()
{
    Shell::setInstance(nullptr);
    area.closeAllSubWindows();
}

void TestShell::showChild(TChildForm *form)
{
    QMdiSubWindow *window = area.addSubWindow(form);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    opened.append(form);
}
