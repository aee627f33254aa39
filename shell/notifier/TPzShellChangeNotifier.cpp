#include "shell/notifier/TPzShellChangeNotifier.h"

#include "framework/TickCount.h"
#include "platform/notify/ShellChangeNotify.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"

#include <QFile>

namespace {

QString PathOf(const TItemIdList* item)
{
    return item != nullptr ? QFile::decodeName(QByteArray::fromStdString(SHGetPathFromIDList(item))) : QString();
}

}  // namespace

TPzShellChangeNotifier::TPzShellChangeNotifier(QObject* owner)
    : TPzBaseComponent(owner, false)
    , tickSource_(&GetTickCount)
{
}

TPzShellChangeNotifier::~TPzShellChangeNotifier()
{
    TPzShellChangeNotifier::SetEnabled(false);
}

bool TPzShellChangeNotifier::Enabled() const
{
    return TPzBaseComponent::Enabled();
}

void TPzShellChangeNotifier::SetEnabled(bool enabled)
{
    if (enabled == Enabled())
        return;
    TPzBaseComponent::SetEnabled(enabled);
    if (enabled)
        RegisterAll();
    else
        UnregisterAll();
}

void TPzShellChangeNotifier::SetTickSource(TTickSource source)
{
    tickSource_ = source ? std::move(source) : TTickSource(&GetTickCount);
}

std::vector<std::string> TPzShellChangeNotifier::Directories() const
{
    std::vector<std::string> paths;
    paths.reserve(directories_.size());
    for (const auto& [path, id] : directories_)
        paths.push_back(path);
    return paths;
}

void TPzShellChangeNotifier::SetDirectories(const std::vector<std::string>& paths)
{
    ChangeDirectories([&](std::set<std::string>& entries) { entries = {paths.begin(), paths.end()}; });
}

void TPzShellChangeNotifier::AddDirectory(const std::string& path)
{
    ChangeDirectories([&](std::set<std::string>& entries) { entries.insert(path); });
}

void TPzShellChangeNotifier::DeleteDirectory(const std::string& path)
{
    ChangeDirectories([&](std::set<std::string>& entries) { entries.erase(path); });
}

unsigned long TPzShellChangeNotifier::DirectoryId(const std::string& path) const
{
    const auto found = directories_.find(path);
    return found != directories_.end() ? found->second : 0;
}

void TPzShellChangeNotifier::ChangeDirectories(const std::function<void(std::set<std::string>&)>& change)
{
    std::set<std::string> entries;
    for (const auto& [path, id] : directories_)
        entries.insert(path);
    change(entries);
    // The empty entry sorts first; beside real folders it has no meaning.
    if (entries.size() > 1 && entries.begin()->empty())
        entries.erase(entries.begin());
    // Entries that stay keep their registrations, and with them the folders these watch.
    std::erase_if(directories_, [&](const auto& entry) {
        if (entries.contains(entry.first))
            return false;
        if (entry.second != 0)
            SHChangeNotifyDeregister(entry.second);
        return true;
    });
    for (const std::string& path : entries)
        directories_.emplace(path, 0);
    RegisterAll();
}

void TPzShellChangeNotifier::SetRecursive(bool recursive)
{
    if (recursive == recursive_)
        return;
    recursive_ = recursive;
    Reregister();
}

void TPzShellChangeNotifier::SetEventFilter(TNotificationEvents filter)
{
    if (filter == eventFilter_)
        return;
    eventFilter_ = filter;
    Reregister();
}

void TPzShellChangeNotifier::SetWatchedItem(const TItemIdList* absolute)
{
    if (directories_.size() == 1 && directories_.begin()->first.empty()) {
        if (directories_.begin()->second != 0)
            SHChangeNotifyDeregister(directories_.begin()->second);
        directories_.clear();
    }
    watchedItem_ = CloneIDList(absolute);
    // The folders below the former item that the new one covers stay watched.
    if (registered_)
        watchedId_ = RegisterItem(watchedItem_.get(), recursive_, watchedId_);
    RegisterAll();
}

unsigned long TPzShellChangeNotifier::RegisterItem(const TItemIdList* absolute, bool recursive, unsigned long previous)
{
    if (!Enabled() || absolute == nullptr) {
        if (previous != 0)
            SHChangeNotifyDeregister(previous);
        return 0;
    }
    const int sources = SHCNRF_InterruptLevel | SHCNRF_ShellLevel | (recursive ? SHCNRF_RecursiveInterrupt : 0);
    const SHChangeNotifyEntry entry{absolute, recursive};
    return SHChangeNotifyReregister(
        previous, this, sources, EventMaskOf(eventFilter_),
        [this](long event, const TItemIdList* item1, const TItemIdList* item2) {
            HandleNotification(event, item1, item2);
        },
        std::span(&entry, 1));
}

unsigned long TPzShellChangeNotifier::RegisterPath(const std::string& path, unsigned long previous)
{
    const TItemIdListPtr list = path.empty() ? SHGetSpecialFolderLocation(SF_DRIVES) : SHParseDisplayName(path);
    return RegisterItem(list.get(), recursive_, previous);
}

void TPzShellChangeNotifier::RegisterAll()
{
    if (!Enabled())
        return;
    if (directories_.empty() && !itemHook_ && !watchedItem_) {
        // A notifier nobody pointed anywhere watches the whole computer.
        directories_.emplace(std::string(), 0);
        recursive_ = true;
    }
    if (watchedItem_ && watchedId_ == 0)
        watchedId_ = RegisterItem(watchedItem_.get(), recursive_, 0);
    for (auto& [path, id] : directories_) {
        if (id == 0)
            id = RegisterPath(path, 0);
    }
    registered_ = true;
}

void TPzShellChangeNotifier::UnregisterAll()
{
    if (!registered_)
        return;
    registered_ = false;
    if (watchedId_ != 0) {
        SHChangeNotifyDeregister(watchedId_);
        watchedId_ = 0;
    }
    for (auto& [path, id] : directories_) {
        if (id != 0)
            SHChangeNotifyDeregister(id);
        id = 0;
    }
}

void TPzShellChangeNotifier::Reregister()
{
    if (!registered_)
        return;
    // Each registration hands its watches on to the one that replaces it: the
    // folders enumerated since, open tree nodes among them, stay watched.
    if (watchedItem_)
        watchedId_ = RegisterItem(watchedItem_.get(), recursive_, watchedId_);
    for (auto& [path, id] : directories_)
        id = RegisterPath(path, id);
}

bool TPzShellChangeNotifier::IsRepeat(long code, const TItemIdList* item1, std::uint32_t now) const
{
    return code == lastEvent_ && IDListCount(item1) > 0 && IDListsEqual(item1, lastItem_.get()) &&
           now - lastTick_ < kRepeatWindow;
}

void TPzShellChangeNotifier::HandleNotification(long shellEvent, const TItemIdList* item1, const TItemIdList* item2)
{
    if (!Enabled())
        return;
    const long code = shellEvent & SHCNE_ALLEVENTS;
    const TNotificationEvent event = NotificationEventOf(code);
    const std::uint32_t now = tickSource_();
    QString path1;
    QString path2;
    // Association and image-list changes name no files.
    if (event != neAssociationChange && event != neImageListChange) {
        if (IsRepeat(code, item1, now))
            return;
        path1 = PathOf(item1);
        path2 = PathOf(item2);
    }
    lastEvent_ = code;
    lastItem_ = CloneIDList(item1);
    lastTick_ = now;
    if (itemHook_)
        itemHook_(*this, event, item1, item2);
    DoChange(this, event, path1, path2);
}

void TPzShellChangeNotifier::DoChange(QObject* sender, TNotificationEvent event, const QString& path1,
                                      const QString& path2)
{
    if (onChange_)
        TPzNotifyThread::Start(std::make_unique<TPzNotifyThread>(sender, event, path1, path2, onChange_));
}
