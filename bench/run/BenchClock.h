#pragma once

#include <QElapsedTimer>

#include <fstream>
#include <unistd.h>

// What a measure reads off the process: its resident memory and the time a
// timer has run, both as the report prints them.
namespace BenchClock {

inline double residentMb()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

inline double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace BenchClock
