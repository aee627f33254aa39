#pragma once

#include "engine/host/TEngineHost.h"

#include <string>

class TPieceSeries;
struct TSeriesChecksums;

// Rebuilds a split file from its pieces. The series is checked completely before
// anything is written: by the shape its checksum file gives where there is one
// of ours, else by the pieces' sizes. The file is written under a temporary
// name beside its final place, each piece proven against its checksum while it
// is copied and the whole file before the rename, flushed to disk and renamed
// into place only when complete, so a failure, a damaged piece or a stop leaves
// the pieces and any earlier file of that name as they were.
class TJoiner
{
public:
    explicit TJoiner(TEngineHost host, TTransferSettings transfer = {});

    // basePath is the name of the file to rebuild, the pieces' name without their
    // number. True when the file was rebuilt; the host has been told either way.
    bool JoinFile(const std::string& basePath);

private:
    bool MayWrite(const std::string& basePath, const TPieceSeries& series) const;
    [[nodiscard]] bool WriteFile(const std::string& basePath, const TPieceSeries& series,
                                 const TSeriesChecksums* checksums);

    TEngineHost host_;
    TTransferSettings transfer_;
};
