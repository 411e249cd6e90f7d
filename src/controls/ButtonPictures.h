#pragma once

#include <QtGlobal>

// The tool-button pictures are compiled into the workbench library (resources/buttons.qrc).
// A resource in a static library is linked only when something names its initialiser, and
// the workbench library comes after the catalogue and before the controls on the link line.
// So this is called from inline constructors only: the call then sits in the code of
// whoever builds a tool panel or navigator, and the linker finds the pictures after it.
// A .cpp file of this library must not call it.
inline void initButtonPictures()
{
    static bool loaded = false;
    if (!loaded) {
        Q_INIT_RESOURCE(buttons);
        loaded = true;
    }
}
