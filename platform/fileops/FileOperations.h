#pragma once

#include <string>
#include <vector>

#include <QString>

class QWidget;

// One file operation over a whole list of files and folders, as a file manager
// runs it: conflict prompts, a progress dialog for long work, German error
// messages when an owner window is given, a change notification for every
// change. Paths are the file names' own bytes.

enum class TFileOperationKind {
    Copy,     // sources into TargetFolder
    Move,     // sources into TargetFolder; a source goes only after its copy is complete
    Link,     // a symbolic link to each source in TargetFolder
    Trash,    // sources to the trash
    Delete,   // sources deleted for good
    Restore,  // trashed entries (paths inside a trash's files/) back to where they came from
};

struct TFileOperationRequest
{
    TFileOperationKind Kind = TFileOperationKind::Copy;
    std::vector<std::string> Sources;
    std::string TargetFolder;  // Copy, Move and Link only
    QWidget* Owner = nullptr;  // none: no error dialogs (confirmations still appear)
    bool Confirm = true;       // ask before Trash and Delete
};

struct [[nodiscard]] TFileOperationResult
{
    // Everything asked for was done. A conflict the user chose to skip counts
    // as done; an item the user chose to keep instead of trashing, deleting
    // or restoring it to a doubtful place does not
    // (it is in Kept, and Error stays 0).
    bool Completed = false;
    bool Cancelled = false;  // the user declined or stopped it (Error is then ECANCELED)
    int Error = 0;           // errno of the first failure (also left as the last error; 0 on success)
    QString Message;         // the German text of that failure, as the error box shows it
    // The new paths, in the order of Sources: the copies, moved items or
    // links; for Trash the items' places in the trash; for Restore the
    // original paths. Skipped items have none.
    std::vector<std::string> Created;
    // Trash, Delete and Restore: the sources left where they were ("Überspringen").
    std::vector<std::string> Kept;
};

// Runs the whole list on the calling thread and stops at the first failure
// or cancel; what was done until then stays done, and no half-made copy
// remains. Work that lasts longer than about a second shows a progress
// dialog with a cancel button (on the GUI thread of a QApplication). The
// rules of each step are those of TFileOperation, TItemTransfer and
// TTrashMover.
TFileOperationResult RunFileOperation(const TFileOperationRequest& request);
