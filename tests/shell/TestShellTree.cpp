#include "tests/shell/NavigatorFixture.h"

#include "framework/MessageBox.h"
#include "platform/core/system/TMountTable.h"
#include "shell/link/TPzShellLink.h"
#include "platform/core/system/LastError.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/panes/TPzPaneNotice.h"
#include "shell/panes/tree/TPzShellTree.h"
#include "shell/panes/tree/TPzShellTreeItem.h"
#include "tests/support/TFolderListings.h"
#include "tests/support/TListingFuse.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

// A pane beside the tree on the link: records what the link passes on.
class RecordingPane : public IPzShellControl
{
public:
    void SetShellLink(TPzShellLink* link) override { link_ = link; }
    TPzShellLink* GetShellLink() const override { return link_; }
    void ChangeFolder(const TItemIdList* absolute) override { folders.push_back(GetPathFromIDList(absolute)); }
    void ChangeFolderAndSelect(const TItemIdList* folder, const TItemIdList* item) override
    {
        folders.push_back(GetPathFromIDList(ConcatIDLists(folder, item).get()));
    }
    void SelectAll() override { ++selectAlls; }
    void FullRefresh() override { ++fullRefreshes; }
    void RefreshContents() override {}
    bool GoUp() override { return false; }

    std::vector<std::string> folders;
    int selectAlls = 0;
    int fullRefreshes = 0;

private:
    TPzShellLink* link_ = nullptr;
};

// A tree set up as the main window sets it up, with a recording pane after it on the link.
class ShellTreeTest : public NavigatorFixture
{
protected:
    void SetUp() override
    {
        NavigatorFixture::SetUp();
        previousHandler_ = SetMessageHandler([this](const TMessageRequest&) {
            ++messages;
            return TMessageAnswer{};
        });
    }
    void TearDown() override
    {
        tree_.reset();
        link_.reset();
        SetMessageHandler(previousHandler_);
        NavigatorFixture::TearDown();
    }

    TPzShellTree& Start()
    {
        link_ = std::make_unique<TPzShellLink>();
        tree_ = std::make_unique<TPzShellTree>();
        tester_ = std::make_unique<QAbstractItemModelTester>(&tree_->Nodes(),
                                                             QAbstractItemModelTester::FailureReportingMode::Warning);
        tree_->SetShellLink(link_.get());
        link_->RegisterControl(&pane);
        tree_->SetSpecialFolder(SF_DRIVES);
        tree_->SetFilter("*");
        tree_->SetIndent(19);
        tree_->resize(257, 600);
        tree_->Loaded();
        tree_->show();
        return *tree_;
    }

    TTreeNode* Child(TTreeNode* node, const QString& text)
    {
        for (int i = 0; node && i < node->Count(); ++i)
            if (node->Item(i)->Text() == text)
                return node->Item(i);
        return nullptr;
    }
    // Selects a folder and waits until its node has been painted.
    TTreeNode* ShowFolder(const std::string& path)
    {
        tree_->SetSelectedFolder(QString::fromStdString(path));
        // On a busy machine the folders on the way may be listed after the short wait.
        EXPECT_TRUE(QTest::qWaitFor([&] {
            const TTreeNode* selected = tree_->Selected();
            return selected && tree_->GetNodePath(selected) == path;
        }));
        TTreeNode* node = tree_->Selected();
        tree_->scrollTo(tree_->Nodes().IndexOf(node), QAbstractItemView::PositionAtTop);
        EXPECT_TRUE(QTest::qWaitFor([&] { return node->ImageIndex() >= 0; }));
        return node;
    }

    RecordingPane pane;
    int messages = 0;
    std::unique_ptr<TPzShellLink> link_;
    std::unique_ptr<TPzShellTree> tree_;
    std::unique_ptr<QAbstractItemModelTester> tester_;

private:
    TMessageHandler previousHandler_;
};

}  // namespace

TEST_F(ShellTreeTest, StartsWithTheDesktopExpandedAndTheComputerSelected)
{
    TPzShellTree& tree = Start();
    ASSERT_EQ(tree.Nodes().RootCount(), 1);
    TTreeNode* root = tree.Nodes().FirstRoot();
    EXPECT_TRUE(IsDesktopIDList(TPzShellTree::ShellItem(root)->Absolute()));
    EXPECT_TRUE(tree.IsExpanded(root));
    QStringList names;
    for (int i = 0; i < root->Count(); ++i)
        names << root->Item(i)->Text();
    EXPECT_EQ(names.mid(0, 4), (QStringList{"Persönlicher Ordner", "Computer", "Netzwerk", "Papierkorb"}));
    TTreeNode* computer = tree.Selected();
    ASSERT_NE(computer, nullptr);
    EXPECT_EQ(computer->Text(), "Computer");
    EXPECT_FALSE(tree.IsExpanded(computer));
    EXPECT_EQ(tree.SelectedFolder(), "");
    EXPECT_EQ(tree.SpecialFolder(), SF_DRIVES);
    EXPECT_EQ(pane.folders, std::vector<std::string>{""});  // told at once
    EXPECT_EQ(messages, 0);
}

TEST_F(ShellTreeTest, WritingSelectedFolderExpandsEachLevelAndFallsBackToTheDeepestFolder)
{
    MakeDirectory(Work() + "/a");
    MakeDirectory(Work() + "/a/b");
    MakeDirectory(Work() + "/a/b/c");
    TPzShellTree& tree = Start();
    tree.SetSelectedFolder(QString::fromStdString(Work() + "/a/b/c"));
    EXPECT_EQ(tree.SelectedFolder().toStdString(), Work() + "/a/b/c");
    for (TTreeNode* node = tree.Selected()->Parent(); node; node = node->Parent())
        EXPECT_TRUE(tree.IsExpanded(node)) << node->Text().toStdString();
    EXPECT_EQ(pane.folders.back(), Work() + "/a/b/c");

    tree.SetSelectedFolder(QString::fromStdString(Work() + "/a/b/fehlt/auch"));
    EXPECT_EQ(tree.SelectedFolder().toStdString(), Work() + "/a/b");

    tree.SetSelectedFolder("");
    EXPECT_EQ(tree.SpecialFolder(), SF_DRIVES);
    EXPECT_EQ(tree.Selected()->Text(), "Computer");
    EXPECT_EQ(tree.SelectedFolder(), "");
}

TEST_F(ShellTreeTest, KeysReachTheLinkAfterTheyRestWhileClicksActAtOnce)
{
    for (const char* name : {"k1", "k2", "k3", "k4"})
        MakeDirectory(Work() + "/" + name);
    TPzShellTree& tree = Start();
    tree.setFocus();
    TTreeNode* first = ShowFolder(Work() + "/k1");
    pane.folders.clear();

    QTest::keyClick(&tree, Qt::Key_Down);
    QTest::keyClick(&tree, Qt::Key_Down);
    EXPECT_EQ(tree.Selected(), first->NextSibling()->NextSibling());
    EXPECT_TRUE(pane.folders.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pane.folders.empty(); }));
    EXPECT_EQ(pane.folders, std::vector<std::string>{Work() + "/k3"});

    // A click is passed on at once.
    TTreeNode* last = first->Parent()->Item(first->Index() + 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tree.NodeRect(last, true).isValid(); }));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.NodeRect(last, true).center());
    EXPECT_EQ(tree.Selected(), last);
    EXPECT_EQ(pane.folders.back(), Work() + "/k4");

    // F5 refreshes the other panes; Ctrl+A makes them select all and leaves the tree.
    QTest::keyClick(&tree, Qt::Key_F5);
    EXPECT_EQ(pane.fullRefreshes, 1);
    QTest::keyClick(&tree, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(pane.selectAlls, 1);
    EXPECT_EQ(tree.Selected(), last);
}

TEST_F(ShellTreeTest, FoldersDeletedOrRenamedOutsideLeaveTheTree)
{
    MakeDirectory(Work() + "/weg");
    MakeDirectory(Work() + "/alt");
    TPzShellTree& tree = Start();
    TTreeNode* work = ShowFolder(Work());
    tree.Expand(work);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Child(work, "weg") && Child(work, "weg")->ImageIndex() >= 0; }));

    ASSERT_EQ(std::remove((Work() + "/weg").c_str()), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Child(work, "weg") == nullptr; }));
    ASSERT_EQ(std::rename((Work() + "/alt").c_str(), (Work() + "/neu").c_str()), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Child(work, "alt") == nullptr && Child(work, "neu") != nullptr; }));
    EXPECT_EQ(messages, 0);
}

// A refresh whose listing fails (on a FUSE file system whose every directory
// read after the first answers EIO) keeps the children it did not see and
// names the folder it could not read.
TEST_F(ShellTreeTest, AFailedListingKeepsTheChildrenAndSaysWhich)
{
    TListingFuse fuse(Work(), 20);
    if (!fuse.IsMounted())
        GTEST_SKIP() << fuse.SkipReason();
    TPzShellTree& tree = Start();
    tree.SetAutomaticRefresh(false);
    tree.SetShowFiles(true);
    TTreeNode* folder = ShowFolder(fuse.Root());
    tree.Expand(folder);
    const QString first = QString::fromStdString(TListingFuse::NameOf(0));
    const QString last = QString::fromStdString(TListingFuse::NameOf(19));
    ASSERT_NE(Child(folder, last), nullptr);
    // The last file is gone, but the listing that would tell fails after its first read.
    fuse.SetListedFiles(19);
    fuse.SetFailing(true);
    tree.RefreshContents();
    EXPECT_NE(Child(folder, last), nullptr);
    EXPECT_EQ(tree.Notice().Shown(), QString::fromStdString("Der Ordner \u201E" + fuse.Root() +
                                                            "\u201C konnte nicht vollständig gelesen werden: " +
                                                            GetSystemErrorText(EIO) + "."));
    fuse.SetFailing(false);
    tree.RefreshContents();
    EXPECT_EQ(Child(folder, last), nullptr);
    EXPECT_NE(Child(folder, first), nullptr);
    EXPECT_EQ(tree.Notice().Shown(), QString());
    tree.SetSelectedFolder(QString::fromStdString(Work()));
}

TEST_F(ShellTreeTest, RenamesInPlaceReachTheLinkOrKeepTheNameWhenRefused)
{
    MakeDirectory(Work() + "/alt");
    MakeDirectory(Work() + "/alt/innen");
    MakeDirectory(Work() + "/fest");
    MakeDirectory(Work() + "/fest/kind");
    TPzShellTree& tree = Start();
    std::vector<std::pair<TPzShellOperations, QString>> operations;
    tree.OnOperation = [&](QObject*, TPzShellOperations operation, const TFileNames& files,
                           const QString& destination) {
        operations.emplace_back(operation, files.Get(0) + ">" + destination);
    };
    TTreeNode* renamed = ShowFolder(Work() + "/alt");
    tree.Expand(renamed);
    ASSERT_TRUE(tree.EditText(renamed));
    tree.findChildren<QLineEdit*>().last()->setText("neu");
    tree.EndEdit(false);
    EXPECT_EQ(renamed->Text(), "neu");
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(Work() + "/neu/innen")));
    EXPECT_EQ(pane.folders.back(), Work() + "/neu");
    ASSERT_EQ(operations.size(), 1u);
    EXPECT_EQ(operations[0].first, opRename);
    EXPECT_EQ(operations[0].second.toStdString(), Work() + "/alt>" + Work() + "/neu");
    // Ctrl+V with nothing to paste fails, and a paste that did not run is not reported.
    QApplication::clipboard()->clear();
    QTest::keyClick(&tree, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(operations.size(), 1u);
    // The expanded state comes back after the pause, with children of the new path.
    ASSERT_TRUE(QTest::qWaitFor([&] { return tree.IsExpanded(renamed); }));
    EXPECT_EQ(Child(renamed, "innen") != nullptr, true);

    TTreeNode* node = ShowFolder(Work() + "/fest/kind");
    ASSERT_TRUE(tree.EditText(node));
    TImmutableGuard guard(Work() + "/fest");
    if (!guard.Active())
        GTEST_SKIP() << "no immutable flag here";
    auto editors = tree.findChildren<QLineEdit*>();
    ASSERT_FALSE(editors.isEmpty());
    editors.last()->setText("anders");
    tree.EndEdit(false);
    EXPECT_EQ(node->Text(), "kind");
    EXPECT_EQ(tree.SelectedFolder().toStdString(), Work() + "/fest/kind");
    EXPECT_EQ(messages, 0);
}

// A folder removed from outside right after its rename in place leaves the
// tree; what follows the rename never reaches for the node it had.
TEST_F(ShellTreeTest, AFolderRemovedRightAfterItsRenameLeavesTheTree)
{
    MakeDirectory(Work() + "/kurz");
    TPzShellTree& tree = Start();
    TTreeNode* renamed = ShowFolder(Work() + "/kurz");
    TTreeNode* work = renamed->Parent();
    tree.OnOperation = [&](QObject*, TPzShellOperations, const TFileNames&, const QString&) {
        std::filesystem::remove(Work() + "/weg");
    };
    ASSERT_TRUE(tree.EditText(renamed));
    tree.findChildren<QLineEdit*>().last()->setText("weg");
    tree.EndEdit(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Child(work, "weg") == nullptr && Child(work, "kurz") == nullptr; }));
    EXPECT_EQ(messages, 0);
}

// Changes are reported under the computer's volumes; the home folder's branch
// shows the same folders and follows them too.
TEST_F(ShellTreeTest, TheHomeBranchFollowsFoldersMadeAndRemovedOutside)
{
    MakeDirectory(Work() + "/da");
    TPzShellTree& tree = Start();
    // Each level is painted (so it knows its children) before it is expanded.
    const auto expandPainted = [&](TTreeNode* node) {
        tree.scrollTo(tree.Nodes().IndexOf(node), QAbstractItemView::PositionAtTop);
        EXPECT_TRUE(QTest::qWaitFor([&] { return node->ImageIndex() >= 0; }));
        tree.Expand(node);
    };
    TTreeNode* home = Child(tree.Nodes().FirstRoot(), "Persönlicher Ordner");
    ASSERT_NE(home, nullptr);
    expandPainted(home);
    TTreeNode* work = Child(home, "work");
    ASSERT_NE(work, nullptr);
    expandPainted(work);
    ASSERT_TRUE(tree.IsExpanded(work));

    MakeDirectory(Work() + "/neu");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Child(work, "neu") != nullptr; }));
    std::filesystem::remove(Work() + "/neu");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Child(work, "neu") == nullptr; }));
}

// Showing files, hiding them again, or a network folder listed (which the
// notifier watches as a directory of its own) registers the tree's notifier
// anew; the open folders, also those below nodes never painted, show what
// was there and stay watched, so what is made in them afterwards shows up.
TEST_F(ShellTreeTest, OpenFoldersStayWatchedWhenTheTreeIsRegisteredAnew)
{
    const std::string open = Work() + "/offen";
    MakeDirectory(open);
    MakeDirectory(open + "/kind");
    WriteFile(open + "/vorher");
    TPzShellTree& tree = Start();
    TTreeNode* node = ShowFolder(open);
    tree.Expand(node);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Child(node, "kind") != nullptr; }));

    tree.SetShowFiles(true);
    // The file there before comes with the folder's re-listing; what comes later only through its watch.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Child(node, "vorher") != nullptr; }));
    WriteFile(open + "/danach");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Child(node, "danach") != nullptr; }));

    tree.SetShowFiles(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Child(node, "vorher") == nullptr; }));
    MakeDirectory(open + "/neu");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Child(node, "neu") != nullptr; }));

    MakeDirectory(Work() + "/netz");
    tree.Notifier().AddDirectory(Work() + "/netz");
    MakeDirectory(open + "/zuletzt");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Child(node, "zuletzt") != nullptr; }));

    // Off and on again: what came meanwhile shows, and the open folder is watched again.
    tree.SetAutomaticRefresh(false);
    MakeDirectory(open + "/unbemerkt");
    tree.SetAutomaticRefresh(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Child(node, "unbemerkt") != nullptr; }));
    MakeDirectory(open + "/wieder");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Child(node, "wieder") != nullptr; }));
}

// A linked tree on a tab not shown takes the folder when it is shown and
// lists only then; it tells the link nothing the other panes have not had.
TEST_F(ShellTreeTest, AHiddenTreeTakesTheFolderWhenShown)
{
    MakeDirectory(Work() + "/a");
    MakeDirectory(Work() + "/a/b");
    TPzShellTree& tree = Start();
    QWidget window;
    auto* other = new TPzShellTree(&window);
    other->SetShellLink(link_.get());
    other->Loaded();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    other->hide();
    TFolderListings listings(Work() + "/a");

    tree.SetSelectedFolder(QString::fromStdString(Work() + "/a/b"));
    EXPECT_EQ(listings.Count(), 1);
    const std::size_t told = pane.folders.size();
    EXPECT_EQ(other->SelectedFolder().toStdString(), Work() + "/a/b") << "named before it is shown";
    other->show();
    // inotify merges back-to-back openings of a folder: this count is the one that tells.
    EXPECT_EQ(listings.Count(), 1);
    EXPECT_EQ(other->SelectedFolder().toStdString(), Work() + "/a/b");
    EXPECT_EQ(pane.folders.size(), told);
    EXPECT_EQ(tree.SelectedFolder().toStdString(), Work() + "/a/b");
}

// A folder where files come and go all the time (/tmp): without files in the
// tree their creations and deletes never re-list its node; with them, a burst
// re-lists it once per coalescing interval instead of once per file.
TEST_F(ShellTreeTest, FilesComingAndGoingReListTheirFolderAtMostOncePerInterval)
{
    constexpr int kFiles = 100;
    const std::string busy = Work() + "/busy";
    MakeDirectory(busy);
    MakeDirectory(busy + "/bleibt");
    MakeDirectory(busy + "/marke");
    TPzShellTree& tree = Start();
    TTreeNode* node = ShowFolder(busy);
    tree.Expand(node);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Child(node, "marke") && Child(node, "marke")->ImageIndex() >= 0; }));
    TFolderListings listings(busy);
    for (int i = 0; i < kFiles; ++i) {
        const std::string file = busy + "/tmp" + std::to_string(i);
        WriteFile(file);
        ASSERT_EQ(std::remove(file.c_str()), 0);
    }
    // Reported after the files: once it has left, they have all been handled.
    ASSERT_EQ(std::remove((busy + "/marke").c_str()), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Child(node, "marke") == nullptr; }));
    EXPECT_EQ(listings.Count(), 0);
    EXPECT_NE(Child(node, "bleibt"), nullptr);

    // A tree of its own: the folders on its way are listed, and so watched, with files.
    tree_.reset();
    TPzShellTree& files = Start();
    files.SetShowFiles(true);
    node = ShowFolder(busy);
    files.Expand(node);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Child(node, "bleibt") != nullptr; }));
    int refreshes = 0;
    files.OnUpdatedFolder = [&](TPzShellTree&, TTreeNode& updated) { refreshes += &updated == node; };
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kFiles; ++i)
        WriteFile(busy + "/neu" + std::to_string(i));
    const QString last = QString::fromStdString("neu" + std::to_string(kFiles - 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Child(node, last) != nullptr; }));
    EXPECT_EQ(node->Count(), kFiles + 1);
    EXPECT_GE(refreshes, 1);
    EXPECT_LE(refreshes, 1 + clock.elapsed() / TPzShellTree::kChangeRefreshDelay);
    files.OnUpdatedFolder = nullptr;
}

TEST_F(ShellTreeTest, ShowFilesAddsLeavesThatSelectTheirFolderAndFile)
{
    MakeDirectory(Work() + "/mit");
    WriteFile(Work() + "/mit/datei.txt");
    TPzShellTree& tree = Start();
    tree.SetShowFiles(true);
    TTreeNode* folder = ShowFolder(Work() + "/mit");
    tree.Expand(folder);
    TTreeNode* file = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (file = Child(folder, "datei.txt")) != nullptr; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return file->ImageIndex() >= 0; }));
    EXPECT_FALSE(file->HasChildren());
    tree.SetChangeDelay(0);
    tree.SetSelected(file);
    EXPECT_EQ(pane.folders.back(), Work() + "/mit/datei.txt");
}

// A node whose listing is held (a FUSE file system): the tree says it is
// reading under an hourglass of its own while the window answers, and a
// selection on the way waits for that listing, then selects and tells the link.
TEST_F(ShellTreeTest, ASelectionThroughASlowFolderWaitsForItsListing)
{
    using namespace std::chrono_literals;
    TListingFuse fuse(Work(), 20);
    if (!fuse.IsMounted())
        GTEST_SKIP() << fuse.SkipReason();
    TPzShellTree& tree = Start();
    tree.SetShowFiles(true);
    TTreeNode* work = ShowFolder(Work());
    fuse.LookUpNames();
    fuse.SetDelay(600s);
    const std::string file = fuse.Root() + "/" + TListingFuse::NameOf(3);
    tree.SetSelectedFolder(QString::fromStdString(file));
    ASSERT_TRUE(fuse.WaitUntilHeld(10s));
    EXPECT_EQ(tree.Selected(), work);
    EXPECT_EQ(tree.Notice().Shown(), TPzPaneNotice::ReadingText());
    EXPECT_EQ(tree.viewport()->cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    bool fired = false;
    QTimer::singleShot(10, &tree, [&] { fired = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired; }));

    fuse.Release();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return tree.Selected() && tree.Selected()->Text().toStdString() == TListingFuse::NameOf(3); }, 10000));
    EXPECT_EQ(pane.folders.back(), file);
    TTreeNode* folder = tree.Selected()->Parent();
    EXPECT_TRUE(tree.IsExpanded(folder));
    EXPECT_EQ(folder->Count(), 20);
    EXPECT_EQ(tree.Notice().Shown(), QString());
    EXPECT_FALSE(tree.viewport()->testAttribute(Qt::WA_SetCursor));
    tree.SetSelectedFolder(QString::fromStdString(Work()));
}

// A folder on a slow mount gets its expand button without being read: the
// folder holding a held mount opens at once, and the mount is not listed
// before it is opened itself, so the list's listing of it waits behind nothing.
TEST_F(ShellTreeTest, ASlowMountIsNotReadForItsExpandButton)
{
    using namespace std::chrono_literals;
    TListingFuse fuse(Work(), 20);
    if (!fuse.IsMounted())
        GTEST_SKIP() << fuse.SkipReason();
    TMountTable::SetMountInfoPath("");  // the kernel's table, which has the mount
    MakeDirectory(Work() + "/leer");
    TPzShellTree& tree = Start();
    TTreeNode* work = ShowFolder(Work());
    fuse.LookUpNames();
    fuse.SetDelay(600s);
    const int listings = fuse.Listings();
    tree.Expand(work);
    TTreeNode* mount = Child(work, QStringLiteral("listing"));
    TTreeNode* empty = Child(work, QStringLiteral("leer"));
    ASSERT_NE(mount, nullptr);
    ASSERT_NE(empty, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return mount->ImageIndex() >= 0 && empty->ImageIndex() >= 0; }));
    EXPECT_TRUE(mount->HasChildren());
    EXPECT_FALSE(empty->HasChildren()) << "a local folder is looked into";
    EXPECT_EQ(tree.Notice().Shown(), QString());
    EXPECT_EQ(fuse.Listings(), listings);
    fuse.Release();
}

TEST_F(ShellTreeTest, AVolumeWithoutAReadableRootExpandsToNothingQuietly)
{
    // A mount whose root is a plain file stands for a drive without a readable medium.
    const std::string disk = Home() + "/platte";
    WriteFile(disk);
    const std::string table = Home() + "/mountinfo-extra";
    std::ofstream(table) << "1 0 254:0 / / rw,relatime - ext4 /dev/vda1 rw\n"
                         << "27 1 8:33 / " << disk << " rw,nosuid - vfat /dev/sdy1 rw\n";
    TMountTable::SetMountInfoPath(table);
    TPzShellTree& tree = Start();
    TTreeNode* computer = tree.Selected();
    computer->SetHasChildren(true);  // known once painted
    tree.Expand(computer);
    TTreeNode* volume = Child(computer, "platte");
    ASSERT_NE(volume, nullptr);
    volume->SetHasChildren(true);
    tree.Expand(volume);
    EXPECT_EQ(volume->Count(), 0);
    EXPECT_FALSE(volume->HasChildren());
    EXPECT_FALSE(tree.IsExpanded(volume));
    EXPECT_EQ(messages, 0);
}

TEST_F(ShellTreeTest, AttributesAreFetchedOnlyForPaintedNodes)
{
    MakeDirectory(Work() + "/viele");
    for (int i = 0; i < 400; ++i)
        MakeDirectory(Work() + "/viele/" + std::to_string(1000 + i));
    int updated = 0;
    TPzShellTree& tree = Start();
    TTreeNode* folder = ShowFolder(Work() + "/viele");
    tree.OnUpdatedFolder = [&](TPzShellTree&, TTreeNode&) { ++updated; };
    tree.Expand(folder);
    ASSERT_EQ(folder->Count(), 400);
    ASSERT_TRUE(QTest::qWaitFor([&] { return updated > 3; }));
    QApplication::processEvents();
    EXPECT_LT(updated, 100);
}
