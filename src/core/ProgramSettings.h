#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// The program-wide values kept between runs: read once at start-up, written
// once at exit, and read by whoever needs them in between.
struct ProgramSettings
{
    bool AutoCommit = false;
    QString RepositoryPath;
    // Beyond the two above, which keep their meaning: the frame's place and
    // size as the user left it (empty until the first exit), and whether the
    // database explorer opens at connect.
    QByteArray FrameGeometry;
    bool ExplorerAtConnect = true;
    // The role each database path was last connected with, for the login
    // dialog; the connection history file keeps only paths.
    QMap<QString, QString> LoginRoles;

    static ProgramSettings &instance();
};
