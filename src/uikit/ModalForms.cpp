#include "uikit/ModalForms.h"

namespace ModalForms {

namespace {
Runner &currentRunner()
{
    static Runner runner;
    return runner;
}
} // namespace

int exec(QDialog *dialog)
{
    const Runner &runner = currentRunner();
    return runner ? runner(dialog) : dialog->exec();
}

Runner setRunner(Runner runner)
{
    std::swap(runner, currentRunner());
    return runner;
}

} // namespace ModalForms
