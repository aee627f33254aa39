#include "NotifyTestSupport.h"
#include "tests/platform/DataTestSupport.h"

#include "platform/namespace/IShellFolder.h"
#include "platform/namespace/NamespacePaths.h"
#include "platform/notify/ShellChangeNotify.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"
#include "platform/notify/TShellChangeRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <tuple>

namespace {

constexpr int kBothLevels = SHCNRF_InterruptLevel | SHCNRF_ShellLevel;

// Records what one registration receives, as paths.
class TRecorder
{
public:
    TShellChangeHandler Handler()
    {
        return [this](long event, const TItemIdList* item1, const TItemIdList* item2) {
            changes.push_back({event, item1 ? SHGetPathFromIDList(item1) : std::string("<none>"),
                               item2 ? SHGetPathFromIDList(item2) : std::string()});
        };
    }
    bool Receives(const TRecordedChange& wanted)
    {
        return WaitUntil([&] { return Contains(changes, wanted); });
    }

    std::vector<TRecordedChange> changes;
};

// Ends a registration however the test ends.
class TRegistrationGuard
{
public:
    explicit TRegistrationGuard(unsigned long id = 0)
        : id_(id)
    {
    }
    ~TRegistrationGuard()
    {
        if (id_ != 0)
            SHChangeNotifyDeregister(id_);
    }
    TRegistrationGuard(const TRegistrationGuard&) = delete;
    TRegistrationGuard& operator=(const TRegistrationGuard&) = delete;
    unsigned long Id() const { return id_; }

private:
    unsigned long id_;
};

unsigned long Register(TRecorder& recorder, const std::string& path, bool recursive, long events = SHCNE_ALLEVENTS,
                       int sources = kBothLevels, QObject* receiver = nullptr)
{
    const TItemIdListPtr pidl = SHParseDisplayName(path);
    if (!pidl)
        return 0;
    const SHChangeNotifyEntry entry{pidl.get(), recursive};
    return SHChangeNotifyRegister(receiver, sources, events, recorder.Handler(), {&entry, 1});
}

void Enumerate(const std::string& path)
{
    const TItemIdListPtr pidl = SHParseDisplayName(path);
    ASSERT_NE(pidl, nullptr);
    const IShellFolderPtr folder = SHBindToFolder(pidl.get());
    ASSERT_NE(folder, nullptr);
    std::unique_ptr<IEnumIDList> enumerator;
    ASSERT_TRUE(folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, enumerator).Succeeded());
    TItemIdListPtr item;
    while (enumerator->Next(item)) {}
}

bool Contains(const std::vector<std::string>& paths, const std::string& wanted)
{
    return std::find(paths.begin(), paths.end(), wanted) != paths.end();
}

class ChangeNotifyTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(folder_.IsValid()); }

    // A file created at the top lets the test know that inotify delivered
    // everything queued before it.
    void Sync(TRecorder& recorder)
    {
        const std::string marker = folder_ / ("marker" + std::to_string(markers_++));
        ASSERT_TRUE(WriteFile(marker));
        ASSERT_TRUE(recorder.Receives({SHCNE_CREATE, marker, ""}));
    }

    TTempFolder folder_;
    int markers_ = 0;
};

TEST_F(ChangeNotifyTest, FileSystemChangesArriveAsItemLists)
{
    TRecorder recorder;
    TRegistrationGuard registration(Register(recorder, folder_.Path(), false));
    ASSERT_NE(registration.Id(), 0u);

    ASSERT_TRUE(WriteFile(folder_ / "new file.txt"));
    EXPECT_TRUE(recorder.Receives({SHCNE_CREATE, folder_ / "new file.txt", ""}));
    ASSERT_EQ(std::rename((folder_ / "new file.txt").c_str(), (folder_ / "renamed.txt").c_str()), 0);
    EXPECT_TRUE(recorder.Receives({SHCNE_RENAMEITEM, folder_ / "new file.txt", folder_ / "renamed.txt"}));
    ASSERT_EQ(::unlink((folder_ / "renamed.txt").c_str()), 0);
    // The deleted file still has a list, built without the disk.
    EXPECT_TRUE(recorder.Receives({SHCNE_DELETE, folder_ / "renamed.txt", ""}));

    ASSERT_TRUE(MakeFolder(folder_ / "dir"));
    EXPECT_TRUE(recorder.Receives({SHCNE_MKDIR, folder_ / "dir", ""}));
    ASSERT_EQ(std::rename((folder_ / "dir").c_str(), (folder_ / "dir2").c_str()), 0);
    EXPECT_TRUE(recorder.Receives({SHCNE_RENAMEFOLDER, folder_ / "dir", folder_ / "dir2"}));
    ASSERT_EQ(::rmdir((folder_ / "dir2").c_str()), 0);
    EXPECT_TRUE(recorder.Receives({SHCNE_RMDIR, folder_ / "dir2", ""}));
}

TEST_F(ChangeNotifyTest, EventMaskFiltersAndTheWatchedFolderItselfIsReported)
{
    ASSERT_TRUE(MakeFolder(folder_ / "shown"));
    TRecorder deletions;
    TRecorder all;
    TRegistrationGuard deleteOnly(Register(deletions, folder_ / "shown", false, SHCNE_DELETE | SHCNE_RMDIR));
    TRegistrationGuard everything(Register(all, folder_ / "shown", false));
    ASSERT_TRUE(deleteOnly.Id() && everything.Id());

    ASSERT_TRUE(WriteFile(folder_ / "shown/f"));
    EXPECT_TRUE(all.Receives({SHCNE_CREATE, folder_ / "shown/f", ""}));
    ASSERT_EQ(::unlink((folder_ / "shown/f").c_str()), 0);
    EXPECT_TRUE(deletions.Receives({SHCNE_DELETE, folder_ / "shown/f", ""}));
    EXPECT_FALSE(Contains(deletions.changes, {SHCNE_CREATE, folder_ / "shown/f", ""}));

    // The shown folder goes away: its panes learn it although nothing watches its parent.
    ASSERT_EQ(::rmdir((folder_ / "shown").c_str()), 0);
    EXPECT_TRUE(deletions.Receives({SHCNE_RMDIR, folder_ / "shown", ""}));
}

TEST_F(ChangeNotifyTest, RecursiveRegistrationWatchesOnlyEnumeratedFolders)
{
    ASSERT_TRUE(MakeFolder(folder_ / "a"));
    ASSERT_TRUE(MakeFolder(folder_ / "a/b"));
    ASSERT_TRUE(MakeFolder(folder_ / "c"));
    TRecorder recursive;
    TRecorder flat;
    TRegistrationGuard tree(Register(recursive, folder_.Path(), true));
    TRegistrationGuard list(Register(flat, folder_.Path(), false));
    ASSERT_TRUE(tree.Id() && list.Id());
    EXPECT_EQ(TShellChangeRegistry::Process().WatchCount(tree.Id()), 1);

    ASSERT_TRUE(WriteFile(folder_ / "a/unseen"));
    Sync(recursive);
    EXPECT_FALSE(Contains(recursive.changes, {SHCNE_CREATE, folder_ / "a/unseen", ""}));

    Enumerate(folder_ / "a");
    Enumerate(folder_ / "a/b");
    ASSERT_TRUE(WaitUntil([&] { return TShellChangeRegistry::Process().WatchCount(tree.Id()) == 3; }));
    EXPECT_EQ(TShellChangeRegistry::Process().WatchCount(list.Id()), 1);

    ASSERT_TRUE(WriteFile(folder_ / "a/seen"));
    ASSERT_TRUE(MakeFolder(folder_ / "a/b/deep"));
    EXPECT_TRUE(recursive.Receives({SHCNE_CREATE, folder_ / "a/seen", ""}));
    EXPECT_TRUE(recursive.Receives({SHCNE_MKDIR, folder_ / "a/b/deep", ""}));
    Sync(flat);
    EXPECT_FALSE(Contains(flat.changes, {SHCNE_CREATE, folder_ / "a/seen", ""}));

    // A folder enumerated outside the registered one adds nothing.
    TTempFolder elsewhere;
    Enumerate(elsewhere.Path());
    EXPECT_EQ(TShellChangeRegistry::Process().WatchCount(tree.Id()), 3);
}

TEST_F(ChangeNotifyTest, RecursiveWatchesStopAtTheCap)
{
    TRecorder recorder;
    // Not asking for the many creations of folders keeps the test quick.
    TRegistrationGuard tree(Register(recorder, folder_.Path(), true, SHCNE_CREATE | SHCNE_RMDIR));
    ASSERT_NE(tree.Id(), 0u);
    std::vector<std::string> folders;
    for (int i = 0; i < kMaxWatchesPerRegistration + 8; ++i) {
        // Appended rather than "d" + ..., which GCC 12 at -O3 wrongly reports as
        // overlapping copies (-Wrestrict, GCC bug 105329).
        folders.push_back(folder_ / std::string("d").append(std::to_string(i)));
        ASSERT_TRUE(MakeFolder(folders.back()));
    }
    for (const std::string& path : folders)
        NotifyFolderEnumerated(path);
    TShellChangeRegistry& registry = TShellChangeRegistry::Process();
    EXPECT_EQ(registry.WatchCount(tree.Id()), kMaxWatchesPerRegistration);

    // A watch given back makes room for the next folder.
    ASSERT_EQ(::rmdir(folders[1].c_str()), 0);
    EXPECT_TRUE(recorder.Receives({SHCNE_RMDIR, folders[1], ""}));
    ASSERT_TRUE(WaitUntil([&] { return registry.WatchCount(tree.Id()) == kMaxWatchesPerRegistration - 1; }));
    NotifyFolderEnumerated(folders.back());
    EXPECT_EQ(registry.WatchCount(tree.Id()), kMaxWatchesPerRegistration);
    ASSERT_TRUE(WriteFile(folders.back() + "/late"));
    EXPECT_TRUE(recorder.Receives({SHCNE_CREATE, folders.back() + "/late", ""}));

    SHChangeNotifyDeregister(tree.Id());
    EXPECT_EQ(registry.Watcher().WatchCount(), 0);
}

TEST_F(ChangeNotifyTest, DeregistrationAndDestroyedReceiverStopDelivery)
{
    TRecorder stopped;
    TRecorder destroyed;
    TRecorder witness;
    const unsigned long stoppedId = Register(stopped, folder_.Path(), false);
    auto receiver = std::make_unique<QObject>();
    const unsigned long destroyedId =
        Register(destroyed, folder_.Path(), false, SHCNE_ALLEVENTS, kBothLevels, receiver.get());
    TRegistrationGuard witnessId(Register(witness, folder_.Path(), false));
    ASSERT_TRUE(stoppedId && destroyedId && witnessId.Id());

    EXPECT_TRUE(SHChangeNotifyDeregister(stoppedId));
    EXPECT_FALSE(SHChangeNotifyDeregister(stoppedId));
    receiver.reset();
    EXPECT_FALSE(SHChangeNotifyDeregister(destroyedId));

    ASSERT_TRUE(WriteFile(folder_ / "after"));
    SHChangeNotify(SHCNE_UPDATEITEM, folder_ / "after");
    EXPECT_TRUE(witness.Receives({SHCNE_UPDATEITEM, folder_ / "after", ""}));
    Sync(witness);
    EXPECT_TRUE(stopped.changes.empty());
    EXPECT_TRUE(destroyed.changes.empty());
}

TEST_F(ChangeNotifyTest, OwnNotificationsAreQueuedAndHonourTheSources)
{
    ASSERT_TRUE(MakeFolder(folder_ / "sub"));
    TRecorder shell;
    TRecorder kernel;
    TRecorder recursive;
    TRegistrationGuard shellOnly(Register(shell, folder_.Path(), false, SHCNE_ALLEVENTS, SHCNRF_ShellLevel));
    TRegistrationGuard kernelOnly(Register(kernel, folder_.Path(), false, SHCNE_ALLEVENTS, SHCNRF_InterruptLevel));
    TRegistrationGuard tree(Register(recursive, folder_.Path(), true, SHCNE_ALLEVENTS, SHCNRF_ShellLevel));
    ASSERT_TRUE(shellOnly.Id() && kernelOnly.Id() && tree.Id());

    SHChangeNotify(SHCNE_CREATE, folder_ / "made by us");
    EXPECT_TRUE(shell.changes.empty());  // delivered later, on the UI thread
    EXPECT_TRUE(shell.Receives({SHCNE_CREATE, folder_ / "made by us", ""}));

    // Item lists too, and for a deeper folder only the recursive registration.
    const TItemIdListPtr sub = SHParseDisplayName(folder_ / "sub");
    SHChangeNotify(SHCNE_UPDATEDIR, sub.get());
    SHChangeNotify(SHCNE_RENAMEITEM, folder_ / "sub/x", folder_ / "sub/y");
    EXPECT_TRUE(recursive.Receives({SHCNE_RENAMEITEM, folder_ / "sub/x", folder_ / "sub/y"}));
    EXPECT_TRUE(shell.Receives({SHCNE_UPDATEDIR, folder_ / "sub", ""}));
    EXPECT_FALSE(Contains(shell.changes, {SHCNE_RENAMEITEM, folder_ / "sub/x", folder_ / "sub/y"}));

    // Interrupt-level registrations see only the kernel's events.
    ASSERT_TRUE(WriteFile(folder_ / "real"));
    EXPECT_TRUE(kernel.Receives({SHCNE_CREATE, folder_ / "real", ""}));
    EXPECT_FALSE(Contains(kernel.changes, {SHCNE_CREATE, folder_ / "made by us", ""}));
    EXPECT_FALSE(Contains(shell.changes, {SHCNE_CREATE, folder_ / "real", ""}));
}

TEST_F(ChangeNotifyTest, RenamingThroughAFolderIsReportedLikeTheFileOperations)
{
    ASSERT_TRUE(WriteFile(folder_ / "alt.txt"));
    ASSERT_TRUE(MakeFolder(folder_ / "alter ordner"));
    TRecorder shell;
    TRegistrationGuard registration(Register(shell, folder_.Path(), false, SHCNE_ALLEVENTS, SHCNRF_ShellLevel));
    ASSERT_NE(registration.Id(), 0u);
    const TItemIdListPtr list = SHParseDisplayName(folder_.Path());
    const IShellFolderPtr folder = SHBindToFolder(list.get());
    ASSERT_NE(folder, nullptr);

    for (const auto& [from, to, event] : {std::tuple{"alt.txt", "neu.txt", SHCNE_RENAMEITEM},
                                          std::tuple{"alter ordner", "neuer ordner", SHCNE_RENAMEFOLDER}}) {
        TItemIdListPtr item;
        ASSERT_TRUE(folder->ParseDisplayName(from, item).Succeeded()) << from;
        ASSERT_TRUE(folder->SetNameOf(item.get(), to, 0, nullptr).Succeeded()) << from;
        EXPECT_TRUE(shell.Receives({event, folder_ / from, folder_ / to})) << from;
    }
}

TEST_F(ChangeNotifyTest, TrashUpdatesWhenItsFilesChange)
{
    TEnvironmentGuard dataHome("XDG_DATA_HOME", folder_.Path());
    ASSERT_TRUE(MakeFolder(folder_ / "Trash"));
    ASSERT_TRUE(MakeFolder(folder_ / "Trash/files"));
    const TItemIdListPtr trash = SHGetSpecialFolderLocation(SF_BITBUCKET);
    ASSERT_NE(trash, nullptr);
    const SHChangeNotifyEntry entry{trash.get(), false};
    int updates = 0;
    unsigned long id = 0;
    // Like a pane that follows the trash by registering anew, then looking at the item.
    TShellChangeHandler handler = [&](long event, const TItemIdList* item, const TItemIdList*) {
        SHChangeNotifyDeregister(id);
        id = SHChangeNotifyRegister(nullptr, kBothLevels, SHCNE_UPDATEDIR, handler, {&entry, 1});
        updates += event == SHCNE_UPDATEDIR && IDListsEqual(item, trash.get()) ? 1 : 0;
    };
    id = SHChangeNotifyRegister(nullptr, kBothLevels, SHCNE_UPDATEDIR, handler, {&entry, 1});
    ASSERT_NE(id, 0u);

    ASSERT_TRUE(WriteFile(folder_ / "Trash/files/thrown away"));
    EXPECT_TRUE(WaitUntil([&] { return updates > 0; }));
    ASSERT_TRUE(WriteFile(folder_ / "Trash/files/and another"));
    EXPECT_TRUE(WaitUntil([&] { return updates > 1; })) << "the new registration sees the trash too";
    SHChangeNotifyDeregister(id);
}

TEST_F(ChangeNotifyTest, ItemsLieBelowTheRegisteredFoldersOwnList)
{
    TEnvironmentGuard home("HOME", folder_.Path());
    ASSERT_TRUE(MakeFolder(folder_ / "deep"));
    const TItemIdListPtr homeList = SHGetSpecialFolderLocation(SF_PERSONAL);
    const TItemIdListPtr computer = SHGetSpecialFolderLocation(SF_DRIVES);
    ASSERT_TRUE(homeList && computer);
    std::vector<TItemIdListPtr> homeItems;
    std::vector<std::string> computerPaths;
    const SHChangeNotifyEntry homeEntry{homeList.get(), false};
    const SHChangeNotifyEntry computerEntry{computer.get(), true};
    TRegistrationGuard homeRegistration(SHChangeNotifyRegister(
        nullptr, kBothLevels, SHCNE_CREATE | SHCNE_DELETE,
        [&](long, const TItemIdList* item, const TItemIdList*) { homeItems.push_back(CloneIDList(item)); },
        {&homeEntry, 1}));
    TRegistrationGuard tree(SHChangeNotifyRegister(
        nullptr, kBothLevels, SHCNE_CREATE,
        [&](long, const TItemIdList* item, const TItemIdList*) { computerPaths.push_back(SHGetPathFromIDList(item)); },
        {&computerEntry, 1}));
    ASSERT_TRUE(homeRegistration.Id() && tree.Id());

    ASSERT_TRUE(WriteFile(folder_ / "in home"));
    ASSERT_TRUE(WaitUntil([&] { return homeItems.size() == 1; }));
    ASSERT_EQ(::unlink((folder_ / "in home").c_str()), 0);
    ASSERT_TRUE(WaitUntil([&] { return homeItems.size() == 2; }));
    for (const TItemIdListPtr& item : homeItems) {
        const TItemIdListPtr parent = TruncateIDList(item.get(), IDListCount(item.get()) - 1);
        EXPECT_TRUE(IDListsEqual(parent.get(), homeList.get()));
        EXPECT_EQ(SHGetPathFromIDList(item.get()), folder_ / "in home");
    }

    // A tree of the computer watches whatever folder it expands.
    Enumerate(folder_ / "deep");
    ASSERT_TRUE(WaitUntil([&] { return TShellChangeRegistry::Process().WatchCount(tree.Id()) == 1; }));
    ASSERT_TRUE(WriteFile(folder_ / "deep/found"));
    EXPECT_TRUE(WaitUntil([&] { return Contains(computerPaths, folder_ / "deep/found"); }));
}

TEST_F(ChangeNotifyTest, RegistrationNeedsAHandlerAndAFolder)
{
    TRecorder recorder;
    ASSERT_TRUE(WriteFile(folder_ / "plain"));
    EXPECT_EQ(Register(recorder, folder_ / "plain", false), 0u);
    const TItemIdListPtr pidl = SHParseDisplayName(folder_.Path());
    const SHChangeNotifyEntry entry{pidl.get(), false};
    EXPECT_EQ(SHChangeNotifyRegister(nullptr, kBothLevels, SHCNE_ALLEVENTS, {}, {&entry, 1}), 0u);
    EXPECT_EQ(SHChangeNotifyRegister(nullptr, kBothLevels, SHCNE_ALLEVENTS, recorder.Handler(), {}), 0u);
    EXPECT_STREQ(ShellEventName(SHCNE_RENAMEFOLDER), "RENAMEFOLDER");
    EXPECT_STREQ(ShellEventName(SHCNE_ALLEVENTS), "");
}

}  // namespace
