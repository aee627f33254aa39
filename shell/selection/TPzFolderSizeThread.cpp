#include "shell/selection/TPzFolderSizeThread.h"

#include <memory>
#include <set>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct TDirCloser
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};

using TFolderId = std::pair<dev_t, ino_t>;

} // namespace

TPzFolderSizeThread::TPzFolderSizeThread(std::string path, bool recurse, int sign)
    : path_(std::move(path)), recurse_(recurse), sign_(sign)
{
}

void TPzFolderSizeThread::Execute()
{
    struct stat info{};
    if (::stat(path_.c_str(), &info) != 0)
        return;
    if (S_ISDIR(info.st_mode)) {
        folderCount_ = 1;
        if (recurse_)
            Scan(path_);
        return;
    }
    totalSize_ = info.st_size;
    fileCount_ = 1;
}

void TPzFolderSizeThread::Scan(const std::string& top)
{
    // Folders waiting to be read, each opened through the folder holding it,
    // so that deep trees need neither recursion nor long path strings.
    std::vector<std::unique_ptr<DIR, TDirCloser>> stack;
    std::set<TFolderId> visited;
    const int topFd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (topFd < 0)
        return;
    struct stat topInfo{};
    ::fstat(topFd, &topInfo);
    visited.emplace(topInfo.st_dev, topInfo.st_ino);
    DIR* topDir = ::fdopendir(topFd);
    if (topDir == nullptr) {
        ::close(topFd);
        return;
    }
    stack.emplace_back(topDir);
    while (!stack.empty()) {
        DIR* dir = stack.back().get();
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            stack.pop_back();
            continue;
        }
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (CheckCancelled())
            return;
        struct stat info{};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (!S_ISDIR(info.st_mode)) {
            totalSize_ += info.st_size;
            ++fileCount_;
            continue;
        }
        ++folderCount_;
        if (!visited.emplace(info.st_dev, info.st_ino).second)
            continue;
        const int childFd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (childFd < 0)
            continue;
        if (DIR* child = ::fdopendir(childFd))
            stack.emplace_back(child);
        else
            ::close(childFd);
    }
}
