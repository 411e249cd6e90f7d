#include "uikit/Shell.h"

#include "core/AppError.h"

namespace {
Shell *currentShell = nullptr;
}

Shell &Shell::instance()
{
    if (!currentShell)
        throw GeneralError(QStringLiteral("The main window is not available"));
    return *currentShell;
}

void Shell::setInstance(Shell *shell)
{
    currentShell = shell;
}
