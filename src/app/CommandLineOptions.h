#pragma once

#include <QString>
#include <QStringList>

// The options the windows' command line ("quorvel [DATABASE]") lets pass:
// Qt's own (-platform, -style, -reverse, ...), which QApplication takes out
// of the arguments before the frame sees them, spelt with one dash or two,
// with their value after them or after "=".
namespace CommandLineOptions {

// The first argument that reads as an option and is none of Qt's; empty
// when there is none. A lone "-" is no option.
QString firstUnknown(const QStringList &arguments);

} // namespace CommandLineOptions
