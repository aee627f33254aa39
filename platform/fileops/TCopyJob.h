#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

class TOperationProgress;

// Copies one item - a regular file, a folder tree, a symbolic link (as a
// link) or a FIFO - to a path that does not exist yet, keeping permission
// bits and access and modification times. File data moves with
// copy_file_range inside the kernel where the file systems allow it, else
// through a buffer. The copy stops at the first failure or cancel and
// leaves what it made for the caller to delete (see TTemporaryItem).
class TCopyJob
{
public:
    explicit TCopyJob(TOperationProgress& progress)
        : progress_(progress)
    {
    }

    // For moves, whose sources are deleted once the copy is complete: every
    // copied file and folder is flushed to the disk before Copy returns, and
    // the job remembers each source entry it copied for RemoveCopiedSources.
    void SetForMove(bool move) { forMove_ = move; }

    // 0 or the errno of the failure, ECANCELED after a cancel.
    int Copy(const std::string& source, const std::string& destination);

    // The path at which the copy failed (a source or a destination path).
    const std::string& FailedPath() const { return failedPath_; }

    // After a complete copy for a move: deletes the source entries it copied,
    // deepest first, each only while it is still the entry that was copied
    // (same inode; a file also of the same size and modification time), so
    // that what was created or changed in the source meanwhile survives, and
    // with it the folders that hold it. 0 or the errno of the first failure;
    // `whole` tells whether the source is gone entirely.
    [[nodiscard]] int RemoveCopiedSources(bool& whole);

private:
    [[nodiscard]] int CopyEntry(const std::string& source, const std::string& destination);
    [[nodiscard]] int CopyFile(const std::string& source, const struct stat& status, const std::string& destination);
    [[nodiscard]] int CopyFolder(const std::string& source, const struct stat& status, const std::string& destination);
    [[nodiscard]] int CopyLink(const std::string& source, const struct stat& status, const std::string& destination);
    [[nodiscard]] int CopyData(int in, int out);
    [[nodiscard]] int CopyDataByBuffer(int in, int out);
    [[nodiscard]] int Fail(int error, const std::string& path);
    void Remember(const std::string& source, const struct stat& status);

    struct TCopiedEntry
    {
        std::string Path;
        struct stat Status;
    };

    TOperationProgress& progress_;
    bool forMove_ = false;
    std::string failedPath_;
    std::vector<TCopiedEntry> copied_;  // in the order copied: a folder before its entries
};
