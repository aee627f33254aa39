#include "platform/trash/TTrash.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/core/text/PercentEncoding.h"
#include "platform/core/system/TMountTable.h"
#include "tests/platform/DataTestSupport.h"

namespace {

namespace fs = std::filesystem;

const std::string kUid = std::to_string(::getuid());

std::string Info(const std::string& path, const std::string& date = "2024-03-05T09:07:59")
{
    return "[Trash Info]\nPath=" + path + "\nDeletionDate=" + date + "\n";
}

// A temporary home with its data folder, the home trash and a volume below it.
class TrashTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        root_ = temp_.path().toStdString();
        home_ = root_ + "/home";
        data_ = root_ + "/data";
        fs::create_directories(home_);
        homeGuard_.emplace("HOME", home_);
        dataGuard_.emplace("XDG_DATA_HOME", data_);
        tzGuard_.emplace("TZ", "Europe/Berlin");
        ::tzset();
    }
    void TearDown() override
    {
        tzGuard_.reset();
        ::tzset();
    }

    // Puts a trashed file (or folder) with its info file into `trash`.
    void Trash(const TTrashDirectory& trash, const std::string& name, const std::optional<std::string>& info,
               bool folder = false, const std::string& content = "12345")
    {
        fs::create_directories(trash.FilesPath());
        fs::create_directories(trash.InfoPath());
        // As a trash is made: the user's alone.
        ::chmod(trash.Path.c_str(), 0700);
        if (folder) {
            fs::create_directories(trash.FilesPath() + "/" + name + "/inner");
        } else {
            WriteTextFile(trash.FilesPath() + "/" + name, content);
        }
        if (info)
            WriteTextFile(trash.InfoPath() + "/" + name + ".trashinfo", *info);
    }

    static const TTrashEntry* Find(const std::vector<TTrashEntry>& entries, const std::string& name)
    {
        const auto found =
            std::find_if(entries.begin(), entries.end(), [&](const auto& entry) { return entry.Name == name; });
        return found == entries.end() ? nullptr : &*found;
    }

    QTemporaryDir temp_;
    std::string root_;
    std::string home_;
    std::string data_;
    std::optional<TEnvironmentGuard> homeGuard_;
    std::optional<TEnvironmentGuard> dataGuard_;
    std::optional<TEnvironmentGuard> tzGuard_;
};

}  // namespace

TEST_F(TrashTest, HomeTrashFollowsTheDataFolder)
{
    EXPECT_EQ(TTrash::HomeTrashPath(), data_ + "/Trash");
    EXPECT_TRUE(TTrash::HomeTrash().IsHomeTrash);
    EXPECT_EQ(TTrash::HomeTrash().FilesPath(), data_ + "/Trash/files");
    EXPECT_EQ(TTrash::HomeTrash().InfoPath(), data_ + "/Trash/info");
    dataGuard_.reset();
    const TEnvironmentGuard noData("XDG_DATA_HOME", "");
    EXPECT_EQ(TTrash::HomeTrashPath(), home_ + "/.local/share/Trash");
}

TEST_F(TrashTest, VolumeTrashPrefersASafeSharedTrash)
{
    // No shared trash: the user's own.
    const std::string plain = root_ + "/plain";
    fs::create_directories(plain);
    EXPECT_EQ(TTrash::VolumeTrash(plain).Path, plain + "/.Trash-" + kUid);
    EXPECT_EQ(TTrash::VolumeTrash(plain).TopDir, plain);
    EXPECT_FALSE(TTrash::VolumeTrash(plain).IsHomeTrash);

    // A shared trash with the sticky bit.
    const std::string sticky = root_ + "/sticky";
    fs::create_directories(sticky + "/.Trash");
    ASSERT_EQ(::chmod((sticky + "/.Trash").c_str(), 01777), 0);
    EXPECT_EQ(TTrash::VolumeTrash(sticky).Path, sticky + "/.Trash/" + kUid);

    // Without the sticky bit, or as a symbolic link to a sticky folder, it is not trusted.
    const std::string loose = root_ + "/loose";
    fs::create_directories(loose + "/.Trash");
    ASSERT_EQ(::chmod((loose + "/.Trash").c_str(), 0777), 0);
    EXPECT_EQ(TTrash::VolumeTrash(loose).Path, loose + "/.Trash-" + kUid);
    const std::string linked = root_ + "/linked";
    fs::create_directories(linked);
    fs::create_directory_symlink(sticky + "/.Trash", linked + "/.Trash");
    EXPECT_EQ(TTrash::VolumeTrash(linked).Path, linked + "/.Trash-" + kUid);

    // A file named .Trash is no trash either; the root volume joins paths cleanly.
    const std::string file = root_ + "/file";
    fs::create_directories(file);
    WriteTextFile(file + "/.Trash", "");
    EXPECT_EQ(TTrash::VolumeTrash(file).Path, file + "/.Trash-" + kUid);
    EXPECT_EQ(TTrash::VolumeTrash("/").Path.rfind("/.Trash", 0), 0U);
}

TEST_F(TrashTest, ListsEntriesWithTheirInfo)
{
    const TTrashDirectory home = TTrash::HomeTrash();
    Trash(home, "a b.txt", Info("/home/anna/a%20b.txt"));
    Trash(home, "Ordner", Info("/home/anna/Ordner", "2024-07-01T14:00:00"), true);
    Trash(home, "caf\xE9", Info("/home/anna/caf%E9%0Aneu"));
    Trash(home, "a b.2.txt", Info("/home/anna/a%20b.txt"), false, "");
    const auto entries = TTrash::ListEntries(home);
    ASSERT_EQ(entries.size(), 4U);

    const TTrashEntry* file = Find(entries, "a b.txt");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->TrashedPath, data_ + "/Trash/files/a b.txt");
    EXPECT_EQ(file->InfoFilePath, data_ + "/Trash/info/a b.txt.trashinfo");
    EXPECT_EQ(file->OriginalPath, "/home/anna/a b.txt");
    ASSERT_TRUE(file->DeletionTime.has_value());
    EXPECT_EQ(*file->DeletionTime, std::time_t(1709626079));
    EXPECT_FALSE(file->IsDirectory);
    EXPECT_EQ(file->Size, 5U);
    EXPECT_EQ(file->Trash, home);

    const TTrashEntry* folder = Find(entries, "Ordner");
    ASSERT_NE(folder, nullptr);
    EXPECT_TRUE(folder->IsDirectory);
    EXPECT_EQ(folder->Size, 0U);
    EXPECT_EQ(*folder->DeletionTime, std::time_t(1719835200));

    const TTrashEntry* raw = Find(entries, "caf\xE9");
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->OriginalPath, "/home/anna/caf\xE9\nneu");
    // Two entries may come from the same place.
    EXPECT_EQ(Find(entries, "a b.2.txt")->OriginalPath, "/home/anna/a b.txt");
    EXPECT_EQ(Find(entries, "a b.2.txt")->Size, 0U);
}

TEST_F(TrashTest, BrokenOrMissingInfoFiles)
{
    const TTrashDirectory home = TTrash::HomeTrash();
    Trash(home, "ohne-info", std::nullopt);
    Trash(home, "keine-gruppe", "Path=/x\nDeletionDate=2024-03-05T09:07:59\n");
    Trash(home, "falsches-datum", Info("/home/anna/x", "2024-13-05T09:07:59"));
    Trash(home, "kurzes-datum", Info("/home/anna/x", "2024-03-05"));
    Trash(home, "relativ", Info("anna/relativ"));
    Trash(home, "ausbruch", Info("/home/anna/../../etc/passwd"));
    Trash(home, "kaputtes-escape", Info("/home/anna/%zz"));
    Trash(home, "nul", Info("/home/anna/a%00b"));
    Trash(home, "binär", std::string("\x00\xFF[Trash Info]\n\x01", 17));
    Trash(home, "andere-gruppe", "[Desktop Entry]\nPath=/falsch\n[Trash Info]\nDeletionDate=2024-03-05T09:07:59\n");
    Trash(home, "crlf", "[Trash Info]\r\nPath = /home/anna/crlf\r\nDeletionDate=2024-03-05T09:07:59.123\r\n");
    // An info file that is a folder, and one whose entry is gone.
    Trash(home, "info-ordner", std::nullopt);
    fs::create_directories(home.InfoPath() + "/info-ordner.trashinfo");
    WriteTextFile(home.InfoPath() + "/verwaist.trashinfo", Info("/home/anna/verwaist"));
    // A symbolic link in the trash is listed as itself, even when it points at a folder.
    fs::create_directory_symlink(root_, home.FilesPath() + "/verweis");

    const auto entries = TTrash::ListEntries(home);
    EXPECT_EQ(entries.size(), 13U);
    EXPECT_EQ(Find(entries, "verwaist"), nullptr);
    for (const char* name : {"ohne-info", "keine-gruppe", "relativ", "ausbruch", "kaputtes-escape", "nul", "binär",
                             "info-ordner", "verweis"}) {
        const TTrashEntry* entry = Find(entries, name);
        ASSERT_NE(entry, nullptr) << name;
        EXPECT_EQ(entry->OriginalPath, "") << name;
    }
    EXPECT_EQ(Find(entries, "ohne-info")->InfoFilePath, "");
    EXPECT_FALSE(Find(entries, "keine-gruppe")->DeletionTime.has_value());
    EXPECT_TRUE(Find(entries, "relativ")->DeletionTime.has_value());
    EXPECT_EQ(Find(entries, "falsches-datum")->OriginalPath, "/home/anna/x");
    EXPECT_FALSE(Find(entries, "falsches-datum")->DeletionTime.has_value());
    EXPECT_FALSE(Find(entries, "kurzes-datum")->DeletionTime.has_value());
    EXPECT_EQ(Find(entries, "andere-gruppe")->OriginalPath, "");
    EXPECT_TRUE(Find(entries, "andere-gruppe")->DeletionTime.has_value());
    EXPECT_EQ(Find(entries, "crlf")->OriginalPath, "/home/anna/crlf");
    EXPECT_EQ(*Find(entries, "crlf")->DeletionTime, std::time_t(1709626079));
    EXPECT_TRUE(Find(entries, "verweis")->IsSymlink);
    EXPECT_FALSE(Find(entries, "verweis")->IsDirectory);
    // A trash that does not exist yet is empty.
    EXPECT_TRUE(TTrash::ListEntries(TTrash::VolumeTrash(root_ + "/nirgends")).empty());
}

TEST_F(TrashTest, VolumeTrashesOfTheMountTable)
{
    // Two volumes below the home folder, one of them with both kinds of trash.
    const std::string stick = home_ + "/stick";
    const std::string disk = home_ + "/disk";
    fs::create_directories(stick);
    fs::create_directories(disk + "/.Trash");
    ASSERT_EQ(::chmod((disk + "/.Trash").c_str(), 01777), 0);
    const TMountTable mounts = TMountTable::Parse("1 0 254:0 / / rw - ext4 /dev/vda1 rw\n"
                                                  "2 1 8:1 / " +
                                                  stick +
                                                  " rw - vfat /dev/sdb1 rw\n"
                                                  "3 1 8:2 / " +
                                                  disk +
                                                  " rw - ext4 /dev/sdc1 rw\n"
                                                  "4 1 8:3 / /media/fehlt rw - ext4 /dev/sdd1 rw\n"
                                                  "5 1 0:9 / " +
                                                  home_ + "/fern rw - fuse.sshfs a@b:/ rw\n");
    fs::create_directories(home_ + "/fern/.Trash-" + kUid + "/files");
    // Volumes without a trash folder add nothing.
    EXPECT_EQ(TTrash::TrashDirectories(mounts), std::vector<TTrashDirectory>{TTrash::HomeTrash()});

    const TTrashDirectory stickTrash = TTrash::VolumeTrash(stick);
    const TTrashDirectory diskShared = TTrash::VolumeTrash(disk);
    const TTrashDirectory diskOwn{disk + "/.Trash-" + kUid, disk, false};
    ASSERT_EQ(diskShared.Path, disk + "/.Trash/" + kUid);
    Trash(TTrash::HomeTrash(), "daheim", Info("/home/anna/daheim"));
    Trash(stickTrash, "foto.jpg", Info("Bilder/foto%201.jpg"));
    Trash(stickTrash, "flucht", Info("../flucht"));
    Trash(diskShared, "geteilt", Info(disk + "/absolut"));
    Trash(diskOwn, "eigen", Info("eigen"));
    const auto trashes = TTrash::TrashDirectories(mounts);
    EXPECT_EQ(trashes, (std::vector<TTrashDirectory>{TTrash::HomeTrash(), diskShared, diskOwn, stickTrash}));

    const auto entries = TTrash::ListEntries(trashes);
    ASSERT_EQ(entries.size(), 5U);
    EXPECT_EQ(Find(entries, "foto.jpg")->OriginalPath, stick + "/Bilder/foto 1.jpg");
    EXPECT_EQ(Find(entries, "foto.jpg")->TrashedPath, stick + "/.Trash-" + kUid + "/files/foto.jpg");
    EXPECT_EQ(Find(entries, "flucht")->OriginalPath, "");
    EXPECT_EQ(Find(entries, "geteilt")->OriginalPath, disk + "/absolut");
    EXPECT_EQ(Find(entries, "eigen")->OriginalPath, disk + "/eigen");
    EXPECT_EQ(Find(entries, "daheim")->Trash, TTrash::HomeTrash());
}

TEST(PercentEncoding, PathsRoundTrip)
{
    const std::string path = std::string("/home/anna/a b%c\n\xFF\xC3\xBC~-_.");
    const std::string encoded = PercentEncodePath(path);
    EXPECT_EQ(encoded, "/home/anna/a%20b%25c%0A%FF%C3%BC~-_.");
    EXPECT_EQ(PercentDecode(encoded), path);
    EXPECT_EQ(PercentDecode("%c3%bc"), "\xC3\xBC");
    EXPECT_FALSE(PercentDecode("%4").has_value());
    EXPECT_FALSE(PercentDecode("abc%").has_value());
    EXPECT_FALSE(PercentDecode("%g0").has_value());
    EXPECT_FALSE(PercentDecode("a%00b").has_value());
}
