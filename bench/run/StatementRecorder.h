#pragma once

#include "RecordedRun.h"

#include <vector>

// Records every statement the program prepares, executes and fetches
// while on, by standing in for the client library's statement calls in
// this executable (the real ones are called through). So the raw side
// runs exactly what a window ran, catalogue queries of the driver included.
namespace StatementRecorder {

void start();
// What was recorded so far; recording goes on.
std::vector<RecordedRun> snapshot();
// Everything recorded since start(); recording goes off. A snapshot counts
// only the rows the program asked for; rows it read ahead in the background
// meanwhile count here.
std::vector<RecordedRun> stop();

} // namespace StatementRecorder
