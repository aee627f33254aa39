#include "platform/notify/ShellChangeNotify.h"
#include "platform/notify/TShellChangeRegistry.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"
#include "shell/notifier/PzControls.h"
#include "tests/platform/NotifyTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct THookCall
{
    TNotificationEvent event;
    std::string path1;
    std::string path2;
};

// A registration of its own on a folder: once it has heard of a change, every
// registration of that folder has been told (the registry tells them all at once).
class TWitness
{
public:
    explicit TWitness(const std::string& folder)
    {
        const TItemIdListPtr list = SHParseDisplayName(folder);
        const SHChangeNotifyEntry entry{list.get(), false};
        id_ = SHChangeNotifyRegister(
            nullptr, SHCNRF_InterruptLevel | SHCNRF_ShellLevel, SHCNE_ALLEVENTS,
            [this](long, const TItemIdList* item, const TItemIdList*) { heard_.push_back(SHGetPathFromIDList(item)); },
            {&entry, 1});
    }
    ~TWitness() { SHChangeNotifyDeregister(id_); }
    TWitness(const TWitness&) = delete;
    TWitness& operator=(const TWitness&) = delete;

    bool Hears(const std::string& path) const
    {
        return id_ != 0 && WaitUntil([&] { return std::find(heard_.begin(), heard_.end(), path) != heard_.end(); });
    }

private:
    unsigned long id_ = 0;
    std::vector<std::string> heard_;
};

// A notifier whose hook records what reaches it, on a clock the test moves.
class TNotifierTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.IsValid());
        notifier.SetTickSource([this] { return now; });
    }

    void Hook()
    {
        notifier.SetItemHook([this](TPzShellChangeNotifier&, TNotificationEvent event, const TItemIdList* item1,
                                    const TItemIdList* item2) {
            calls.push_back({event, SHGetPathFromIDList(item1), SHGetPathFromIDList(item2)});
        });
    }

    bool HookSaw(TNotificationEvent event, const std::string& path1) const
    {
        for (const THookCall& call : calls) {
            if (call.event == event && call.path1 == path1)
                return true;
        }
        return false;
    }

    TTempFolder folder;
    std::uint32_t now = 100000;
    TPzShellChangeNotifier notifier;
    std::vector<THookCall> calls;
};

}  // namespace

TEST(NotificationEvents, TableServesBothWays)
{
    EXPECT_EQ(ShellEventOf(neFolderRename), SHCNE_RENAMEFOLDER);
    EXPECT_EQ(ShellEventOf(neUnknown), SHCNE_ALLEVENTS);
    EXPECT_EQ(NotificationEventOf(SHCNE_RMDIR), neFolderDelete);
    EXPECT_EQ(NotificationEventOf(SHCNE_ASSOCCHANGED), neAssociationChange);
    EXPECT_EQ(NotificationEventOf(0x40000000L), neUnknown);
    // The file list's filter.
    const TNotificationEvents list =
        NotificationEventBit(neFileChange) | NotificationEventBit(neFileCreate) | NotificationEventBit(neFileDelete) |
        NotificationEventBit(neFileRename) | NotificationEventBit(neDriveAdd) | NotificationEventBit(neDriveRemove) |
        NotificationEventBit(neShellDriveAdd) | NotificationEventBit(neMediaInsert) |
        NotificationEventBit(neMediaRemove) | NotificationEventBit(neFolderCreate) |
        NotificationEventBit(neFolderDelete) | NotificationEventBit(neFolderRename) |
        NotificationEventBit(neFolderUpdate) | NotificationEventBit(neNetShare) | NotificationEventBit(neNetUnShare);
    EXPECT_EQ(list.Bits(), 0x3FDFCu);
    EXPECT_EQ(EventMaskOf(list), SHCNE_UPDATEITEM | SHCNE_CREATE | SHCNE_DELETE | SHCNE_RENAMEITEM | SHCNE_DRIVEADD |
                                     SHCNE_DRIVEREMOVED | SHCNE_DRIVEADDGUI | SHCNE_MEDIAINSERTED | SHCNE_MEDIAREMOVED |
                                     SHCNE_MKDIR | SHCNE_RMDIR | SHCNE_RENAMEFOLDER | SHCNE_UPDATEDIR | SHCNE_NETSHARE |
                                     SHCNE_NETUNSHARE);
    EXPECT_EQ(EventMaskOf(NotificationEventBit(neUnknown)), SHCNE_ALLEVENTS);
}

TEST_F(TNotifierTest, NewNotifierRegistersNothingAndHearsNothing)
{
    Hook();
    EXPECT_FALSE(notifier.Enabled());
    EXPECT_TRUE(notifier.Recursive());
    EXPECT_EQ(notifier.EventFilter(), kAllNotificationEvents);
    const TItemIdListPtr watched = SHParseDisplayName(folder.Path());
    notifier.SetWatchedItem(watched.get());
    EXPECT_FALSE(notifier.Registered());
    EXPECT_EQ(notifier.WatchedId(), 0u);
    const TWitness witness(folder.Path());
    ASSERT_TRUE(WriteFile(folder / "quiet"));
    ASSERT_TRUE(witness.Hears(folder / "quiet"));
    const TItemIdListPtr item = SHParseDisplayName(folder / "quiet");
    notifier.HandleNotification(SHCNE_CREATE, item.get(), nullptr);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(notifier.Version(), "TPzShellChangeNotifier V5.4");
}

TEST_F(TNotifierTest, BareNotifierWatchesTheWholeComputer)
{
    notifier.SetRecursive(false);
    notifier.SetEnabled(true);
    EXPECT_TRUE(notifier.Registered());
    EXPECT_EQ(notifier.Directories(), std::vector<std::string>{""});
    EXPECT_TRUE(notifier.Recursive());
    EXPECT_NE(notifier.DirectoryId(""), 0u);

    notifier.AddDirectory(folder.Path());
    EXPECT_EQ(notifier.Directories(), std::vector<std::string>{folder.Path()}) << "the empty entry gives way";
    EXPECT_NE(notifier.DirectoryId(folder.Path()), 0u);

    notifier.SetEnabled(false);
    EXPECT_FALSE(notifier.Registered());
    EXPECT_EQ(notifier.DirectoryId(folder.Path()), 0u);
}

TEST_F(TNotifierTest, WatchedItemReplacesTheEmptyEntry)
{
    notifier.SetEnabled(true);
    ASSERT_EQ(notifier.Directories(), std::vector<std::string>{""});
    const TItemIdListPtr watched = SHParseDisplayName(folder.Path());
    notifier.SetWatchedItem(watched.get());
    EXPECT_TRUE(notifier.Directories().empty());
    EXPECT_NE(notifier.WatchedId(), 0u);
    EXPECT_TRUE(IDListsEqual(notifier.WatchedItem(), watched.get()));
}

// A registration made anew keeps the folders enumerated below its item
// watched (open tree nodes), as far as it still covers them.
TEST_F(TNotifierTest, OnlyARealChangeOfTheSettingsRegistersAnewAndWatchedFoldersStayWatched)
{
    Hook();
    const std::string open = folder / "offen";
    ASSERT_TRUE(MakeFolder(open));
    const TItemIdListPtr watched = SHParseDisplayName(folder.Path());
    notifier.SetWatchedItem(watched.get());
    notifier.SetEnabled(true);
    NotifyFolderEnumerated(open);
    TShellChangeRegistry& registry = TShellChangeRegistry::Process();
    const unsigned long first = notifier.WatchedId();
    ASSERT_NE(first, 0u);
    ASSERT_EQ(registry.WatchCount(first), 2);
    notifier.SetEventFilter(kAllNotificationEvents);
    notifier.SetRecursive(true);
    EXPECT_EQ(notifier.WatchedId(), first);
    notifier.SetEventFilter(NotificationEventBit(neFileCreate));
    const unsigned long second = notifier.WatchedId();
    EXPECT_NE(second, first);
    EXPECT_EQ(registry.WatchCount(second), 2);
    notifier.AddDirectory(open);
    EXPECT_EQ(notifier.WatchedId(), second) << "another entry leaves the item's registration be";
    EXPECT_EQ(registry.WatchCount(second), 2);
    notifier.DeleteDirectory(open);
    notifier.SetWatchedItem(watched.get());
    EXPECT_EQ(registry.WatchCount(notifier.WatchedId()), 2) << "the same item again keeps its folders";
    ASSERT_TRUE(WriteFile(open + "/neu"));
    EXPECT_TRUE(WaitUntil([&] { return HookSaw(neFileCreate, open + "/neu"); }));
    notifier.SetRecursive(false);
    EXPECT_NE(notifier.WatchedId(), second);
    EXPECT_EQ(registry.WatchCount(notifier.WatchedId()), 1) << "nothing below a folder watched alone";
    EXPECT_TRUE(notifier.Directories().empty()) << "a notifier with a hook adds no entry of its own";
}

TEST_F(TNotifierTest, RepeatsWithinTheWindowAreDropped)
{
    Hook();
    notifier.SetEnabled(true);
    ASSERT_TRUE(WriteFile(folder / "gone"));
    const TItemIdListPtr item = SHParseDisplayName(folder / "gone");
    ASSERT_TRUE(item);

    notifier.HandleNotification(SHCNE_DELETE, item.get(), nullptr);
    now += TPzShellChangeNotifier::kRepeatWindow - 1;
    notifier.HandleNotification(SHCNE_DELETE, item.get(), nullptr);
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(notifier.LastTick(), 100000u) << "a dropped repeat does not restart the window";

    notifier.HandleNotification(SHCNE_UPDATEITEM, item.get(), nullptr);
    EXPECT_EQ(calls.size(), 2u) << "another kind for the same item is never dropped";
    notifier.HandleNotification(SHCNE_DELETE, item.get(), nullptr);
    EXPECT_EQ(calls.size(), 3u);
    now += TPzShellChangeNotifier::kRepeatWindow;
    notifier.HandleNotification(SHCNE_DELETE | SHCNE_INTERRUPT, item.get(), nullptr);
    EXPECT_EQ(calls.size(), 4u) << "after the window the same deletion counts again";
    EXPECT_EQ(calls.back().event, neFileDelete);
    EXPECT_EQ(calls.back().path1, folder / "gone");
    EXPECT_EQ(notifier.LastEvent(), SHCNE_DELETE);

    const TItemIdListPtr desktop = MakeDesktopIDList();
    notifier.HandleNotification(SHCNE_UPDATEDIR, desktop.get(), nullptr);
    notifier.HandleNotification(SHCNE_UPDATEDIR, desktop.get(), nullptr);
    EXPECT_EQ(calls.size(), 6u) << "the desktop, an empty list, is never taken for a repeat";
}

TEST_F(TNotifierTest, OnChangeRunsAfterTheNotificationWasHandled)
{
    Hook();
    notifier.SetEnabled(true);
    ASSERT_TRUE(WriteFile(folder / "a b"));
    ASSERT_TRUE(WriteFile(folder / "c"));
    const TItemIdListPtr first = SHParseDisplayName(folder / "a b");
    const TItemIdListPtr second = SHParseDisplayName(folder / "c");
    std::vector<QString> delivered;
    notifier.SetOnChange([&](QObject* sender, TNotificationEvent event, const QString& path1, const QString& path2) {
        EXPECT_EQ(sender, &notifier);
        EXPECT_EQ(event, neFileRename);
        delivered.push_back(path1 + "|" + path2);
    });
    notifier.HandleNotification(SHCNE_RENAMEITEM, first.get(), second.get());
    notifier.HandleNotification(SHCNE_RENAMEITEM, second.get(), first.get());
    EXPECT_TRUE(delivered.empty());
    ASSERT_TRUE(WaitUntil([&] { return delivered.size() == 2; }));
    const QString a = QFile::decodeName((folder / "a b").c_str());
    const QString c = QFile::decodeName((folder / "c").c_str());
    EXPECT_EQ(delivered, (std::vector<QString>{a + "|" + c, c + "|" + a}));
}

TEST_F(TNotifierTest, DeliveryToAGoneNotifierIsDropped)
{
    int delivered = 0;
    {
        TPzShellChangeNotifier shortLived;
        shortLived.SetItemHook(
            [](TPzShellChangeNotifier&, TNotificationEvent, const TItemIdList*, const TItemIdList*) {});
        shortLived.SetEnabled(true);
        shortLived.SetOnChange([&](QObject*, TNotificationEvent, const QString&, const QString&) { ++delivered; });
        shortLived.HandleNotification(SHCNE_UPDATEDIR, nullptr, nullptr);
    }
    ASSERT_TRUE(RunQueuedCalls());
    EXPECT_EQ(delivered, 0);
}

TEST_F(TNotifierTest, FileSystemChangesReachTheHook)
{
    Hook();
    notifier.SetTickSource(nullptr);
    notifier.SetEventFilter(NotificationEventBit(neFileCreate) | NotificationEventBit(neFileDelete) |
                            NotificationEventBit(neFolderCreate));
    notifier.SetRecursive(false);
    const TItemIdListPtr watched = SHParseDisplayName(folder.Path());
    notifier.SetWatchedItem(watched.get());
    notifier.SetEnabled(true);

    ASSERT_TRUE(WriteFile(folder / "new file"));
    ASSERT_TRUE(MakeFolder(folder / "new folder"));
    ASSERT_TRUE(WaitUntil(
        [&] { return HookSaw(neFileCreate, folder / "new file") && HookSaw(neFolderCreate, folder / "new folder"); }));
    ASSERT_EQ(::unlink((folder / "new file").c_str()), 0);
    ASSERT_TRUE(WaitUntil([&] { return HookSaw(neFileDelete, folder / "new file"); }));

    notifier.SetEnabled(false);
    calls.clear();
    const TWitness witness(folder.Path());
    ASSERT_TRUE(WriteFile(folder / "unheard"));
    ASSERT_TRUE(witness.Hears(folder / "unheard"));
    EXPECT_TRUE(calls.empty());
}
