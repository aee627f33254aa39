#include "tests/shell/NavigatorFixture.h"

#include "platform/exchange/FileClipboard.h"
#include "platform/exchange/IDropTarget.h"
#include "shell/panes/PaneClipboard.h"
#include "shell/panes/TPzCopyMode.h"
#include "shell/panes/TPzShellOperations.h"
#include "shell/panes/TPzShellOptions.h"

#include <QMimeData>

#include <algorithm>

namespace {

class PaneTypes : public NavigatorFixture
{
protected:
    std::vector<std::string> Visible(TPzShellOptions options)
    {
        std::vector<std::string> names;
        while (Navigator().Next())
            if (PassesVisibilityRule(Navigator(), options))
                names.push_back(Navigator().ObjectNameBytes());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(PaneTypes, VisibilityRuleByOptions)
{
    MakeDirectory(Work() + "/sub");
    MakeDirectory(Work() + "/.hiddendir");
    WriteFile(Work() + "/a.txt");
    WriteFile(Work() + "/.dot");
    Navigator().SetFolderPath(Work());

    EXPECT_EQ(Visible(TPzShellOptions(TPzShellOptions::kListDefault)), (std::vector<std::string>{"a.txt", "sub"}));
    EXPECT_EQ(Visible(TPzShellOptions(TPzShellOptions::kTreeDefault)), (std::vector<std::string>{"sub"}));
    TPzShellOptions hidden(TPzShellOptions::kListDefault);
    EXPECT_TRUE(hidden.Set(TPzShellOptions::ShowHiddenBit, true));
    EXPECT_FALSE(hidden.Set(TPzShellOptions::ShowHiddenBit, true));
    EXPECT_EQ(hidden.Word(), 27);
    EXPECT_EQ(Visible(hidden), (std::vector<std::string>{".dot", ".hiddendir", "a.txt", "sub"}));

    // The desktop's trash and network follow their own bits.
    Navigator().SetSpecialFolder(SF_DESKTOP);
    auto specials = [&](TPzShellOptions options) {
        std::vector<TPzShellFolder> found;
        while (Navigator().Next())
            if (PassesVisibilityRule(Navigator(), options))
                found.push_back(Navigator().GetObjectSpecialFolder());
        return found;
    };
    const auto all = specials(TPzShellOptions(TPzShellOptions::kListDefault));
    EXPECT_NE(std::find(all.begin(), all.end(), SF_BITBUCKET), all.end());
    EXPECT_NE(std::find(all.begin(), all.end(), SF_NETWORK), all.end());
    const auto none = specials(TPzShellOptions(TPzShellOptions::ShowFilesBit));
    EXPECT_EQ(std::find(none.begin(), none.end(), SF_BITBUCKET), none.end());
    EXPECT_EQ(std::find(none.begin(), none.end(), SF_NETWORK), none.end());
}

TEST_F(PaneTypes, OperationFlagsFromEffectsAndPastedFiles)
{
    EXPECT_EQ(DragSourceOperation(DROPEFFECT_COPY), 0x005u);
    EXPECT_EQ(DragSourceOperation(DROPEFFECT_MOVE), 0x086u);
    EXPECT_EQ(DragSourceOperation(DROPEFFECT_LINK), 0x004u);
    EXPECT_EQ(DragSourceOperation(DROPEFFECT_NONE), 0u);
    EXPECT_EQ(DropOperation(DROPEFFECT_MOVE), 0x00Au);
    EXPECT_EQ(DropOperation(DROPEFFECT_NONE), 0x008u);
    EXPECT_EQ(DropEffectsOf(cmDefault), 7u);
    EXPECT_EQ(DropEffectsOf(cmLink), 4u);

    WriteFile(Work() + "/kept");
    MakeDirectory(Work() + "/folder");
    TFileNames files;
    EXPECT_EQ(PasteOperation(files), 0x121u);
    files.Add(Work() + "/kept");
    EXPECT_EQ(PasteOperation(files), 0x121u);
    TFileNames folder;
    folder.Add(Work() + "/folder");
    EXPECT_EQ(PasteOperation(folder), 0x122u);
    TFileNames gone;
    gone.Add(Work() + "/gone");
    EXPECT_EQ(PasteOperation(gone), 0x122u);

    // A file name that is not valid UTF-8 comes back from the clipboard unchanged.
    auto data = std::make_unique<QMimeData>();
    const std::string odd = Work() + "/caf\xe9";
    WriteFileList(*data, {odd, Work() + "/kept"}, true);
    PutFilesOnClipboard(std::move(data));
    const TFileNames onClipboard = ClipboardFileNames();
    ASSERT_EQ(onClipboard.Count(), 2);
    EXPECT_EQ(onClipboard.GetBytes(0), odd);
    ClearClipboard();
    EXPECT_TRUE(ClipboardFileNames().IsEmpty());
}

}  // namespace
