#pragma once

#include "engine/core/FileTimes.h"

#include <cstdint>
#include <string>
#include <vector>

#include <sys/types.h>

struct TPiece
{
    std::string Name;
    std::int64_t Number = 0;
    std::uint64_t Size = 0;
    dev_t Device = 0;
    ino_t Inode = 0;
    mode_t Mode = 0;
    TFileTimes Times;
};

// What a series' checksum file says of it.
struct TSeriesShape
{
    std::int64_t PieceCount = 0;
    std::uint64_t PieceSize = 0;
};

// The pieces that lie beside a file, found by their names, and whether they form
// one complete series: piece 1 exists and the numbers run from 1 without gaps;
// every piece but the last has the size of piece 1; the last is shorter, or is
// piece 1 alone. Nothing is guessed: the first piece that breaks a rule is named.
class TPieceSeries
{
public:
    static TPieceSeries Find(const std::string& basePath);
    // The series of a known shape: pieces 1 to PieceCount, each but the last of
    // PieceSize bytes and the last shorter. Pieces numbered after them belong
    // to no series of this shape and are left out.
    static TPieceSeries Find(const std::string& basePath, const TSeriesShape& shape);

    bool IsComplete() const { return problem_.empty(); }
    // Why the series cannot be joined, as a message for the user; empty when it can.
    const std::string& Problem() const { return problem_; }
    const std::vector<TPiece>& Pieces() const { return pieces_; }
    std::uint64_t TotalSize() const;

private:
    [[nodiscard]] bool Collect(const std::string& basePath);
    [[nodiscard]] bool ReadPieces(const std::string& basePath, std::int64_t count);
    void CheckSizes(const std::string& basePath);
    void CheckShape(const TSeriesShape& shape);

    std::vector<TPiece> pieces_;
    std::string problem_;
};
