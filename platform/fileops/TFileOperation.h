#pragma once

#include <optional>
#include <string>

#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/fileops/FileOperations.h"
#include "platform/dialogs/TConflictPrompt.h"
#include "platform/dialogs/TOperationProgress.h"
#include "platform/trash/TTrash.h"

// One run of RunFileOperation: works through the request's list item by
// item and stops at the first failure or cancel (what is done stays done;
// nothing half-done remains). Skipped conflicts count as done: the user
// chose; an item the user keeps instead of deleting it does not.
//
// Names in the target folder when it is the source's own folder:
// a copy is "Kopie von NAME", then "Kopie (2) von NAME", "Kopie (3) von
// NAME" ...; a link "Verknüpfung mit NAME", then "Verknüpfung (2) mit NAME"
// .... A move into the item's own folder changes nothing.
class TFileOperation
{
public:
    explicit TFileOperation(const TFileOperationRequest& request);

    TFileOperationResult Run();

private:
    void RunTransfers(bool move);
    void RunLinks();
    void RunTrash();
    void RunDelete();
    void RunRestore();

    bool TransferOne(const std::string& source, bool move);
    bool LinkOne(const std::string& source);
    bool TrashOne(const std::string& source);
    bool DeleteOne(const std::string& source);
    bool RestoreOne(const std::string& trashedPath);

    [[nodiscard]] bool CheckTargetFolder();
    [[nodiscard]] bool ConfirmRemoval(bool forGood);
    [[nodiscard]] bool AskDeleteInstead(const std::string& source);
    // True to restore an entry of a volume's trash to a place outside that volume.
    [[nodiscard]] bool ConfirmRestoreOutsideVolume(const TTrashEntry& entry);
    // A failure: the message (or the standard one for `path`) and the system's text for `error`.
    void Fail(int error, const std::string& path, const QString& message = {});
    // A request that would lose data, refused with `message` alone.
    void Refuse(const QString& message);
    void Report(int error, const QString& text);
    void Cancel();
    // Counts one finished item; false (and cancelled) when the user stopped the work.
    bool Advance();
    bool Stopped() const { return result_.Error != 0 || result_.Cancelled; }

    const TFileOperationRequest& request_;
    // The progress dialog turns the event loop: the request's owner may close
    // meanwhile, and later messages then stand alone.
    QPointer<QWidget> owner_;
    TFileOperationResult result_;
    TOperationProgress progress_;
    TConflictPrompt conflicts_;
    std::string targetFolder_;
    std::optional<bool> deleteInsteadForAll_;
};
