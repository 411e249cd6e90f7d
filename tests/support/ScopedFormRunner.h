#pragma once

#include "uikit/ModalForms.h"

// Shows modal forms through another runner for the lifetime of the object
// (tests and the benchmark fill forms without a nested event loop), then
// restores the runner that was in place.
class ScopedFormRunner
{
public:
    explicit ScopedFormRunner(ModalForms::Runner runner);
    ~ScopedFormRunner();

    ScopedFormRunner(const ScopedFormRunner &) = delete;
    ScopedFormRunner &operator=(const ScopedFormRunner &) = delete;

private:
    ModalForms::Runner m_previous;
};
