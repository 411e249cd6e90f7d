#include "core/ProgramSettings.h"

ProgramSettings &ProgramSettings::instance()
{
    static ProgramSettings settings;
    return settings;
}
