#include "platform/notify/TInotifyWatcher.h"

#include "platform/notify/ShellChangeNotify.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace {

constexpr std::uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE | IN_ATTRIB |
                                     IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// One read takes this much of the queue; more than a hundred events at once.
constexpr std::size_t kReadBufferSize = 64 * 1024;

std::string ParentOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (name.empty())
        return folder;
    return folder == "/" ? folder + name : folder + '/' + name;
}

bool IsAtOrBelow(const std::string& path, const std::string& folder)
{
    if (path.size() < folder.size() || path.compare(0, folder.size(), folder) != 0)
        return false;
    return path.size() == folder.size() || folder == "/" || path[folder.size()] == '/';
}

void WarnAboutWatchLimitOnce()
{
    static bool warned = false;
    if (warned)
        return;
    warned = true;
    qWarning("Das Limit der inotify-Überwachungen des Systems ist erreicht (fs.inotify.max_user_watches); "
             "weitere Ordner werden nicht mehr überwacht.");
}

}  // namespace

TInotifyWatcher::TWatchLease::TWatchLease(TInotifyWatcher* watcher, int descriptor, std::uint64_t serial)
    : watcher_(watcher)
    , descriptor_(descriptor)
    , serial_(serial)
{
}

TInotifyWatcher::TWatchLease::~TWatchLease()
{
    watcher_->Release(descriptor_, serial_);
}

TInotifyWatcher::TInotifyWatcher(QObject* parent)
    : QObject(parent)
{
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        qWarning("inotify_init1: %s", std::strerror(errno));
        return;
    }
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { ProcessPendingEvents(); });
}

TInotifyWatcher::~TInotifyWatcher()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::unique_ptr<TInotifyWatcher::TWatchLease> TInotifyWatcher::AddWatch(const std::string& folderPath)
{
    if (fd_ < 0) {
        errno = EBADF;
        return nullptr;
    }
    if (const auto known = descriptorByPath_.find(folderPath); known != descriptorByPath_.end()) {
        TWatchEntry& entry = watches_.at(known->second);
        ++entry.leases;
        return std::unique_ptr<TWatchLease>(new TWatchLease(this, known->second, entry.serial));
    }
    if (limitReached_) {
        errno = ENOSPC;
        return nullptr;
    }
    const int descriptor = ::inotify_add_watch(fd_, folderPath.c_str(), kWatchMask);
    if (descriptor < 0) {
        if (errno == ENOSPC) {
            limitReached_ = true;
            WarnAboutWatchLimitOnce();
            errno = ENOSPC;
        }
        return nullptr;
    }
    auto existing = watches_.find(descriptor);
    if (existing == watches_.end()) {
        // A new kernel watch; the same folder reached by another path shares the old one.
        TWatchEntry entry;
        entry.path = folderPath;
        entry.serial = nextSerial_++;
        struct stat info
        {};
        if (::stat(folderPath.c_str(), &info) == 0) {
            entry.device = info.st_dev;
            entry.inode = info.st_ino;
        }
        existing = watches_.emplace(descriptor, std::move(entry)).first;
        descriptorByPath_[folderPath] = descriptor;
    }
    ++existing->second.leases;
    return std::unique_ptr<TWatchLease>(new TWatchLease(this, descriptor, existing->second.serial));
}

void TInotifyWatcher::Release(int descriptor, std::uint64_t serial)
{
    const auto found = watches_.find(descriptor);
    if (found == watches_.end() || found->second.serial != serial)
        return;  // the watch ended already (folder deleted or moved away)
    if (--found->second.leases > 0)
        return;
    ::inotify_rm_watch(fd_, descriptor);
    RemoveEntry(descriptor);
}

void TInotifyWatcher::RemoveEntry(int descriptor)
{
    const auto found = watches_.find(descriptor);
    if (found == watches_.end())
        return;
    const auto byPath = descriptorByPath_.find(found->second.path);
    if (byPath != descriptorByPath_.end() && byPath->second == descriptor)
        descriptorByPath_.erase(byPath);
    watches_.erase(found);
    limitReached_ = false;  // a watch came back: the next folder may fit again
}

bool TInotifyWatcher::IsWatched(const std::string& folderPath) const
{
    return descriptorByPath_.count(folderPath) != 0;
}

std::string TInotifyWatcher::WatchedPath(const TWatchLease& lease) const
{
    const auto found = watches_.find(lease.descriptor_);
    if (found == watches_.end() || found->second.serial != lease.serial_)
        return {};
    return found->second.path;
}

bool TInotifyWatcher::ReadEvents(std::vector<TRawEvent>& events)
{
    alignas(inotify_event) char buffer[kReadBufferSize];
    bool readAny = false;
    for (;;) {
        const ssize_t length = ::read(fd_, buffer, sizeof buffer);
        if (length <= 0) {
            if (length < 0 && errno == EINTR)
                continue;
            return readAny;
        }
        readAny = true;
        for (ssize_t offset = 0; offset < length;) {
            const auto* raw = reinterpret_cast<const inotify_event*>(buffer + offset);
            TRawEvent event{raw->wd, raw->mask, raw->cookie, {}};
            if (raw->len > 0)
                event.name = std::string(raw->name, ::strnlen(raw->name, raw->len));
            events.push_back(std::move(event));
            offset += static_cast<ssize_t>(sizeof(inotify_event) + raw->len);
        }
    }
}

void TInotifyWatcher::ProcessPendingEvents()
{
    if (fd_ < 0)
        return;
    std::vector<TRawEvent> events;
    if (!ReadEvents(events))
        return;
    // The kernel queues a moved-to right after its moved-from; when a read
    // ended between the two, one more read picks up the partner.
    std::unordered_set<std::uint32_t> openMoves;
    for (const TRawEvent& event : events) {
        if (event.mask & IN_MOVED_FROM)
            openMoves.insert(event.cookie);
        else if (event.mask & IN_MOVED_TO)
            openMoves.erase(event.cookie);
    }
    // Nothing more to read leaves the open moves unpaired: they count as deletions and creations.
    if (!openMoves.empty())
        static_cast<void>(ReadEvents(events));
    HandleEvents(events);
}

std::string TInotifyWatcher::PathOf(const TRawEvent& event) const
{
    const auto found = watches_.find(event.descriptor);
    if (found == watches_.end())
        return {};
    return JoinPath(found->second.path, event.name);
}

bool TInotifyWatcher::IsParentWatched(const std::string& path) const
{
    return path != "/" && IsWatched(ParentOf(path));
}

void TInotifyWatcher::Report(long event, const std::string& path1, const std::string& path2)
{
    if (handler_)
        handler_(event, path1, path2);
}

void TInotifyWatcher::HandleEvents(const std::vector<TRawEvent>& events)
{
    std::unordered_map<std::uint32_t, std::size_t> moveTargetByCookie;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if ((events[i].mask & IN_MOVED_TO) && !moveTargetByCookie.count(events[i].cookie))
            moveTargetByCookie.emplace(events[i].cookie, i);
    }
    std::vector<bool> consumed(events.size(), false);

    for (std::size_t i = 0; i < events.size(); ++i) {
        if (consumed[i])
            continue;
        const TRawEvent& event = events[i];
        if (event.mask & IN_Q_OVERFLOW) {
            std::vector<std::string> folders;
            for (const auto& [descriptor, entry] : watches_)
                folders.push_back(entry.path);
            for (const std::string& folder : folders)
                Report(SHCNE_UPDATEDIR, folder);
            continue;
        }
        const auto found = watches_.find(event.descriptor);
        if (found == watches_.end())
            continue;  // a watch that ended; its last events no longer matter
        const bool isFolder = (event.mask & IN_ISDIR) != 0;
        const std::string path = JoinPath(found->second.path, event.name);

        if (event.mask & IN_MOVED_FROM) {
            const auto target = moveTargetByCookie.find(event.cookie);
            if (target != moveTargetByCookie.end() && target->second > i && !consumed[target->second]) {
                consumed[target->second] = true;
                const std::string newPath = PathOf(events[target->second]);
                if (!newPath.empty()) {
                    if (isFolder)
                        FolderRenamed(path, newPath);
                    Report(isFolder ? SHCNE_RENAMEFOLDER : SHCNE_RENAMEITEM, path, newPath);
                    continue;
                }
            }
            HandleMoveOut(path, isFolder);
        } else if (event.mask & IN_MOVED_TO) {
            Report(isFolder ? SHCNE_MKDIR : SHCNE_CREATE, path);
        } else if (event.mask & IN_CREATE) {
            Report(isFolder ? SHCNE_MKDIR : SHCNE_CREATE, path);
        } else if (event.mask & IN_DELETE) {
            Report(isFolder ? SHCNE_RMDIR : SHCNE_DELETE, path);
        } else if (event.mask & IN_CLOSE_WRITE) {
            Report(SHCNE_UPDATEITEM, path);
        } else if (event.mask & IN_ATTRIB) {
            Report(SHCNE_ATTRIBUTES, path);
        } else {
            HandleFolderEvent(event, found->second);
        }
    }
}

void TInotifyWatcher::HandleMoveOut(const std::string& path, bool isFolder)
{
    if (isFolder)
        DropWatchesAtOrBelow(path);
    Report(isFolder ? SHCNE_RMDIR : SHCNE_DELETE, path);
}

void TInotifyWatcher::HandleFolderEvent(const TRawEvent& event, const TWatchEntry& entry)
{
    const std::string path = entry.path;
    if (event.mask & IN_DELETE_SELF) {
        // The parent's watch, if any, reported the deletion already.
        if (!IsParentWatched(path))
            Report(SHCNE_RMDIR, path);
        RemoveEntry(event.descriptor);  // the kernel ends the watch itself (IN_IGNORED)
    } else if (event.mask & IN_MOVE_SELF) {
        struct stat info
        {};
        const bool followed =
            ::stat(path.c_str(), &info) == 0 && info.st_dev == entry.device && info.st_ino == entry.inode;
        if (followed)
            return;  // renamed between watched folders: the path was updated already
        if (!IsParentWatched(path))
            Report(SHCNE_RMDIR, path);
        DropWatchesAtOrBelow(path);
    } else if (event.mask & (IN_IGNORED | IN_UNMOUNT)) {
        RemoveEntry(event.descriptor);
    }
}

void TInotifyWatcher::FolderRenamed(const std::string& oldPath, const std::string& newPath)
{
    std::vector<std::pair<int, std::string>> moved;
    for (const auto& [descriptor, entry] : watches_) {
        if (IsAtOrBelow(entry.path, oldPath))
            moved.emplace_back(descriptor, newPath + entry.path.substr(oldPath.size()));
    }
    for (const auto& [descriptor, path] : moved) {
        TWatchEntry& entry = watches_.at(descriptor);
        const auto byPath = descriptorByPath_.find(entry.path);
        if (byPath != descriptorByPath_.end() && byPath->second == descriptor)
            descriptorByPath_.erase(byPath);
        entry.path = path;
    }
    for (const auto& [descriptor, path] : moved)
        descriptorByPath_[path] = descriptor;
}

void TInotifyWatcher::DropWatchesAtOrBelow(const std::string& path)
{
    std::vector<int> dropped;
    for (const auto& [descriptor, entry] : watches_) {
        if (IsAtOrBelow(entry.path, path))
            dropped.push_back(descriptor);
    }
    for (const int descriptor : dropped) {
        ::inotify_rm_watch(fd_, descriptor);
        RemoveEntry(descriptor);
    }
}
