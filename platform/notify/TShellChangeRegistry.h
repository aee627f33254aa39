#pragma once

#include "platform/namespace/NamespacePaths.h"
#include "platform/notify/ShellChangeNotify.h"
#include "platform/notify/TInotifyWatcher.h"
#include "platform/core/ids/TItemIdList.h"
#include "platform/notify/TMountWatcher.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

// The registrations of SHChangeNotifyRegister and the delivery of changes to
// them (see platform/notify/ShellChangeNotify.h for the rules). Lives on the UI
// thread as a child of the application object; every event source feeds it
// there.
class TShellChangeRegistry : public QObject
{
public:
    explicit TShellChangeRegistry(QObject* parent = nullptr);
    ~TShellChangeRegistry() override;

    // The process-wide registry, made on first use; call on the UI thread.
    static TShellChangeRegistry& Process();
    // The process-wide registry if it exists (no one registered otherwise).
    static TShellChangeRegistry* ProcessIfExists();

    // In place of registration `previous` (0 for none), whose watches the new one takes where it covers them.
    unsigned long Register(QObject* receiver, int sources, long eventMask, TShellChangeHandler handler,
                           std::span<const SHChangeNotifyEntry> entries, unsigned long previous = 0);
    bool Deregister(unsigned long registrationId);

    // A change the program made itself (shell level); delivered at once.
    void NotifyPaths(long event, const std::string& path1, const std::string& path2);
    void NotifyItems(long event, const TItemIdList* item1, const TItemIdList* item2);

    // Adds the folder to the recursive registrations above it.
    void FolderEnumerated(const std::string& folderPath);

    // Live inotify watches a registration holds (0 for an unknown id).
    int WatchCount(unsigned long registrationId) const;
    TInotifyWatcher& Watcher() { return *watcher_; }
    TMountWatcher& MountWatcher() { return *mountWatcher_; }

private:
    struct TRegisteredFolder
    {
        TItemIdListPtr pidl;
        TFolderKind kind = TFolderKind::Directory;
        std::string watchPath;  // the folder whose entries are its items; "" for none
        bool recursive = false;
        // Watched folders by the path they were added for.
        std::unordered_map<std::string, std::unique_ptr<TInotifyWatcher::TWatchLease>> watches;
    };
    struct TRegistration
    {
        QPointer<QObject> receiver;
        bool hasReceiver = false;
        QMetaObject::Connection receiverConnection;
        TShellChangeHandler handler;
        int sources = 0;
        long events = 0;
        std::vector<TRegisteredFolder> folders;
    };
    // One change from any source; the item lists are made when a
    // registration wants them.
    struct TChange
    {
        long event = 0;
        bool interruptLevel = false;
        std::string path1;
        std::string path2;
        const TItemIdList* item1 = nullptr;
        const TItemIdList* item2 = nullptr;
        const TMountEntry* volume = nullptr;
    };

    // Moves the leases of `from` to the folders of `to` that cover their paths.
    void TakeWatches(TRegistration& to, TRegistration& from);
    [[nodiscard]] bool AddWatch(TRegistration& registration, TRegisteredFolder& folder, const std::string& path);
    int LiveWatchCount(const TRegistration& registration) const;
    void PruneEndedWatches(TRegistration& registration);
    void Deliver(const TChange& change);
    // Whether a folder's path lies in the part of the namespace a registered folder covers.
    bool IsInTree(const TRegisteredFolder& folder, const std::string& path) const;
    bool Concerns(const TRegisteredFolder& folder, const TChange& change) const;
    bool ConcernsItems(const TRegisteredFolder& folder, const TChange& change) const;

    std::unique_ptr<TInotifyWatcher> watcher_;
    std::unique_ptr<TMountWatcher> mountWatcher_;
    std::map<unsigned long, std::unique_ptr<TRegistration>> registrations_;
    unsigned long nextId_ = 1;
};
