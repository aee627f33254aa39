#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The sizes people split for, and the ways a piece size is given: the window's
// drop-down menu and the command line share them.

struct TPieceSizePreset
{
    const char* Key;      // the command line's name ("--preset cd")
    const char* Caption;  // the menu entry
    std::int64_t Bytes;
};

std::span<const TPieceSizePreset> PieceSizePresets();
const TPieceSizePreset* FindPieceSizePreset(std::string_view key);

// A size as a script writes it: a whole number of bytes of at least 1, with an
// optional unit, K M G T (and KiB ... TiB) for powers of 1024, KB MB GB TB for
// powers of 1000 ("700M" is 734003200). Nothing when the text is no such size
// or does not fit into 64 bits.
std::optional<std::int64_t> ParsePieceSizeText(std::string_view text);

// The number of pieces a split of `length` bytes into pieces of `pieceSize`
// writes: a length that is a whole multiple of the size ends in an empty piece.
std::int64_t PieceCountOf(std::uint64_t length, std::int64_t pieceSize);

// The smallest piece size that cuts `length` bytes into exactly `pieces` pieces,
// floor(length / pieces) + 1; nothing when no size does (pieces < 1, or more
// pieces than an empty or short file can give).
std::optional<std::int64_t> EqualPieceSize(std::uint64_t length, std::int64_t pieces);
