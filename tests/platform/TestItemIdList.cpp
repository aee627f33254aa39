#include "platform/core/ids/ShellItems.h"
#include "platform/core/ids/TItemIdList.h"
#include "platform/core/ids/TShellResult.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

TItemIdListPtr FileItem(const std::string& name)
{
    return MakeFileSystemItem(name, 0, 8);
}

std::string NameOf(const TItemIdList* item)
{
    TItemView view;
    EXPECT_TRUE(ReadItem(item, view));
    return std::string(view.name);
}

}  // namespace

TEST(ItemIdList, NullAndDesktopLists)
{
    EXPECT_EQ(IDListSize(nullptr), 0u);
    EXPECT_EQ(IDListCount(nullptr), 0u);
    EXPECT_EQ(CloneIDList(nullptr), nullptr);
    EXPECT_EQ(GetIDListItem(nullptr, 0), nullptr);
    EXPECT_EQ(TruncateIDList(nullptr, 0), nullptr);
    EXPECT_FALSE(IsDesktopIDList(nullptr));

    TItemIdListPtr desktop = MakeDesktopIDList();
    EXPECT_EQ(IDListSize(desktop.get()), 2u);
    EXPECT_EQ(IDListCount(desktop.get()), 0u);
    EXPECT_TRUE(IsDesktopIDList(desktop.get()));
    EXPECT_EQ(GetIDListItem(desktop.get(), 0), nullptr);
    EXPECT_TRUE(IsDesktopIDList(ConcatIDLists(desktop.get(), desktop.get()).get()));
}

TEST(ItemIdList, ConcatTruncateAndPickItems)
{
    TItemIdListPtr a = FileItem("a");
    TItemIdListPtr bc = ConcatIDLists(FileItem("b c").get(), FileItem("line\nbreak").get());
    TItemIdListPtr all = ConcatIDLists(a.get(), bc.get());
    ASSERT_EQ(IDListCount(all.get()), 3u);
    EXPECT_EQ(IDListSize(all.get()), IDListSize(a.get()) + IDListSize(bc.get()) - 2);

    EXPECT_EQ(NameOf(GetIDListItem(all.get(), 0).get()), "a");
    EXPECT_EQ(NameOf(GetIDListItem(all.get(), 2).get()), "line\nbreak");
    EXPECT_EQ(GetIDListItem(all.get(), 3), nullptr);
    EXPECT_EQ(NameOf(LastIDListItem(all.get())), "line\nbreak");

    TItemIdListPtr parent = TruncateIDList(all.get(), 2);
    EXPECT_EQ(IDListCount(parent.get()), 2u);
    EXPECT_TRUE(IDListsEqual(ConcatIDLists(parent.get(), GetIDListItem(all.get(), 2).get()).get(), all.get()));
    EXPECT_TRUE(IDListsEqual(TruncateIDList(all.get(), 10).get(), all.get()));
    EXPECT_TRUE(IsDesktopIDList(TruncateIDList(all.get(), 0).get()));

    // A clone is a fresh allocation with the same bytes.
    TItemIdListPtr copy = CloneIDList(all.get());
    EXPECT_NE(copy.get(), all.get());
    EXPECT_TRUE(IDListsEqual(copy.get(), all.get()));
    // Null on one side gives a copy of the other.
    EXPECT_TRUE(IDListsEqual(ConcatIDLists(nullptr, a.get()).get(), a.get()));
    EXPECT_TRUE(IDListsEqual(ConcatIDLists(a.get(), nullptr).get(), a.get()));
}

TEST(ItemIdList, ItemsKeepRawBytesAndKind)
{
    const std::string latin1("caf\xe9 \xff.txt", 10);
    TItemIdListPtr item = MakeFileSystemItem(latin1, kItemIsSymlink | kItemIsFolder, 10);
    // Count field, kind, flags, entry type, then the name.
    EXPECT_EQ(IDListItemSize(item.get()), 2 + 3 + latin1.size());
    TItemView view;
    ASSERT_TRUE(ReadItem(item.get(), view));
    EXPECT_EQ(view.kind, TItemKind::FileSystem);
    EXPECT_EQ(view.name, latin1);
    EXPECT_TRUE(view.IsFolder());
    EXPECT_TRUE(view.IsSymlink());
    EXPECT_EQ(view.entryType, 10);

    TItemIdListPtr trash = MakeTrashItem("/h/.local/share/Trash", "/h", "a.txt.2", false);
    ASSERT_TRUE(ReadItem(trash.get(), view));
    EXPECT_EQ(view.kind, TItemKind::TrashEntry);
    EXPECT_EQ(view.trashPath, "/h/.local/share/Trash");
    EXPECT_EQ(view.trashTopDir, "/h");
    EXPECT_EQ(view.name, "a.txt.2");

    TItemIdListPtr volume = MakeVolumeItem("/media/u/USB STICK", true);
    ASSERT_TRUE(ReadItem(volume.get(), view));
    EXPECT_EQ(view.kind, TItemKind::Volume);
    EXPECT_EQ(view.name, "/media/u/USB STICK");
    EXPECT_TRUE(view.flags & kItemIsNetwork);
}

TEST(ItemIdList, MalformedItemsAreRejected)
{
    TItemView view;
    EXPECT_FALSE(ReadItem(MakeDesktopIDList().get(), view));
    const std::uint8_t unknownKind[] = {4, 0, 0x7F, 1, 0, 0};
    EXPECT_FALSE(ReadItem(AsIDList(unknownKind), view));
    // A trash entry whose inner length runs past the item.
    const std::uint8_t overlong[] = {8, 0, 0x04, 0, 40, 0, 'a', 'b', 0, 0};
    EXPECT_FALSE(ReadItem(AsIDList(overlong), view));
    const std::uint8_t badVirtual[] = {4, 0, 0x01, 9, 0, 0};
    EXPECT_FALSE(ReadItem(AsIDList(badVirtual), view));
    // Names longer than an item can hold give no item.
    EXPECT_EQ(MakeFileSystemItem(std::string(70000, 'x'), 0, 8), nullptr);
}

TEST(ShellResult, CarriesSuccessErrorAndOrder)
{
    EXPECT_TRUE(TShellResult::Ok().Succeeded());
    const TShellResult failure = TShellResult::Fail(ENOENT);
    EXPECT_TRUE(failure.Failed());
    EXPECT_LT(failure.Code(), 0);
    EXPECT_EQ(failure.Error(), ENOENT);
    const TShellResult before = TShellResult::Order(-42);
    EXPECT_TRUE(before.Succeeded());
    EXPECT_EQ(before.Code() & 0xFFFF, 0xFFFF);
    EXPECT_EQ(before.OrderValue(), -1);
    EXPECT_EQ(TShellResult::Order(7).OrderValue(), 1);
    EXPECT_EQ(TShellResult::Order(0).OrderValue(), 0);
    EXPECT_EQ(before.Error(), 0);
}
