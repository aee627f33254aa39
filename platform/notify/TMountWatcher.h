#pragma once

#include "platform/core/system/TMountTable.h"

#include <QObject>

#include <functional>
#include <vector>

class QSocketNotifier;

// What changed between two readings of the mount table, among the mounts a
// user sees: the volumes and the mounted network file systems. A mount is the
// same when its mount point, device and file-system type are; anything else at
// a mount point counts as removed and added.
struct TMountTableChanges
{
    std::vector<TMountEntry> added;
    std::vector<TMountEntry> removed;
};

TMountTableChanges DiffMountTables(const TMountTable& before, const TMountTable& after);

// Follows the kernel's mount table. The kernel marks /proc/self/mountinfo
// with an exception condition whenever a mount comes or goes; each time the
// table is read again from the start and compared with the last reading, and
// every volume that came or went is reported as SHCNE_DRIVEADD or
// SHCNE_DRIVEREMOVED, on the thread that owns the watcher.
class TMountWatcher : public QObject
{
public:
    using TDriveHandler = std::function<void(long event, const TMountEntry& volume)>;

    // Watches TMountTable::MountInfoPath() and reads it once.
    explicit TMountWatcher(QObject* parent = nullptr);
    ~TMountWatcher() override;

    void SetDriveHandler(TDriveHandler handler) { handler_ = std::move(handler); }
    const TMountTable& Table() const { return table_; }

    // Reads the table again and reports the changes; the notifier calls it.
    void Reread();

private:
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    TMountTable table_;
    TDriveHandler handler_;
};
