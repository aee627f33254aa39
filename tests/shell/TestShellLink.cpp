#include "platform/core/ids/ShellItems.h"
#include "shell/link/ShellLink.h"
#include "shell/selection/TPzSelectionList.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A pane that writes each call it gets into a shared log, and registers with
// its link the way the real panes do.
class TTestPane : public IPzShellControl
{
public:
    TTestPane(std::string name, std::vector<std::string>& log)
        : name_(std::move(name))
        , log_(log)
    {
    }
    ~TTestPane() override { SetShellLink(nullptr); }

    void SetShellLink(TPzShellLink* link) override
    {
        if (link_ != nullptr)
            link_->UnregisterControl(this);
        link_ = link;
        if (link_ != nullptr)
            link_->RegisterControl(this);
    }
    TPzShellLink* GetShellLink() const override { return link_; }
    void ChangeFolder(const TItemIdList* absolute) override
    {
        Note("ChangeFolder", absolute);
        if (onChangeFolder)
            onChangeFolder(absolute);
    }
    void ChangeFolderAndSelect(const TItemIdList* folder, const TItemIdList* item) override
    {
        Note("ChangeFolderAndSelect", folder);
        lastItem = CloneIDList(item);
    }
    void SelectAll() override { Note("SelectAll", nullptr); }
    void FullRefresh() override { Note("FullRefresh", nullptr); }
    void RefreshContents() override { Note("RefreshContents", nullptr); }
    bool GoUp() override { return false; }

    std::function<void(const TItemIdList*)> onChangeFolder;
    TItemIdListPtr lastFolder;
    TItemIdListPtr lastItem;

private:
    void Note(const std::string& call, const TItemIdList* list)
    {
        log_.push_back(name_ + ":" + call);
        if (list != nullptr)
            lastFolder = CloneIDList(list);
    }

    std::string name_;
    std::vector<std::string>& log_;
    TPzShellLink* link_ = nullptr;
};

class TShellLinkTest : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : {"Tree1", "List1", "Tree2", "List2"}) {
            panes.push_back(std::make_unique<TTestPane>(name, log));
            panes.back()->SetShellLink(link.get());
        }
        link->SetOnChange([this](TPzShellLink&) { log.push_back("OnChange"); });
        folder = MakeFileSystemItem("data", kItemIsFolder, 4);
    }

    TTestPane& Pane(int index) { return *panes[static_cast<std::size_t>(index)]; }

    std::vector<std::string> log;
    std::unique_ptr<TPzShellLink> link = std::make_unique<TPzShellLink>();
    std::vector<std::unique_ptr<TTestPane>> panes;
    TItemIdListPtr folder;
};

}  // namespace

TEST_F(TShellLinkTest, FolderReachesTheOtherPanesInRegistrationOrderThenOnChange)
{
    link->ChangeFolder(&Pane(0), folder.get());
    EXPECT_EQ(log,
              (std::vector<std::string>{"List1:ChangeFolder", "Tree2:ChangeFolder", "List2:ChangeFolder", "OnChange"}));
    EXPECT_TRUE(IDListsEqual(Pane(3).lastFolder.get(), folder.get()));
    EXPECT_TRUE(link->Enabled());
}

TEST_F(TShellLinkTest, FolderAndItemReachTheOthers)
{
    const TItemIdListPtr item = MakeFileSystemItem("a.txt", 0, 8);
    link->ChangeFolderAndSelect(&Pane(1), folder.get(), item.get());
    EXPECT_EQ(log, (std::vector<std::string>{"Tree1:ChangeFolderAndSelect", "Tree2:ChangeFolderAndSelect",
                                             "List2:ChangeFolderAndSelect", "OnChange"}));
    EXPECT_TRUE(IDListsEqual(Pane(0).lastItem.get(), item.get()));
}

TEST_F(TShellLinkTest, PaneReactingWithItsOwnChangeStartsNoSecondWave)
{
    // A tree that follows the link selects the folder, which tells the link again.
    Pane(2).onChangeFolder = [this](const TItemIdList* absolute) {
        link->SetParentNavigation(false);
        link->ChangeFolder(&Pane(2), absolute);
        link->FullRefresh(&Pane(2));
    };
    link->ChangeFolder(&Pane(0), folder.get());
    EXPECT_EQ(log,
              (std::vector<std::string>{"List1:ChangeFolder", "Tree2:ChangeFolder", "List2:ChangeFolder", "OnChange"}));
    EXPECT_FALSE(link->ParentNavigation()) << "the flag is not guarded";
}

TEST_F(TShellLinkTest, PlainBroadcastsSkipTheSenderAndRaiseNoOnChange)
{
    link->SelectAll(&Pane(0));
    link->FullRefresh(&Pane(3));
    link->RefreshContents(nullptr);
    EXPECT_EQ(log,
              (std::vector<std::string>{"List1:SelectAll", "Tree2:SelectAll", "List2:SelectAll", "Tree1:FullRefresh",
                                        "List1:FullRefresh", "Tree2:FullRefresh", "Tree1:RefreshContents",
                                        "List1:RefreshContents", "Tree2:RefreshContents", "List2:RefreshContents"}));
}

TEST_F(TShellLinkTest, DisabledLinkPassesNothingOn)
{
    link->SetEnabled(false);
    link->ChangeFolder(&Pane(0), folder.get());
    link->RefreshContents(nullptr);
    EXPECT_TRUE(log.empty());
    link->SetEnabled(true);
    link->SelectAll(&Pane(0));
    EXPECT_EQ(log.size(), 3u);
}

TEST_F(TShellLinkTest, PaneErrorReachesTheSenderAndLeavesTheLinkEnabled)
{
    Pane(1).onChangeFolder = [](const TItemIdList*) { throw std::runtime_error("Ordner nicht gefunden"); };
    EXPECT_THROW(link->ChangeFolder(&Pane(0), folder.get()), std::runtime_error);
    EXPECT_EQ(log, (std::vector<std::string>{"List1:ChangeFolder"})) << "later panes and OnChange are skipped";
    EXPECT_TRUE(link->Enabled());
}

TEST_F(TShellLinkTest, SinglePaneReachesNobodyButStillRaisesOnChange)
{
    for (int index = 1; index < 4; ++index)
        Pane(index).SetShellLink(nullptr);
    link->ChangeFolder(&Pane(0), folder.get());
    EXPECT_EQ(log, (std::vector<std::string>{"OnChange"}));
}

TEST_F(TShellLinkTest, RegisteringTwiceKeepsOneEntryAndOneUnregisterRemovesIt)
{
    link->RegisterControl(&Pane(1));
    EXPECT_EQ(link->Controls().size(), 4u);
    link->UnregisterControl(&Pane(1));
    EXPECT_FALSE(link->IsRegistered(&Pane(1)));
    link->SelectAll(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"Tree1:SelectAll", "Tree2:SelectAll", "List2:SelectAll"}));
}

TEST_F(TShellLinkTest, DestroyingTheLinkClearsEveryPanesLinkLastFirst)
{
    std::vector<std::string> order;
    struct TRecordingPane : TTestPane
    {
        TRecordingPane(std::vector<std::string>& log, std::vector<std::string>& order, std::string name)
            : TTestPane(name, log)
            , order_(order)
            , name_(std::move(name))
        {
        }
        void SetShellLink(TPzShellLink* link) override
        {
            if (link == nullptr)
                order_.push_back(name_);
            TTestPane::SetShellLink(link);
        }
        std::vector<std::string>& order_;
        std::string name_;
    };
    TRecordingPane first(log, order, "first");
    TRecordingPane second(log, order, "second");
    first.SetShellLink(link.get());
    second.SetShellLink(link.get());
    link.reset();
    for (auto& pane : panes)
        EXPECT_EQ(pane->GetShellLink(), nullptr);
    EXPECT_EQ(first.GetShellLink(), nullptr);
    EXPECT_EQ(order, (std::vector<std::string>{"second", "first"}));
}

TEST_F(TShellLinkTest, CreatedEnabledWithParentNavigationAndAnEmptySelection)
{
    const TPzShellLink fresh;
    EXPECT_TRUE(fresh.Enabled());
    EXPECT_TRUE(fresh.ParentNavigation());
    EXPECT_TRUE(fresh.Controls().empty());
    EXPECT_TRUE(fresh.SelectionList().Paths().empty());
    EXPECT_EQ(fresh.Version(), "TPzShellLink V5.4");
}

TEST_F(TShellLinkTest, SelectionChangesRefreshEveryPaneUnlessHeldBack)
{
    const char* const file = "/proc/self/stat";
    link->SelectionList().SetCalculateSizes(false);
    link->SelectionList().Select(file);
    EXPECT_EQ(log, (std::vector<std::string>{"Tree1:RefreshContents", "List1:RefreshContents", "Tree2:RefreshContents",
                                             "List2:RefreshContents"}));
    log.clear();
    link->SelectionList().BeginChange();
    link->SelectionList().Deselect(file);
    EXPECT_TRUE(log.empty());
    link->SelectionList().EndChange();
    EXPECT_EQ(log.size(), 4u);
}
