#pragma once

// Start-up and termination of the program, in the order the frame and the
// windows rely on: cursor, settings, splash, data module, frame, dialogs.
namespace QuorvelApplication {

int run(int argc, char *argv[]);

} // namespace QuorvelApplication
