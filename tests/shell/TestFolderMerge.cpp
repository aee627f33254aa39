#include "tests/shell/NavigatorFixture.h"

#include "platform/core/ids/ShellItems.h"
#include "shell/panes/TPzFolderListing.h"
#include "shell/panes/TPzFolderMerge.h"

#include <QTest>

#include <cerrno>
#include <optional>
#include <set>

namespace {

class FolderMerge : public NavigatorFixture
{
protected:
    TPzFolderListing::TResult List(const std::string& path)
    {
        std::optional<TPzFolderListing::TResult> got;
        const TItemIdListPtr folder = Parse(path);
        static_cast<void>(listing_.Start(Navigator(), folder.get(), TPzShellOptions(TPzShellOptions::kListDefault),
                                         [&](TPzFolderListing::TResult& result) { got = std::move(result); }));
        EXPECT_TRUE(QTest::qWaitFor([&] { return got.has_value(); }));
        return got ? std::move(*got) : TPzFolderListing::TResult{};
    }
    static std::string NameOf(const TItemIdList* item)
    {
        TItemView view;
        return ReadItem(item, view) ? std::string(view.name) : std::string();
    }

    TPzFolderListing listing_;
};

// n held sub-folders, half of them with other bytes than the listing gives
// (made without the listing's directory-entry type, as an item parsed from a
// path is), then k new ones and a few gone: one lookup per item, where a scan
// of the held entries per miss would make k times n comparisons. A listing
// that failed midway keeps every held entry.
TEST_F(FolderMerge, FindsHeldEntriesByBytesOrByTheFoldersKeyAtOneLookupPerItem)
{
    constexpr int kHeld = 3000;
    constexpr int kNew = 300;
    const auto name = [](const char* prefix, int i) { return prefix + std::to_string(100000 + i); };
    for (int i = 0; i < kHeld; ++i)
        MakeDirectory(Work() + "/" + name("alt", i));
    Navigator().SetFolderPath(Work());
    const TPzFolderListing::TResult before = List(Work());
    ASSERT_EQ(before.Error, 0);
    ASSERT_EQ(before.Items.size(), std::size_t(kHeld));
    std::vector<TItemIdListPtr> held;
    for (std::size_t i = 0; i < before.Items.size(); ++i) {
        TItemView view;
        ASSERT_TRUE(ReadItem(before.Items[i].get(), view));
        held.push_back(i % 2 == 0 ? CloneIDList(before.Items[i].get())
                                  : MakeFileSystemItem(view.name, view.flags, view.entryType == 0 ? 4 : 0));
    }
    for (int i = 0; i < kNew; ++i)
        MakeDirectory(Work() + "/" + name("neu", i));
    const std::set<std::string> removed{name("alt", 7), name("alt", 8), name("alt", 2999)};
    for (const std::string& gone : removed)
        ASSERT_EQ(::rmdir((Work() + "/" + gone).c_str()), 0);
    TPzFolderListing::TResult after = List(Work());
    ASSERT_EQ(after.Items.size(), std::size_t(kHeld + kNew) - removed.size());

    TPzFolderMerge merge(Navigator().FolderInterface());
    for (const TItemIdListPtr& item : held)
        merge.Hold(item.get());
    TPzFolderMerge::TAnswer answer = merge.Merge(after);
    EXPECT_TRUE(answer.Completed());
    ASSERT_EQ(answer.Listed.size(), after.Items.size());
    std::set<std::string> added;
    for (std::size_t n = 0; n < after.Items.size(); ++n) {
        if (answer.Listed[n] == TPzFolderMerge::kNew)
            added.insert(NameOf(after.Items[n].get()));
        else
            EXPECT_EQ(NameOf(held[std::size_t(answer.Listed[n])].get()), NameOf(after.Items[n].get()));
    }
    EXPECT_EQ(added.size(), std::size_t(kNew));
    EXPECT_EQ(added.begin()->substr(0, 3), "neu");
    EXPECT_EQ(added.rbegin()->substr(0, 3), "neu");
    std::set<std::string> gone;
    for (const std::size_t index : answer.Gone)
        gone.insert(NameOf(held[index].get()));
    EXPECT_EQ(gone, removed);
    // Each held entry once by its bytes and at most once by its key, each listed item likewise.
    EXPECT_LE(merge.Probes(), 2 * held.size() + 2 * after.Items.size());

    // The same listing ended early by an error: nothing is gone.
    after.Items.resize(after.Items.size() / 2);
    after.Error = EIO;
    answer = merge.Merge(after);
    EXPECT_FALSE(answer.Completed());
    EXPECT_EQ(answer.Error, EIO);
    EXPECT_TRUE(answer.Gone.empty());
}

}  // namespace
