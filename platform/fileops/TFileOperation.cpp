#include "platform/fileops/TFileOperation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "platform/core/files/FileTreeOps.h"
#include "platform/core/system/LastError.h"
#include "framework/MessageBox.h"
#include "platform/notify/ShellChangeNotify.h"
#include "platform/fileops/TItemTransfer.h"
#include "platform/trash/TTrashMover.h"

namespace {

// Numbered names tried for a copy or link in its own folder.
constexpr int kMaxCopyNames = 10000;

QString Display(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString Quoted(const std::string& path)
{
    return QStringLiteral("„") + Display(path) + QStringLiteral("“");
}

QString Caption(TFileOperationKind kind)
{
    switch (kind) {
    case TFileOperationKind::Copy: return QStringLiteral("Kopieren");
    case TFileOperationKind::Move: return QStringLiteral("Verschieben");
    case TFileOperationKind::Link: return QStringLiteral("Verknüpfen");
    case TFileOperationKind::Trash: return QStringLiteral("In den Papierkorb verschieben");
    case TFileOperationKind::Delete: return QStringLiteral("Löschen");
    case TFileOperationKind::Restore: return QStringLiteral("Wiederherstellen");
    }
    return {};
}

// "„a.txt“ konnte nicht kopiert werden." and its kin.
QString FailureText(TFileOperationKind kind, const std::string& path)
{
    const QString name = Quoted(BaseName(path));
    switch (kind) {
    case TFileOperationKind::Copy: return QStringLiteral("%1 konnte nicht kopiert werden.").arg(name);
    case TFileOperationKind::Move: return QStringLiteral("%1 konnte nicht verschoben werden.").arg(name);
    case TFileOperationKind::Link: return QStringLiteral("Für %1 konnte keine Verknüpfung erstellt werden.").arg(name);
    case TFileOperationKind::Trash:
        return QStringLiteral("%1 konnte nicht in den Papierkorb verschoben werden.").arg(name);
    case TFileOperationKind::Delete: return QStringLiteral("%1 konnte nicht gelöscht werden.").arg(name);
    case TFileOperationKind::Restore: return QStringLiteral("%1 konnte nicht wiederhergestellt werden.").arg(name);
    }
    return {};
}

bool SameObject(const std::string& first, const std::string& second)
{
    struct stat a
    {};
    struct stat b
    {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

std::string RealPath(const std::string& path)
{
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : AbsolutePath(path);
}

bool IsRealFolder(const std::string& path)
{
    struct stat status
    {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// "Kopie von a.txt", "Kopie (2) von a.txt" ... the first free one.
std::string FreeNumberedName(const std::string& folder, const std::string& name, const char* word, const char* joint)
{
    for (int number = 1; number <= kMaxCopyNames; ++number) {
        const std::string counted =
            number == 1 ? std::string(word) : std::string(word) + " (" + std::to_string(number) + ")";
        const std::string candidate = JoinPath(folder, counted + " " + joint + " " + name);
        if (!EntryExists(candidate))
            return candidate;
    }
    return {};
}

long DeleteEventOf(const std::string& path)
{
    return IsRealFolder(path) ? SHCNE_RMDIR : SHCNE_DELETE;
}

}  // namespace

TFileOperation::TFileOperation(const TFileOperationRequest& request)
    : request_(request)
    , owner_(request.Owner)
    , progress_(request.Owner, Caption(request.Kind))
    , conflicts_(request.Owner)
{
}

TFileOperationResult TFileOperation::Run()
{
    switch (request_.Kind) {
    case TFileOperationKind::Copy: RunTransfers(false); break;
    case TFileOperationKind::Move: RunTransfers(true); break;
    case TFileOperationKind::Link: RunLinks(); break;
    case TFileOperationKind::Trash: RunTrash(); break;
    case TFileOperationKind::Delete: RunDelete(); break;
    case TFileOperationKind::Restore: RunRestore(); break;
    }
    result_.Completed = !Stopped() && result_.Kept.empty();
    SetLastError(result_.Error);
    return result_;
}

void TFileOperation::Fail(int error, const std::string& path, const QString& message)
{
    if (error == ECANCELED) {
        Cancel();
        return;
    }
    Report(error, (message.isEmpty() ? FailureText(request_.Kind, path) : message) + QStringLiteral("\n\n") +
                      QString::fromLocal8Bit(GetSystemErrorText(error)));
}

void TFileOperation::Refuse(const QString& message)
{
    Report(EINVAL, message);
}

void TFileOperation::Report(int error, const QString& text)
{
    result_.Error = error;
    result_.Message = text;
    if (request_.Owner == nullptr)
        return;
    TMessageRequest box;
    box.Owner = owner_;
    box.Caption = QStringLiteral("Fehler");
    box.Icon = TMessageIcon::Error;
    box.Text = text;
    ShowMessageBox(box);
}

bool TFileOperation::Advance()
{
    if (progress_.Step(1))
        return true;
    Cancel();
    return false;
}

void TFileOperation::Cancel()
{
    result_.Cancelled = true;
    result_.Error = ECANCELED;
}

bool TFileOperation::CheckTargetFolder()
{
    targetFolder_ = AbsolutePath(request_.TargetFolder);
    struct stat status
    {};
    if (request_.TargetFolder.empty() || ::stat(targetFolder_.c_str(), &status) != 0) {
        Fail(request_.TargetFolder.empty() ? ENOENT : errno, targetFolder_,
             QStringLiteral("Der Zielordner %1 ist nicht vorhanden.").arg(Quoted(targetFolder_)));
        return false;
    }
    if (!S_ISDIR(status.st_mode)) {
        Fail(ENOTDIR, targetFolder_, QStringLiteral("Das Ziel %1 ist kein Ordner.").arg(Quoted(targetFolder_)));
        return false;
    }
    return true;
}

void TFileOperation::RunTransfers(bool move)
{
    if (!CheckTargetFolder())
        return;
    std::uint64_t total = 0;
    for (const std::string& source : request_.Sources) {
        const TTreeSize size = move ? TTreeSize{0, 1} : MeasureTree(source);
        total += size.Bytes + size.Entries;
    }
    progress_.SetTotal(total);
    for (const std::string& source : request_.Sources) {
        if (!TransferOne(AbsolutePath(source), move))
            return;
    }
}

bool TFileOperation::TransferOne(const std::string& source, bool move)
{
    if (!EntryExists(source)) {
        Fail(errno, source);
        return false;
    }
    const std::string folder = DirName(source);
    std::string target = JoinPath(targetFolder_, BaseName(source));
    if (SameObject(folder, targetFolder_)) {
        if (move) {
            result_.Created.push_back(source);
            return Advance();
        }
        target = FreeNumberedName(targetFolder_, BaseName(source), "Kopie", "von");
        if (target.empty()) {
            Fail(EEXIST, source);
            return false;
        }
    }
    // A folder cannot go into itself or a folder below it.
    if (IsRealFolder(source) && IsSameOrInside(RealPath(targetFolder_), RealPath(source))) {
        Fail(EINVAL, source,
             QStringLiteral("Der Zielordner %1 liegt im Quellordner %2.").arg(Quoted(targetFolder_), Quoted(source)));
        return false;
    }
    TItemTransfer transfer(progress_, conflicts_);
    switch (transfer.Transfer(source, target, move)) {
    case TTransferOutcome::Done: result_.Created.push_back(target); return true;
    case TTransferOutcome::Skipped: return true;
    case TTransferOutcome::Stopped: break;
    }
    if (!transfer.Message().isEmpty())
        Refuse(transfer.Message());
    else
        Fail(transfer.Error(), transfer.FailedPath().empty() ? source : transfer.FailedPath());
    return false;
}

void TFileOperation::RunLinks()
{
    if (!CheckTargetFolder())
        return;
    progress_.SetTotal(request_.Sources.size());
    for (const std::string& source : request_.Sources) {
        if (!LinkOne(AbsolutePath(source)))
            return;
    }
}

bool TFileOperation::LinkOne(const std::string& source)
{
    if (!EntryExists(source)) {
        Fail(errno, source);
        return false;
    }
    std::string target = JoinPath(targetFolder_, BaseName(source));
    if (SameObject(DirName(source), targetFolder_))
        target = FreeNumberedName(targetFolder_, BaseName(source), "Verknüpfung", "mit");
    struct stat existing
    {};
    const bool exists = !target.empty() && ::lstat(target.c_str(), &existing) == 0;
    if (exists) {
        if (const std::optional<QString> refusal = TItemTransfer::ReplaceRefusal(source, target)) {
            Refuse(*refusal);
            return false;
        }
        const TConflictChoice choice = conflicts_.Ask(source, target);
        if (choice == TConflictChoice::Cancel) {
            Cancel();
            return false;
        }
        if (choice == TConflictChoice::Skip)
            return true;
    }
    // Made under a temporary name and renamed, so an existing item is replaced in one step.
    TTemporaryItem temporary(target.empty() ? std::string() : TemporarySiblingName(target));
    if (target.empty() || ::symlink(source.c_str(), temporary.Path().c_str()) != 0) {
        Fail(target.empty() ? EEXIST : errno, source);
        return false;
    }
    if (const int error =
            exists ? RenameReplacing(temporary.Path(), target) : RenameNoReplace(temporary.Path(), target)) {
        Fail(error, source);
        return false;
    }
    temporary.Commit();
    if (exists)
        SHChangeNotify(S_ISDIR(existing.st_mode) ? SHCNE_RMDIR : SHCNE_DELETE, target);
    SHChangeNotify(SHCNE_CREATE, target);
    result_.Created.push_back(target);
    return Advance();
}

bool TFileOperation::ConfirmRemoval(bool forGood)
{
    if (!request_.Confirm || request_.Sources.empty())
        return true;
    TMessageRequest box;
    box.Owner = owner_;
    box.Icon = TMessageIcon::Question;
    box.Caption = forGood ? QStringLiteral("Endgültig löschen") : QStringLiteral("In den Papierkorb verschieben");
    const QString what = request_.Sources.size() == 1
                             ? Quoted(BaseName(request_.Sources.front()))
                             : QStringLiteral("diese %1 Elemente").arg(request_.Sources.size());
    box.Text = forGood ? QStringLiteral("Möchten Sie %1 wirklich endgültig löschen?").arg(what)
                       : QStringLiteral("Möchten Sie %1 wirklich in den Papierkorb verschieben?").arg(what);
    box.Buttons = {QStringLiteral("Ja"), QStringLiteral("Nein")};
    box.DefaultButton = 0;
    box.EscapeButton = 1;
    if (ShowMessageBox(box).Button == 0)
        return true;
    Cancel();
    return false;
}

void TFileOperation::RunTrash()
{
    if (!ConfirmRemoval(false))
        return;
    progress_.SetTotal(request_.Sources.size());
    for (const std::string& source : request_.Sources) {
        if (!TrashOne(AbsolutePath(source)))
            return;
    }
}

bool TFileOperation::AskDeleteInstead(const std::string& source)
{
    if (deleteInsteadForAll_)
        return *deleteInsteadForAll_;
    TMessageRequest box;
    box.Owner = owner_;
    box.Icon = TMessageIcon::Warning;
    box.Caption = QStringLiteral("Papierkorb nicht verfügbar");
    box.Text = QStringLiteral("%1 kann nicht in den Papierkorb verschoben werden, weil sein Speicherort keinen "
                              "Papierkorb hat.\n\nMöchten Sie es stattdessen endgültig löschen?")
                   .arg(Quoted(BaseName(source)));
    box.Buttons = {QStringLiteral("Endgültig löschen"), QStringLiteral("Überspringen"), QStringLiteral("Abbrechen")};
    box.DefaultButton = 1;
    box.EscapeButton = 2;
    if (request_.Sources.size() > 1)
        box.CheckBoxText = QStringLiteral("Für alle weiteren Elemente übernehmen");
    const TMessageAnswer answer = ShowMessageBox(box);
    if (answer.Button != 0 && answer.Button != 1) {
        Cancel();
        return false;
    }
    const bool deleteIt = answer.Button == 0;
    if (answer.Checked)
        deleteInsteadForAll_ = deleteIt;
    return deleteIt;
}

bool TFileOperation::TrashOne(const std::string& source)
{
    if (!EntryExists(source)) {
        Fail(errno, source);
        return false;
    }
    progress_.SetCurrentItem(Display(source));
    int error = 0;
    const std::optional<TTrashDirectory> trash = TTrashMover::TrashFor(source, error);
    if (!trash) {
        if (!AskDeleteInstead(source)) {
            if (Stopped())
                return false;
            result_.Kept.push_back(source);
            return Advance();
        }
        return DeleteOne(source);
    }
    const long event = DeleteEventOf(source);
    std::string trashedPath;
    if ((error = TTrashMover::MoveToTrash(source, *trash, trashedPath)) != 0) {
        Fail(error, source);
        return false;
    }
    SHChangeNotify(event, source);
    SHChangeNotify(event == SHCNE_RMDIR ? SHCNE_MKDIR : SHCNE_CREATE, trashedPath);
    result_.Created.push_back(trashedPath);
    return Advance();
}

void TFileOperation::RunDelete()
{
    if (!ConfirmRemoval(true))
        return;
    progress_.SetTotal(request_.Sources.size());
    for (const std::string& source : request_.Sources) {
        if (!DeleteOne(AbsolutePath(source)))
            return;
    }
}

bool TFileOperation::DeleteOne(const std::string& source)
{
    progress_.SetCurrentItem(Display(source));
    if (!EntryExists(source)) {
        Fail(errno, source);
        return false;
    }
    const long event = DeleteEventOf(source);
    const std::optional<TTrashEntry> trashed = TTrashMover::EntryOf(source);
    const int error = RemoveTree(source);
    // Part of a folder may be gone even when the rest could not be deleted.
    if (error != 0 && EntryExists(source)) {
        Fail(error, source);
        return false;
    }
    SHChangeNotify(event, source);
    // A trashed item deleted for good takes its info file with it.
    if (trashed && !trashed->InfoFilePath.empty())
        ::unlink(trashed->InfoFilePath.c_str());
    return Advance();
}

bool TFileOperation::ConfirmRestoreOutsideVolume(const TTrashEntry& entry)
{
    // A volume's trash names places on its volume; an absolute path elsewhere
    // may come from whoever wrote the volume, so the user decides.
    if (entry.Trash.IsHomeTrash || entry.Trash.TopDir.empty() || IsSameOrInside(entry.OriginalPath, entry.Trash.TopDir))
        return true;
    TMessageRequest box;
    box.Owner = owner_;
    box.Icon = TMessageIcon::Warning;
    box.Caption = QStringLiteral("Wiederherstellen");
    box.Text = QStringLiteral("%1 liegt im Papierkorb des Datenträgers %2, soll aber nach %3 außerhalb davon "
                              "wiederhergestellt werden.\n\nMöchten Sie es trotzdem dort wiederherstellen?")
                   .arg(Quoted(entry.Name), Quoted(entry.Trash.TopDir), Quoted(entry.OriginalPath));
    box.Buttons = {QStringLiteral("Wiederherstellen"), QStringLiteral("Überspringen"), QStringLiteral("Abbrechen")};
    box.DefaultButton = 1;
    box.EscapeButton = 2;
    const int button = ShowMessageBox(box).Button;
    if (button != 0 && button != 1)
        Cancel();
    return button == 0;
}

void TFileOperation::RunRestore()
{
    progress_.SetTotal(request_.Sources.size());
    for (const std::string& source : request_.Sources) {
        if (!RestoreOne(AbsolutePath(source)))
            return;
    }
}

bool TFileOperation::RestoreOne(const std::string& trashedPath)
{
    progress_.SetCurrentItem(Display(trashedPath));
    const std::optional<TTrashEntry> entry = TTrashMover::EntryOf(trashedPath);
    if (!entry) {
        Fail(EntryExists(trashedPath) ? EINVAL : ENOENT, trashedPath,
             QStringLiteral("%1 liegt nicht im Papierkorb.").arg(Quoted(BaseName(trashedPath))));
        return false;
    }
    if (entry->OriginalPath.empty()) {
        Fail(ENOENT, trashedPath,
             QStringLiteral("Der ursprüngliche Ort von %1 ist unbekannt.").arg(Quoted(entry->Name)));
        return false;
    }
    if (!ConfirmRestoreOutsideVolume(*entry)) {
        if (Stopped())
            return false;
        result_.Kept.push_back(trashedPath);
        return Advance();
    }
    const std::string folder = DirName(entry->OriginalPath);
    const bool folderExisted = EntryExists(folder);
    if (const int error = MakeDirectories(folder)) {
        Fail(error, entry->OriginalPath);
        return false;
    }
    if (!folderExisted)
        SHChangeNotify(SHCNE_MKDIR, folder);
    TItemTransfer transfer(progress_, conflicts_);
    switch (transfer.Transfer(entry->TrashedPath, entry->OriginalPath, true)) {
    case TTransferOutcome::Done:
        if (!entry->InfoFilePath.empty())
            ::unlink(entry->InfoFilePath.c_str());
        result_.Created.push_back(entry->OriginalPath);
        return true;
    case TTransferOutcome::Skipped: return true;
    case TTransferOutcome::Stopped: break;
    }
    if (!transfer.Message().isEmpty())
        Refuse(transfer.Message());
    else
        Fail(transfer.Error(), transfer.FailedPath().empty() ? trashedPath : transfer.FailedPath());
    return false;
}
