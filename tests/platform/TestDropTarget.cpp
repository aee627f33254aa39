#include "CommandTestSupport.h"
#include "NamespaceFixture.h"

#include "platform/exchange/DropEffects.h"
#include "platform/exchange/FileListCodec.h"
#include "platform/exchange/IDropTarget.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/exchange/TDataObject.h"
#include "platform/exchange/TFolderDropTarget.h"

#include <QMimeData>

#include <sys/stat.h>

namespace {

constexpr TDropEffects kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

TEST(DropEffects, KeysDecideAsWindowsUsersKnowIt)
{
    struct TCase
    {
        std::uint32_t keys;
        TDropEffects allowed;
        bool sameVolume;
        TDropEffects expected;
    };
    const TCase cases[] = {
        {MK_LBUTTON, kAll, true, DROPEFFECT_MOVE},
        {MK_LBUTTON, kAll, false, DROPEFFECT_COPY},
        {MK_LBUTTON | MK_CONTROL, kAll, true, DROPEFFECT_COPY},
        {MK_LBUTTON | MK_SHIFT, kAll, false, DROPEFFECT_MOVE},
        {MK_LBUTTON | MK_CONTROL | MK_SHIFT, kAll, true, DROPEFFECT_LINK},
        {MK_LBUTTON | MK_ALT, kAll, true, DROPEFFECT_LINK},
        // Without keys an effect the source forbids gives way to an allowed one.
        {MK_LBUTTON, DROPEFFECT_COPY | DROPEFFECT_LINK, true, DROPEFFECT_COPY},
        {MK_LBUTTON, DROPEFFECT_MOVE, false, DROPEFFECT_MOVE},
        {MK_LBUTTON, DROPEFFECT_LINK, false, DROPEFFECT_LINK},
        // Keys that ask for a forbidden effect give none.
        {MK_LBUTTON | MK_SHIFT, DROPEFFECT_COPY, true, DROPEFFECT_NONE},
        {MK_LBUTTON | MK_CONTROL, DROPEFFECT_MOVE, true, DROPEFFECT_NONE},
        {MK_LBUTTON, DROPEFFECT_NONE, true, DROPEFFECT_NONE},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ChooseDropEffect(c.keys, c.allowed, c.sameVolume), c.expected)
            << "keys " << c.keys << " allowed " << c.allowed << " same volume " << c.sameVolume;
    }
    EXPECT_EQ(KeyStateOf(Qt::RightButton, Qt::ControlModifier | Qt::ShiftModifier), MK_RBUTTON | MK_CONTROL | MK_SHIFT);
    EXPECT_EQ(EffectsOf(DropActionsOf(kAll)), kAll);
    EXPECT_EQ(DropActionOf(DROPEFFECT_LINK), Qt::LinkAction);
}

class DropTargetTest : public NamespaceFixture
{
protected:
    void SetUp() override
    {
        NamespaceFixture::SetUp();
        source_ = Work() + "/quelle";
        target_ = Work() + "/ziel mit leerzeichen";
        MakeDirectory(source_);
        MakeDirectory(target_);
        WriteFile(source_ + "/a.txt", 10);
        WriteFile(source_ + "/b\xff.bin", 3);
    }

    static std::unique_ptr<QMimeData> Files(const std::vector<std::string>& paths)
    {
        auto data = std::make_unique<QMimeData>();
        WriteFileList(*data, paths, false);
        return data;
    }

    // The effect DragEnter answers for `paths` over `folder`.
    static TDropEffects Enter(IDropTarget& target, const QMimeData& data, std::uint32_t keys,
                              TDropEffects allowed = kAll)
    {
        TDropEffects effect = allowed;
        EXPECT_TRUE(target.DragEnter(data, keys, QPoint(), effect).Succeeded());
        return effect;
    }

    IDropTargetPtr TargetOf(const std::string& path)
    {
        const TItemIdListPtr absolute = Parse(path);
        const TItemIdListPtr parent = TruncateIDList(absolute.get(), IDListCount(absolute.get()) - 1);
        const IShellFolderPtr folder = SHBindToFolder(parent.get());
        const TItemIdList* items[] = {LastIDListItem(absolute.get())};
        IUIObjectPtr object;
        EXPECT_TRUE(folder->GetUIObjectOf(nullptr, items, TUIObjectKind::DropTarget, object).Succeeded());
        return std::dynamic_pointer_cast<IDropTarget>(object);
    }

    std::string source_;
    std::string target_;
};

TEST_F(DropTargetTest, EffectsFollowTheKeysAndRefuseWhatWouldDoNothing)
{
    const IDropTargetPtr target = TargetOf(target_);
    ASSERT_TRUE(target);
    const auto files = Files({source_ + "/a.txt", source_ + "/b\xff.bin"});
    EXPECT_EQ(Enter(*target, *files, MK_LBUTTON), DROPEFFECT_MOVE);  // one volume
    TDropEffects effect = kAll;
    EXPECT_TRUE(target->DragOver(MK_LBUTTON | MK_CONTROL, QPoint(), effect).Succeeded());
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    effect = kAll;
    EXPECT_TRUE(target->DragOver(MK_LBUTTON | MK_CONTROL | MK_SHIFT, QPoint(), effect).Succeeded());
    EXPECT_EQ(effect, DROPEFFECT_LINK);
    EXPECT_TRUE(target->DragLeave().Succeeded());

    // Moving items into the folder they are in does nothing; copying makes copies.
    const IDropTargetPtr own = TargetOf(source_);
    EXPECT_EQ(Enter(*own, *files, MK_LBUTTON), DROPEFFECT_COPY);
    EXPECT_EQ(Enter(*own, *files, MK_LBUTTON | MK_SHIFT), DROPEFFECT_NONE);

    // A folder cannot go into itself or below itself, though a link there is fine.
    const auto folder = Files({Work()});
    EXPECT_EQ(Enter(*target, *folder, MK_LBUTTON), DROPEFFECT_LINK);
    EXPECT_EQ(Enter(*target, *folder, MK_LBUTTON | MK_CONTROL), DROPEFFECT_NONE);

    // Data without files, and files dropped on a file, give nothing to drop on.
    QMimeData text;
    text.setText("hallo");
    EXPECT_EQ(Enter(*target, text, MK_LBUTTON), DROPEFFECT_NONE);
    const TItemIdListPtr file = Parse(source_ + "/a.txt");
    const TItemIdListPtr parent = Parse(source_);
    const TItemIdList* items[] = {LastIDListItem(file.get())};
    IUIObjectPtr object;
    EXPECT_TRUE(
        SHBindToFolder(parent.get())->GetUIObjectOf(nullptr, items, TUIObjectKind::DropTarget, object).Failed());
}

TEST_F(DropTargetTest, OurOwnItemListsAloneAreEnough)
{
    const TItemIdListPtr folder = Parse(source_);
    const TItemIdListPtr file = Parse(source_ + "/a.txt");
    const TItemIdList* children[] = {LastIDListItem(file.get())};
    const TDataObject dataObject(folder.get(), children);
    EXPECT_EQ(dataObject.FileNames(), std::vector<std::string>{source_ + "/a.txt"});
    const std::unique_ptr<QMimeData> full = dataObject.CreateMimeData(false);
    QMimeData listsOnly;
    listsOnly.setData("application/x-parzello-shell-idlist-array",
                      full->data("application/x-parzello-shell-idlist-array"));
    const IDropTargetPtr target = TargetOf(target_);
    EXPECT_EQ(Enter(*target, listsOnly, MK_LBUTTON | MK_CONTROL), DROPEFFECT_COPY);
}

TEST_F(DropTargetTest, AcrossVolumesTheDefaultIsACopy)
{
    struct stat tmpStatus;
    struct stat shmStatus;
    if (::stat(Work().c_str(), &tmpStatus) != 0 || ::stat("/dev/shm", &shmStatus) != 0 ||
        tmpStatus.st_dev == shmStatus.st_dev)
        GTEST_SKIP() << "no second volume at /dev/shm";
    TFolderDropTarget target("/dev/shm", TFolderDropTarget::TKind::Folder, nullptr);
    const auto files = Files({source_ + "/a.txt"});
    EXPECT_EQ(Enter(target, *files, MK_LBUTTON), DROPEFFECT_COPY);
    EXPECT_EQ(Enter(target, *files, MK_LBUTTON | MK_SHIFT), DROPEFFECT_MOVE);
}

TEST_F(DropTargetTest, TheTrashTakesMovesOnly)
{
    const TItemIdListPtr desktop = MakeDesktopIDList();
    const IShellFolderPtr folder = SHBindToFolder(desktop.get());
    TItemIdListPtr trashItem;
    ASSERT_TRUE(folder->ParseDisplayName("::trash", trashItem).Succeeded());
    const TItemIdList* items[] = {trashItem.get()};
    IUIObjectPtr object;
    ASSERT_TRUE(folder->GetUIObjectOf(nullptr, items, TUIObjectKind::DropTarget, object).Succeeded());
    const IDropTargetPtr target = std::dynamic_pointer_cast<IDropTarget>(object);
    const auto files = Files({source_ + "/a.txt"});
    EXPECT_EQ(Enter(*target, *files, MK_LBUTTON), DROPEFFECT_MOVE);
    EXPECT_EQ(Enter(*target, *files, MK_LBUTTON | MK_CONTROL), DROPEFFECT_MOVE);
    EXPECT_EQ(Enter(*target, *files, MK_LBUTTON, DROPEFFECT_COPY), DROPEFFECT_NONE);
}

TEST_F(DropTargetTest, RightButtonDropAsksAndCancelLeavesEverything)
{
    const IDropTargetPtr target = TargetOf(target_);
    const auto files = Files({source_ + "/a.txt"});
    TAnswerByCaption answers("Abbrechen");
    EXPECT_EQ(Enter(*target, *files, MK_RBUTTON), DROPEFFECT_MOVE);
    TDropEffects effect = kAll;
    ASSERT_TRUE(target->Drop(*files, 0, QPoint(40, 50), effect).Succeeded());
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    ASSERT_EQ(answers.Requests.size(), 1u);
    const TMessageRequest& request = answers.Requests.front();
    EXPECT_EQ(request.Style, TMessageStyle::PopupMenu);
    EXPECT_EQ(request.Buttons,
              (QStringList{"Hierher kopieren", "Hierher verschieben", "Verknüpfung hier erstellen", "Abbrechen"}));
    EXPECT_EQ(request.DefaultButton, 1);  // a move within one volume
    EXPECT_EQ(request.EscapeButton, 3);
    EXPECT_EQ(request.Position, QPoint(40, 50));
    EXPECT_TRUE(Exists(source_ + "/a.txt"));
    EXPECT_FALSE(Exists(target_ + "/a.txt"));
}

TEST_F(DropTargetTest, DropsCopyMoveAndLink)
{
    const IDropTargetPtr target = TargetOf(target_);
    TDropEffects effect = kAll;
    const auto copy = Files({source_ + "/a.txt"});
    ASSERT_TRUE(target->Drop(*copy, MK_CONTROL, QPoint(), effect).Succeeded());
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_TRUE(Exists(source_ + "/a.txt"));
    EXPECT_TRUE(Exists(target_ + "/a.txt"));

    effect = kAll;
    const auto move = Files({source_ + "/b\xff.bin"});
    ASSERT_TRUE(target->Drop(*move, 0, QPoint(), effect).Succeeded());
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    EXPECT_FALSE(Exists(source_ + "/b\xff.bin"));
    EXPECT_TRUE(Exists(target_ + "/b\xff.bin"));

    // The right-button menu's choice is done.
    const IDropTargetPtr back = TargetOf(source_);
    TAnswerByCaption answers("Verknüpfung hier erstellen");
    effect = kAll;
    const auto link = Files({target_ + "/b\xff.bin"});
    Enter(*back, *link, MK_RBUTTON);
    ASSERT_TRUE(back->Drop(*link, 0, QPoint(), effect).Succeeded());
    EXPECT_EQ(effect, DROPEFFECT_LINK);
    struct stat status;
    ASSERT_EQ(::lstat((source_ + "/b\xff.bin").c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
}

}  // namespace
