#pragma once

#include <optional>
#include <string>

#include <QString>

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
// - an item is never put in the place of itself (another name of the same
//   file) or of a folder that holds it: that is refused before anything is
//   asked or changed;
// - a name already taken at the target is put to the conflict prompt;
//   replacing merges a folder into a folder entry by entry, and otherwise
//   swaps the new item in only once it is complete (rename, or an atomic
//   exchange where a folder and a file meet), then deletes the old one;
// - a copy is made under a hidden temporary name beside the target and
//   renamed when complete, so a cancelled or failed copy leaves nothing;
// - a move renames within a file system; across file systems it copies
//   (files and folders flushed to the disk), and only after its copy stands
//   complete under its name at the target deletes, of the source, what it
//   copied: what was created or changed in the source meanwhile stays;
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
    // After a refusal: the whole German text for the user; empty otherwise.
    const QString& Message() const { return message_; }

    // Why `source` must not take the place of the existing `target`, as a
    // German text naming both; nothing when it may (with the user's consent).
    static std::optional<QString> ReplaceRefusal(const std::string& source, const std::string& target);

private:
    TTransferOutcome Merge(const std::string& source, const std::string& target, bool move);
    TTransferOutcome MoveByRename(const std::string& source, const std::string& target, bool replace,
                                  bool& crossesVolumes);
    TTransferOutcome CopyInto(const std::string& source, const std::string& target, bool replace, bool move);
    [[nodiscard]] int Commit(const std::string& temporary, const std::string& target, bool replace);
    TTransferOutcome Stop(int error, const std::string& path);
    TTransferOutcome Refuse(const std::string& path, const QString& message);

    TOperationProgress& progress_;
    TConflictPrompt& conflicts_;
    int error_ = 0;
    std::string failedPath_;
    QString message_;
};
