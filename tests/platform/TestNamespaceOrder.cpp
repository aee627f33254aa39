#include "NamespaceFixture.h"

#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr std::uint32_t kEverything = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;
using TNames = std::vector<std::string>;

class NamespaceOrder : public NamespaceFixture
{
protected:
    void SetModificationTime(const std::string& path, time_t seconds)
    {
        const timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    }
};

}  // namespace

TEST_F(NamespaceOrder, FoldersFirstThenNaturalOrder)
{
    for (const char* name : {"piece.10000", "piece.9999", "piece.0001", "B file", "a file", "A file", "x10", "x9"})
        WriteFile(Work() + "/" + name);
    for (const char* name : {"zeta dir", "Alpha dir", "beta dir"})
        MakeDirectory(Work() + "/" + name);
    MakeSymlink("zeta dir", Work() + "/link dir");
    IShellFolderPtr work = Bind(Work());
    ASSERT_TRUE(work);
    // Upper and lower case of one name differ but keep a fixed order.
    EXPECT_EQ(SortedNames(*work, kEverything),
              (TNames{"Alpha dir", "beta dir", "link dir", "zeta dir", "A file", "a file", "B file", "piece.0001",
                      "piece.9999", "piece.10000", "x9", "x10"}));
}

TEST_F(NamespaceOrder, DifferentItemsNeverCompareEqual)
{
    const std::string names[] = {
        "a", "A", "a0", "a00", "a 1", "a01", std::string("a\xe9", 2), std::string("a\xc3\xa9", 3)};
    for (const std::string& name : names)
        WriteFile(Work() + "/" + name);
    IShellFolderPtr work = Bind(Work());
    ASSERT_TRUE(work);
    std::vector<TItemIdListPtr> items = Enumerate(*work, kEverything);
    ASSERT_EQ(items.size(), std::size(names));
    for (const TItemIdListPtr& a : items) {
        for (const TItemIdListPtr& b : items) {
            const int order = work->CompareIDs(0, a.get(), b.get()).OrderValue();
            const int reverse = work->CompareIDs(0, b.get(), a.get()).OrderValue();
            EXPECT_EQ(order, -reverse);
            EXPECT_EQ(order == 0, a == b || IDListsEqual(a.get(), b.get()));
        }
    }
    // The order is the signed low half of the result code.
    const TShellResult result = work->CompareIDs(0, items[0].get(), items[1].get());
    EXPECT_TRUE(result.Succeeded());
    EXPECT_EQ(static_cast<std::int16_t>(result.Code() & 0xFFFF), result.OrderValue());
    EXPECT_NE(result.OrderValue(), 0);
}

TEST_F(NamespaceOrder, OtherColumnsOrderByValueThenByName)
{
    WriteFile(Work() + "/big", 5000);
    WriteFile(Work() + "/small", 10);
    WriteFile(Work() + "/also small", 10);
    MakeDirectory(Work() + "/folder");
    SetModificationTime(Work() + "/big", 1000000000);
    SetModificationTime(Work() + "/small", 1500000000);
    SetModificationTime(Work() + "/also small", 1200000000);
    SetModificationTime(Work() + "/folder", 1100000000);
    IShellFolderPtr work = Bind(Work());
    ASSERT_TRUE(work);
    // Size: folders have none and come first; equal sizes by name.
    EXPECT_EQ(SortedNames(*work, kEverything, 1), (TNames{"folder", "also small", "small", "big"}));
    // Type: "Dateiordner" and "Datei" compare as texts, ties by name.
    EXPECT_EQ(SortedNames(*work, kEverything, 2), (TNames{"also small", "big", "small", "folder"}));
    // Modification date as a time.
    EXPECT_EQ(SortedNames(*work, kEverything, 3), (TNames{"big", "folder", "also small", "small"}));
}

TEST_F(NamespaceOrder, ListsOfSeveralLevelsOrderLevelByLevel)
{
    MakeDirectory(Work() + "/a");
    MakeDirectory(Work() + "/a/z");
    MakeDirectory(Work() + "/b");
    IShellFolderPtr desktop = SHGetDesktopFolder();
    TItemIdListPtr a = Parse(Work() + "/a");
    TItemIdListPtr az = Parse(Work() + "/a/z");
    TItemIdListPtr b = Parse(Work() + "/b");
    EXPECT_LT(desktop->CompareIDs(0, a.get(), az.get()).OrderValue(), 0);
    EXPECT_LT(desktop->CompareIDs(0, az.get(), b.get()).OrderValue(), 0);
    EXPECT_EQ(desktop->CompareIDs(0, az.get(), Parse(Work() + "/a/z").get()).OrderValue(), 0);
    // Virtual folders first, in the desktop's order; the desktop before all.
    TItemIdListPtr home = SHGetSpecialFolderLocation(SF_PERSONAL);
    TItemIdListPtr computer = SHGetSpecialFolderLocation(SF_DRIVES);
    TItemIdListPtr trash = SHGetSpecialFolderLocation(SF_BITBUCKET);
    EXPECT_LT(desktop->CompareIDs(0, home.get(), computer.get()).OrderValue(), 0);
    EXPECT_LT(desktop->CompareIDs(0, computer.get(), trash.get()).OrderValue(), 0);
    EXPECT_LT(desktop->CompareIDs(0, MakeDesktopIDList().get(), home.get()).OrderValue(), 0);
    EXPECT_EQ(desktop->CompareIDs(0, MakeDesktopIDList().get(), MakeDesktopIDList().get()).OrderValue(), 0);
}

TEST_F(NamespaceOrder, OrderKeysOrderAsTheNameColumn)
{
    for (const char* name : {"a", "A", "a0", "a01", "a1", "a 1", "x9", "x10", "\xC3\xA4", "\xC3\x84", "a\xE9", "b"})
        WriteFile(Work() + "/" + name);
    for (const char* name : {"a dir", "B dir", "10 dir", "9 dir"})
        MakeDirectory(Work() + "/" + name);
    MakeSymlink("a dir", Work() + "/link");
    // Files and folders, and the desktop's virtual folders and volumes.
    for (IShellFolderPtr folder : {Bind(Work()), SHGetDesktopFolder()}) {
        ASSERT_TRUE(folder);
        std::vector<TItemIdListPtr> items = Enumerate(*folder, kEverything);
        ASSERT_GT(items.size(), 3u);
        std::vector<std::string> keys(items.size());
        for (std::size_t i = 0; i < items.size(); ++i)
            ASSERT_TRUE(folder->GetOrderKey(0, items[i].get(), keys[i]).Succeeded());
        for (std::size_t i = 0; i < items.size(); ++i)
            for (std::size_t j = 0; j < items.size(); ++j) {
                const int byKey = keys[i].compare(keys[j]);
                EXPECT_EQ((byKey > 0) - (byKey < 0), folder->CompareIDs(0, items[i].get(), items[j].get()).OrderValue())
                    << DisplayName(*folder, items[i].get()) << " / " << DisplayName(*folder, items[j].get());
            }
        std::string key;
        EXPECT_TRUE(folder->GetOrderKey(1, items[0].get(), key).Failed());
    }
}
