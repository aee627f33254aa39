#pragma once

#include "engine/host/TEngineHost.h"

#include <cstdint>
#include <optional>
#include <string>

// The request to put a split file back together, given one of its pieces: the
// picked name must end in a piece number; the file to rebuild is the name
// without that extension. A valid request hands over to TJoiner.
class TJoinRequest
{
public:
    explicit TJoinRequest(TEngineHost host, TTransferSettings transfer = {});

    // True when the file was rebuilt; the host has been told either way.
    bool CombineFile(const std::string& pickedPath);

    struct TParsedPiece
    {
        std::string BasePath;    // the picked path without its extension
        std::string NumberText;  // the extension without its dot
        std::int32_t Number = 0;
    };

    // The extension of a path with its dot: from the last "." of the last name to
    // the end; empty when that name has no dot.
    static std::string ExtensionOf(const std::string& path);
    // Splits the picked path into base path and piece number; nothing when the
    // number text does not convert to an integer.
    static std::optional<TParsedPiece> ParsePickedPath(const std::string& pickedPath);

private:
    TEngineHost host_;
    TTransferSettings transfer_;
};
