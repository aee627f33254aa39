#include "platform/notify/TShellChangeRegistry.h"

#include "platform/notify/ChangeItemLists.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/trash/TTrash.h"

#include <QCoreApplication>
#include <QThread>

#include <sys/stat.h>

namespace {

QPointer<TShellChangeRegistry> processRegistry;

std::string ParentOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool IsAtOrBelow(const std::string& path, const std::string& folder)
{
    if (path.size() < folder.size() || path.compare(0, folder.size(), folder) != 0)
        return false;
    return path.size() == folder.size() || folder == "/" || path[folder.size()] == '/';
}

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool IsFolderEvent(long event)
{
    return (event & (SHCNE_MKDIR | SHCNE_RMDIR | SHCNE_RENAMEFOLDER | SHCNE_UPDATEDIR)) != 0;
}

// Events about a folder itself rather than about an entry of it.
bool IsSelfEvent(long event)
{
    return (event & (SHCNE_RMDIR | SHCNE_RENAMEFOLDER | SHCNE_UPDATEDIR | SHCNE_ATTRIBUTES | SHCNE_UPDATEITEM)) != 0;
}

// Folders whose items are the entries of a directory.
bool IsPathFolder(TFolderKind kind)
{
    return kind == TFolderKind::Desktop || kind == TFolderKind::Home || kind == TFolderKind::Volume ||
           kind == TFolderKind::Directory;
}

bool IsDirectory(const std::string& path)
{
    struct stat info
    {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Whether `list` lies below `folder` (strictly) in the namespace.
bool IsIDListBelow(const TItemIdList* list, const TItemIdList* folder)
{
    const std::size_t folderBytes = IDListSize(folder) - 2;
    if (IDListSize(list) <= folderBytes + 2 || IDListCount(list) <= IDListCount(folder))
        return false;
    return std::equal(IDListBytes(folder), IDListBytes(folder) + folderBytes, IDListBytes(list));
}

bool IsIDListChildOf(const TItemIdList* list, const TItemIdList* folder)
{
    return IsIDListBelow(list, folder) && IDListCount(list) == IDListCount(folder) + 1;
}

}  // namespace

TShellChangeRegistry::TShellChangeRegistry(QObject* parent)
    : QObject(parent)
    , watcher_(std::make_unique<TInotifyWatcher>())
    , mountWatcher_(std::make_unique<TMountWatcher>())
{
    watcher_->SetChangeHandler([this](long event, const std::string& path1, const std::string& path2) {
        TChange change;
        change.event = event;
        change.interruptLevel = true;
        change.path1 = path1;
        change.path2 = path2;
        Deliver(change);
    });
    mountWatcher_->SetDriveHandler([this](long event, const TMountEntry& volume) {
        TChange change;
        change.event = event;
        change.interruptLevel = true;
        change.volume = &volume;
        change.path1 = volume.MountPoint;
        Deliver(change);
    });
}

TShellChangeRegistry::~TShellChangeRegistry()
{
    if (processRegistry == this) {
        SetFolderEnumeratedHook({});
        SetItemRenamedHook({});
    }
    for (auto& [id, registration] : registrations_)
        QObject::disconnect(registration->receiverConnection);
    registrations_.clear();
}

TShellChangeRegistry& TShellChangeRegistry::Process()
{
    if (!processRegistry) {
        processRegistry = new TShellChangeRegistry(QCoreApplication::instance());
        // Enumeration may run on worker threads: the registry takes folders on its own thread.
        SetFolderEnumeratedHook([](const std::string& folderPath) {
            TShellChangeRegistry* registry = processRegistry.data();
            if (!registry)
                return;
            if (QThread::currentThread() == registry->thread())
                registry->FolderEnumerated(folderPath);
            else
                QMetaObject::invokeMethod(
                    registry, [registry, folderPath] { registry->FolderEnumerated(folderPath); }, Qt::QueuedConnection);
        });
        // A rename through a folder is reported as the file operations report theirs.
        SetItemRenamedHook([](const std::string& from, const std::string& to, bool folder) {
            SHChangeNotify(folder ? SHCNE_RENAMEFOLDER : SHCNE_RENAMEITEM, from, to);
        });
    }
    return *processRegistry;
}

TShellChangeRegistry* TShellChangeRegistry::ProcessIfExists()
{
    return processRegistry.data();
}

unsigned long TShellChangeRegistry::Register(QObject* receiver, int sources, long eventMask,
                                             TShellChangeHandler handler, std::span<const SHChangeNotifyEntry> entries,
                                             unsigned long previous)
{
    // Ended only after the new registration holds its watches: a folder both watch is never let go.
    std::unique_ptr<TRegistration> replaced;
    if (const auto found = registrations_.find(previous); found != registrations_.end()) {
        QObject::disconnect(found->second->receiverConnection);
        replaced = std::move(found->second);
        registrations_.erase(found);
    }
    if (!handler)
        return 0;
    auto registration = std::make_unique<TRegistration>();
    registration->receiver = receiver;
    registration->hasReceiver = receiver != nullptr;
    registration->handler = std::move(handler);
    registration->sources = sources;
    registration->events = eventMask;

    for (const SHChangeNotifyEntry& entry : entries) {
        TResolvedList resolved;
        if (!entry.pidl || !ResolveIDList(entry.pidl, resolved) || !resolved.isFolder)
            continue;
        TRegisteredFolder folder;
        folder.pidl = CloneIDList(entry.pidl);
        folder.kind = resolved.kind;
        folder.recursive = entry.fRecursive;
        folder.watchPath = resolved.kind == TFolderKind::Trash ? TTrash::HomeTrash().FilesPath() : resolved.path;
        while (folder.watchPath.size() > 1 && folder.watchPath.back() == '/')
            folder.watchPath.pop_back();
        registration->folders.push_back(std::move(folder));
    }
    if (registration->folders.empty())
        return 0;

    if (sources & SHCNRF_InterruptLevel) {
        if (replaced)
            TakeWatches(*registration, *replaced);
        for (TRegisteredFolder& folder : registration->folders) {
            if (!folder.watchPath.empty() && !folder.watches.contains(folder.watchPath) &&
                IsDirectory(folder.watchPath))
                static_cast<void>(AddWatch(*registration, folder, folder.watchPath));  // beyond the cap: unwatched
        }
    }
    const unsigned long id = nextId_++;
    if (receiver)
        registration->receiverConnection = connect(receiver, &QObject::destroyed, this, [this, id] { Deregister(id); });
    registrations_.emplace(id, std::move(registration));
    return id;
}

bool TShellChangeRegistry::Deregister(unsigned long registrationId)
{
    const auto found = registrations_.find(registrationId);
    if (found == registrations_.end())
        return false;
    QObject::disconnect(found->second->receiverConnection);
    registrations_.erase(found);  // its watch leases end with it
    return true;
}

void TShellChangeRegistry::TakeWatches(TRegistration& to, TRegistration& from)
{
    for (TRegisteredFolder& old : from.folders) {
        for (auto& [path, lease] : old.watches) {
            // Ended watches (the folder went) are left behind; a folder's watch is taken once.
            if (watcher_->WatchedPath(*lease) != path || LiveWatchCount(to) >= kMaxWatchesPerRegistration)
                continue;
            for (TRegisteredFolder& folder : to.folders) {
                const bool covers = path == folder.watchPath || (folder.recursive && IsInTree(folder, path));
                if (covers && !folder.watches.contains(path)) {
                    folder.watches[path] = std::move(lease);
                    break;
                }
            }
        }
    }
}

bool TShellChangeRegistry::AddWatch(TRegistration& registration, TRegisteredFolder& folder, const std::string& path)
{
    if (LiveWatchCount(registration) >= kMaxWatchesPerRegistration) {
        PruneEndedWatches(registration);
        if (LiveWatchCount(registration) >= kMaxWatchesPerRegistration)
            return false;
    }
    auto lease = watcher_->AddWatch(path);
    if (!lease)
        return false;
    folder.watches[path] = std::move(lease);
    return true;
}

int TShellChangeRegistry::LiveWatchCount(const TRegistration& registration) const
{
    std::size_t count = 0;
    for (const TRegisteredFolder& folder : registration.folders)
        count += folder.watches.size();
    return static_cast<int>(count);
}

void TShellChangeRegistry::PruneEndedWatches(TRegistration& registration)
{
    for (TRegisteredFolder& folder : registration.folders) {
        std::erase_if(folder.watches,
                      [this](const auto& watch) { return watcher_->WatchedPath(*watch.second) != watch.first; });
    }
}

int TShellChangeRegistry::WatchCount(unsigned long registrationId) const
{
    const auto found = registrations_.find(registrationId);
    if (found == registrations_.end())
        return 0;
    int count = 0;
    for (const TRegisteredFolder& folder : found->second->folders) {
        for (const auto& [path, lease] : folder.watches)
            count += watcher_->WatchedPath(*lease) == path ? 1 : 0;
    }
    return count;
}

void TShellChangeRegistry::FolderEnumerated(const std::string& folderPath)
{
    for (auto& [id, registration] : registrations_) {
        if (!(registration->sources & SHCNRF_InterruptLevel))
            continue;
        for (TRegisteredFolder& folder : registration->folders) {
            if (!folder.recursive || !IsInTree(folder, folderPath))
                continue;
            const auto known = folder.watches.find(folderPath);
            if (known != folder.watches.end()) {
                if (watcher_->WatchedPath(*known->second) == folderPath)
                    continue;
                folder.watches.erase(known);  // the folder was deleted or moved since
            }
            static_cast<void>(AddWatch(*registration, folder, folderPath));  // beyond the cap: unwatched
        }
    }
}

bool TShellChangeRegistry::IsInTree(const TRegisteredFolder& folder, const std::string& path) const
{
    if (!folder.watchPath.empty() && IsAtOrBelow(path, folder.watchPath))
        return true;
    if (!folder.recursive)
        return false;
    switch (folder.kind) {
    case TFolderKind::Desktop:
    case TFolderKind::Computer: return true;  // every path lies on some volume of the computer
    case TFolderKind::Network:
        for (const TMountEntry& mount : mountWatcher_->Table().NetworkMounts()) {
            if (IsAtOrBelow(path, mount.MountPoint))
                return true;
        }
        return false;
    default: return false;
    }
}

void TShellChangeRegistry::NotifyPaths(long event, const std::string& path1, const std::string& path2)
{
    TChange change;
    change.event = event;
    change.path1 = WithoutTrailingSlash(path1);
    change.path2 = WithoutTrailingSlash(path2);
    Deliver(change);
}

void TShellChangeRegistry::NotifyItems(long event, const TItemIdList* item1, const TItemIdList* item2)
{
    TChange change;
    change.event = event;
    change.item1 = item1;
    change.item2 = item2;
    change.path1 = WithoutTrailingSlash(SHGetPathFromIDList(item1));
    change.path2 = WithoutTrailingSlash(SHGetPathFromIDList(item2));
    Deliver(change);
}

bool TShellChangeRegistry::Concerns(const TRegisteredFolder& folder, const TChange& change) const
{
    if (change.volume) {
        switch (folder.kind) {
        case TFolderKind::Desktop:
        case TFolderKind::Computer: return true;
        case TFolderKind::Network: return change.volume->IsNetwork;
        default: break;
        }
    }
    if (change.item1 && (folder.kind == TFolderKind::Computer || folder.kind == TFolderKind::Network))
        return ConcernsItems(folder, change);
    if (change.path1.empty() && change.path2.empty())
        return ConcernsItems(folder, change);
    const auto concernsPath = [&](const std::string& path) {
        if (path.empty())
            return false;
        if (path == folder.watchPath)
            return IsSelfEvent(change.event);
        const std::string parent = ParentOf(path);
        if (!folder.watchPath.empty() && parent == folder.watchPath)
            return true;
        return folder.recursive && IsInTree(folder, parent);
    };
    return concernsPath(change.path1) || concernsPath(change.path2);
}

bool TShellChangeRegistry::ConcernsItems(const TRegisteredFolder& folder, const TChange& change) const
{
    const auto concernsItem = [&](const TItemIdList* item) {
        if (!item)
            return false;
        if (IDListsEqual(item, folder.pidl.get()))
            return IsSelfEvent(change.event);
        return folder.recursive ? IsIDListBelow(item, folder.pidl.get()) : IsIDListChildOf(item, folder.pidl.get());
    };
    return concernsItem(change.item1) || concernsItem(change.item2);
}

void TShellChangeRegistry::Deliver(const TChange& change)
{
    TItemIdListPtr ownItem1;
    TItemIdListPtr ownItem2;
    bool itemsMade = false;
    const auto makeItems = [&] {
        if (itemsMade)
            return;
        itemsMade = true;
        if (change.volume)
            ownItem1 = VolumeIDList(*change.volume);
        else if (!change.item1 && !change.path1.empty())
            ownItem1 = ChangedPathIDList(change.path1, IsFolderEvent(change.event));
        if (!change.item2 && !change.path2.empty())
            ownItem2 = ChangedPathIDList(change.path2, IsFolderEvent(change.event));
    };

    std::vector<unsigned long> ids;
    ids.reserve(registrations_.size());
    for (const auto& [id, registration] : registrations_)
        ids.push_back(id);

    for (const unsigned long id : ids) {
        const auto found = registrations_.find(id);
        if (found == registrations_.end())
            continue;  // deregistered by an earlier handler
        TRegistration& registration = *found->second;
        if (registration.hasReceiver && !registration.receiver)
            continue;
        const int source = change.interruptLevel ? SHCNRF_InterruptLevel : SHCNRF_ShellLevel;
        if (!(registration.sources & source))
            continue;
        for (const TRegisteredFolder& folder : registration.folders) {
            if (folder.kind == TFolderKind::Trash) {
                // The trash shows what its files folder holds: any change there changes the trash.
                if ((registration.events & SHCNE_UPDATEDIR) && !change.volume && !folder.watchPath.empty() &&
                    ParentOf(change.path1) == folder.watchPath) {
                    // A copy: a handler that deregisters frees the registration's own list.
                    const TItemIdListPtr trash = CloneIDList(folder.pidl.get());
                    const TShellChangeHandler handler = registration.handler;
                    handler(SHCNE_UPDATEDIR, trash.get(), nullptr);
                    break;
                }
            }
            if (!(registration.events & change.event) || !Concerns(folder, change))
                continue;
            // Panes find the items under their own folder's list: for a folder
            // with a path, the items are built below that list.
            TItemIdListPtr relative1;
            TItemIdListPtr relative2;
            if (!change.item1 && !change.volume && IsPathFolder(folder.kind) && !folder.watchPath.empty()) {
                relative1 = FolderRelativeIDList(folder.pidl.get(), folder.watchPath, change.path1,
                                                 IsFolderEvent(change.event));
                relative2 = FolderRelativeIDList(folder.pidl.get(), folder.watchPath, change.path2,
                                                 IsFolderEvent(change.event));
            }
            if (!relative1 || (!change.path2.empty() && !relative2))
                makeItems();
            const TItemIdList* item1 = change.item1 ? change.item1 : relative1 ? relative1.get() : ownItem1.get();
            const TItemIdList* item2 = change.item2 ? change.item2 : relative2 ? relative2.get() : ownItem2.get();
            const TShellChangeHandler handler = registration.handler;
            handler(change.event, item1, item2);
            break;  // once per registration, however many of its folders the change concerns
        }
    }
}
