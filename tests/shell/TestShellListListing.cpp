// The file list's listing on a worker, on a FUSE file system whose listings
// can be held: a slow folder leaves the window answering, a newer folder wins
// over an older slow one, and a fast folder is there right after the call.
#include "tests/shell/ShellListFixture.h"

#include "shell/panes/TPzFolderListing.h"
#include "shell/panes/TPzPaneNotice.h"
#include "platform/core/system/TMountTable.h"
#include "shell/navigator/TShellNavigator.h"
#include "shell/panes/list/TPzShellListItem.h"
#include "shell/threads/TWorkerPools.h"
#include "shell/threads/TWorkerThreadPool.h"
#include "tests/support/TListingFuse.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr int kFiles = 50;
// Longer than any test: a held listing ends only through Release().
constexpr auto kHeld = 600s;

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

class ShellListListing : public ShellListFixture
{
protected:
    bool WaitCursorOverList()
    {
        return List().viewport()->testAttribute(Qt::WA_SetCursor) &&
               List().viewport()->cursor().shape() == Qt::WaitCursor;
    }
    // Opens the test file system's folder in the list with its listing held.
    [[nodiscard]] bool OpenHeld(TListingFuse& fuse)
    {
        fuse.LookUpNames();
        fuse.SetDelay(std::chrono::duration_cast<std::chrono::milliseconds>(kHeld));
        List().SetPath(Q(fuse.Root()));
        return fuse.WaitUntilHeld(10s);
    }
    // Until no listing is left on a worker, so that a late result would have arrived.
    static bool ListingsSettle()
    {
        QElapsedTimer clock;
        clock.start();
        while (TWorkerPools::ListingPool() && TWorkerPools::ListingPool()->PendingCount() > 0) {
            if (clock.elapsed() > 20000)
                return false;
            QTest::qWait(10);
        }
        QTest::qWait(50);
        return true;
    }
};

// A held listing: the call returns, the event loop runs (a timer fires), the
// pane says it is reading under an hourglass of its own, a selection asked
// for meanwhile waits; the release fills the pane and selects the entry. A
// refill of the same folder keeps its entries while it is held.
TEST_F(ShellListListing, ASlowFolderLeavesTheWindowAnswering)
{
    TListingFuse fuse(Work(), kFiles);
    if (!fuse.IsMounted())
        GTEST_SKIP() << fuse.SkipReason();
    ASSERT_TRUE(OpenHeld(fuse));
    EXPECT_TRUE(List().ListingPending());
    EXPECT_EQ(List().Count(), 0);
    EXPECT_EQ(List().Notice().Shown(), TPzPaneNotice::ReadingText());
    EXPECT_EQ(List().Notice().Shown(), QString::fromUtf8("Ordner wird gelesen…"));
    EXPECT_TRUE(WaitCursorOverList());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    bool fired = false;
    QTimer::singleShot(10, [&] { fired = true; });
    QTRY_VERIFY_WITH_TIMEOUT(fired, 5000);
    EXPECT_TRUE(List().ListingPending());
    List().SetSelectedNames({Q(TListingFuse::NameOf(7))});

    fuse.Release();
    QTRY_COMPARE_WITH_TIMEOUT(List().Count(), kFiles, 10000);
    EXPECT_FALSE(List().ListingPending());
    EXPECT_EQ(List().Notice().Shown(), QString());
    EXPECT_FALSE(WaitCursorOverList());
    ASSERT_EQ(List().SelCount(), 1);
    EXPECT_EQ(List().Selected()->Caption, Q(TListingFuse::NameOf(7)));

    fuse.SetDelay(std::chrono::duration_cast<std::chrono::milliseconds>(kHeld));
    List().FullRefresh();
    ASSERT_TRUE(fuse.WaitUntilHeld(10s));
    EXPECT_EQ(List().Count(), kFiles);
    EXPECT_EQ(List().Notice().Shown(), TPzPaneNotice::ReadingText());
    fuse.Release();
    QTRY_VERIFY_WITH_TIMEOUT(!List().ListingPending(), 10000);
    EXPECT_EQ(List().Count(), kFiles);
    EXPECT_EQ(List().Notice().Shown(), QString());
    ASSERT_EQ(List().SelCount(), 1);
    EXPECT_EQ(List().Selected()->Caption, Q(TListingFuse::NameOf(7)));
    List().SetPath(Q(Work()));
}

// A folder asked for while an older one is held is shown at once; the older
// result, released afterwards, never shows. A listing slower than at once but
// within the short wait is there right after the call, even when it pauses
// between its pages for longer, in all, than a held listing is waited for.
TEST_F(ShellListListing, ANewerFolderWinsAndAFastOneIsThereAtOnce)
{
    // Two of the kernel's pages of entries.
    constexpr int kTwoPages = 1200;
    MakeDirectory(Work() + "/neu");
    WriteFile(Work() + "/neu/eins.txt");
    WriteFile(Work() + "/neu/zwei.txt");
    TListingFuse fuse(Work(), kTwoPages);
    if (!fuse.IsMounted())
        GTEST_SKIP() << fuse.SkipReason();
    ASSERT_TRUE(OpenHeld(fuse));

    List().SetPath(Q(Work() + "/neu"));
    EXPECT_FALSE(List().ListingPending());
    EXPECT_EQ(Captions(), (std::vector<QString>{"eins.txt", "zwei.txt"}));
    EXPECT_EQ(List().Notice().Shown(), QString());
    EXPECT_FALSE(WaitCursorOverList());
    fuse.Release();
    ASSERT_TRUE(ListingsSettle());
    EXPECT_EQ(Captions(), (std::vector<QString>{"eins.txt", "zwei.txt"}));
    EXPECT_EQ(QDir::cleanPath(List().Path()), Q(Work() + "/neu"));

    // Each page after half the stall wait: both pages together take longer
    // than it, and fit the short wait on a busy machine.
    static_assert(2 * TPzFolderListing::kStallWait < TPzFolderListing::kShortWait);
    fuse.SetDelay(TPzFolderListing::kStallWait / 2);
    List().SetPath(Q(fuse.Root()));
    EXPECT_FALSE(List().ListingPending());
    EXPECT_EQ(List().Count(), kTwoPages);
    EXPECT_EQ(List().Notice().Shown(), QString());
    fuse.SetDelay(0ms);
    List().SetPath(Q(Work()));
}

// On a folder whose server is slow to answer stats, completing and painting
// the list in report style does not wait for its entries' details: the icons
// are there at once, the details come from a worker, and once the stats are
// answered they arrive in the rows in view, each the entry's own, in one change.
TEST_F(ShellListListing, DetailsOfASlowFolderArriveWithoutHoldingThePaint)
{
    TListingFuse fuse(Work(), kFiles);
    if (!fuse.IsMounted())
        GTEST_SKIP() << fuse.SkipReason();
    // The system's own mount table, which holds the test's mount (the fixture's holds only "/").
    TMountTable::SetMountInfoPath("");
    List().SetViewStyle(vsReport);
    fuse.HoldFiles(true);
    // A completion that waited for a held stat is let go after a while and
    // then fails the checks below instead of hanging the test.
    std::promise<void> finished;
    std::jthread guard([&fuse, ended = finished.get_future()] {
        if (ended.wait_for(60s) == std::future_status::timeout)
            fuse.HoldFiles(false);
    });
    List().SetPath(Q(fuse.Root()));
    QTRY_COMPARE_WITH_TIMEOUT(List().Count(), kFiles, 10000);

    List().CompleteVisible();
    List().viewport()->repaint();
    ASSERT_TRUE(fuse.WaitUntilFileHeld(10s));
    int shown = 0;
    while (shown < kFiles && List().Item(shown)->ImageIndex >= 0)
        ++shown;
    ASSERT_GT(shown, 1);
    ASSERT_LT(shown, kFiles);
    for (int row = 0; row < shown; ++row)
        EXPECT_TRUE(List().Item(row)->SubItems.isEmpty()) << row;

    QSignalSpy changes(&List().Model(), &QAbstractItemModel::dataChanged);
    fuse.HoldFiles(false);
    QTRY_VERIFY_WITH_TIMEOUT(!List().Item(shown - 1)->SubItems.isEmpty(), 10000);
    finished.set_value();
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0][0].value<QModelIndex>().row(), 0);
    EXPECT_EQ(changes[0][1].value<QModelIndex>().row(), shown - 1);
    TShellNavigator navigator;
    navigator.SetShowErrorMessages(false);
    navigator.SetFolder(Q(fuse.Root()));
    for (int row = 0; row < shown; ++row) {
        const TListItem& item = *List().Item(row);
        navigator.SetObjectIDList(ShellItemOf(&item)->Item());
        ASSERT_EQ(item.SubItems.size(), List().ColumnCount() - 1) << row;
        for (int column = 1; column < List().ColumnCount(); ++column)
            EXPECT_EQ(item.SubItems[column - 1], navigator.GetDetailText(List().DetailColumnOf(column), false))
                << row << " " << column;
    }
    EXPECT_NE(List().Item(0)->SubItems, List().Item(1)->SubItems);
    EXPECT_TRUE(List().Item(shown)->SubItems.isEmpty());
    List().SetPath(Q(Work()));
}

}  // namespace
