#pragma once

#include <QString>

#include <cstdio>

// What the command-line modes write on standard output and standard error.
namespace CommandOutput {

// False when the stream refused the text.
bool write(FILE *stream, const QString &text);

// "quorvel: " and the reason on standard error; a server's message keeps its
// lines, or with oneLine they are joined, for logs that take one line a job.
void fail(const QString &message, bool oneLine = false);

} // namespace CommandOutput
