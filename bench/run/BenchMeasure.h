#pragma once

#include <QString>

// One line of the report: the program's time against the raw time of the
// same statements, with the goal the ratio is held to (0: none).
struct BenchMeasure
{
    QString name;
    double quorvelMs = 0;
    double rawMs = 0;
    double rssMb = 0;
    double addedMb = 0;
    double goal = 0;
    double memoryGoalMb = 0;
    int rows = 0;

    double ratio() const { return rawMs > 0 ? quorvelMs / rawMs : 0; }
    bool met() const
    {
        return (goal <= 0 || ratio() <= goal) && (memoryGoalMb <= 0 || addedMb < memoryGoalMb);
    }
};
