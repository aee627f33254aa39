#pragma once

#include "platform/core/ids/TItemIdList.h"
#include "shell/notifier/NotificationEvents.h"
#include "shell/navigator/library/TPzBaseComponent.h"
#include "shell/notifier/TPzNotifyThread.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

// Tells a pane what changed in the namespace it shows. While enabled it holds
// one registration for WatchedItem and one per Directories entry (native-byte
// paths; the empty entry stands for the computer with everything on it).
// Notifications arrive on the UI thread; a repeat of the last one (same
// event, same first item) within kRepeatWindow is dropped. ItemHook runs at
// once; OnChange later, after the notification has been handled, with the
// items' paths (empty for items without one, and for association and
// image-list changes, which name no file).
class TPzShellChangeNotifier : public TPzBaseComponent
{
    Q_OBJECT

public:
    using TPzShellNotifierEvent = TPzNotifyThread::THandler;
    using TItemHook = std::function<void(TPzShellChangeNotifier& sender, TNotificationEvent event,
                                         const TItemIdList* item1, const TItemIdList* item2)>;
    using TTickSource = std::function<std::uint32_t()>;

    // Repeats of one notification within this many milliseconds are dropped:
    // a single change often comes as a burst of identical events.
    static constexpr std::uint32_t kRepeatWindow = 2500;

    explicit TPzShellChangeNotifier(QObject* owner = nullptr);
    ~TPzShellChangeNotifier() override;

    // Switching registers or unregisters everything.
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;

    std::vector<std::string> Directories() const;
    // Entries that stay keep their registrations; new ones are registered.
    void SetDirectories(const std::vector<std::string>& paths);
    void AddDirectory(const std::string& path);
    void DeleteDirectory(const std::string& path);
    // The registration id of a Directories entry; 0 when not registered.
    unsigned long DirectoryId(const std::string& path) const;

    // A real change of either registers anew; the folders watched so far stay watched.
    bool Recursive() const { return recursive_; }
    void SetRecursive(bool recursive);
    TNotificationEvents EventFilter() const { return eventFilter_; }
    void SetEventFilter(TNotificationEvents filter);

    // The folder the owning pane shows; replaces the former one.
    void SetWatchedItem(const TItemIdList* absolute);
    const TItemIdList* WatchedItem() const { return watchedItem_.get(); }
    unsigned long WatchedId() const { return watchedId_; }
    bool Registered() const { return registered_; }

    const TItemIdList* LastItem() const { return lastItem_.get(); }
    long LastEvent() const { return lastEvent_; }
    std::uint32_t LastTick() const { return lastTick_; }

    void SetOnChange(TPzShellNotifierEvent handler) { onChange_ = std::move(handler); }
    void SetItemHook(TItemHook hook) { itemHook_ = std::move(hook); }
    // Replaces the millisecond clock of the repeat check; null restores the system's.
    void SetTickSource(TTickSource source);

    // Handles one notification as the shell delivers it (UI thread).
    void HandleNotification(long shellEvent, const TItemIdList* item1, const TItemIdList* item2);

protected:
    virtual void DoChange(QObject* sender, TNotificationEvent event, const QString& path1, const QString& path2);

private:
    // In place of registration `previous` (0 for none), which ends in any case.
    unsigned long RegisterItem(const TItemIdList* absolute, bool recursive, unsigned long previous);
    unsigned long RegisterPath(const std::string& path, unsigned long previous);
    void RegisterAll();
    void UnregisterAll();
    void Reregister();
    // Runs a change of Directories between the registration updates it needs.
    void ChangeDirectories(const std::function<void(std::set<std::string>&)>& change);
    bool IsRepeat(long code, const TItemIdList* item1, std::uint32_t now) const;

    std::map<std::string, unsigned long> directories_;
    bool recursive_ = true;
    TNotificationEvents eventFilter_ = kAllNotificationEvents;
    TPzShellNotifierEvent onChange_;
    TItemHook itemHook_;
    TTickSource tickSource_;
    TItemIdListPtr lastItem_;
    long lastEvent_ = 0;
    std::uint32_t lastTick_ = 0;
    bool registered_ = false;
    TItemIdListPtr watchedItem_;
    unsigned long watchedId_ = 0;
};
