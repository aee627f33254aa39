#include "platform/core/files/FileTreeOps.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/core/system/TFileHandle.h"

#include <QString>

namespace {

struct TDirCloser
{
    void operator()(DIR* stream) const { ::closedir(stream); }
};
using TDirPtr = std::unique_ptr<DIR, TDirCloser>;

// Deletes the entries of the directory open as `dirFd`, then nothing else;
// the caller removes the directory itself.
int RemoveContents(int dirFd)
{
    TDirPtr stream(::fdopendir(dirFd));
    if (!stream) {
        const int error = errno;
        ::close(dirFd);
        return error;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(stream.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    int firstError = 0;
    const int fd = ::dirfd(stream.get());
    for (const std::string& name : names) {
        if (::unlinkat(fd, name.c_str(), 0) == 0)
            continue;
        if (errno != EISDIR && errno != EPERM) {
            if (firstError == 0 && errno != ENOENT)
                firstError = errno;
            continue;
        }
        const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child < 0) {
            // EPERM without being a directory: an immutable file.
            if (firstError == 0)
                firstError = errno == ENOTDIR ? EPERM : errno;
            continue;
        }
        const int error = RemoveContents(child);
        if (firstError == 0 && error != 0)
            firstError = error;
        if (::unlinkat(fd, name.c_str(), AT_REMOVEDIR) != 0 && firstError == 0)
            firstError = errno;
    }
    return firstError;
}

void Measure(int parentFd, const char* name, TTreeSize& size)
{
    struct stat status
    {};
    if (::fstatat(parentFd, name, &status, AT_SYMLINK_NOFOLLOW) != 0)
        return;
    ++size.Entries;
    if (S_ISREG(status.st_mode))
        size.Bytes += static_cast<std::uint64_t>(status.st_size);
    if (!S_ISDIR(status.st_mode))
        return;
    const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    TDirPtr stream(::fdopendir(fd));
    if (!stream) {
        ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(stream.get())) {
        const std::string_view child = entry->d_name;
        if (child != "." && child != "..")
            Measure(::dirfd(stream.get()), entry->d_name, size);
    }
}

bool SameIdentity(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True when the folder `folder` (its lstat) is `path` or one of the folders
// above it, as the kernel resolves them.
bool IsAncestorOrSelf(const struct stat& folder, const std::string& path)
{
    struct stat status
    {};
    if (::lstat(path.c_str(), &status) == 0 && SameIdentity(status, folder))
        return true;
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(DirName(AbsolutePath(path)).c_str(), nullptr),
                                                     &std::free);
    if (!real)
        return false;
    // The resolved path holds no links, so its text names each real ancestor.
    std::string ancestor = real.get();
    for (;;) {
        if (::stat(ancestor.c_str(), &status) == 0 && SameIdentity(status, folder))
            return true;
        if (ancestor == "/")
            return false;
        ancestor = DirName(ancestor);
    }
}

// True when `to` is another spelling of `from` in the same folder: the two
// names differ only in case, both find an item that looks the same, and the
// folder holds no entry of exactly the new name (as on FAT). Inode numbers
// cannot tell: FUSE file systems give each spelling its own.
bool IsOtherSpelling(const std::string& from, const std::string& to)
{
    const std::string name = BaseName(to);
    const std::string oldName = BaseName(from);
    if (DirName(from) != DirName(to) || oldName == name ||
        QString::fromUtf8(oldName).compare(QString::fromUtf8(name), Qt::CaseInsensitive) != 0)
        return false;
    struct stat fromStatus
    {};
    struct stat toStatus
    {};
    if (::lstat(from.c_str(), &fromStatus) != 0 || ::lstat(to.c_str(), &toStatus) != 0 ||
        fromStatus.st_mode != toStatus.st_mode || fromStatus.st_size != toStatus.st_size ||
        fromStatus.st_mtim.tv_sec != toStatus.st_mtim.tv_sec || fromStatus.st_mtim.tv_nsec != toStatus.st_mtim.tv_nsec)
        return false;
    TDirPtr stream(::opendir(DirName(to).c_str()));
    if (!stream)
        return false;
    while (const dirent* entry = ::readdir(stream.get())) {
        if (name == entry->d_name)
            return false;  // an item of its own under exactly that name
    }
    return true;
}

}  // namespace

TItemRelation RelationOf(const std::string& source, const std::string& target)
{
    struct stat sourceEntry
    {};
    struct stat targetEntry
    {};
    if (::lstat(source.c_str(), &sourceEntry) != 0 || ::lstat(target.c_str(), &targetEntry) != 0)
        return TItemRelation::Distinct;
    if (SameIdentity(sourceEntry, targetEntry))
        return TItemRelation::SameFile;
    struct stat sourceFile
    {};
    struct stat targetFile
    {};
    if (!S_ISLNK(targetEntry.st_mode) && ::stat(source.c_str(), &sourceFile) == 0 &&
        ::stat(target.c_str(), &targetFile) == 0 && SameIdentity(sourceFile, targetFile))
        return TItemRelation::SameFile;
    if (S_ISDIR(targetEntry.st_mode) && IsAncestorOrSelf(targetEntry, source))
        return TItemRelation::TargetHoldsSource;
    if (S_ISDIR(sourceEntry.st_mode) && IsAncestorOrSelf(sourceEntry, target))
        return TItemRelation::SourceHoldsTarget;
    return TItemRelation::Distinct;
}

std::string BaseName(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos || path == "/")
        return std::string(path);
    return std::string(path.substr(slash + 1));
}

std::string DirName(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return ".";
    if (slash == 0)
        return "/";
    return std::string(path.substr(0, slash));
}

std::string AbsolutePath(std::string_view path)
{
    std::string full;
    if (path.empty() || path.front() != '/') {
        char buffer[PATH_MAX];
        if (::getcwd(buffer, sizeof buffer) != nullptr)
            full = buffer;
        full.push_back('/');
    }
    full.append(path);
    std::vector<std::string_view> parts;
    std::string_view rest = full;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string result;
    for (const std::string_view part : parts) {
        result.push_back('/');
        result.append(part);
    }
    return result.empty() ? "/" : result;
}

bool IsSameOrInside(std::string_view path, std::string_view folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.remove_suffix(1);
    if (path.size() < folder.size() || path.compare(0, folder.size(), folder) != 0)
        return false;
    return path.size() == folder.size() || folder == "/" || path[folder.size()] == '/';
}

bool EntryExists(const std::string& path)
{
    struct stat status
    {};
    return ::lstat(path.c_str(), &status) == 0;
}

int RemoveTree(const std::string& path)
{
    if (::unlink(path.c_str()) == 0)
        return 0;
    if (errno != EISDIR && errno != EPERM)
        return errno;
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOTDIR ? EPERM : errno;
    const int error = RemoveContents(fd);
    if (::rmdir(path.c_str()) != 0)
        return error != 0 ? error : errno;
    return error;
}

int FlushFolder(const std::string& path)
{
    const TFileHandle folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.IsValid())
        return errno;
    if (::fsync(folder.Get()) == 0)
        return 0;
    // Some FUSE and network file systems flush no folders; nothing more can be done there.
    return errno == EINVAL || errno == ENOTSUP || errno == ENOSYS ? 0 : errno;
}

int MakeDirectories(const std::string& path)
{
    if (::mkdir(path.c_str(), 0777) == 0)
        return 0;
    if (errno == EEXIST) {
        struct stat status
        {};
        return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
    }
    if (errno != ENOENT)
        return errno;
    const std::string parent = DirName(path);
    if (parent == path)
        return ENOENT;
    if (const int error = MakeDirectories(parent))
        return error;
    if (::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST)
        return 0;
    return errno;
}

TTreeSize MeasureTree(const std::string& path)
{
    TTreeSize size;
    Measure(AT_FDCWD, path.c_str(), size);
    return size;
}

std::string TemporarySiblingName(const std::string& path)
{
    static std::atomic<unsigned> counter{0};
    const std::string folder = DirName(path);
    // Short enough that a name at the length limit still gets a temporary name.
    std::string stem = BaseName(path).substr(0, 180);
    for (;;) {
        const std::string candidate = JoinPath(folder, "." + stem + ".pz" + std::to_string(::getpid()) + "-" +
                                                           std::to_string(counter.fetch_add(1)) + ".part");
        if (!EntryExists(candidate))
            return candidate;
    }
}

TTemporaryItem::~TTemporaryItem()
{
    // What cannot be deleted is left under its hidden name; nothing more can be done here.
    if (!path_.empty())
        static_cast<void>(RemoveTree(path_));
}

namespace {

// One rename without replacing, with the fallbacks where the flag is missing.
int RenameNoReplaceOnce(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems that know no rename flags (some FUSE ones): a second name
    // made by link() cannot replace anything, so a file moves by link and
    // unlink; a folder, which has no second names, by a checked plain rename.
    struct stat status
    {};
    if (::lstat(from.c_str(), &status) != 0)
        return errno;
    if (!S_ISDIR(status.st_mode)) {
        if (::link(from.c_str(), to.c_str()) == 0) {
            if (::unlink(from.c_str()) == 0)
                return 0;
            const int error = errno;
            static_cast<void>(::unlink(to.c_str()));
            return error;
        }
        if (errno != EPERM && errno != ENOSYS && errno != EOPNOTSUPP && errno != EMLINK)
            return errno;
    }
    if (EntryExists(to))
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

int RenameNoReplace(const std::string& from, const std::string& to)
{
    const int error = RenameNoReplaceOnce(from, to);
    if (error != EEXIST || !IsOtherSpelling(from, to))
        return error;
    // A case-insensitive file system finds `from` under the new spelling:
    // the rename goes by a temporary name.
    const std::string temporary = TemporarySiblingName(from);
    if (const int aside = RenameNoReplaceOnce(from, temporary))
        return aside;
    if (const int renamed = RenameNoReplaceOnce(temporary, to)) {
        if (RenameNoReplaceOnce(temporary, from) != 0)
            return EIO;  // the item stays under its temporary name
        return renamed;
    }
    return 0;
}

int RenameReplacing(const std::string& from, const std::string& to)
{
    struct stat fromStatus
    {};
    struct stat toStatus
    {};
    if (::lstat(from.c_str(), &fromStatus) != 0)
        return errno;
    if (::lstat(to.c_str(), &toStatus) != 0)
        return RenameNoReplace(from, to);
    if (RelationOf(from, to) != TItemRelation::Distinct)
        return EINVAL;
    if (!S_ISDIR(fromStatus.st_mode) && !S_ISDIR(toStatus.st_mode))
        return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) == 0)
        return RemoveTree(from);
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // No exchange here: the old item steps aside and goes only once the new
    // one has taken its place.
    const std::string aside = TemporarySiblingName(to);
    if (const int error = RenameNoReplace(to, aside))
        return error;
    if (const int error = RenameNoReplace(from, to)) {
        if (RenameNoReplace(aside, to) != 0)
            return EIO;  // the old item stays under its temporary name
        return error;
    }
    return RemoveTree(aside);
}
