#include "platform/core/system/TMountTable.h"

#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/platform/DataTestSupport.h"

namespace {

std::string UserName()
{
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr ? entry->pw_name : "";
}

std::vector<std::string> MountPoints(const std::vector<TMountEntry>& entries)
{
    std::vector<std::string> points;
    for (const TMountEntry& entry : entries)
        points.push_back(entry.MountPoint);
    return points;
}

const TMountEntry* Find(const std::vector<TMountEntry>& entries, const std::string& mountPoint)
{
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const TMountEntry& entry) { return entry.MountPoint == mountPoint; });
    return found == entries.end() ? nullptr : &*found;
}

// A table as a desktop machine has it, with a temporary home folder.
class MountTableTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        home_ = temp_.path().toStdString() + "/home/anna";
        std::filesystem::create_directories(home_);
        homeGuard_.emplace("HOME", home_);
        labels_ = temp_.path().toStdString() + "/by-label";
        std::filesystem::create_directories(labels_);
        TMountTable::SetLabelDirectory(labels_);
    }
    void TearDown() override
    {
        TMountTable::SetLabelDirectory("");
        TMountTable::SetMountInfoPath("");
    }

    std::string SampleTable() const
    {
        const std::string user = UserName();
        return "22 1 0:21 / /proc rw,nosuid - proc proc rw\n"
               "23 1 0:22 / /sys rw - sysfs sysfs rw\n"
               "24 1 0:6 / /dev rw - devtmpfs devtmpfs rw,mode=755\n"
               "1 0 254:0 / / rw,relatime - ext4 /dev/vda1 rw\n"
               "25 1 0:23 / /tmp rw - tmpfs tmpfs rw\n"
               "26 1 8:17 / /media/anna/USB\\040Stick rw,nosuid shared:5 - vfat " +
               Device("sdb1") +
               " rw\n"
               "27 1 8:18 / /media/Archiv rw shared:6 master:2 propagate_from:1 - ext4 /dev/sdb2 rw\n"
               "28 1 0:40 / " +
               home_ +
               "/Fern rw - fuse.sshfs anna@host:/srv rw,user_id=1000\n"
               "29 1 0:41 / /mnt/nas rw - nfs4 nas:/export rw,vers=4.2\n"
               "30 1 8:19 /sub /media/bind rw - ext4 /dev/sdb3 rw\n"
               "31 1 0:42 / " +
               home_ +
               "/.cache/image rw - ext4 /dev/sdc1 rw\n"
               "32 1 0:43 / /media/container rw - overlay overlay rw,lowerdir=/a\n"
               "33 1 0:44 / /opt/daten rw - ext4 /dev/sdd1 rw,x-gvfs-show\n"
               "34 1 0:45 / /media/versteckt rw - ext4 /dev/sdd2 rw,x-gvfs-hide\n"
               "35 1 0:46 / /media/named rw - ext4 /dev/sdd3 rw,x-gvfs-name=Meine%20Daten%C3%BC\n"
               "36 1 0:47 / /media/tab\\011nl\\012bs\\134end rw - ext4 /dev/sde1 rw\n"
               "37 1 0:48 / /run/media/" +
               user +
               "/Kamera rw - exfat /dev/sdf1 rw\n"
               "38 1 0:49 / /run/media/jemand/Fremd rw - exfat /dev/sdf2 rw\n"
               "39 1 0:50 / /srv rw - ext4 /dev/sdg1 rw\n"
               "40 1 0:51 / /var/lib/docker/x rw - ext4 /dev/sdg2 rw\n"
               "41 26 8:33 / /media/anna/USB\\040Stick rw - vfat /dev/sdh1 rw\n"
               "42 1 0:52 / /media/loop rw - squashfs /dev/loop rw\n"
               "43 1 0:53 / " +
               home_ +
               " rw - ext4 /dev/sdi1 rw\n"
               "44 1 0:54 / /mnt/vm rw - 9p share rw,trans=virtio\n"
               "45 1 0:55 / /mnt/plan9 rw - 9p 10.0.0.2 rw,trans=tcp\n"
               "46 1 0:56 / /media/smb rw - cifs //server/share rw\n"
               "47 1 0:57 / /mnt/.snapshots rw - nfs srv:/snap rw\n"
               "48 1 0:58 / /media/covered rw - ext4 /dev/sdj1 rw\n"
               "49 48 0:59 / /media/covered rw - tmpfs tmpfs rw\n";
    }

    // A stand-in for a device node, with a label pointing at it.
    std::string Device(const std::string& name) const { return temp_.path().toStdString() + "/" + name; }

    QTemporaryDir temp_;
    std::string home_;
    std::string labels_;
    std::optional<TEnvironmentGuard> homeGuard_;
};

}  // namespace

TEST(MountTableFields, OctalEscapesAreDecoded)
{
    EXPECT_EQ(TMountTable::UnescapeField("/media/a\\040b\\011c\\012d\\134e"), "/media/a b\tc\nd\\e");
    EXPECT_EQ(TMountTable::UnescapeField("/media/caf\\303\\251"), "/media/caf\xC3\xA9");
    // Backslashes that start no escape stay as they are, also at the end.
    EXPECT_EQ(TMountTable::UnescapeField("a\\x20\\9\\04"), "a\\x20\\9\\04");
    EXPECT_EQ(TMountTable::UnescapeField("\\"), "\\");
}

TEST(MountTableFields, MalformedLinesAreSkipped)
{
    const TMountTable table = TMountTable::Parse("garbage\n"
                                                 "\n"
                                                 "1 2 3\n"
                                                 "x 1 0:1 / /a rw - ext4 /dev/a rw\n"
                                                 "5 1 0:1 / /no-separator rw ext4 /dev/a rw\n"
                                                 "6 1 0:1 / relative rw - ext4 /dev/a rw\n"
                                                 "7 1 0:1 / /media/ok rw - ext4 /dev/ok\n"
                                                 "8 1 0:1 / /media/last rw - ext4 /dev/last rw");
    ASSERT_EQ(table.Entries().size(), 2U);
    EXPECT_EQ(table.Entries()[0].MountPoint, "/media/ok");
    EXPECT_EQ(table.Entries()[0].Device, "/dev/ok");
    EXPECT_EQ(table.Entries()[1].MountPoint, "/media/last");
    // A root of any type is the volume "Dateisystem"; without a line for "/" it is still there.
    const auto container = TMountTable::Parse("9 1 0:9 / / rw - overlay overlay rw,lowerdir=/l\n").Volumes();
    ASSERT_EQ(container.size(), 1U);
    EXPECT_EQ(container[0].FileSystemType, "overlay");
    EXPECT_EQ(container[0].DisplayName, "Dateisystem");
    const auto volumes = TMountTable::Parse("garbage").Volumes();
    ASSERT_EQ(volumes.size(), 1U);
    EXPECT_EQ(volumes[0].MountPoint, "/");
    EXPECT_EQ(volumes[0].DisplayName, "Dateisystem");
}

TEST_F(MountTableTest, EntriesKeepEveryField)
{
    const TMountTable table = TMountTable::Parse(SampleTable());
    const TMountEntry* stick = Find(table.Entries(), "/media/anna/USB Stick");
    ASSERT_NE(stick, nullptr);
    EXPECT_EQ(stick->MountId, 26);
    EXPECT_EQ(stick->ParentId, 1);
    EXPECT_EQ(stick->Root, "/");
    EXPECT_EQ(stick->FileSystemType, "vfat");
    EXPECT_EQ(stick->Device, Device("sdb1"));
    EXPECT_EQ(stick->Options, "rw,nosuid,rw");
    const TMountEntry* escaped = Find(table.Entries(), "/media/tab\tnl\nbs\\end");
    ASSERT_NE(escaped, nullptr);
    EXPECT_TRUE(escaped->IsUserVisible);
    EXPECT_EQ(escaped->DisplayName, "tab\tnl\nbs\\end");
}

TEST_F(MountTableTest, VolumesAreRootAndWhatTheUserMounted)
{
    const TMountTable table = TMountTable::Parse(SampleTable());
    std::vector<std::string> expected = {
        "/",
        home_ + "/Fern",
        "/media/Archiv",
        "/media/anna/USB Stick",
        "/media/named",
        "/media/smb",
        "/media/tab\tnl\nbs\\end",
        "/opt/daten",
        "/run/media/" + UserName() + "/Kamera",
    };
    // Root may look at everyone's removable media.
    if (::getuid() == 0)
        expected.push_back("/run/media/jemand/Fremd");
    std::sort(expected.begin() + 1, expected.end());
    EXPECT_EQ(MountPoints(table.Volumes()), expected);

    const auto volumes = table.Volumes();
    EXPECT_EQ(volumes.front().DisplayName, "Dateisystem");
    EXPECT_EQ(volumes.front().Device, "/dev/vda1");
    // The mount on top of the stick is the one that counts.
    EXPECT_EQ(Find(volumes, "/media/anna/USB Stick")->Device, "/dev/sdh1");
    EXPECT_EQ(Find(volumes, "/media/named")->DisplayName, "Meine Daten\xC3\xBC");
    EXPECT_EQ(Find(volumes, "/media/Archiv")->DisplayName, "Archiv");
    // A system mount on top hides the volume below it.
    EXPECT_EQ(Find(volumes, "/media/covered"), nullptr);
    // The home folder itself, bind mounts, dot paths, system types and places are no volumes.
    for (const TMountEntry& entry : table.Entries()) {
        if (entry.MountPoint == home_ || entry.MountPoint == "/media/bind" || entry.MountPoint == "/media/container" ||
            entry.MountPoint == "/media/versteckt" || entry.MountPoint == "/srv" || entry.MountPoint == "/tmp" ||
            entry.MountPoint == "/media/loop" || entry.MountPoint.find("/.cache") != std::string::npos) {
            EXPECT_FALSE(entry.IsUserVisible) << entry.MountPoint;
        }
    }
    EXPECT_TRUE(Find(table.Entries(), "/media/bind")->IsSystemInternal);
    EXPECT_TRUE(Find(table.Entries(), "/media/container")->IsSystemInternal);
    EXPECT_TRUE(Find(table.Entries(), "/media/loop")->IsSystemInternal);
    EXPECT_FALSE(Find(table.Entries(), "/media/Archiv")->IsSystemInternal);
}

TEST_F(MountTableTest, LabelsNameVolumes)
{
    WriteTextFile(Device("sdb1"), "");
    WriteTextFile(Device("sde1"), "");
    std::filesystem::create_symlink("../sdb1", labels_ + "/Urlaub\\x202024");
    std::filesystem::create_symlink(Device("sde1"), labels_ + "/Fremdes\\x2fLabel");
    std::filesystem::create_symlink("../missing", labels_ + "/Verwaist");
    std::string table = SampleTable();
    table += "60 1 0:60 / /media/stick2 rw - vfat " + Device("sdb1") + " rw\n";
    // Labels are matched through the device's real path.
    std::filesystem::create_symlink(Device("sdb1"), Device("alias"));
    table += "61 1 0:61 / /media/stick3 rw - vfat " + Device("alias") + " rw,x-gvfs-name=Eigener%20Name\n";
    const auto volumes = TMountTable::Parse(table).Volumes();
    EXPECT_EQ(Find(volumes, "/media/stick2")->Label, "Urlaub 2024");
    EXPECT_EQ(Find(volumes, "/media/stick2")->DisplayName, "Urlaub 2024");
    // x-gvfs-name wins over the label.
    EXPECT_EQ(Find(volumes, "/media/stick3")->Label, "Urlaub 2024");
    EXPECT_EQ(Find(volumes, "/media/stick3")->DisplayName, "Eigener Name");
    // The stick's device is covered by another mount without a label.
    EXPECT_EQ(Find(volumes, "/media/anna/USB Stick")->DisplayName, "USB Stick");
}

TEST_F(MountTableTest, NetworkMounts)
{
    const TMountTable table = TMountTable::Parse(SampleTable());
    EXPECT_EQ(MountPoints(table.NetworkMounts()),
              (std::vector<std::string>{"/media/smb", "/mnt/nas", "/mnt/plan9", home_ + "/Fern"}));
    EXPECT_TRUE(Find(table.Entries(), "/mnt/plan9")->IsNetwork);
    EXPECT_FALSE(Find(table.Entries(), "/mnt/vm")->IsNetwork);
    EXPECT_FALSE(Find(table.Entries(), "/media/Archiv")->IsNetwork);
    EXPECT_EQ(table.NetworkMounts()[1].DisplayName, "nas");
}

TEST_F(MountTableTest, DesktopOptionsFromTheFileSystemTable)
{
    const std::string mountInfo = "1 0 254:0 / / rw - ext4 /dev/vda1 rw\n"
                                  "2 1 8:1 / /data rw - ext4 /dev/sdb1 rw\n"
                                  "3 1 8:2 / /media/backup rw - ext4 /dev/sdb2 rw\n"
                                  "4 1 8:3 / /srv/with\\040space rw - ext4 /dev/sdb3 rw\n";
    const std::string fstab = "# <file system> <mount point> <type> <options> <dump> <pass>\n"
                              "UUID=1234 /data ext4 defaults,x-gvfs-show,x-gvfs-name=Daten 0 2\n"
                              "/dev/sdb2\t/media/backup\text4\tnoauto,x-gvfs-hide\t0\t0\n"
                              "/dev/sdb3 /srv/with\\040space ext4 x-gvfs-show 0 0\n"
                              "incomplete line\n";
    EXPECT_EQ(MountPoints(TMountTable::Parse(mountInfo).Volumes()), (std::vector<std::string>{"/", "/media/backup"}));
    const auto volumes = TMountTable::Parse(mountInfo, fstab).Volumes();
    EXPECT_EQ(MountPoints(volumes), (std::vector<std::string>{"/", "/data", "/srv/with space"}));
    EXPECT_EQ(volumes[1].DisplayName, "Daten");
    // Options given to mount(8) are found by mount id, or by target without one.
    const std::string userTable =
        "ID=2 SRC=/dev/sdb1 TARGET=/data ROOT=/ OPTS=x-gvfs-hide\n"
        "ID=4 SRC=/dev/sdb3 TARGET=/srv/with\\040space ROOT=/ OPTS=ro,x-gvfs-show,x-gvfs-name=A%20B\n"
        "SRC=/dev/sdb2 TARGET=/media/backup ROOT=/ OPTS=x-gvfs-hide\n"
        "ID=99 TARGET=/data OPTS=x-gvfs-show\n";
    const auto fromUserTable = TMountTable::Parse(mountInfo, "", userTable).Volumes();
    ASSERT_EQ(MountPoints(fromUserTable), (std::vector<std::string>{"/", "/srv/with space"}));
    EXPECT_EQ(fromUserTable[1].DisplayName, "A B");
}

TEST_F(MountTableTest, MountAndVolumeOfAPath)
{
    const TMountTable table = TMountTable::Parse(SampleTable());
    ASSERT_NE(table.MountOf("/media/anna/USB Stick/a/b"), nullptr);
    EXPECT_EQ(table.MountOf("/media/anna/USB Stick/a/b")->Device, "/dev/sdh1");
    EXPECT_EQ(table.MountOf("/media/anna/USB Stickers")->MountPoint, "/");
    EXPECT_EQ(table.MountOf(home_ + "/Dokumente")->MountPoint, home_);
    EXPECT_EQ(table.MountOf("/")->MountPoint, "/");
    EXPECT_EQ(table.VolumeOf(home_ + "/Dokumente")->MountPoint, "/");
    EXPECT_EQ(table.VolumeOf(home_ + "/Fern/x")->MountPoint, home_ + "/Fern");
    EXPECT_EQ(TMountTable().MountOf("/a"), nullptr);
}

TEST_F(MountTableTest, ReadFollowsTheConfiguredTable)
{
    const std::string first = temp_.path().toStdString() + "/first";
    const std::string second = temp_.path().toStdString() + "/second";
    WriteTextFile(first, "1 0 254:0 / / rw - ext4 /dev/vda1 rw\n7 1 8:1 / /media/a rw - ext4 /dev/sdb1 rw\n");
    WriteTextFile(second, "1 0 254:0 / / rw - ext4 /dev/vda1 rw\n");
    {
        const TEnvironmentGuard variable("PARZELLO_MOUNTINFO", first);
        EXPECT_EQ(TMountTable::MountInfoPath(), first);
        EXPECT_EQ(MountPoints(TMountTable::Read().Volumes()), (std::vector<std::string>{"/", "/media/a"}));
        // The setter wins over the environment.
        TMountTable::SetMountInfoPath(second);
        EXPECT_EQ(TMountTable::MountInfoPath(), second);
        EXPECT_NE(TMountTable::Read(), TMountTable::ReadFile(first));
        EXPECT_EQ(TMountTable::Read(), TMountTable::ReadFile(second));
        TMountTable::SetMountInfoPath("");
        EXPECT_EQ(TMountTable::MountInfoPath(), first);
    }
    EXPECT_EQ(TMountTable::MountInfoPath(), "/proc/self/mountinfo");
    // The system's own table always has "/" first.
    const auto volumes = TMountTable::Read().Volumes();
    ASSERT_FALSE(volumes.empty());
    EXPECT_EQ(volumes.front().MountPoint, "/");
    // A missing table reads as empty.
    EXPECT_TRUE(TMountTable::ReadFile(first + ".missing").Entries().empty());
}

TEST(MountTableSpace, SizeAndFreeSpace)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const auto space = QueryVolumeSpace(temp.path().toStdString());
    ASSERT_TRUE(space.has_value());
    EXPECT_GT(space->TotalBytes, 0U);
    EXPECT_LE(space->FreeBytes, space->TotalBytes);
    EXPECT_FALSE(QueryVolumeSpace(temp.path().toStdString() + "/missing").has_value());
}

TEST_F(MountTableTest, CurrentTableIsReadAgainOnlyAfterAChange)
{
    const std::string sample = temp_.path().toStdString() + "/sample";
    WriteTextFile(sample, "1 0 254:0 / / rw - ext4 /dev/vda1 rw\n");
    TMountTable::SetMountInfoPath(sample);
    const auto first = TMountTable::Current();
    EXPECT_EQ(TMountTable::Current(), first);
    EXPECT_EQ(MountPoints(first->Volumes()), (std::vector<std::string>{"/"}));

    WriteTextFile(sample, "1 0 254:0 / / rw - ext4 /dev/vda1 rw\n7 1 8:1 / /media/neu rw - ext4 /dev/sdb1 rw\n");
    const auto second = TMountTable::Current();
    EXPECT_EQ(MountPoints(second->Volumes()), (std::vector<std::string>{"/", "/media/neu"}));
    EXPECT_EQ(TMountTable::Current(), second);
    // The earlier reading stays valid for whoever holds it.
    EXPECT_EQ(first->Volumes().size(), 1U);

    // A new home folder changes which mounts are volumes.
    WriteTextFile(sample, "1 0 254:0 / / rw - ext4 /dev/vda1 rw\n8 1 8:1 / /srv/anna/usb rw - ext4 /dev/sdb1 rw\n");
    EXPECT_EQ(MountPoints(TMountTable::Current()->Volumes()), (std::vector<std::string>{"/"}));
    {
        const TEnvironmentGuard home("HOME", "/srv/anna");
        EXPECT_EQ(MountPoints(TMountTable::Current()->Volumes()), (std::vector<std::string>{"/", "/srv/anna/usb"}));
    }

    // The system's own table is read once until the kernel reports a change.
    TMountTable::SetMountInfoPath("");
    const auto system = TMountTable::Current();
    EXPECT_EQ(system->Volumes().front().MountPoint, "/");
    EXPECT_EQ(TMountTable::Current(), system);
}
