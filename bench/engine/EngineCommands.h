#pragma once

#include <string>
#include <vector>

// `split FILE SIZE` and `join PIECE [--yes|--no]`: run the engine as the window
// does and print what it says to standard output (see PrintingHost.h).
// Both return the process exit code: 0 when the engine ran, 2 for bad arguments.
int RunSplitCommand(const std::vector<std::string>& args);
int RunJoinCommand(const std::vector<std::string>& args);
