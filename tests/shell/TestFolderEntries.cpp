#include "platform/core/ids/ShellItems.h"
#include "shell/panes/TPzFolderEntries.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <dirent.h>
#include <memory>

namespace {

class TOwnedEntry final : public TPzFolderEntries::TEntry
{
public:
    using TEntry::TEntry;
};

TItemIdListPtr File(const char* name)
{
    return MakeFileSystemItem(name, 0, DT_REG);
}

// Entries leave the model whichever way their owner drops them (a row
// deleted, a model reset or destroyed first, as a tree node's children's
// model goes before the children), are found by identity through the first
// scan and the index after it, and a renamed one under its new item only.
TEST(FolderEntries, FollowTheirOwnersAndTheirItems)
{
    auto model = std::make_unique<TPzFolderEntries>();
    auto a = std::make_unique<TOwnedEntry>(File("a"));
    auto b = std::make_unique<TOwnedEntry>(File("b"));
    auto c = std::make_unique<TOwnedEntry>(File("c"));
    for (TOwnedEntry* entry : {a.get(), b.get(), c.get()})
        model->Add(*entry);
    EXPECT_EQ(model->Find(File("b").get()), b.get());  // the first lookup scans
    EXPECT_EQ(model->Find(File("c").get()), c.get());  // the second builds the index
    EXPECT_EQ(model->Find(File("x").get()), nullptr);
    // Another kind of object of the same name is another entry.
    EXPECT_EQ(model->Find(MakeFileSystemItem("b", kItemIsFolder, DT_DIR).get()), nullptr);

    b.reset();
    EXPECT_EQ(model->Count(), 2u);
    EXPECT_EQ(model->Find(File("b").get()), nullptr);
    a->SetItem(File("z"));
    EXPECT_EQ(model->Find(File("a").get()), nullptr);
    EXPECT_EQ(model->Find(File("z").get()), a.get());

    // A listing that reached its end: z is held, n is new, c is gone.
    TPzFolderListing::TResult listed;
    listed.Items.push_back(File("n"));
    listed.Items.push_back(File("z"));
    TPzFolderEntries::TChange change = model->Merge(listed, nullptr);
    ASSERT_EQ(change.Listed.size(), 2u);
    EXPECT_EQ(change.Listed[0], nullptr);
    EXPECT_EQ(change.Listed[1], a.get());
    EXPECT_EQ(change.Gone, std::vector<TPzFolderEntries::TEntry*>{c.get()});
    EXPECT_TRUE(change.Completed());
    // The same listing cut short by an error: nothing is gone.
    listed.Error = EIO;
    change = model->Merge(listed, nullptr);
    EXPECT_TRUE(change.Gone.empty());
    EXPECT_EQ(change.Error, EIO);

    // Moved into another model, an entry leaves the first.
    TPzFolderEntries other;
    other.Add(*c);
    EXPECT_EQ(model->Count(), 1u);
    EXPECT_EQ(other.Find(File("c").get()), c.get());
    // Reset and destroyed models let go of their entries, which outlive them.
    other.Reset();
    EXPECT_EQ(other.Find(File("c").get()), nullptr);
    model.reset();
    a.reset();
    c.reset();
}

}  // namespace
