#include "platform/core/files/TFolderSizeWalker.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <string_view>
#include <vector>

namespace {

// Entries counted between two progress reports: often enough that shown
// numbers visibly grow, rarely enough that reporting costs nothing.
constexpr int kEntriesPerProgress = 256;

constexpr int kOpenFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

struct TDirCloser
{
    void operator()(DIR* folder) const { ::closedir(folder); }
};

using TDirPtr = std::unique_ptr<DIR, TDirCloser>;

// The folder behind an open descriptor, which it takes over; null (and the
// descriptor closed) when that fails.
TDirPtr AdoptFolder(int fd)
{
    if (fd < 0)
        return nullptr;
    DIR* folder = ::fdopendir(fd);
    if (!folder)
        ::close(fd);
    return TDirPtr(folder);
}

}  // namespace

std::size_t TFolderSizeWalker::TInodeHash::operator()(const TInodeKey& key) const
{
    return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(key.inode) * 1000003u ^ key.device);
}

TFolderSizeWalker::TFolderSizeWalker(std::function<bool()> stopRequested, std::function<void(const TTotals&)> progress)
    : stopRequested_(std::move(stopRequested))
    , progress_(std::move(progress))
{
}

void TFolderSizeWalker::AddItem(const std::string& path, bool recurse)
{
    struct stat status;
    if (stopped_ || ::lstat(path.c_str(), &status) != 0)
        return;
    if (!S_ISDIR(status.st_mode)) {
        CountFile(status);
        return;
    }
    if (!FirstVisit(status, folders_))
        return;
    ++totals_.folders;
    if (recurse)
        Walk(::open(path.c_str(), kOpenFolderFlags), status.st_dev);
}

void TFolderSizeWalker::AddContents(const std::string& path)
{
    struct stat status;
    const int fd = ::open(path.c_str(), kOpenFolderFlags);
    if (fd < 0)
        return;
    if (stopped_ || ::fstat(fd, &status) != 0 || !FirstVisit(status, folders_)) {
        ::close(fd);
        return;
    }
    Walk(fd, status.st_dev);
}

void TFolderSizeWalker::Walk(int folderFd, dev_t device)
{
    // Folders being read, deepest last, each opened through the one holding
    // it: no recursion and no path strings, however deep the tree.
    std::vector<TDirPtr> open;
    if (TDirPtr top = AdoptFolder(folderFd))
        open.push_back(std::move(top));
    while (!open.empty()) {
        DIR* folder = open.back().get();
        const dirent* entry = ::readdir(folder);
        if (!entry) {
            open.pop_back();
            continue;
        }
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (stopRequested_ && stopRequested_()) {
            stopped_ = true;
            return;
        }
        struct stat status;
        if (::fstatat(::dirfd(folder), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 || status.st_dev != device)
            continue;  // gone meanwhile, or on another file system
        if (!S_ISDIR(status.st_mode)) {
            CountFile(status);
        } else if (FirstVisit(status, folders_)) {
            ++totals_.folders;
            Tick();
            if (TDirPtr child = AdoptFolder(::openat(::dirfd(folder), entry->d_name, kOpenFolderFlags)))
                open.push_back(std::move(child));
        }
    }
}

void TFolderSizeWalker::CountFile(const struct stat& status)
{
    if (status.st_nlink > 1 && !FirstVisit(status, linkedFiles_))
        return;
    ++totals_.files;
    totals_.bytes += static_cast<std::uint64_t>(status.st_size);
    Tick();
}

bool TFolderSizeWalker::FirstVisit(const struct stat& status, std::unordered_set<TInodeKey, TInodeHash>& seen)
{
    return seen.insert(TInodeKey{status.st_dev, status.st_ino}).second;
}

void TFolderSizeWalker::Tick()
{
    if (++sinceProgress_ < kEntriesPerProgress)
        return;
    sinceProgress_ = 0;
    if (progress_)
        progress_(totals_);
}
