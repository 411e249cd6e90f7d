#pragma once

// What every window of the program shares in its look: the classic colours,
// and text laid out without the shaping engine wherever its script needs
// none. Applied once at start-up, before the first window.
class ApplicationLook
{
public:
    static void apply();
};
