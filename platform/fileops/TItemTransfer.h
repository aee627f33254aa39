#pragma once

#include <string>

class TConflictPrompt;
class TOperationProgress;

// How the transfer of one item ended.
enum class [[nodiscard]] TTransferOutcome{
    Done,     // the item is at its target
    Skipped,  // the user chose to leave it (or part of a merged folder) where it was
    Stopped,  // cancelled or failed: the operation ends
};

// Copies or moves one item to a target path, the way the file operations
// do it for each item of their list:
// - a name already taken at the target is put to the conflict prompt;
//   replacing merges a folder into a folder entry by entry, and otherwise
//   swaps the new item in only once it is complete (rename, or an atomic
//   exchange where a folder and a file meet), then deletes the old one;
// - a copy is made under a hidden temporary name beside the target and
//   renamed when complete, so a cancelled or failed copy leaves nothing;
// - a move renames within a file system; across file systems it copies
//   (flushed to the disk), and deletes the source only after its copy
//   stands complete at the target;
// - every change is reported with SHChangeNotify.
class TItemTransfer
{
public:
    TItemTransfer(TOperationProgress& progress, TConflictPrompt& conflicts)
        : progress_(progress)
        , conflicts_(conflicts)
    {
    }

    TTransferOutcome Transfer(const std::string& source, const std::string& target, bool move);

    // After Stopped: the errno (ECANCELED for a cancel) and where it happened.
    int Error() const { return error_; }
    const std::string& FailedPath() const { return failedPath_; }

private:
    TTransferOutcome Merge(const std::string& source, const std::string& target, bool move);
    TTransferOutcome MoveByRename(const std::string& source, const std::string& target, bool replace,
                                  bool& crossesVolumes);
    TTransferOutcome CopyInto(const std::string& source, const std::string& target, bool replace, bool move);
    [[nodiscard]] int Commit(const std::string& temporary, const std::string& target, bool replace);
    TTransferOutcome Stop(int error, const std::string& path);

    TOperationProgress& progress_;
    TConflictPrompt& conflicts_;
    int error_ = 0;
    std::string failedPath_;
};
