#pragma once

#include "engine/host/TEngineHost.h"

#include <string>

class TPieceSeries;

// Rebuilds a split file from its pieces. The series is checked completely before
// anything is written; the file is written under a temporary name beside its
// final place, flushed to disk and renamed into place only when complete, so a
// failure or a stop leaves the pieces and any earlier file of that name as they were.
class TJoiner
{
public:
    explicit TJoiner(TEngineHost host, TTransferSettings transfer = {});

    // basePath is the name of the file to rebuild, the pieces' name without their number.
    void JoinFile(const std::string& basePath);

private:
    bool MayWrite(const std::string& basePath, const TPieceSeries& series) const;
    bool WriteFile(const std::string& basePath, const TPieceSeries& series);

    TEngineHost host_;
    TTransferSettings transfer_;
};
