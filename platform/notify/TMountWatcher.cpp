#include "platform/notify/TMountWatcher.h"

#include "platform/notify/ShellChangeNotify.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <map>
#include <tuple>
#include <unistd.h>

namespace {

using TMountKey = std::tuple<std::string, std::string, std::string>;

std::map<TMountKey, TMountEntry> ShownMounts(const TMountTable& table)
{
    std::map<TMountKey, TMountEntry> mounts;
    const auto add = [&mounts](const TMountEntry& entry) {
        mounts.emplace(TMountKey(entry.MountPoint, entry.Device, entry.FileSystemType), entry);
    };
    for (const TMountEntry& entry : table.Volumes())
        add(entry);
    for (const TMountEntry& entry : table.NetworkMounts())
        add(entry);
    return mounts;
}

}  // namespace

TMountTableChanges DiffMountTables(const TMountTable& before, const TMountTable& after)
{
    const auto oldMounts = ShownMounts(before);
    const auto newMounts = ShownMounts(after);
    TMountTableChanges changes;
    for (const auto& [key, entry] : oldMounts) {
        if (!newMounts.count(key))
            changes.removed.push_back(entry);
    }
    for (const auto& [key, entry] : newMounts) {
        if (!oldMounts.count(key))
            changes.added.push_back(entry);
    }
    return changes;
}

TMountWatcher::TMountWatcher(QObject* parent)
    : QObject(parent)
    , table_(TMountTable::Read())
{
    fd_ = ::open(TMountTable::MountInfoPath().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        return;
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Exception, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { Reread(); });
}

TMountWatcher::~TMountWatcher()
{
    delete notifier_;
    if (fd_ >= 0)
        ::close(fd_);
}

void TMountWatcher::Reread()
{
    TMountTable current = TMountTable::Read();
    const TMountTableChanges changes = DiffMountTables(table_, current);
    table_ = std::move(current);
    if (!handler_)
        return;
    for (const TMountEntry& volume : changes.removed)
        handler_(SHCNE_DRIVEREMOVED, volume);
    for (const TMountEntry& volume : changes.added)
        handler_(SHCNE_DRIVEADD, volume);
}
