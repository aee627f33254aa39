#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Pieces numbered after the last one a split wrote are left from an earlier
// split of a file of the same name. A join could not tell them from the new
// series, so they are removed: the consecutive run pieceCount + 1,
// pieceCount + 2, ... that still exists. Returns the names removed, in order.
std::vector<std::string> RemoveStalePieces(const std::string& sourcePath, std::int64_t pieceCount);
