#include "NotifyTestSupport.h"

#include "platform/notify/ShellChangeNotify.h"
#include "platform/notify/TInotifyWatcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace {

class InotifyWatcherTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.IsValid());
        ASSERT_TRUE(watcher_.IsValid());
        watcher_.SetChangeHandler([this](long event, const std::string& path1, const std::string& path2) {
            changes_.push_back({event, path1, path2});
        });
    }

    bool Arrives(const TRecordedChange& wanted)
    {
        return WaitUntil([&] { return Contains(changes_, wanted); });
    }

    // A change in a folder of its own watch arrives: inotify reports in order,
    // so whatever happened before it has arrived too.
    bool SeenAfterwards()
    {
        const auto lease = watcher_.AddWatch(markerFolder_.Path());
        const std::string marker = markerFolder_ / ("marker" + std::to_string(markers_++));
        return lease && WriteFile(marker) && Arrives({SHCNE_CREATE, marker, ""});
    }

    bool Mentions(const std::string& path) const
    {
        return std::any_of(changes_.begin(), changes_.end(),
                           [&](const TRecordedChange& change) { return change.path1 == path || change.path2 == path; });
    }

    TTempFolder folder_;
    TTempFolder markerFolder_;
    int markers_ = 0;
    TInotifyWatcher watcher_;
    std::vector<TRecordedChange> changes_;
};

TEST_F(InotifyWatcherTest, ReportsCreationDeletionAndRenameOfFilesAndFolders)
{
    auto lease = watcher_.AddWatch(folder_.Path());
    ASSERT_NE(lease, nullptr);

    ASSERT_TRUE(WriteFile(folder_ / "a.txt"));
    EXPECT_TRUE(Arrives({SHCNE_CREATE, folder_ / "a.txt", ""}));
    EXPECT_TRUE(Arrives({SHCNE_UPDATEITEM, folder_ / "a.txt", ""}));

    ASSERT_EQ(std::rename((folder_ / "a.txt").c_str(), (folder_ / "b.txt").c_str()), 0);
    EXPECT_TRUE(Arrives({SHCNE_RENAMEITEM, folder_ / "a.txt", folder_ / "b.txt"}));

    ASSERT_EQ(::chmod((folder_ / "b.txt").c_str(), 0600), 0);
    EXPECT_TRUE(Arrives({SHCNE_ATTRIBUTES, folder_ / "b.txt", ""}));

    ASSERT_EQ(::unlink((folder_ / "b.txt").c_str()), 0);
    EXPECT_TRUE(Arrives({SHCNE_DELETE, folder_ / "b.txt", ""}));

    ASSERT_TRUE(MakeFolder(folder_ / "sub"));
    EXPECT_TRUE(Arrives({SHCNE_MKDIR, folder_ / "sub", ""}));
    ASSERT_EQ(std::rename((folder_ / "sub").c_str(), (folder_ / "sub 2").c_str()), 0);
    EXPECT_TRUE(Arrives({SHCNE_RENAMEFOLDER, folder_ / "sub", folder_ / "sub 2"}));
    ASSERT_EQ(::rmdir((folder_ / "sub 2").c_str()), 0);
    EXPECT_TRUE(Arrives({SHCNE_RMDIR, folder_ / "sub 2", ""}));
}

TEST_F(InotifyWatcherTest, MovesInAndOutBecomeCreationAndDeletion)
{
    TTempFolder outside;
    auto lease = watcher_.AddWatch(folder_.Path());
    ASSERT_NE(lease, nullptr);
    ASSERT_TRUE(WriteFile(outside / "in.bin"));
    ASSERT_TRUE(MakeFolder(outside / "dir in"));

    ASSERT_EQ(std::rename((outside / "in.bin").c_str(), (folder_ / "in.bin").c_str()), 0);
    ASSERT_EQ(std::rename((outside / "dir in").c_str(), (folder_ / "dir in").c_str()), 0);
    EXPECT_TRUE(Arrives({SHCNE_CREATE, folder_ / "in.bin", ""}));
    EXPECT_TRUE(Arrives({SHCNE_MKDIR, folder_ / "dir in", ""}));

    ASSERT_EQ(std::rename((folder_ / "in.bin").c_str(), (outside / "out.bin").c_str()), 0);
    ASSERT_EQ(std::rename((folder_ / "dir in").c_str(), (outside / "dir out").c_str()), 0);
    EXPECT_TRUE(Arrives({SHCNE_DELETE, folder_ / "in.bin", ""}));
    EXPECT_TRUE(Arrives({SHCNE_RMDIR, folder_ / "dir in", ""}));
}

TEST_F(InotifyWatcherTest, NamesKeepTheirBytes)
{
    auto lease = watcher_.AddWatch(folder_.Path());
    ASSERT_NE(lease, nullptr);
    const std::vector<std::string> names = {"with space", "line\nbreak", std::string("latin1 \xE4\xF6", 9), "-dash"};
    for (const std::string& name : names)
        ASSERT_TRUE(WriteFile(folder_ / name));
    for (const std::string& name : names)
        EXPECT_TRUE(Arrives({SHCNE_CREATE, folder_ / name, ""})) << name;
}

TEST_F(InotifyWatcherTest, RenameBetweenWatchedFoldersAndRenamedWatchFollows)
{
    ASSERT_TRUE(MakeFolder(folder_ / "one"));
    ASSERT_TRUE(MakeFolder(folder_ / "one/inner"));
    ASSERT_TRUE(MakeFolder(folder_ / "two"));
    auto root = watcher_.AddWatch(folder_.Path());
    auto one = watcher_.AddWatch(folder_ / "one");
    auto inner = watcher_.AddWatch(folder_ / "one/inner");
    auto two = watcher_.AddWatch(folder_ / "two");
    ASSERT_TRUE(root && one && inner && two);

    ASSERT_TRUE(WriteFile(folder_ / "one/f"));
    ASSERT_EQ(std::rename((folder_ / "one/f").c_str(), (folder_ / "two/g").c_str()), 0);
    EXPECT_TRUE(Arrives({SHCNE_RENAMEITEM, folder_ / "one/f", folder_ / "two/g"}));

    // The watches of the renamed folder and of the folder inside it follow the new name.
    ASSERT_EQ(std::rename((folder_ / "one").c_str(), (folder_ / "uno").c_str()), 0);
    EXPECT_TRUE(Arrives({SHCNE_RENAMEFOLDER, folder_ / "one", folder_ / "uno"}));
    ASSERT_TRUE(WriteFile(folder_ / "uno/inner/deep"));
    EXPECT_TRUE(Arrives({SHCNE_CREATE, folder_ / "uno/inner/deep", ""}));
    EXPECT_EQ(watcher_.WatchedPath(*inner), folder_ / "uno/inner");
    EXPECT_TRUE(watcher_.IsWatched(folder_ / "uno"));
    EXPECT_FALSE(watcher_.IsWatched(folder_ / "one"));
}

TEST_F(InotifyWatcherTest, DeletedOrMovedAwayWatchedFolderIsReportedAndDropped)
{
    TTempFolder outside;
    ASSERT_TRUE(MakeFolder(folder_ / "gone"));
    ASSERT_TRUE(MakeFolder(folder_ / "away"));
    auto gone = watcher_.AddWatch(folder_ / "gone");
    auto away = watcher_.AddWatch(folder_ / "away");
    ASSERT_TRUE(gone && away);
    ASSERT_EQ(watcher_.WatchCount(), 2);

    ASSERT_EQ(::rmdir((folder_ / "gone").c_str()), 0);
    EXPECT_TRUE(Arrives({SHCNE_RMDIR, folder_ / "gone", ""}));
    ASSERT_EQ(std::rename((folder_ / "away").c_str(), (outside / "away").c_str()), 0);
    EXPECT_TRUE(Arrives({SHCNE_RMDIR, folder_ / "away", ""}));
    EXPECT_TRUE(WaitUntil([&] { return watcher_.WatchCount() == 0; }));

    // The moved folder is no longer watched: nothing is reported from its new
    // place before a change in a folder that is.
    changes_.clear();
    ASSERT_TRUE(WriteFile(outside / "away/x"));
    ASSERT_TRUE(SeenAfterwards());
    EXPECT_FALSE(Mentions(outside / "away/x"));
    gone.reset();
    away.reset();
}

TEST_F(InotifyWatcherTest, LeasesShareOneWatchThatEndsWithTheLast)
{
    auto first = watcher_.AddWatch(folder_.Path());
    auto second = watcher_.AddWatch(folder_.Path());
    ASSERT_TRUE(first && second);
    EXPECT_EQ(watcher_.WatchCount(), 1);

    first.reset();
    EXPECT_TRUE(watcher_.IsWatched(folder_.Path()));
    ASSERT_TRUE(WriteFile(folder_ / "still"));
    EXPECT_TRUE(Arrives({SHCNE_CREATE, folder_ / "still", ""}));

    second.reset();
    EXPECT_EQ(watcher_.WatchCount(), 0);
    changes_.clear();
    ASSERT_TRUE(WriteFile(folder_ / "unseen"));
    ASSERT_TRUE(SeenAfterwards());
    EXPECT_FALSE(Mentions(folder_ / "unseen"));
}

TEST_F(InotifyWatcherTest, LostEventsMakeTheWatchedFoldersUpdate)
{
    std::ifstream limitFile("/proc/sys/fs/inotify/max_queued_events");
    long limit = 0;
    limitFile >> limit;
    if (limit <= 0 || limit > 100000)
        GTEST_SKIP() << "event queue limit " << limit;
    ASSERT_TRUE(WriteFile(folder_ / "a"));
    ASSERT_TRUE(WriteFile(folder_ / "b"));
    auto lease = watcher_.AddWatch(folder_.Path());
    ASSERT_NE(lease, nullptr);

    // Alternating changes are not merged by the kernel, so the queue overflows.
    for (long i = 0; i <= limit; ++i)
        ASSERT_EQ(::chmod((folder_ / (i % 2 ? "a" : "b")).c_str(), i % 4 < 2 ? 0600 : 0644), 0);
    watcher_.ProcessPendingEvents();
    EXPECT_TRUE(Contains(changes_, {SHCNE_UPDATEDIR, folder_.Path(), ""}));

    // Reading goes on normally afterwards.
    ASSERT_TRUE(WriteFile(folder_ / "c"));
    EXPECT_TRUE(Arrives({SHCNE_CREATE, folder_ / "c", ""}));
}

TEST_F(InotifyWatcherTest, FailsForMissingFoldersAndFiles)
{
    ASSERT_TRUE(WriteFile(folder_ / "plain"));
    EXPECT_EQ(watcher_.AddWatch(folder_ / "missing/sub"), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(watcher_.AddWatch(folder_ / "plain"), nullptr);
    EXPECT_EQ(errno, ENOTDIR);
    EXPECT_EQ(watcher_.WatchCount(), 0);
}

}  // namespace
