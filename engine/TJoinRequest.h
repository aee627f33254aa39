#pragma once

#include "engine/TEngineHost.h"

#include <string>

// The request to put a split file back together, given one of its pieces: the
// picked name must end in a piece number; the file to rebuild is the name
// without that extension. A valid request hands over to TJoiner.
class TJoinRequest {
public:
    explicit TJoinRequest(TEngineHost host, TTransferSettings transfer = {});

    void CombineFile(const std::string& pickedPath);

private:
    TEngineHost host_;
    TTransferSettings transfer_;
};
