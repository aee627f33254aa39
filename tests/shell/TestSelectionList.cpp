#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"
#include "platform/core/system/TMountTable.h"
#include "shell/selection/PzSelectionList.h"
#include "shell/threads/TWorkerPools.h"
#include "shell/threads/TWorkerThreadPool.h"
#include "tests/platform/NotifyTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// root/ a/ {x.txt 10 B, y.txt 20 B, sub/ {deep.txt 40 B, keep.txt 80 B}}, b.txt 5 B, empty/
class TSelectionTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.IsValid());
        ASSERT_TRUE(MakeFolder(root / "a"));
        ASSERT_TRUE(MakeFolder(root / "a/sub"));
        ASSERT_TRUE(MakeFolder(root / "empty"));
        ASSERT_TRUE(WriteFile(root / "a/x.txt", std::string(10, 'x')));
        ASSERT_TRUE(WriteFile(root / "a/y.txt", std::string(20, 'y')));
        ASSERT_TRUE(WriteFile(root / "a/sub/deep.txt", std::string(40, 'd')));
        ASSERT_TRUE(WriteFile(root / "a/sub/keep.txt", std::string(80, 'k')));
        ASSERT_TRUE(WriteFile(root / "b.txt", std::string(5, 'b')));
    }

    // Lets every measurement finish and reach the totals.
    void WaitForSizes()
    {
        ASSERT_TRUE(WaitUntil([] { return TWorkerPools::FolderSizePool()->PendingCount() == 0; }));
    }

    void ExpectTotals(std::int64_t size, std::int64_t files, std::int64_t folders)
    {
        WaitForSizes();
        EXPECT_EQ(list.TotalSize(), size);
        EXPECT_EQ(list.FileCount(), files);
        EXPECT_EQ(list.FolderCount(), folders);
    }

    TTempFolder root;
    TWorkerPools pools;
    TPzSelectionList list;
};

}  // namespace

TEST_F(TSelectionTest, TickedFileMakesItsFoldersPartlyChecked)
{
    list.Select(root / "a/x.txt");
    EXPECT_EQ(list.GetPathState(root / "a/x.txt"), selChecked);
    EXPECT_EQ(list.GetPathState(root / "a/y.txt"), selUnchecked);
    EXPECT_EQ(list.GetPathState(root / "a"), selPartial);
    EXPECT_EQ(list.GetPathState(root.Path()), selPartial);
    EXPECT_EQ(list.GetPathState(root / "empty"), selUnchecked);
    ExpectTotals(10, 1, 0);
}

TEST_F(TSelectionTest, SelectingAFolderReplacesWhatLiesBelowIt)
{
    list.Select(root / "a/x.txt");
    list.Select(root / "a/sub/");
    list.Select(root / "a");
    EXPECT_EQ(list.Paths(), std::vector<std::string>{root / "a/*"});
    bool covered = false;
    EXPECT_EQ(list.GetState(root / "a/sub/deep.txt", &covered), selChecked);
    EXPECT_TRUE(covered);
    list.Select(root / "a/y.txt");
    EXPECT_EQ(list.Paths().size(), 1u) << "a covered path is already selected";
    ExpectTotals(150, 4, 2);
}

TEST_F(TSelectionTest, DeselectingACoveredPathKeepsTheTotalsExact)
{
    list.Select(root / "a");
    list.Select(root / "b.txt");
    ExpectTotals(155, 5, 2);

    list.Deselect(root / "a/sub/deep.txt");
    std::vector<std::string> paths = list.Paths();
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths,
              (std::vector<std::string>{root / "a/sub/keep.txt", root / "a/x.txt", root / "a/y.txt", root / "b.txt"}))
        << "the covering folder gives way to what it held but the path";
    EXPECT_EQ(list.GetPathState(root / "a/sub/deep.txt"), selUnchecked);
    EXPECT_EQ(list.GetPathState(root / "a"), selPartial);
    ExpectTotals(115, 4, 0);

    list.Deselect(root / "a");
    EXPECT_EQ(list.Paths(), std::vector<std::string>{root / "b.txt"});
    ExpectTotals(5, 1, 0);
    list.Deselect(root / "b.txt");
    ExpectTotals(0, 0, 0);
}

TEST_F(TSelectionTest, DeselectingACoveredFolderTakesItsWholeContents)
{
    list.Select(root / "a");
    list.Deselect(root / "a/sub");
    std::vector<std::string> paths = list.Paths();
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{root / "a/x.txt", root / "a/y.txt"}));
    ExpectTotals(30, 2, 0);
}

TEST_F(TSelectionTest, WhatCannotBeTickedIsUnavailableAndNeverAdded)
{
    for (const std::string& path : {std::string(), std::string("."), std::string(".."), std::string("a/x.txt"),
                                    root / "missing", root / "b.txt/"}) {
        EXPECT_EQ(list.GetPathState(path), selUnavailable) << path;
        list.Select(path);
    }
    EXPECT_TRUE(list.Paths().empty());
    list.Deselect(root / "missing");
    ExpectTotals(0, 0, 0);
}

TEST_F(TSelectionTest, ALinkToAFolderIsAnItemOfItsOwn)
{
    ASSERT_EQ(::symlink((root / "a/sub").c_str(), (root / "a/link").c_str()), 0);
    struct stat link
    {};
    ASSERT_EQ(::lstat((root / "a/link").c_str(), &link), 0);
    list.Select(root / "a/link");
    EXPECT_EQ(list.Paths(), std::vector<std::string>{root / "a/link"});
    EXPECT_EQ(list.GetPathState(root / "a/sub"), selUnchecked) << "the link's target is not ticked";
    ExpectTotals(link.st_size, 1, 0);

    list.Select(root / "a");
    ExpectTotals(150 + link.st_size, 5, 2);
    // Unticking a sibling re-adds the link as itself: it stays counted once
    // and can be unticked on its own.
    list.Deselect(root / "a/x.txt");
    EXPECT_TRUE(list.Contains(root / "a/link"));
    ExpectTotals(140 + link.st_size, 4, 1);
    EXPECT_EQ(list.GetPathState(root / "a/link"), selChecked);
    list.Deselect(root / "a/link");
    EXPECT_EQ(list.GetPathState(root / "a/link"), selUnchecked);
    EXPECT_EQ(list.GetPathState(root / "a/sub"), selChecked);
    ExpectTotals(140, 3, 1);

    list.SetResolveFolderShortcuts(false);
    EXPECT_EQ(list.GetPathState(root / "a/link"), selUnavailable);
    list.Select(root / "a/link");
    EXPECT_FALSE(list.Contains(root / "a/link"));
}

TEST_F(TSelectionTest, AssignPathsStartsTheTotalsAfresh)
{
    list.Select(root / "a");
    list.AssignPaths({root / "b.txt", root / "a/sub", root / "missing"});
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{root / "b.txt", root / "a/sub/*"}));
    ExpectTotals(125, 3, 1);
    list.Clear();
    EXPECT_TRUE(list.Paths().empty());
    ExpectTotals(0, 0, 0);
}

TEST_F(TSelectionTest, SelectionTopIsTheHighestFilledFolder)
{
    list.Select(root / "a/y.txt");
    EXPECT_EQ(list.FindSelectionTop(root / "a/x.txt"), root / "a/x.txt") << "a sibling is not selected yet";
    list.Select(root / "a/sub");
    EXPECT_EQ(list.FindSelectionTop(root / "a/x.txt"), root / "a/");
    const TItemIdListPtr file = SHParseDisplayName(root / "a/x.txt");
    const TItemIdListPtr folder = SHParseDisplayName(root / "a");
    const TItemIdListPtr top = list.GetTopItem(file.get());
    EXPECT_TRUE(IDListsEqual(top.get(), folder.get())) << "the pane repaints from the filled folder down";
    list.Select(root / "a/x.txt");
    EXPECT_TRUE(list.IsFullySelected(root / "a"));
    EXPECT_FALSE(list.IsFullySelected(root / "empty"));
}

TEST_F(TSelectionTest, ComputerIsPartlyCheckedOnceAnythingIsSelected)
{
    const TItemIdListPtr computer = SHGetSpecialFolderLocation(SF_DRIVES);
    ASSERT_TRUE(computer);
    EXPECT_EQ(list.GetItemState(computer.get()), selUnavailable);
    list.Select(root / "b.txt");
    EXPECT_EQ(list.GetItemState(computer.get()), selPartial);
    const TItemIdListPtr network = SHGetSpecialFolderLocation(SF_NETWORK);
    ASSERT_TRUE(network);
    EXPECT_EQ(list.GetItemState(network.get()), selUnavailable);

    const TItemIdListPtr file = SHParseDisplayName(root / "b.txt");
    ASSERT_TRUE(file);
    EXPECT_EQ(list.GetItemState(file.get()), selChecked);
    list.DeselectItem(file.get());
    EXPECT_EQ(list.GetItemState(file.get()), selUnchecked);
}

TEST_F(TSelectionTest, NetworkFolderIsPartlyCheckedOnceAPathOnANetworkMountIs)
{
    // A mount table in which folder "a" is an NFS share.
    struct TMountTableGuard
    {
        ~TMountTableGuard() { TMountTable::SetMountInfoPath(""); }
    } restore;
    const std::string table = "36 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                              "40 36 0:50 / " +
                              root / "a" + " rw - nfs server:/export rw\n";
    ASSERT_TRUE(WriteFile(root / "mountinfo", table));
    TMountTable::SetMountInfoPath(root / "mountinfo");
    const TItemIdListPtr network = SHGetSpecialFolderLocation(SF_NETWORK);
    ASSERT_TRUE(network);

    list.Select(root / "b.txt");
    EXPECT_EQ(list.GetItemState(network.get()), selUnavailable);
    list.Select(root / "a/x.txt");
    EXPECT_EQ(list.GetItemState(network.get()), selPartial);
}

TEST_F(TSelectionTest, ChangesAreReportedOncePerOperation)
{
    int changes = 0;
    int completed = 0;
    list.SetOnChange([&](TPzSelectionList&) { ++changes; });
    list.SetOnCompletedCalculateFiles([&](TPzSelectionList&) { ++completed; });
    list.Select(root / "a/x.txt");
    list.Select(root / "a");
    EXPECT_EQ(changes, 2);
    WaitForSizes();
    EXPECT_EQ(completed, 2) << "the folder's measurement and the file's subtraction";
}

TEST(TFolderSizeItem, CancelledMeasurementChangesNoTotal)
{
    TTempFolder root;
    ASSERT_TRUE(WriteFile(root / "f", "12345"));
    TPzSelectionList list;
    list.SetCalculateSizes(false);
    list.Select(root / "f");
    TPzFolderSizeThread item(root.Path(), true, +1);
    item.Execute();
    EXPECT_EQ(item.TotalSize(), 5);
    item.Cancel();
    list.ApplySizeResult(item);
    EXPECT_EQ(list.TotalSize(), 0);
    EXPECT_EQ(list.FolderCount(), 0);
}

TEST(TFolderSizeItem, CountsAwkwardEntriesOnceAndNeverFollowsLinks)
{
    TTempFolder root;
    ASSERT_TRUE(MakeFolder(root / "dir with spaces"));
    ASSERT_TRUE(MakeFolder(root / "dir with spaces/empty"));
    ASSERT_TRUE(WriteFile(root / "dir with spaces/new\nline", "123"));
    ASSERT_TRUE(WriteFile(root / "bad\xff\xfe", "1234567"));
    ASSERT_EQ(::mkfifo((root / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink(root.Path().c_str(), (root / "loop").c_str()), 0);
    ASSERT_EQ(::symlink((root / "gone").c_str(), (root / "broken").c_str()), 0);

    TPzFolderSizeThread item(root.Path(), true, +1);
    item.Execute();
    EXPECT_EQ(item.FolderCount(), 3);
    EXPECT_EQ(item.FileCount(), 5) << "two files, the FIFO and two links";
    struct stat loop
    {};
    struct stat broken
    {};
    ASSERT_EQ(::lstat((root / "loop").c_str(), &loop), 0);
    ASSERT_EQ(::lstat((root / "broken").c_str(), &broken), 0);
    EXPECT_EQ(item.TotalSize(), 10 + loop.st_size + broken.st_size);

    TPzFolderSizeThread flat(root.Path(), false, -1);
    flat.Execute();
    EXPECT_EQ(flat.FolderCount(), 1);
    EXPECT_EQ(flat.FileCount(), 0);
}

TEST(TFolderSizeItem, WithoutThePoolMeasuresAtOnce)
{
    TTempFolder root;
    ASSERT_TRUE(WriteFile(root / "f", "123"));
    TPzSelectionList list;
    list.Select(root.Path());
    EXPECT_EQ(list.TotalSize(), 3);
    EXPECT_EQ(list.FolderCount(), 1);
}

TEST(TSelectionStateImages, FivePicturesOfTheStateSize)
{
    const TPzSelectionStateImageList images;
    ASSERT_EQ(images.Count(), 5);
    for (int index = 0; index < images.Count(); ++index) {
        const QImage picture = images.Pixmap(index).toImage();
        EXPECT_EQ(picture.size(), QSize(16, 16));
        EXPECT_EQ(picture.pixelColor(0, 0).alpha(), 0) << "the ground is transparent";
        EXPECT_GT(picture.pixelColor(2, 8).alpha(), 0) << "the box's frame is drawn";
    }
    EXPECT_NE(images.Pixmap(selChecked).toImage(), images.Pixmap(selUnchecked).toImage());
}
