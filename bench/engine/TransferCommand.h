#pragma once

#include <string>
#include <vector>

// `transfer [DIR] [--rounds N] [--size BYTES]`: times the engine's split with
// each transfer method and size, in interleaved rounds on a warm page cache,
// prints a table of medians and the fastest setting of each method and overall.
// This is the measurement behind the engine's default transfer.
int RunTransferCommand(const std::vector<std::string>& args);
