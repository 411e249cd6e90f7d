#pragma once

#include <QString>

// One line of the report: the program's time against the raw time of the
// same statements, with the goal the ratio is held to (0: none).
struct BenchMeasure
{
    static constexpr double kFrameMs = 16;

    QString name;
    double quorvelMs = 0;
    double rawMs = 0;
    double rssMb = 0;
    double addedMb = 0;
    // What the fetched values hold, as the raw side counts them.
    double dataMb = 0;
    double goal = 0;
    // What the program may add to the engine's time whatever the ratio.
    double slackMs = kFrameMs;
    double memoryGoalMb = 0;
    int rows = 0;

    double ratio() const { return rawMs > 0 ? quorvelMs / rawMs : 0; }
    double bytesPerRow() const { return rows > 0 ? addedMb * 1024 * 1024 / rows : 0; }
    // Within the ratio, or within the slack (a frame) of the engine: no one sees that.
    bool met() const
    {
        // Without a raw time only the slack counts.
        const bool fast = goal <= 0 || (rawMs > 0 && ratio() <= goal) ||
                          quorvelMs - rawMs <= slackMs;
        return fast && (memoryGoalMb <= 0 || addedMb <= memoryGoalMb);
    }
};
