#include "NotifyTestSupport.h"

#include "platform/notify/ShellChangeNotify.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"
#include "platform/notify/TMountWatcher.h"
#include "platform/notify/TShellChangeRegistry.h"

#include <gtest/gtest.h>

namespace {

const std::string kRootLine = "1 0 254:0 / / rw,relatime - ext4 /dev/vda1 rw\n";
const std::string kProcLine = "22 1 0:21 / /proc rw,nosuid - proc proc rw\n";
const std::string kStickLine = "26 1 8:17 / /media/probe/USB\\040Stick rw,nosuid - vfat /dev/sdb1 rw\n";
const std::string kDiskLine = "27 1 8:18 / /media/probe/Archiv rw - ext4 /dev/sdb2 rw\n";
const std::string kNasLine = "29 1 0:41 / /mnt/nas rw - nfs4 nas:/export rw,vers=4.2\n";

std::vector<std::string> MountPoints(const std::vector<TMountEntry>& entries)
{
    std::vector<std::string> points;
    for (const TMountEntry& entry : entries)
        points.push_back(entry.MountPoint);
    return points;
}

// Points the mount table at a sample file and back at the kernel's afterwards.
class TSampleMountTable
{
public:
    explicit TSampleMountTable(const std::string& path)
        : path_(path)
    {
        TMountTable::SetMountInfoPath(path);
    }
    ~TSampleMountTable() { TMountTable::SetMountInfoPath(""); }
    TSampleMountTable(const TSampleMountTable&) = delete;
    TSampleMountTable& operator=(const TSampleMountTable&) = delete;
    bool Write(const std::string& text) const { return WriteFile(path_, text); }

private:
    std::string path_;
};

TEST(MountTableDiff, ReportsVolumesThatCameAndWentOnly)
{
    const TMountTable before = TMountTable::Parse(kRootLine + kProcLine + kStickLine + kDiskLine);
    // The disk comes back under a new mount id: still the same mount.
    const std::string disk = "41 1 8:18 / /media/probe/Archiv rw - ext4 /dev/sdb2 rw\n";
    const TMountTable after = TMountTable::Parse(kRootLine + disk + kNasLine);

    const TMountTableChanges changes = DiffMountTables(before, after);
    EXPECT_EQ(MountPoints(changes.removed), std::vector<std::string>{"/media/probe/USB Stick"});
    EXPECT_EQ(MountPoints(changes.added), std::vector<std::string>{"/mnt/nas"});
    EXPECT_TRUE(changes.added.front().IsNetwork);

    // Another device at the same mount point is a removal and an addition.
    const TMountTable swapped =
        TMountTable::Parse(kRootLine + "42 1 8:33 / /media/probe/Archiv rw - ext4 /dev/sdc1 rw\n");
    const TMountTableChanges swap = DiffMountTables(TMountTable::Parse(kRootLine + kDiskLine), swapped);
    EXPECT_EQ(MountPoints(swap.removed), std::vector<std::string>{"/media/probe/Archiv"});
    EXPECT_EQ(MountPoints(swap.added), std::vector<std::string>{"/media/probe/Archiv"});
    EXPECT_TRUE(DiffMountTables(before, before).added.empty());
}

TEST(MountWatcher, RereadsTheTableFromTheStartEachTime)
{
    TTempFolder folder;
    TSampleMountTable table(folder / "mountinfo");
    ASSERT_TRUE(table.Write(kRootLine + kStickLine));
    TMountWatcher watcher;
    std::vector<std::pair<long, std::string>> events;
    watcher.SetDriveHandler(
        [&](long event, const TMountEntry& volume) { events.emplace_back(event, volume.MountPoint); });

    watcher.Reread();
    EXPECT_TRUE(events.empty());

    ASSERT_TRUE(table.Write(kRootLine + kDiskLine));
    watcher.Reread();
    const std::vector<std::pair<long, std::string>> expected = {{SHCNE_DRIVEREMOVED, "/media/probe/USB Stick"},
                                                                {SHCNE_DRIVEADD, "/media/probe/Archiv"}};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(MountPoints(watcher.Table().Volumes()), (std::vector<std::string>{"/", "/media/probe/Archiv"}));

    // A shorter table read after a longer one leaves nothing of the old text behind.
    events.clear();
    ASSERT_TRUE(table.Write(kRootLine));
    watcher.Reread();
    EXPECT_EQ(events, (std::vector<std::pair<long, std::string>>{{SHCNE_DRIVEREMOVED, "/media/probe/Archiv"}}));
}

TEST(MountWatcher, ComputerRegistrationsGetDriveEventsWithVolumeLists)
{
    TTempFolder folder;
    TSampleMountTable table(folder / "mountinfo");
    ASSERT_TRUE(table.Write(kRootLine));
    TShellChangeRegistry& registry = TShellChangeRegistry::Process();
    registry.MountWatcher().Reread();

    std::vector<std::pair<long, std::string>> computerEvents;
    std::vector<long> folderEvents;
    const TItemIdListPtr computer = SHGetSpecialFolderLocation(SF_DRIVES);
    const TItemIdListPtr temp = SHParseDisplayName(folder.Path());
    const SHChangeNotifyEntry computerEntry{computer.get(), false};
    const SHChangeNotifyEntry folderEntry{temp.get(), false};
    const int sources = SHCNRF_InterruptLevel | SHCNRF_ShellLevel;
    const unsigned long computerId =
        SHChangeNotifyRegister(nullptr, sources, SHCNE_DRIVEADD | SHCNE_DRIVEREMOVED,
                               [&](long event, const TItemIdList* item, const TItemIdList*) {
                                   computerEvents.emplace_back(event, SHGetPathFromIDList(item));
                               },
                               {&computerEntry, 1});
    const unsigned long folderId = SHChangeNotifyRegister(
        nullptr, sources, SHCNE_ALLEVENTS,
        [&](long event, const TItemIdList*, const TItemIdList*) { folderEvents.push_back(event); }, {&folderEntry, 1});
    ASSERT_TRUE(computerId && folderId);

    ASSERT_TRUE(table.Write(kRootLine + kStickLine));
    registry.MountWatcher().Reread();
    ASSERT_TRUE(table.Write(kRootLine));
    registry.MountWatcher().Reread();
    const std::vector<std::pair<long, std::string>> expected = {{SHCNE_DRIVEADD, "/media/probe/USB Stick/"},
                                                                {SHCNE_DRIVEREMOVED, "/media/probe/USB Stick/"}};
    EXPECT_EQ(computerEvents, expected);
    EXPECT_TRUE(folderEvents.empty());

    SHChangeNotifyDeregister(computerId);
    SHChangeNotifyDeregister(folderId);
    TMountTable::SetMountInfoPath("");
    registry.MountWatcher().Reread();
}

}  // namespace
