#pragma once

#include <QDialog>

#include <functional>

// Every modal form is shown through here, so a test can fill the form and
// press its button without a nested event loop.
namespace ModalForms {

using Runner = std::function<int(QDialog *)>;

int exec(QDialog *dialog);

// Installs another way of showing forms (tests); an empty runner restores
// QDialog::exec. Returns the previous runner.
Runner setRunner(Runner runner);

} // namespace ModalForms
