#include "platform/trash/TTrashMover.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "platform/core/files/FileTreeOps.h"
#include "platform/core/text/PercentEncoding.h"
#include "platform/core/system/TFileHandle.h"
#include "platform/core/system/TMountTable.h"

namespace {

constexpr std::string_view kTrashInfoSuffix = ".trashinfo";
// Numbered names tried for one item before giving up.
constexpr int kMaxNameAttempts = 10000;
// NAME.trashinfo must fit a file name of 255 bytes.
constexpr std::size_t kMaxTrashNameBytes = 255 - kTrashInfoSuffix.size();

// The device of a path, or of its nearest existing ancestor (the home trash
// may not exist yet).
std::optional<dev_t> DeviceOfNearest(std::string path)
{
    for (;;) {
        struct stat status
        {};
        if (::stat(path.c_str(), &status) == 0)
            return status.st_dev;
        if (path == "/" || path.empty())
            return std::nullopt;
        path = DirName(path);
    }
}

// The path with its folder resolved through symbolic links, the last
// component kept (a link is trashed as itself).
std::string RealItemPath(const std::string& path)
{
    const std::string absolute = AbsolutePath(path);
    std::unique_ptr<char, decltype(&std::free)> folder(::realpath(DirName(absolute).c_str(), nullptr), &std::free);
    if (!folder)
        return absolute;
    return JoinPath(folder.get(), BaseName(absolute));
}

[[nodiscard]] int MakePrivateDirectory(const std::string& path)
{
    // chmod: whatever the umask, a trash folder is the user's alone.
    if (::mkdir(path.c_str(), 0700) == 0)
        return ::chmod(path.c_str(), 0700) == 0 ? 0 : errno;
    if (errno != EEXIST)
        return errno;
    struct stat status
    {};
    if (::lstat(path.c_str(), &status) != 0)
        return errno;
    return S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
}

[[nodiscard]] int PrepareTrash(const TTrashDirectory& trash)
{
    if (trash.IsHomeTrash) {
        if (const int error = MakeDirectories(DirName(trash.Path)))
            return error;
    }
    for (const std::string& path : {trash.Path, trash.FilesPath(), trash.InfoPath()}) {
        if (const int error = MakePrivateDirectory(path))
            return error;
    }
    return 0;
}

bool HasOption(const std::string& options, std::string_view wanted)
{
    std::string_view rest = options;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        if (rest.substr(0, comma) == wanted)
            return true;
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return false;
}

std::string LocalTimeText(std::time_t when)
{
    struct tm local
    {};
    ::localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

[[nodiscard]] int WriteAll(int fd, const std::string& text)
{
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return errno;
        written += static_cast<std::size_t>(count);
    }
    return 0;
}

// The name in files/ for the attempt-th try: the item's own, then with a
// number; cut short (at a character's start) where NAME.trashinfo would pass
// the file system's limit of a name, the number keeping cut names apart.
std::string TrashName(const std::string& name, int attempt)
{
    std::string number;
    if (attempt != 1)
        number.append(".").append(std::to_string(attempt));
    if (name.size() + number.size() <= kMaxTrashNameBytes)
        return name + number;
    const std::string mark = std::string("~").append(std::to_string(attempt));
    std::size_t keep = kMaxTrashNameBytes - mark.size();
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    return name.substr(0, keep) + mark;
}

}  // namespace

std::optional<TTrashDirectory> TTrashMover::TrashFor(const std::string& path, int& error)
{
    struct stat status
    {};
    if (::lstat(path.c_str(), &status) != 0) {
        error = errno;
        return std::nullopt;
    }
    const std::string itemPath = RealItemPath(path);
    TTrashDirectory trash = TTrash::HomeTrash();
    if (DeviceOfNearest(trash.Path) != status.st_dev) {
        const std::shared_ptr<const TMountTable> mounts = TMountTable::Current();
        const TMountEntry* mount = mounts->MountOf(itemPath);
        if (mount == nullptr || mount->IsSystemInternal || HasOption(mount->Options, "x-gvfs-notrash")) {
            error = EOPNOTSUPP;
            return std::nullopt;
        }
        trash = TTrash::VolumeTrash(mount->MountPoint);
        // The shared .Trash holds one folder per user.
        if (BaseName(DirName(trash.Path)) == ".Trash" && !EntryExists(trash.Path) &&
            MakePrivateDirectory(trash.Path) != 0) {
            error = errno;
            return std::nullopt;
        }
    }
    // Another user's trash, or one anyone may enter, is no place for the user's files.
    if (!TTrash::IsTrusted(trash) || (error = PrepareTrash(trash)) != 0 || !TTrash::IsTrusted(trash)) {
        if (error == 0)
            error = EACCES;
        return std::nullopt;
    }
    // A trash on another file system than the item cannot take it by rename.
    struct stat trashStatus
    {};
    if (::stat(trash.FilesPath().c_str(), &trashStatus) != 0 || trashStatus.st_dev != status.st_dev) {
        error = EXDEV;
        return std::nullopt;
    }
    return trash;
}

std::string TTrashMover::TrashInfoText(const std::string& originalPath, const TTrashDirectory& trash, std::time_t when)
{
    std::string key = originalPath;
    if (!trash.IsHomeTrash && !trash.TopDir.empty() && IsSameOrInside(originalPath, trash.TopDir)) {
        key = originalPath.substr(trash.TopDir.size());
        while (!key.empty() && key.front() == '/')
            key.erase(0, 1);
    }
    return "[Trash Info]\nPath=" + PercentEncodePath(key) + "\nDeletionDate=" + LocalTimeText(when) + "\n";
}

int TTrashMover::MoveToTrash(const std::string& path, const TTrashDirectory& trash, std::string& trashedPath)
{
    const std::string originalPath = RealItemPath(path);
    const std::string name = BaseName(originalPath);
    const std::string text = TrashInfoText(originalPath, trash, std::time(nullptr));
    for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
        const std::string trashName = TrashName(name, attempt);
        const std::string infoPath = JoinPath(trash.InfoPath(), trashName + std::string(kTrashInfoSuffix));
        TFileHandle info(::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!info.IsValid() && errno == EEXIST)
            continue;
        if (!info.IsValid())
            return errno;
        TTemporaryItem infoGuard(infoPath);
        int error = WriteAll(info.Get(), text);
        if (error == 0)
            error = info.Close();
        if (error != 0)
            return error;
        const std::string target = JoinPath(trash.FilesPath(), trashName);
        // Never replaces: an entry left without its info file may hold this name.
        if (const int renamed = RenameNoReplace(path, target)) {
            if (renamed == EEXIST || renamed == ENOTEMPTY)
                continue;
            return renamed;
        }
        infoGuard.Commit();
        trashedPath = target;
        return 0;
    }
    return EEXIST;
}

std::optional<TTrashEntry> TTrashMover::EntryOf(const std::string& trashedPath)
{
    const std::string absolute = AbsolutePath(trashedPath);
    const std::string filesPath = DirName(absolute);
    if (BaseName(filesPath) != "files")
        return std::nullopt;
    TTrashDirectory trash;
    trash.Path = DirName(filesPath);
    const std::string homeTrash = AbsolutePath(TTrash::HomeTrashPath());
    if (trash.Path == homeTrash) {
        trash.IsHomeTrash = true;
    } else if (BaseName(trash.Path).starts_with(".Trash-")) {
        trash.TopDir = DirName(trash.Path);
    } else if (BaseName(DirName(trash.Path)) == ".Trash") {
        trash.TopDir = DirName(DirName(trash.Path));
    } else {
        return std::nullopt;
    }
    struct stat status
    {};
    if (::lstat(absolute.c_str(), &status) != 0)
        return std::nullopt;
    TTrashEntry entry;
    entry.Name = BaseName(absolute);
    entry.TrashedPath = absolute;
    entry.Trash = trash;
    entry.IsDirectory = S_ISDIR(status.st_mode);
    entry.IsSymlink = S_ISLNK(status.st_mode);
    entry.Size = entry.IsDirectory ? 0 : static_cast<std::uint64_t>(status.st_size);
    const std::string infoPath = JoinPath(trash.InfoPath(), entry.Name + std::string(kTrashInfoSuffix));
    if (EntryExists(infoPath)) {
        entry.InfoFilePath = infoPath;
        if (const auto info = TTrash::ReadTrashInfo(infoPath, trash.TopDir)) {
            entry.OriginalPath = info->OriginalPath;
            entry.DeletionTime = info->DeletionTime;
        }
    }
    return entry;
}
