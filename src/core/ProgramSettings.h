#pragma once

#include <QString>

// The program-wide values kept between runs: read once at start-up, written
// once at exit, and read by whoever needs them in between.
struct ProgramSettings
{
    bool AutoCommit = false;
    QString RepositoryPath;

    static ProgramSettings &instance();
};
