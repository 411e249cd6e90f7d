#pragma once

#include <QString>

class QSettings;

// Keeps auto-commit and the repository directory between runs, under
// Kelderwick/Quorvel with the value names "IB_AUTOCOMMIT" and "Obj.rep. Path",
// and beside them the frame's geometry and whether the explorer opens at
// connect.
namespace SettingsStore {

// Fills ProgramSettings; a missing or mistyped value keeps its default.
void read();
// Stores both values; returns an empty string or the failure message.
QString write();

void read(QSettings &settings);
QString write(QSettings &settings);

} // namespace SettingsStore
