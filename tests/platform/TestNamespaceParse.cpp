#include "NamespaceFixture.h"

#include "platform/core/system/LastError.h"
#include "platform/core/ids/ShellItems.h"
#include "platform/namespace/ShellNamespace.h"

#include <cerrno>

namespace {

class NamespaceParse : public NamespaceFixture
{};

// The kinds of a list's items, e.g. "virtual volume fs fs".
std::string Kinds(const TItemIdList* list)
{
    std::string kinds;
    for (const TItemIdList* item = list; IDListItemSize(item) != 0; item = NextIDListItem(item)) {
        TItemView view;
        kinds += std::string(kinds.empty() ? "" : " ") + (ReadItem(item, view) ? ItemKindName(view.kind) : "?");
    }
    return kinds;
}

const std::string kAwkwardNames[] = {
    "with space", " leading space", "line\nbreak", std::string("latin1 caf\xe9", 11),
    "tab\there",  "quote\"'",       "back\\slash", "ümlaut.txt",
    "-dash",      "a.b.c",          "...",         std::string("\xff\xfe", 2),
};

}  // namespace

TEST_F(NamespaceParse, AbsolutePathsStartAtComputerAndRootVolume)
{
    WriteFile(Work() + "/a.txt");
    TItemIdListPtr list = Parse(Work() + "/a.txt");
    ASSERT_TRUE(list);
    // computer, "/", then one item per component below "/".
    std::size_t components = 0;
    for (char c : Work() + "/a.txt")
        components += c == '/';
    EXPECT_EQ(IDListCount(list.get()), 2 + components);
    EXPECT_EQ(Kinds(TruncateIDList(list.get(), 3).get()), "virtual volume fs");
    EXPECT_EQ(SHGetPathFromIDList(list.get()), Work() + "/a.txt");

    // The volume "/" ends in "/"; the computer has no path.
    EXPECT_EQ(SHGetPathFromIDList(TruncateIDList(list.get(), 2).get()), "/");
    EXPECT_EQ(SHGetPathFromIDList(TruncateIDList(list.get(), 1).get()), "");
    EXPECT_EQ(SHGetPathFromIDList(nullptr), "");
}

TEST_F(NamespaceParse, AwkwardNamesRoundTrip)
{
    for (const std::string& name : kAwkwardNames) {
        SCOPED_TRACE(name);
        const std::string directory = Work() + "/" + name;
        MakeDirectory(directory);
        WriteFile(directory + "/" + name);
        TItemIdListPtr list = Parse(directory + "/" + name);
        ASSERT_TRUE(list);
        EXPECT_EQ(SHGetPathFromIDList(list.get()), directory + "/" + name);

        // Parsing name, then parse again: the same list.
        IShellFolderPtr desktop = SHGetDesktopFolder();
        std::string parsingName;
        ASSERT_TRUE(desktop->GetDisplayNameOf(list.get(), SHGDN_FORPARSING, parsingName).Succeeded());
        EXPECT_EQ(parsingName, directory + "/" + name);
        TItemIdListPtr again;
        ASSERT_TRUE(desktop->ParseDisplayName(parsingName, again).Succeeded());
        EXPECT_TRUE(IDListsEqual(again.get(), list.get()));

        // The normal name in the folder is the raw name.
        IShellFolderPtr folder = Bind(directory);
        ASSERT_TRUE(folder);
        EXPECT_EQ(DisplayName(*folder, LastIDListItem(list.get())), name);
        EXPECT_EQ(DisplayName(*folder, LastIDListItem(list.get()), SHGDN_INFOLDER | SHGDN_FORPARSING), name);
    }
}

TEST_F(NamespaceParse, DotsAndSlashesAreNormalised)
{
    MakeDirectory(Work() + "/d");
    WriteFile(Work() + "/d/f");
    TItemIdListPtr plain = Parse(Work() + "/d/f");
    for (const std::string& variant : {Work() + "//d/./f", Work() + "/d/../d/f", Work() + "/d/f/"}) {
        SCOPED_TRACE(variant);
        TItemIdListPtr list = Parse(variant);
        EXPECT_TRUE(IDListsEqual(list.get(), plain.get()));
    }
    EXPECT_EQ(SHGetPathFromIDList(Parse("/").get()), "/");
    EXPECT_EQ(SHGetPathFromIDList(Parse("/..").get()), "/");
}

TEST_F(NamespaceParse, FailuresSetTheLastError)
{
    SetLastError(0);
    EXPECT_EQ(SHParseDisplayName(Work() + "/missing"), nullptr);
    EXPECT_EQ(GetLastError(), ENOENT);
    EXPECT_FALSE(GetSystemErrorText(ENOENT).empty());

    WriteFile(Work() + "/file");
    SetLastError(0);
    EXPECT_EQ(SHParseDisplayName(Work() + "/file/below"), nullptr);
    EXPECT_EQ(GetLastError(), ENOTDIR);

    SetLastError(0);
    EXPECT_EQ(SHParseDisplayName("relative/path"), nullptr);
    EXPECT_NE(GetLastError(), 0);
    EXPECT_EQ(SHParseDisplayName(""), nullptr);

    // A share path that is not mounted does not parse.
    EXPECT_EQ(SHParseDisplayName("//server/share/file"), nullptr);
}

TEST_F(NamespaceParse, RelativeNamesParseInTheirFolder)
{
    MakeDirectory(Work() + "/sub dir");
    MakeDirectory(Work() + "/sub dir/deeper");
    WriteFile(Work() + "/sub dir/deeper/x.bin");
    IShellFolderPtr work = Bind(Work());
    ASSERT_TRUE(work);

    TItemIdListPtr relative;
    ASSERT_TRUE(work->ParseDisplayName("sub dir/deeper/x.bin", relative).Succeeded());
    EXPECT_EQ(IDListCount(relative.get()), 3u);
    TItemIdListPtr absolute = ConcatIDLists(work->GetIDList(), relative.get());
    EXPECT_TRUE(IDListsEqual(absolute.get(), Parse(Work() + "/sub dir/deeper/x.bin").get()));

    // An absolute path inside the folder parses relative to it too.
    TItemIdListPtr fromAbsolute;
    ASSERT_TRUE(work->ParseDisplayName(Work() + "/sub dir", fromAbsolute).Succeeded());
    EXPECT_EQ(IDListCount(fromAbsolute.get()), 1u);

    // Outside the folder, above it, or missing: no item.
    EXPECT_TRUE(work->ParseDisplayName("/usr", relative).Failed());
    EXPECT_TRUE(work->ParseDisplayName("../x", relative).Failed());
    const TShellResult missing = work->ParseDisplayName("nothing here", relative);
    EXPECT_TRUE(missing.Failed());
    EXPECT_EQ(missing.Error(), ENOENT);
    EXPECT_EQ(relative, nullptr);

    // Names of a multi-level relative list come from the folder holding the last item.
    ASSERT_TRUE(work->ParseDisplayName("sub dir/deeper/x.bin", relative).Succeeded());
    EXPECT_EQ(DisplayName(*work, relative.get()), "x.bin");
    EXPECT_EQ(DisplayName(*work, relative.get(), SHGDN_FORPARSING), Work() + "/sub dir/deeper/x.bin");
}

TEST_F(NamespaceParse, FoldersBindFromAnAbsoluteListAlone)
{
    MakeDirectory(Work() + "/one");
    MakeDirectory(Work() + "/one/two");
    WriteFile(Work() + "/one/two/leaf");
    TItemIdListPtr list = Parse(Work() + "/one/two");
    // A copy made from bytes alone binds to the same folder.
    TItemIdListPtr copy = IDListFromBytes(IDListBytes(list.get()), IDListSize(list.get()) - 2);
    IShellFolderPtr folder = SHBindToFolder(copy.get());
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->GetPath(), Work() + "/one/two");
    EXPECT_TRUE(IDListsEqual(folder->GetIDList(), list.get()));
    EXPECT_EQ(SortedNames(*folder, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS), std::vector<std::string>{"leaf"});

    // Binding step by step gives the same folder.
    IShellFolderPtr step = SHGetDesktopFolder();
    for (std::size_t i = 0; i < IDListCount(list.get()); ++i) {
        IShellFolderPtr next;
        ASSERT_TRUE(step->BindToObject(GetIDListItem(list.get(), i).get(), next).Succeeded());
        step = next;
    }
    EXPECT_EQ(step->GetPath(), Work() + "/one/two");

    // A file is no folder.
    SetLastError(0);
    EXPECT_EQ(SHBindToFolder(Parse(Work() + "/one/two/leaf").get()), nullptr);
    EXPECT_EQ(GetLastError(), ENOTDIR);
    // Nor is a list with a malformed item.
    const std::uint8_t malformed[] = {4, 0, 0x7F, 0, 0, 0};
    EXPECT_EQ(SHBindToFolder(AsIDList(malformed)), nullptr);
}

TEST_F(NamespaceParse, SymlinksAndSpecialFilesParse)
{
    MakeDirectory(Work() + "/target");
    MakeSymlink("target", Work() + "/link to dir");
    MakeSymlink("nowhere", Work() + "/broken link");
    MakeFifo(Work() + "/fifo");
    IShellFolderPtr work = Bind(Work());
    ASSERT_TRUE(work);

    TItemIdListPtr link = Parse(Work() + "/link to dir");
    ASSERT_TRUE(link);
    EXPECT_EQ(Attributes(*work, LastIDListItem(link.get()), SFGAO_FOLDER | SFGAO_LINK), SFGAO_FOLDER | SFGAO_LINK);
    // A link to a folder opens as that folder, under its own path.
    IShellFolderPtr throughLink = SHBindToFolder(link.get());
    ASSERT_TRUE(throughLink);
    EXPECT_EQ(throughLink->GetPath(), Work() + "/link to dir");

    TItemIdListPtr broken = Parse(Work() + "/broken link");
    ASSERT_TRUE(broken);
    EXPECT_EQ(Attributes(*work, LastIDListItem(broken.get()), SFGAO_FOLDER | SFGAO_LINK), SFGAO_LINK);
    TItemIdListPtr fifo = Parse(Work() + "/fifo");
    ASSERT_TRUE(fifo);
    EXPECT_EQ(Attributes(*work, LastIDListItem(fifo.get()), SFGAO_FOLDER | SFGAO_FILESYSTEM), SFGAO_FILESYSTEM);
}

TEST_F(NamespaceParse, PathsLongerThanOldBuffersRoundTrip)
{
    // Well past 260 characters: the whole path comes back, not a cut one.
    std::string path = Work();
    const std::string component(60, 'p');
    for (int i = 0; i < 6; ++i) {
        path += "/" + component + std::to_string(i);
        MakeDirectory(path);
    }
    path += "/" + std::string(200, 'f');
    WriteFile(path);
    ASSERT_GT(path.size(), 600u);
    TItemIdListPtr list = Parse(path);
    ASSERT_TRUE(list);
    EXPECT_EQ(SHGetPathFromIDList(list.get()), path);
}
