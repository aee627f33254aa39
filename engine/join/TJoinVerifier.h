#pragma once

#include "engine/checksums/TReadBackDigest.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct TSeriesChecksums;
class TPieceSeries;

// Proves a join against the series' checksum file while it runs: what is
// written to the new file is read back and hashed on a second thread, each
// piece's digest is compared as soon as it is done, and the whole file's at
// the end. The first piece that differs is named.
class TJoinVerifier
{
public:
    // fd is the new file, written from its start; checksums and series must outlive this.
    TJoinVerifier(const TSeriesChecksums& checksums, const TPieceSeries& series, std::string basePath, int fd);

    // After each transfer: the new file holds `written` bytes. False when a
    // piece has been found damaged or the file could not be read back.
    [[nodiscard]] bool Advance(std::uint64_t written);
    // The piece being copied ends with the bytes written so far.
    void EndPiece();
    // Bytes read back so far: until then the new file's pages are still needed in the page cache.
    std::uint64_t Checked();
    // Waits for the last digests and compares them and the whole file's.
    [[nodiscard]] bool Finish();

    // Why the join must not go on, as a message for the user.
    const std::string& Problem() const { return problem_; }
    // The log line of a join that passed.
    std::string Passed() const;

private:
    [[nodiscard]] bool CompareDone();

    const TSeriesChecksums& checksums_;
    const TPieceSeries& series_;
    const std::string basePath_;
    TReadBackDigest digest_;
    std::size_t compared_ = 0;
    std::string problem_;
};
