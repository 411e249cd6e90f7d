#pragma once

// Shows that the database works, for the lifetime of the object, on every
// path out. The data layer has no widgets: the application installs what
// showing means (its busy cursor) at start-up. Until then, as in command-line
// tools and the data layer's own tests, it does nothing.
class BusyCursor
{
public:
    struct Hooks
    {
        void (*show)() = nullptr;
        void (*hide)() = nullptr;
    };

    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

    static void install(Hooks hooks);

private:
    bool m_shown = false;
};
