#pragma once

#include <cstdint>
#include <string>

// Names of the pieces of a split file: "<source>.0001", "<source>.0002", ...

// The decimal number, padded with "0" on the left to at least four characters
// and never cut: 1 gives "0001", 9999 "9999", 10000 "10000".
std::string FormatPieceNumber(std::int64_t number);

// The source path, a dot and the piece number text; the piece lies beside the source.
std::string PieceFileName(const std::string& sourcePath, std::int64_t number);
