#pragma once

#include "shell/threads/TBasicWorkItem.h"

#include <cstdint>
#include <string>

// A work item that measures a file or a folder for a selection list: bytes,
// files and folders (the measured folder included), below it too when
// Recurse is set, by the rule of TFolderSizeWalker (each inode once, links
// never followed, not even the measured path, one file system).
// The item writes only its own fields; the list applies them on the UI thread.
class TPzFolderSizeThread : public TBasicWorkItem
{
public:
    TPzFolderSizeThread(std::string path, bool recurse, int sign);

    void Execute() override;

    const std::string& Path() const { return path_; }
    bool Recurse() const { return recurse_; }
    // +1 adds the result to the totals, -1 subtracts it.
    int Sign() const { return sign_; }
    std::int64_t TotalSize() const { return totalSize_; }
    std::int64_t FileCount() const { return fileCount_; }
    std::int64_t FolderCount() const { return folderCount_; }

private:
    std::string path_;
    bool recurse_;
    int sign_;
    std::int64_t totalSize_ = 0;
    std::int64_t fileCount_ = 0;
    std::int64_t folderCount_ = 0;
};
