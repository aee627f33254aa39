#pragma once

#include <string>
#include <vector>

// `compare [DIR] [--rounds N] [--size BYTES] [--piece BYTES] [--buffer BYTES |
// --kernel-copy BYTES]`: times our split
// against coreutils' `split -b` and our join against `cat` on one large file in
// a scratch folder under DIR (default /tmp), in interleaved rounds on a warm
// page cache, and ends with the lines
//   RATIO split_vs_coreutils X
//   RATIO join_vs_cat Y
// (median over median, lower is better for us). Returns the exit code.
int RunCompareCommand(const std::vector<std::string>& args);
