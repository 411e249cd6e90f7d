#include "core/BusyCursor.h"

namespace {
BusyCursor::Hooks &installed()
{
    static BusyCursor::Hooks hooks;
    return hooks;
}
} // namespace

BusyCursor::BusyCursor()
{
    if (installed().show && installed().hide) {
        installed().show();
        m_shown = true;
    }
}

BusyCursor::~BusyCursor()
{
    if (m_shown)
        installed().hide();
}

void BusyCursor::install(Hooks hooks)
{
    installed() = hooks;
}
