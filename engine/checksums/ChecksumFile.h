#pragma once

#include "engine/checksums/TSha256.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The checksum file that lies beside a series, "<file>.sha256", in the format
// GNU sha256sum writes and `sha256sum -c` checks: a first comment line that
// marks it as this program's own and gives the series' shape
// ("# Parzello: 5 Teile zu 1457664 Bytes"), then one line per piece and one
// for the whole file, each "<digest>  <name>" with the name relative to the
// folder. A name holding a backslash, a newline or a carriage return is
// escaped as sha256sum escapes it: the line starts with "\" and those
// characters are written "\\", "\n" and "\r".

struct TSeriesChecksums
{
    std::int64_t PieceCount = 0;
    std::uint64_t PieceSize = 0;  // of every piece but the last, which is shorter
    std::vector<TSha256Digest> Pieces;
    TSha256Digest Whole{};
};

// "<source>.sha256".
std::string ChecksumFileName(const std::string& sourcePath);

enum class TChecksumFileKind {
    Absent,
    Ours,     // a file this program wrote
    Foreign,  // anything else by that name, which is never replaced
};
TChecksumFileKind ClassifyChecksumFile(const std::string& path);

// Writes the whole checksum file of the series of sourcePath to an open file.
[[nodiscard]] bool WriteChecksumFile(int fd, const std::string& sourcePath, const TSeriesChecksums& checksums);

struct [[nodiscard]] TChecksumFileRead
{
    std::optional<TSeriesChecksums> Checksums;  // read from a file of ours
    std::string Problem;                        // a file of ours that cannot be used, as a message
};
// Reads the checksum file of the series of sourcePath. No file, or a foreign
// one, gives neither checksums nor a problem.
TChecksumFileRead ReadChecksumFile(const std::string& sourcePath);
