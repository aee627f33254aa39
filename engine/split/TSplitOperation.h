#pragma once

#include "engine/host/TEngineHost.h"

#include <cstdint>
#include <string>

// Cuts a file into the numbered pieces that lie beside it, with a checksum file
// "<file>.sha256" that sha256sum can check, and removes pieces left after them
// from an earlier split of that name. The series is on disk before success is
// reported; a failure or a stop leaves no piece of it. Everything it has to say
// goes to the host: the name of piece 1 and removed old pieces to the log,
// failures and the outcome to message boxes; the host's list is refreshed at
// the end of every call.
class TSplitOperation
{
public:
    explicit TSplitOperation(TEngineHost host, TTransferSettings transfer = {});

    // pieceSize is the number of bytes of every piece but the last (at least 1).
    // Returns the number of pieces written; 0 when the split failed or stopped.
    std::int64_t SplitFile(const std::string& sourcePath, std::int64_t pieceSize);

private:
    TEngineHost host_;
    TTransferSettings transfer_;
};
