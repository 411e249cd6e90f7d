#include "support/ScopedFormRunner.h"

ScopedFormRunner::ScopedFormRunner(ModalForms::Runner runner)
    : m_previous(ModalForms::setRunner(std::move(runner)))
{
}

ScopedFormRunner::~ScopedFormRunner()
{
    ModalForms::setRunner(m_previous);
}
