#pragma once

#include <string>
#include <vector>

// `progress [DIR] [--rounds N] [--size BYTES] [--piece BYTES] [--buffer BYTES |
// --kernel-copy BYTES]`: times the split and the join with a progress observer
// like the window's against the same work without one, interleaved, and ends
// in RATIO lines (observed over plain). Returns the process exit code.
int RunProgressCommand(const std::vector<std::string>& args);
