#pragma once

#include <string>
#include <vector>

// `limit [DIR] [--rounds N] [--size BYTES] [--piece BYTES] [--buffer BYTES |
// --kernel-copy BYTES]`: times, in interleaved rounds with the file system
// flushed before every run, our split beside coreutils' `split -b` and beside
// the floor of any split (one `cp --reflink=never` of the file and the creation
// of as many empty pieces), then our join beside `cat` with its result flushed
// to disk and beside a plain `cat`. Ends with the lines
//   RATIO split_vs_coreutils X
//   RATIO split_vs_floor X
//   RATIO join_vs_cat_sync X
//   RATIO join_vs_cat X
// (median over median, lower is better for us). Returns the exit code.
int RunLimitCommand(const std::vector<std::string>& args);
