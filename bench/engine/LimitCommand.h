#pragma once

#include <string>
#include <vector>

// `limit [DIR] [--rounds N] [--size BYTES] [--piece BYTES] [--buffer BYTES |
// --kernel-copy BYTES]`: times, in interleaved rounds with the file system
// flushed before every run, our split (checksum file, every piece and the
// folder flushed) beside the coreutils peers of equal integrity, `split -b …
// && sha256sum <pieces> > list && sync` and `split -b … && sync`, beside a
// plain `split -b` and beside the floor of any split (one `cp --reflink=never`
// of the file and the creation of as many empty pieces); then our join (every
// piece and the whole file checked, the result flushed) beside `sha256sum -c
// list && cat <pieces> > f && sync f`, `cat … && sync f` and a plain `cat`.
// Ends with our runs' peak memory and the ratios, median over median, lower is
// better for us:
//   PEAK_MEMORY split X MiB, join Y MiB
//   RATIO split_vs_coreutils X
//   RATIO split_vs_floor X
//   RATIO join_vs_cat X
//   RATIO split_vs_split_sha256sum_sync X
//   RATIO split_vs_split_sync X
//   RATIO join_vs_sha256sum_cat_sync X
//   RATIO join_vs_cat_sync X
// Returns the exit code.
int RunLimitCommand(const std::vector<std::string>& args);
