#include "uikit/Prompts.h"

#include "uikit/QtPrompts.h"

namespace {

std::unique_ptr<Prompts> &currentPrompts()
{
    static std::unique_ptr<Prompts> prompts = std::make_unique<QtPrompts>();
    return prompts;
}

} // namespace

Prompts &Prompts::instance()
{
    return *currentPrompts();
}

std::unique_ptr<Prompts> Prompts::install(std::unique_ptr<Prompts> prompts)
{
    std::swap(prompts, currentPrompts());
    return prompts;
}

