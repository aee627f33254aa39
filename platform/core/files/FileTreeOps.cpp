#include "platform/core/files/FileTreeOps.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <memory>
#include <vector>

#include "platform/core/system/TFileHandle.h"

namespace {

struct TDirCloser
{
    void operator()(DIR* stream) const { ::closedir(stream); }
};
using TDirPtr = std::unique_ptr<DIR, TDirCloser>;

// Deletes the entries of the directory open as `dirFd`, then nothing else;
// the caller removes the directory itself.
[[nodiscard]] int RemoveContents(int dirFd)
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

}  // namespace

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
    if (!path_.empty())
        static_cast<void>(RemoveTree(path_));  // a destructor has no one to tell
}

int RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    // File systems that know no rename flags get a checked plain rename.
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (EntryExists(to))
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
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
    if (!S_ISDIR(fromStatus.st_mode) && !S_ISDIR(toStatus.st_mode))
        return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    // The new item is in place after the exchange; an old one that cannot be
    // deleted is still a failure to tell, or it would stay at `from` unseen.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) == 0)
        return RemoveTree(from);
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // Without the exchange: the new item is complete, the old one goes first.
    if (const int error = RemoveTree(to))
        return error;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}
