// The list hands the items of a command to its navigator by their ids: names
// are not unique everywhere (the trash), and paths would move the navigator.

#include "tests/shell/ShellListFixture.h"

#include "platform/fileops/FileOperations.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/panes/list/TPzShellListItem.h"
#include "tests/support/TTmpfsMount.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using ShellListCommandItems = ShellListFixture;

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Trash(const std::string& path)
{
    TFileOperationRequest request;
    request.Kind = TFileOperationKind::Trash;
    request.Sources = {path};
    request.Confirm = false;
    return RunFileOperation(request).Completed;
}

// The path behind a list entry (a trashed entry's place in its trash).
std::string PathOf(TPzShellList& list, TListItem* item)
{
    const TItemIdListPtr folder = list.Browser().GetFolderIDList();
    const TItemIdListPtr absolute = ConcatIDLists(folder.get(), ShellItemOf(item)->Item());
    return GetPathFromIDList(absolute.get());
}

// Selects exactly the entries whose paths are given.
void SelectPaths(TPzShellList& list, const std::vector<std::string>& paths)
{
    list.SetSelected(nullptr);
    int found = 0;
    for (int row = 0; row < list.Count(); ++row) {
        const std::string path = PathOf(list, list.Item(row));
        if (std::find(paths.begin(), paths.end(), path) != paths.end()) {
            list.SetItemSelected(list.Item(row), true);
            ++found;
        }
    }
    ASSERT_EQ(found, int(paths.size()));
}

TEST_F(ShellListCommandItems, TheTrashsEqualNamesDeleteAndRestoreTheChosenItem)
{
    // A stick of its own file system, with a trash of its own beside the home trash.
    const TTmpfsMount stick(Stick());
    if (!stick.IsMounted())
        GTEST_SKIP() << stick.SkipReason();
    const std::string homeTrash = Home() + "/.local/share/Trash/files/";
    const std::string stickTrash = Stick() + "/.Trash-" + std::to_string(::getuid()) + "/files/";
    for (const std::string& folder : {Work(), Stick()}) {
        std::ofstream(folder + "/foto.jpg") << folder;
        std::ofstream(folder + "/anderes.txt") << "x";
        ASSERT_TRUE(Trash(folder + "/foto.jpg"));
        ASSERT_TRUE(Trash(folder + "/anderes.txt"));
    }
    ASSERT_TRUE(std::filesystem::exists(stickTrash + "foto.jpg"));
    List().SetSpecialFolder(SF_BITBUCKET);
    ASSERT_EQ(List().Count(), 4);

    // The stick's foto.jpg back where it came from; the home's stays.
    SelectPaths(List(), {stickTrash + "foto.jpg", homeTrash + "anderes.txt"});
    ASSERT_TRUE(List().ExecuteCommand("undelete"));
    EXPECT_EQ(ReadAll(Stick() + "/foto.jpg"), Stick());
    EXPECT_EQ(ReadAll(Work() + "/anderes.txt"), "x");
    EXPECT_EQ(ReadAll(homeTrash + "foto.jpg"), Work());

    // Trashed again, then deleted for good: the home's foto.jpg is untouched.
    ASSERT_TRUE(Trash(Stick() + "/foto.jpg"));
    List().FullRefresh();
    SelectPaths(List(), {stickTrash + "foto.jpg", stickTrash + "anderes.txt"});
    ASSERT_TRUE(List().ExecuteCommand("delete"));
    EXPECT_FALSE(std::filesystem::exists(stickTrash + "foto.jpg"));
    EXPECT_FALSE(std::filesystem::exists(stickTrash + "anderes.txt"));
    EXPECT_EQ(ReadAll(homeTrash + "foto.jpg"), Work());
}

TEST_F(ShellListCommandItems, ASelectionInTheComputerFolderLeavesTheListThere)
{
    List().SetSpecialFolder(SF_DRIVES);
    ASSERT_GE(List().Count(), 2);
    List().SetItemSelected(List().Item(0), true);
    List().SetItemSelected(List().Item(1), true);

    static_cast<void>(List().ExecuteCommand("copy"));  // where the list stands counts here, not the copy

    EXPECT_EQ(List().SpecialFolder(), SF_DRIVES);
    EXPECT_EQ(List().Browser().SpecialFolder(), SF_DRIVES);
    EXPECT_EQ(List().Browser().FolderPath(), "");
}

}  // namespace
