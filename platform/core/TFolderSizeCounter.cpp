#include "platform/core/TFolderSizeCounter.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <unordered_set>

namespace {

// Entries counted between two publications of the totals: often enough that
// the numbers visibly grow, rarely enough that the lock costs nothing.
constexpr int kEntriesPerPublication = 256;

struct TDirCloser
{
    void operator()(DIR* directory) const { ::closedir(directory); }
};

using TDirPtr = std::unique_ptr<DIR, TDirCloser>;

// An inode: device and number.
struct TInodeKey
{
    dev_t device;
    ino_t inode;
    bool operator==(const TInodeKey&) const = default;
};

struct TInodeHash
{
    std::size_t operator()(const TInodeKey& key) const
    {
        return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(key.inode) * 1000003u ^ key.device);
    }
};

TDirPtr OpenDirectory(const std::string& path, bool followLink)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    if (fd < 0)
        return nullptr;
    DIR* directory = ::fdopendir(fd);
    if (!directory)
        ::close(fd);
    return TDirPtr(directory);
}

} // namespace

TFolderSizeCounter::TFolderSizeCounter(std::vector<std::string> folders)
    : folders_(std::move(folders)), thread_([this](std::stop_token stop) { Run(stop); })
{
}

TFolderSizeCounter::~TFolderSizeCounter() = default;

TFolderSizeCounter::TTotals TFolderSizeCounter::Totals() const
{
    const std::lock_guard lock(mutex_);
    return totals_;
}

void TFolderSizeCounter::Run(std::stop_token stop)
{
    std::unordered_set<TInodeKey, TInodeHash> visitedFolders;
    std::unordered_set<TInodeKey, TInodeHash> linkedFiles;
    TTotals pending;
    int sincePublication = 0;
    const auto publish = [&] {
        const std::lock_guard lock(mutex_);
        totals_.files += pending.files;
        totals_.folders += pending.folders;
        totals_.bytes += pending.bytes;
        pending = TTotals{};
        sincePublication = 0;
    };

    // Folders still to read, with whether the path may be a link to follow.
    std::vector<std::pair<std::string, bool>> queue;
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it)
        queue.emplace_back(*it, true);
    while (!queue.empty() && !stop.stop_requested()) {
        const auto [path, isRoot] = std::move(queue.back());
        queue.pop_back();
        const TDirPtr directory = OpenDirectory(path, isRoot);
        struct stat status;
        if (!directory || ::fstat(::dirfd(directory.get()), &status) != 0
            || !visitedFolders.insert(TInodeKey{status.st_dev, status.st_ino}).second)
            continue;
        while (const dirent* entry = ::readdir(directory.get())) {
            if (stop.stop_requested())
                break;
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            if (::fstatat(::dirfd(directory.get()), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
                continue;  // gone meanwhile
            if (S_ISDIR(status.st_mode)) {
                ++pending.folders;
                queue.emplace_back(path + (path.ends_with('/') ? "" : "/") + std::string(name), false);
            } else if (status.st_nlink <= 1 || linkedFiles.insert(TInodeKey{status.st_dev, status.st_ino}).second) {
                ++pending.files;
                if (S_ISREG(status.st_mode))
                    pending.bytes += static_cast<std::uint64_t>(status.st_size);
            }
            if (++sincePublication >= kEntriesPerPublication)
                publish();
        }
    }
    publish();
    const std::lock_guard lock(mutex_);
    totals_.done = !stop.stop_requested();
}
