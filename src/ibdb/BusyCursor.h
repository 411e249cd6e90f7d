#pragma once

#include <QCursor>

// Shows the busy cursor for the lifetime of the object, on every path out.
// Without a GUI application (command-line tools) it does nothing.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

    // Registers the picture shown while the database works (start-up).
    static void registerCursor(const QCursor &cursor);
    static QCursor cursor();

private:
    bool m_shown = false;
};
