#pragma once

#include "engine/core/TFileDescriptor.h"

#include <string>
#include <utility>

// A file written under a hidden name beside the one it is meant for,
// ".<name>.parzello-XXXXXX", and renamed into place only when complete. The
// name says whose it is, so that one left by a killed run is recognised, and
// it never ends in a piece number. The file goes with this object unless it
// was renamed into place.
class TTemporaryFile
{
public:
    // Creates the file (mode 0600) in the folder of finalPath.
    explicit TTemporaryFile(std::string finalPath);
    ~TTemporaryFile();
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    bool IsOpen() const { return fd_.IsOpen(); }
    int Fd() const { return fd_.Get(); }
    const std::string& Path() const { return path_; }
    [[nodiscard]] bool Close() { return fd_.Close(); }
    // Hands the open file to another owner; the name stays with this object.
    TFileDescriptor ReleaseFd() { return std::move(fd_); }
    // Renames the file to the name it is meant for, replacing what had that name.
    [[nodiscard]] bool RenameIntoPlace();

private:
    TFileDescriptor fd_;
    std::string finalPath_;
    std::string path_;  // empty once renamed, or when the file could not be created
};
