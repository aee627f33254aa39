#include "NamespaceFixture.h"

#include "platform/core/ids/ShellItems.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"

#include <algorithm>
#include <fstream>
#include <unistd.h>

namespace {

constexpr std::uint32_t kEverything = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;

class NamespaceEnum : public NamespaceFixture
{
protected:
    // A folder with a bit of everything: dot names, names listed in .hidden,
    // links to folders and to nothing, a FIFO, an empty folder.
    void MakeMixedFolder()
    {
        MakeDirectory(Work() + "/dir");
        MakeDirectory(Work() + "/empty dir");
        MakeDirectory(Work() + "/.dot dir");
        WriteFile(Work() + "/file.txt", 10);
        WriteFile(Work() + "/.dotfile");
        WriteFile(Work() + "/listed");
        MakeDirectory(Work() + "/listed dir");
        MakeSymlink("dir", Work() + "/link to dir");
        MakeSymlink("missing", Work() + "/broken");
        MakeFifo(Work() + "/pipe");
        std::ofstream(Work() + "/.hidden") << "listed\nlisted dir\nnot there\n";
    }

    std::vector<std::string> Names(const std::string& path, std::uint32_t flags)
    {
        IShellFolderPtr folder = Bind(path);
        if (!folder)
            return {};
        std::vector<std::string> names;
        for (const TItemIdListPtr& item : Enumerate(*folder, flags))
            names.push_back(DisplayName(*folder, item.get()));
        std::sort(names.begin(), names.end());
        return names;
    }
};

using TNames = std::vector<std::string>;

}  // namespace

TEST_F(NamespaceEnum, FlagsChooseFoldersFilesAndHidden)
{
    MakeMixedFolder();
    EXPECT_EQ(Names(Work(), SHCONTF_FOLDERS), (TNames{"dir", "empty dir", "link to dir"}));
    EXPECT_EQ(Names(Work(), SHCONTF_NONFOLDERS), (TNames{"broken", "file.txt", "pipe"}));
    EXPECT_EQ(Names(Work(), SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN),
              (TNames{".dot dir", "dir", "empty dir", "link to dir", "listed dir"}));
    EXPECT_EQ(Names(Work(), kEverything), (TNames{".dot dir", ".dotfile", ".hidden", "broken", "dir", "empty dir",
                                                  "file.txt", "link to dir", "listed", "listed dir", "pipe"}));
    EXPECT_TRUE(Names(Work(), 0).empty());
}

TEST_F(NamespaceEnum, HiddenAttributeFollowsDotNamesAndTheHiddenFile)
{
    MakeMixedFolder();
    IShellFolderPtr folder = Bind(Work());
    ASSERT_TRUE(folder);
    for (const char* name : {".dot dir", ".dotfile", "listed", "listed dir"})
        EXPECT_EQ(Attributes(*folder, FindItem(*folder, name).get(), SFGAO_HIDDEN), SFGAO_HIDDEN) << name;
    for (const char* name : {"dir", "file.txt", "broken"})
        EXPECT_EQ(Attributes(*folder, FindItem(*folder, name).get(), SFGAO_HIDDEN), 0u) << name;

    // The .hidden file is read again at the next enumeration, whichever folder
    // object (a pane's, a worker's) makes it: the others see that reading.
    const TItemIdListPtr dir = FindItem(*folder, "dir");
    std::ofstream(Work() + "/.hidden") << "dir\n";
    EXPECT_EQ(Attributes(*folder, dir.get(), SFGAO_HIDDEN), 0u) << "no new reading without a new listing";
    EXPECT_EQ(Names(Work(), SHCONTF_FOLDERS), (TNames{"empty dir", "link to dir", "listed dir"}));
    EXPECT_EQ(Attributes(*folder, dir.get(), SFGAO_HIDDEN), SFGAO_HIDDEN);
}

TEST_F(NamespaceEnum, EnumerationIsOneItemAtATimeAndRestarts)
{
    for (int i = 0; i < 5; ++i)
        WriteFile(Work() + "/f" + std::to_string(i));
    IShellFolderPtr folder = Bind(Work());
    ASSERT_TRUE(folder);
    std::unique_ptr<IEnumIDList> enumerator;
    ASSERT_TRUE(folder->EnumObjects(SHCONTF_NONFOLDERS, enumerator).Succeeded());
    TItemIdListPtr item;
    ASSERT_TRUE(enumerator->Next(item));
    EXPECT_EQ(IDListCount(item.get()), 1u);
    int count = 1;
    while (enumerator->Next(item))
        ++count;
    EXPECT_EQ(count, 5);
    EXPECT_FALSE(enumerator->Next(item));
    enumerator->Reset();
    EXPECT_TRUE(enumerator->Next(item));

    // A folder that has gone fails to enumerate.
    IShellFolderPtr gone = Bind(Work() + "/");
    MakeDirectory(Work() + "/soon gone");
    IShellFolderPtr soonGone = Bind(Work() + "/soon gone");
    ASSERT_TRUE(soonGone);
    ASSERT_EQ(::rmdir((Work() + "/soon gone").c_str()), 0);
    EXPECT_TRUE(soonGone->EnumObjects(kEverything, enumerator).Failed());
}

TEST_F(NamespaceEnum, HookHearsOfEveryEnumeratedDirectory)
{
    MakeDirectory(Work() + "/a");
    std::vector<std::string> heard;
    SetFolderEnumeratedHook([&](const std::string& path) { heard.push_back(path); });
    IShellFolderPtr work = Bind(Work());
    IShellFolderPtr a = Bind(Work() + "/a");
    Enumerate(*work, SHCONTF_FOLDERS);
    Enumerate(*a, SHCONTF_FOLDERS);
    Enumerate(*work, SHCONTF_NONFOLDERS);
    // Folders without a path (the computer) are not directories.
    IShellFolderPtr computer = SHBindToFolder(SHGetSpecialFolderLocation(SF_DRIVES).get());
    ASSERT_TRUE(computer);
    Enumerate(*computer, SHCONTF_FOLDERS);
    SetFolderEnumeratedHook(nullptr);
    Enumerate(*work, SHCONTF_FOLDERS);
    EXPECT_EQ(heard, (TNames{Work(), Work() + "/a", Work()}));
}

TEST_F(NamespaceEnum, DesktopHoldsVirtualFoldersThenTheDesktopDirectory)
{
    IShellFolderPtr desktop = SHGetDesktopFolder();
    EXPECT_EQ(SortedNames(*desktop, kEverything),
              (TNames{"Persönlicher Ordner", "Computer", "Netzwerk", "Papierkorb"}));
    // Without a desktop directory the desktop has no path.
    EXPECT_EQ(desktop->GetPath(), "");

    // A desktop directory made later shows at the next enumeration.
    const std::string desktopDirectory = MakeDesktopDirectory();
    WriteFile(desktopDirectory + "/notes.txt");
    MakeDirectory(desktopDirectory + "/Projekte");
    EXPECT_EQ(SortedNames(*desktop, SHCONTF_NONFOLDERS), (TNames{"notes.txt"}));
    EXPECT_EQ(desktop->GetPath(), desktopDirectory);
    desktop = SHGetDesktopFolder();
    EXPECT_EQ(desktop->GetPath(), desktopDirectory);
    EXPECT_EQ(SortedNames(*desktop, kEverything),
              (TNames{"Persönlicher Ordner", "Computer", "Netzwerk", "Papierkorb", "Projekte", "notes.txt"}));
    EXPECT_EQ(SortedNames(*desktop, SHCONTF_NONFOLDERS), (TNames{"notes.txt"}));

    // An entry of the desktop directory has its path below it, from the list alone.
    TItemIdListPtr notes = FindItem(*desktop, "notes.txt");
    EXPECT_EQ(IDListCount(notes.get()), 1u);
    EXPECT_EQ(SHGetPathFromIDList(notes.get()), desktopDirectory + "/notes.txt");
    EXPECT_EQ(SHGetPathFromIDList(MakeDesktopIDList().get()), desktopDirectory);
    std::string name;
    ASSERT_TRUE(desktop->GetDisplayNameOf(MakeDesktopIDList().get(), SHGDN_NORMAL, name).Succeeded());
    EXPECT_EQ(name, "Desktop");
}

TEST_F(NamespaceEnum, VirtualFoldersHaveNamesPathsAndParsingNames)
{
    WriteFile(Home() + "/in home");
    IShellFolderPtr desktop = SHGetDesktopFolder();
    TItemIdListPtr home = SHGetSpecialFolderLocation(SF_PERSONAL);
    ASSERT_TRUE(home);
    EXPECT_EQ(SHGetPathFromIDList(home.get()), Home());
    EXPECT_EQ(DisplayName(*desktop, home.get()), "Persönlicher Ordner");
    EXPECT_EQ(DisplayName(*desktop, home.get(), SHGDN_FORPARSING), Home());
    IShellFolderPtr homeFolder = SHBindToFolder(home.get());
    ASSERT_TRUE(homeFolder);
    EXPECT_EQ(SortedNames(*homeFolder, SHCONTF_NONFOLDERS), (TNames{"in home"}));

    // Folders without a path parse back from their parsing names.
    for (int special : {SF_DRIVES, SF_NETWORK, SF_BITBUCKET}) {
        TItemIdListPtr list = SHGetSpecialFolderLocation(special);
        ASSERT_TRUE(list);
        EXPECT_EQ(SHGetPathFromIDList(list.get()), "");
        const std::string parsingName = DisplayName(*desktop, list.get(), SHGDN_FORPARSING);
        TItemIdListPtr again;
        ASSERT_TRUE(desktop->ParseDisplayName(parsingName, again).Succeeded()) << parsingName;
        EXPECT_TRUE(IDListsEqual(again.get(), list.get()));
    }
}

TEST_F(NamespaceEnum, AttributesOfFilesFoldersAndVirtualFolders)
{
    MakeMixedFolder();
    MakeDirectory(Work() + "/dir/inner");
    IShellFolderPtr work = Bind(Work());
    ASSERT_TRUE(work);
    const std::uint32_t all = 0xFFFFFFFFu;
    const std::uint32_t pathBits = SFGAO_FILESYSTEM | SFGAO_CANCOPY | SFGAO_CANLINK;
    const std::uint32_t changeBits = SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_CANMOVE;
    const std::uint32_t folderBits = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR;

    EXPECT_EQ(Attributes(*work, FindItem(*work, "file.txt").get(), all), pathBits | changeBits);
    EXPECT_EQ(Attributes(*work, FindItem(*work, "dir").get(), all),
              pathBits | changeBits | folderBits | SFGAO_HASSUBFOLDER);
    EXPECT_EQ(Attributes(*work, FindItem(*work, "empty dir").get(), all), pathBits | changeBits | folderBits);
    EXPECT_EQ(Attributes(*work, FindItem(*work, "link to dir").get(), all),
              pathBits | changeBits | folderBits | SFGAO_LINK | SFGAO_HASSUBFOLDER);
    // Only asked bits come back.
    EXPECT_EQ(Attributes(*work, FindItem(*work, "dir").get(), SFGAO_FOLDER), SFGAO_FOLDER);
    // Several items: the bits they all have.
    TItemIdListPtr file = FindItem(*work, "file.txt");
    TItemIdListPtr dir = FindItem(*work, "dir");
    const TItemIdList* both[] = {file.get(), dir.get()};
    std::uint32_t common = all;
    ASSERT_TRUE(work->GetAttributesOf(both, common).Succeeded());
    EXPECT_EQ(common, pathBits | changeBits);

    IShellFolderPtr desktop = SHGetDesktopFolder();
    TItemIdListPtr computer = SHGetSpecialFolderLocation(SF_DRIVES);
    EXPECT_EQ(Attributes(*desktop, computer.get(), all), folderBits | SFGAO_HASSUBFOLDER);
    TItemIdListPtr trash = SHGetSpecialFolderLocation(SF_BITBUCKET);
    EXPECT_EQ(Attributes(*desktop, trash.get(), all) & (SFGAO_FOLDER | SFGAO_FILESYSTEM), SFGAO_FOLDER);
    TItemIdListPtr home = SHGetSpecialFolderLocation(SF_PERSONAL);
    EXPECT_EQ(Attributes(*desktop, home.get(), SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_CANRENAME),
              SFGAO_FOLDER | SFGAO_FILESYSTEM);
}

TEST_F(NamespaceEnum, AnImmutableFolderCannotRenameItsItems)
{
    MakeDirectory(Work() + "/locked");
    WriteFile(Work() + "/locked/a");
    IShellFolderPtr locked = Bind(Work() + "/locked");
    ASSERT_TRUE(locked);
    TItemIdListPtr item = FindItem(*locked, "a");
    const std::uint32_t changeBits = SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_CANMOVE;
    TImmutableGuard guard(Work() + "/locked");
    if (!guard.Active())
        GTEST_SKIP() << "chattr is not available here";
    EXPECT_EQ(Attributes(*locked, item.get(), changeBits), 0u);
    TItemIdListPtr renamed;
    const TShellResult result = locked->SetNameOf(item.get(), "b", 0, &renamed);
    EXPECT_TRUE(result.Failed());
    EXPECT_EQ(renamed, nullptr);
}

TEST_F(NamespaceEnum, HasSubfolderStopsEarlyInBigFolders)
{
    // Many files and no folder: the scan gives up and answers yes rather than
    // reading everything. (Hard links of one file are quick to make.)
    MakeDirectory(Work() + "/big");
    WriteFile(Work() + "/big/f");
    for (int i = 0; i < 600; ++i)
        ASSERT_EQ(::link((Work() + "/big/f").c_str(), (Work() + "/big/f" + std::to_string(i)).c_str()), 0);
    MakeDirectory(Work() + "/small");
    for (int i = 0; i < 20; ++i)
        WriteFile(Work() + "/small/f" + std::to_string(i));
    IShellFolderPtr work = Bind(Work());
    ASSERT_TRUE(work);
    EXPECT_EQ(Attributes(*work, FindItem(*work, "big").get(), SFGAO_HASSUBFOLDER), SFGAO_HASSUBFOLDER);
    EXPECT_EQ(Attributes(*work, FindItem(*work, "small").get(), SFGAO_HASSUBFOLDER), 0u);
}
