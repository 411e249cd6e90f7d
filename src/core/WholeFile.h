#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file whole or not at all: the bytes go to a temporary file beside
// it, which is renamed over the old one only once every byte reached the disk.
// A full disk, a file-size limit or a refused folder leaves the old file as it
// was. Every file the program writes goes through here.
namespace WholeFile {

// An empty string on success, otherwise the system's reason for the failure.
QString write(const QString &fileName, const QByteArray &bytes);

} // namespace WholeFile
