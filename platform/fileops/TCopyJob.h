#pragma once

#include <cstdint>
#include <string>

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

    // Flushes every copied file to the disk before returning: for moves,
    // whose sources are deleted once the copy is complete.
    void SetSyncData(bool sync) { syncData_ = sync; }

    // 0 or the errno of the failure, ECANCELED after a cancel.
    [[nodiscard]] int Copy(const std::string& source, const std::string& destination);

    // The path at which the copy failed (a source or a destination path).
    const std::string& FailedPath() const { return failedPath_; }

private:
    [[nodiscard]] int CopyEntry(const std::string& source, const std::string& destination);
    [[nodiscard]] int CopyFile(const std::string& source, const struct stat& status, const std::string& destination);
    [[nodiscard]] int CopyFolder(const std::string& source, const struct stat& status, const std::string& destination);
    [[nodiscard]] int CopyLink(const std::string& source, const struct stat& status, const std::string& destination);
    [[nodiscard]] int CopyData(int in, int out);
    [[nodiscard]] int CopyDataByBuffer(int in, int out);
    [[nodiscard]] int Fail(int error, const std::string& path);

    TOperationProgress& progress_;
    bool syncData_ = false;
    std::string failedPath_;
};
