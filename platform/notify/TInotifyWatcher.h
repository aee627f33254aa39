#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>
#include <unordered_map>
#include <vector>

class QSocketNotifier;

// Watches folders through one inotify descriptor and reports their changes
// as shell events on paths (the SHCNE_ codes of platform/notify/ShellChangeNotify.h),
// on the thread that owns it (the UI thread):
// - created and deleted entries: SHCNE_CREATE / SHCNE_MKDIR, SHCNE_DELETE / SHCNE_RMDIR;
// - a move within the watched folders (the kernel's moved-from and moved-to
//   pair): SHCNE_RENAMEITEM / SHCNE_RENAMEFOLDER with the old and the new path;
//   a move out of them: a deletion, a move into them: a creation. A moved-from
//   whose partner has not arrived by the end of a read is a deletion, so no
//   event ever waits for one that may not come;
// - a file closed after writing: SHCNE_UPDATEITEM; changed attributes:
//   SHCNE_ATTRIBUTES;
// - a lost event queue: SHCNE_UPDATEDIR for every watched folder;
// - a watched folder deleted, or moved away where no watch sees it:
//   SHCNE_RMDIR for it (unless its parent's watch reported it already), and
//   its watch is dropped. A folder renamed between watched folders keeps its
//   watch, which follows the new path.
//
// Watches are shared: AddWatch hands out a lease, and the kernel watch ends
// with the last lease of its folder. At the system's watch limit (ENOSPC)
// AddWatch fails with ENOSPC, a warning is logged once per process, and no
// further watch is tried until one has been given back.
class TInotifyWatcher : public QObject
{
public:
    using TChangeHandler = std::function<void(long event, const std::string& path1, const std::string& path2)>;

    // Keeps a folder watched while it lives.
    class TWatchLease
    {
    public:
        TWatchLease(const TWatchLease&) = delete;
        TWatchLease& operator=(const TWatchLease&) = delete;
        ~TWatchLease();

    private:
        friend class TInotifyWatcher;
        TWatchLease(TInotifyWatcher* watcher, int descriptor, std::uint64_t serial);

        TInotifyWatcher* watcher_;
        int descriptor_;
        std::uint64_t serial_;
    };

    explicit TInotifyWatcher(QObject* parent = nullptr);
    ~TInotifyWatcher() override;

    bool IsValid() const { return fd_ >= 0; }
    void SetChangeHandler(TChangeHandler handler) { handler_ = std::move(handler); }

    // Null and errno set when the folder cannot be watched.
    std::unique_ptr<TWatchLease> AddWatch(const std::string& folderPath);

    int WatchCount() const { return static_cast<int>(watches_.size()); }
    bool IsWatched(const std::string& folderPath) const;
    // The path a watch currently stands for (after renames), "" if it ended.
    std::string WatchedPath(const TWatchLease& lease) const;

    // Reads and reports what the kernel has queued; the socket notifier calls
    // it, and callers may to process events synchronously.
    void ProcessPendingEvents();

private:
    struct TWatchEntry
    {
        std::string path;
        dev_t device = 0;
        ino_t inode = 0;
        int leases = 0;
        std::uint64_t serial = 0;
    };
    struct TRawEvent
    {
        int descriptor;
        std::uint32_t mask;
        std::uint32_t cookie;
        std::string name;
    };

    void Release(int descriptor, std::uint64_t serial);
    void RemoveEntry(int descriptor);
    [[nodiscard]] bool ReadEvents(std::vector<TRawEvent>& events);
    void HandleEvents(const std::vector<TRawEvent>& events);
    void HandleFolderEvent(const TRawEvent& event, const TWatchEntry& entry);
    void HandleMoveOut(const std::string& path, bool isFolder);
    void FolderRenamed(const std::string& oldPath, const std::string& newPath);
    void DropWatchesAtOrBelow(const std::string& path);
    std::string PathOf(const TRawEvent& event) const;
    bool IsParentWatched(const std::string& path) const;
    void Report(long event, const std::string& path1, const std::string& path2 = {});

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    TChangeHandler handler_;
    std::unordered_map<int, TWatchEntry> watches_;
    std::unordered_map<std::string, int> descriptorByPath_;
    std::uint64_t nextSerial_ = 1;
    bool limitReached_ = false;
};
