#include "NamespaceFixture.h"

#include "platform/core/system/LastError.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"
#include "tests/support/TFatMount.h"

#include <QDateTime>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>

namespace {

constexpr std::uint32_t kEverything = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;
using TNames = std::vector<std::string>;

class NamespaceDetails : public NamespaceFixture
{
protected:
    TNames Row(IShellFolder& folder, const TItemIdList* item)
    {
        TNames texts;
        TShellDetails details;
        for (int column = 0; folder.GetDetailsOf(item, column, details).Succeeded(); ++column)
            texts.push_back(details.text);
        return texts;
    }

    void SetModificationTime(const std::string& path, const QDateTime& time)
    {
        const timespec times[2] = {{time.toSecsSinceEpoch(), 0}, {time.toSecsSinceEpoch(), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    }
};

}  // namespace

TEST_F(NamespaceDetails, FileSystemColumnsAndTheirLayout)
{
    IShellFolderPtr work = Bind(Work());
    ASSERT_TRUE(work);
    struct TExpected
    {
        const char* title;
        int format;
        int width;
        bool onByDefault;
    };
    const TExpected expected[] = {
        {"Name", LVCFMT_LEFT, 30, true},
        {"Größe", LVCFMT_RIGHT, 10, true},
        {"Typ", LVCFMT_LEFT, 20, true},
        {"Geändert am", LVCFMT_LEFT, 16, true},
        {"Berechtigungen", LVCFMT_LEFT, 10, false},
        {"Besitzer", LVCFMT_LEFT, 10, false},
    };
    TShellDetails details;
    std::uint32_t state = 0;
    for (int column = 0; column < static_cast<int>(std::size(expected)); ++column) {
        SCOPED_TRACE(column);
        ASSERT_TRUE(work->GetDetailsOf(nullptr, column, details).Succeeded());
        EXPECT_EQ(details.text, expected[column].title);
        EXPECT_EQ(details.format, expected[column].format);
        EXPECT_EQ(details.charCount, expected[column].width);
        ASSERT_TRUE(work->GetDefaultColumnState(column, state).Succeeded());
        EXPECT_EQ((state & SHCOLSTATE_ONBYDEFAULT) != 0, expected[column].onByDefault);
    }
    // Past the last column: failure, so callers know where the columns end.
    EXPECT_TRUE(work->GetDetailsOf(nullptr, 6, details).Failed());
    EXPECT_TRUE(work->GetDefaultColumnState(6, state).Failed());
    EXPECT_TRUE(work->GetDetailsOf(nullptr, -1, details).Failed());

    // Home and desktop show the same columns.
    IShellFolderPtr desktop = SHGetDesktopFolder();
    ASSERT_TRUE(desktop->GetDetailsOf(nullptr, 3, details).Succeeded());
    EXPECT_EQ(details.text, "Geändert am");
    IShellFolderPtr trash = SHBindToFolder(SHGetSpecialFolderLocation(SF_BITBUCKET).get());
    ASSERT_TRUE(trash);
    TNames titles;
    for (int column = 0; trash->GetDetailsOf(nullptr, column, details).Succeeded(); ++column)
        titles.push_back(details.text);
    EXPECT_EQ(titles, (TNames{"Name", "Ursprünglicher Ort", "Gelöscht am", "Größe", "Typ"}));
}

TEST_F(NamespaceDetails, TextsOfItemsAsTheyComeOutOfAFolder)
{
    WriteFile(Work() + "/empty.txt", 0);
    WriteFile(Work() + "/one byte.bin", 1);
    WriteFile(Work() + "/piece.0001", 1457664);
    MakeDirectory(Work() + "/Ordner");
    MakeSymlink("piece.0001", Work() + "/link");
    const QDateTime when(QDate(2024, 3, 9), QTime(7, 5));
    for (const char* name : {"empty.txt", "one byte.bin", "piece.0001", "Ordner"})
        SetModificationTime(Work() + "/" + name, when);
    ::chmod((Work() + "/piece.0001").c_str(), 0640);

    IShellFolderPtr work = Bind(Work());
    ASSERT_TRUE(work);
    const auto row = [&](const char* name) {
        TNames texts = Row(*work, FindItem(*work, name).get());
        texts.resize(5);
        return texts;
    };
    EXPECT_EQ(row("empty.txt"),
              (TNames{"empty.txt", "0 KB", "Einfaches Textdokument", "09.03.2024 07:05", "-rw-r--r--"}));
    EXPECT_EQ(row("one byte.bin")[1], "1 KB");
    EXPECT_EQ(row("piece.0001"), (TNames{"piece.0001", "1.424 KB", "0001-Datei", "09.03.2024 07:05", "-rw-r-----"}));
    EXPECT_EQ(row("Ordner"), (TNames{"Ordner", "", "Dateiordner", "09.03.2024 07:05", "drwxr-xr-x"}));
    // A link shows its target's size and its own permissions.
    const TNames link = row("link");
    EXPECT_EQ(link[1], "1.424 KB");
    EXPECT_EQ(link[4].substr(0, 1), "l");
    // Texts come fresh from the file system.
    TItemIdListPtr item = FindItem(*work, "empty.txt");
    WriteFile(Work() + "/empty.txt", 5000);
    EXPECT_EQ(Row(*work, item.get())[1], "5 KB");
    // The item's find data: name, size and times.
    TFindData data;
    ASSERT_TRUE(work->GetFindData(item.get(), data).Succeeded());
    EXPECT_EQ(data.name, "empty.txt");
    EXPECT_EQ(data.size, 5000u);
    EXPECT_FALSE(data.isFolder);
    EXPECT_GT(data.modificationTime.tv_sec, when.toSecsSinceEpoch());
    // A file that is gone has no find data.
    ASSERT_EQ(::unlink((Work() + "/empty.txt").c_str()), 0);
    EXPECT_TRUE(work->GetFindData(item.get(), data).Failed());
    EXPECT_EQ(GetLastError(), ENOENT);
}

TEST_F(NamespaceDetails, TrashShowsOriginalNamesPlacesAndDates)
{
    const std::string trash = Home() + "/.local/share/Trash";
    MakeDirectory(trash);
    MakeDirectory(trash + "/files");
    MakeDirectory(trash + "/info");
    WriteFile(trash + "/files/report.txt.2", 3000);
    MakeDirectory(trash + "/files/old folder");
    std::ofstream(trash + "/info/report.txt.2.trashinfo")
        << "[Trash Info]\nPath=/home/anna/Dokumente/report.txt\nDeletionDate=2024-05-01T12:30:00\n";
    std::ofstream(trash + "/info/old folder.trashinfo")
        << "[Trash Info]\nPath=/home/anna/old%20folder\nDeletionDate=2023-01-02T03:04:05\n";

    IShellFolderPtr bin = SHBindToFolder(SHGetSpecialFolderLocation(SF_BITBUCKET).get());
    ASSERT_TRUE(bin);
    EXPECT_EQ(SortedNames(*bin, kEverything), (TNames{"old folder", "report.txt"}));
    // Trashed entries are listed, not opened.
    EXPECT_TRUE(SortedNames(*bin, SHCONTF_FOLDERS).empty());
    EXPECT_EQ(Row(*bin, FindItem(*bin, "report.txt").get()),
              (TNames{"report.txt", "/home/anna/Dokumente", "01.05.2024 12:30", "3 KB", "Einfaches Textdokument"}));
    EXPECT_EQ(Row(*bin, FindItem(*bin, "old folder").get()),
              (TNames{"old folder", "/home/anna", "02.01.2023 03:04", "", "Dateiordner"}));

    // The name in the trash parses back; the path is the trashed file.
    TItemIdListPtr item = FindItem(*bin, "report.txt");
    EXPECT_EQ(DisplayName(*bin, item.get(), SHGDN_INFOLDER | SHGDN_FORPARSING), "report.txt.2");
    TItemIdListPtr again;
    ASSERT_TRUE(bin->ParseDisplayName("report.txt.2", again).Succeeded());
    EXPECT_TRUE(IDListsEqual(again.get(), item.get()));
    TItemIdListPtr absolute = ConcatIDLists(bin->GetIDList(), item.get());
    EXPECT_EQ(SHGetPathFromIDList(absolute.get()), trash + "/files/report.txt.2");
    EXPECT_EQ(Attributes(*bin, item.get(), SFGAO_FOLDER | SFGAO_CANDELETE | SFGAO_CANRENAME), SFGAO_CANDELETE);
}

TEST_F(NamespaceDetails, SetNameRenamesAndReturnsTheNewItem)
{
    WriteFile(Work() + "/old name.txt", 7);
    WriteFile(Work() + "/taken");
    IShellFolderPtr work = Bind(Work());
    ASSERT_TRUE(work);
    TItemIdListPtr item = FindItem(*work, "old name.txt");

    const std::string awkward("neu\nname \xe9.txt", 14);
    TItemIdListPtr renamed;
    ASSERT_TRUE(work->SetNameOf(item.get(), awkward, 0, &renamed).Succeeded());
    ASSERT_TRUE(renamed);
    EXPECT_EQ(DisplayName(*work, renamed.get()), awkward);
    struct stat status;
    EXPECT_EQ(::stat((Work() + "/" + awkward).c_str(), &status), 0);
    EXPECT_EQ(status.st_size, 7);
    EXPECT_NE(::stat((Work() + "/old name.txt").c_str(), &status), 0);

    // An existing name is never overwritten; bad names are refused.
    SetLastError(0);
    EXPECT_TRUE(work->SetNameOf(renamed.get(), "taken", 0, nullptr).Failed());
    EXPECT_EQ(GetLastError(), EEXIST);
    EXPECT_EQ(::stat((Work() + "/taken").c_str(), &status), 0);
    EXPECT_EQ(status.st_size, 0);
    for (const std::string& bad :
         {std::string(), std::string("a/b"), std::string("."), std::string(".."), std::string("a\0b", 3)}) {
        SetLastError(0);
        EXPECT_TRUE(work->SetNameOf(renamed.get(), bad, 0, nullptr).Failed()) << bad;
        EXPECT_EQ(GetLastError(), EINVAL);
    }
    // The item that is gone cannot be renamed again.
    SetLastError(0);
    EXPECT_TRUE(work->SetNameOf(item.get(), "again", 0, nullptr).Failed());
    EXPECT_EQ(GetLastError(), ENOENT);
    // Virtual folders keep their names.
    IShellFolderPtr desktop = SHGetDesktopFolder();
    EXPECT_TRUE(desktop->SetNameOf(SHGetSpecialFolderLocation(SF_DRIVES).get(), "x", 0, nullptr).Failed());
}

TEST_F(NamespaceDetails, CaseOnlyRenamesOnACaseInsensitiveFileSystem)
{
    const TFatMount fat(Work());
    if (!fat.IsMounted())
        GTEST_SKIP() << fat.SkipReason();
    WriteFile(fat.Root() + "/a.JPG", 5);
    WriteFile(fat.Root() + "/b.txt", 3);
    IShellFolderPtr folder = Bind(fat.Root());
    ASSERT_TRUE(folder);
    const auto names = [&] {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(fat.Root()))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    };

    TItemIdListPtr renamed;
    ASSERT_TRUE(folder->SetNameOf(FindItem(*folder, "a.JPG").get(), "a.jpg", 0, &renamed).Succeeded());
    EXPECT_EQ(DisplayName(*folder, renamed.get()), "a.jpg");
    EXPECT_EQ(names(), (std::vector<std::string>{"a.jpg", "b.txt"}));
    EXPECT_EQ(std::filesystem::file_size(fat.Root() + "/a.jpg"), 5u);

    // Another file of that name, in any case, is still never replaced.
    SetLastError(0);
    EXPECT_TRUE(folder->SetNameOf(renamed.get(), "B.TXT", 0, nullptr).Failed());
    EXPECT_EQ(GetLastError(), EEXIST);
    EXPECT_EQ(names(), (std::vector<std::string>{"a.jpg", "b.txt"}));
    EXPECT_EQ(std::filesystem::file_size(fat.Root() + "/b.txt"), 3u);
}

TEST_F(NamespaceDetails, SpecialFoldersFollowHomeAndXdg)
{
    // Directories that do not exist resolve to none.
    EXPECT_EQ(SHGetSpecialFolderLocation(SF_DESKTOPDIRECTORY), nullptr);
    EXPECT_EQ(SHGetSpecialFolderLocation(SF_FONTS), nullptr);
    EXPECT_EQ(SHGetSpecialFolderLocation(SF_PRINTERS), nullptr);
    EXPECT_EQ(SHGetSpecialFolderLocation(SF_CONTROLS), nullptr);
    EXPECT_EQ(SHGetSpecialFolderLocation(kSpecialFolderCount), nullptr);

    const std::string desktop = MakeDesktopDirectory("Arbeitsfläche");
    MakeDirectory(Home() + "/.local/share/fonts");
    MakeDirectory(Home() + "/.local/share/applications");
    MakeDirectory(Home() + "/.config/autostart");
    const struct
    {
        int value;
        std::string path;
    } expected[] = {
        {SF_DESKTOPDIRECTORY, desktop},
        {SF_FONTS, Home() + "/.local/share/fonts"},
        {SF_PROGRAMS, Home() + "/.local/share/applications"},
        {SF_STARTMENU, Home() + "/.local/share/applications"},
        {SF_STARTUP, Home() + "/.config/autostart"},
        {SF_APPDATA, Home() + "/.local/share"},
        {SF_INTERNET_CACHE, Home() + "/.cache"},
        {SF_PERSONAL, Home()},
    };
    for (const auto& row : expected) {
        SCOPED_TRACE(SpecialFolderName(row.value));
        TItemIdListPtr list = SHGetSpecialFolderLocation(row.value);
        ASSERT_TRUE(list);
        EXPECT_EQ(SHGetPathFromIDList(list.get()), row.path);
    }
    EXPECT_TRUE(IsDesktopIDList(SHGetSpecialFolderLocation(SF_DESKTOP).get()));
    // The row of SF_FILESYSTEMFOLDER holds the computer.
    EXPECT_TRUE(IDListsEqual(SHGetSpecialFolderLocation(SF_FILESYSTEMFOLDER).get(),
                             SHGetSpecialFolderLocation(SF_DRIVES).get()));
    EXPECT_STREQ(SpecialFolderName(SF_COMMON_PROGRAMS), "SF_COMMON_PROGRAMS");
    EXPECT_EQ(SpecialFolderCsidl(SF_COMMON_PROGRAMS), 23);
}
