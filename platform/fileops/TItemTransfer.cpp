#include "platform/fileops/TItemTransfer.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

#include <QFile>

#include "platform/core/files/FileTreeOps.h"
#include "platform/notify/ShellChangeNotify.h"
#include "platform/dialogs/TConflictPrompt.h"
#include "platform/fileops/TCopyJob.h"
#include "platform/dialogs/TOperationProgress.h"

namespace {

bool IsFolderMode(mode_t mode)
{
    return S_ISDIR(mode);
}

long CreateEvent(mode_t mode)
{
    return IsFolderMode(mode) ? SHCNE_MKDIR : SHCNE_CREATE;
}

long DeleteEvent(mode_t mode)
{
    return IsFolderMode(mode) ? SHCNE_RMDIR : SHCNE_DELETE;
}

long RenameEvent(mode_t mode)
{
    return IsFolderMode(mode) ? SHCNE_RENAMEFOLDER : SHCNE_RENAMEITEM;
}

struct TDirCloser
{
    void operator()(DIR* stream) const { ::closedir(stream); }
};

[[nodiscard]] int ListNames(const std::string& folder, std::vector<std::string>& names)
{
    std::unique_ptr<DIR, TDirCloser> stream(::opendir(folder.c_str()));
    if (!stream)
        return errno;
    errno = 0;
    while (const dirent* entry = ::readdir(stream.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    return errno;
}

QString Quoted(const std::string& path)
{
    return QStringLiteral("„") + QFile::decodeName(QByteArray::fromStdString(path)) + QStringLiteral("“");
}

}  // namespace

TTransferOutcome TItemTransfer::Stop(int error, const std::string& path)
{
    error_ = error;
    failedPath_ = path;
    return TTransferOutcome::Stopped;
}

TTransferOutcome TItemTransfer::Refuse(const std::string& path, const QString& message)
{
    message_ = message;
    return Stop(EINVAL, path);
}

std::optional<QString> TItemTransfer::ReplaceRefusal(const std::string& source, const std::string& target)
{
    switch (RelationOf(source, target)) {
    case TItemRelation::Distinct: return std::nullopt;
    case TItemRelation::SameFile:
        return QStringLiteral("%1 und %2 sind dieselbe Datei.").arg(Quoted(source), Quoted(target));
    case TItemRelation::TargetHoldsSource:
        return QStringLiteral("%1 kann nicht durch %2 ersetzt werden, weil es %2 enthält.")
            .arg(Quoted(target), Quoted(source));
    case TItemRelation::SourceHoldsTarget:
        return QStringLiteral("%1 kann nicht durch %2 ersetzt werden, weil %2 es enthält.")
            .arg(Quoted(target), Quoted(source));
    }
    return std::nullopt;
}

TTransferOutcome TItemTransfer::Transfer(const std::string& source, const std::string& target, bool move)
{
    struct stat from
    {};
    if (::lstat(source.c_str(), &from) != 0)
        return Stop(errno, source);
    struct stat to
    {};
    const bool exists = ::lstat(target.c_str(), &to) == 0;
    if (exists) {
        if (const std::optional<QString> refusal = ReplaceRefusal(source, target))
            return Refuse(target, *refusal);
        switch (conflicts_.Ask(source, target)) {
        case TConflictChoice::Cancel: progress_.Cancel(); return Stop(ECANCELED, target);
        case TConflictChoice::Skip:
            if (!progress_.Step(1))
                return Stop(ECANCELED, target);
            return TTransferOutcome::Skipped;
        case TConflictChoice::Replace: break;
        }
        if (IsFolderMode(from.st_mode) && IsFolderMode(to.st_mode))
            return Merge(source, target, move);
    }
    if (move) {
        bool crossesVolumes = false;
        const TTransferOutcome outcome = MoveByRename(source, target, exists, crossesVolumes);
        if (!crossesVolumes)
            return outcome;
    }
    return CopyInto(source, target, exists, move);
}

TTransferOutcome TItemTransfer::Merge(const std::string& source, const std::string& target, bool move)
{
    std::vector<std::string> names;
    if (const int error = ListNames(source, names))
        return Stop(error, source);
    bool skipped = false;
    for (const std::string& name : names) {
        const TTransferOutcome outcome = Transfer(JoinPath(source, name), JoinPath(target, name), move);
        if (outcome == TTransferOutcome::Stopped)
            return outcome;
        skipped = skipped || outcome == TTransferOutcome::Skipped;
    }
    // What was skipped stays in the source folder, so that goes only when empty.
    if (move && !skipped) {
        if (::rmdir(source.c_str()) != 0)
            return Stop(errno, source);
        SHChangeNotify(SHCNE_RMDIR, source);
    }
    return skipped ? TTransferOutcome::Skipped : TTransferOutcome::Done;
}

TTransferOutcome TItemTransfer::MoveByRename(const std::string& source, const std::string& target, bool replace,
                                             bool& crossesVolumes)
{
    struct stat from
    {};
    struct stat to
    {};
    if (::lstat(source.c_str(), &from) != 0)
        return Stop(errno, source);
    const bool replaced = replace && ::lstat(target.c_str(), &to) == 0;
    const int error = replaced ? RenameReplacing(source, target) : RenameNoReplace(source, target);
    if (error == EXDEV) {
        crossesVolumes = true;
        return TTransferOutcome::Done;
    }
    if (error != 0)
        return Stop(error, source);
    if (replaced)
        SHChangeNotify(DeleteEvent(to.st_mode), target);
    SHChangeNotify(RenameEvent(from.st_mode), source, target);
    return progress_.Step(1) ? TTransferOutcome::Done : Stop(ECANCELED, target);
}

TTransferOutcome TItemTransfer::CopyInto(const std::string& source, const std::string& target, bool replace, bool move)
{
    struct stat from
    {};
    if (::lstat(source.c_str(), &from) != 0)
        return Stop(errno, source);
    if (move)
        progress_.AddToTotal(MeasureTree(source).Bytes);
    TTemporaryItem temporary(TemporarySiblingName(target));
    TCopyJob job(progress_);
    job.SetForMove(move);
    if (const int error = job.Copy(source, temporary.Path())) {
        // The user knows the copy by its final name, not the temporary one.
        std::string failed = job.FailedPath();
        if (error == ECANCELED || failed.empty())
            failed = target;
        else if (IsSameOrInside(failed, temporary.Path()))
            failed = target + failed.substr(temporary.Path().size());
        return Stop(error, failed);
    }
    struct stat to
    {};
    const bool replaced = replace && ::lstat(target.c_str(), &to) == 0;
    if (const int error = Commit(temporary.Path(), target, replaced))
        return Stop(error, target);
    temporary.Commit();
    if (replaced)
        SHChangeNotify(DeleteEvent(to.st_mode), target);
    SHChangeNotify(CreateEvent(from.st_mode), target);
    if (move) {
        // Only once the copy stands on the disk under its name does the source
        // go, and of it only what was copied.
        if (const int error = FlushFolder(DirName(target)))
            return Stop(error, target);
        bool whole = false;
        const int error = job.RemoveCopiedSources(whole);
        if (whole)
            SHChangeNotify(DeleteEvent(from.st_mode), source);
        else
            SHChangeNotify(SHCNE_UPDATEDIR, IsFolderMode(from.st_mode) ? source : DirName(source));
        if (error != 0)
            return Stop(error, job.FailedPath().empty() ? source : job.FailedPath());
    }
    return TTransferOutcome::Done;
}

int TItemTransfer::Commit(const std::string& temporary, const std::string& target, bool replace)
{
    return replace ? RenameReplacing(temporary, target) : RenameNoReplace(temporary, target);
}
