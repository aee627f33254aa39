#include "NotifyTestSupport.h"
#include "tests/platform/DataTestSupport.h"

#include "platform/core/ids/ShellConstants.h"
#include "platform/icons/ShellFileInfo.h"
#include "platform/core/ids/ShellItems.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/icons/TSystemIconTable.h"
#include "platform/icons/TSystemImageList.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

constexpr std::uint32_t kSmallIndex = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;

std::string IconNameOf(int index)
{
    return TSystemIconTable::Process().IconName(index).toStdString();
}

TShFileInfo InfoOf(const TItemIdListPtr& list, std::uint32_t flags)
{
    return SHGetFileInfo(list.get(), 0, flags | SHGFI_PIDL);
}

class ShellFileInfoTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.IsValid());
        ASSERT_TRUE(MakeFolder(folder_ / "folder"));
        ASSERT_TRUE(WriteFile(folder_ / "notes.txt"));
        ASSERT_TRUE(WriteFile(folder_ / "film.avi.0001"));
        ASSERT_EQ(::symlink("notes.txt", (folder_ / "link.txt").c_str()), 0);
        ASSERT_EQ(::symlink("missing.txt", (folder_ / "broken.txt").c_str()), 0);
        ASSERT_EQ(::symlink("folder", (folder_ / "folder link").c_str()), 0);
    }

    TTempFolder folder_;
};

TEST_F(ShellFileInfoTest, FoldersAndFilesGetTheirIconsAndKeepThem)
{
    const TShFileInfo folder = SHGetFileInfo(folder_ / "folder", 0, kSmallIndex);
    const TShFileInfo openFolder = SHGetFileInfo(folder_ / "folder", 0, kSmallIndex | SHGFI_OPENICON);
    const TShFileInfo text = SHGetFileInfo(folder_ / "notes.txt", 0, kSmallIndex);
    const TShFileInfo piece = SHGetFileInfo(folder_ / "film.avi.0001", 0, SHGFI_SYSICONINDEX);
    ASSERT_TRUE(folder.succeeded && openFolder.succeeded && text.succeeded && piece.succeeded);
    EXPECT_EQ(IconNameOf(folder.iIcon), "folder");
    EXPECT_EQ(IconNameOf(openFolder.iIcon), "folder-open");
    EXPECT_EQ(IconNameOf(text.iIcon), "text-x-generic");
    EXPECT_EQ(IconNameOf(piece.iIcon), "application-x-generic");
    EXPECT_EQ(folder.iOverlay, -1);

    // The large list answers the same index; asking again changes nothing.
    EXPECT_EQ(SHGetFileInfo(folder_ / "notes.txt", 0, SHGFI_SYSICONINDEX | SHGFI_LARGEICON).iIcon, text.iIcon);
    EXPECT_EQ(SHGetFileInfo(folder_ / "folder", 0, kSmallIndex).iIcon, folder.iIcon);
    EXPECT_FALSE(TSystemImageList::Get(ilsLarge).Pixmap(text.iIcon).isNull());
}

TEST_F(ShellFileInfoTest, SymbolicLinksCarryTheLinkOverlay)
{
    const TShFileInfo text = SHGetFileInfo(folder_ / "notes.txt", 0, kSmallIndex);
    const TShFileInfo link = SHGetFileInfo(folder_ / "link.txt", 0, kSmallIndex);
    const TShFileInfo broken = SHGetFileInfo(folder_ / "broken.txt", 0, kSmallIndex);
    const TShFileInfo folderLink = SHGetFileInfo(folder_ / "folder link", 0, kSmallIndex);
    ASSERT_TRUE(link.succeeded && broken.succeeded && folderLink.succeeded);
    EXPECT_EQ(link.iOverlay, kLinkOverlayIndex);
    EXPECT_EQ(broken.iOverlay, kLinkOverlayIndex);
    EXPECT_EQ(folderLink.iOverlay, kLinkOverlayIndex);
    EXPECT_EQ(text.iOverlay, -1);
    EXPECT_EQ(link.iIcon, text.iIcon);
    EXPECT_NE(broken.iIcon, text.iIcon);
    EXPECT_EQ(IconNameOf(folderLink.iIcon), "folder");
}

TEST_F(ShellFileInfoTest, FileAttributesAnswerForPathsThatDoNotExist)
{
    const std::uint32_t flags = kSmallIndex | SHGFI_USEFILEATTRIBUTES | SHGFI_DISPLAYNAME;
    const TShFileInfo file = SHGetFileInfo(folder_ / "nowhere/readme.txt", FILE_ATTRIBUTE_NORMAL, flags);
    const TShFileInfo folder = SHGetFileInfo(folder_ / "nowhere/sub", FILE_ATTRIBUTE_DIRECTORY, flags);
    ASSERT_TRUE(file.succeeded && folder.succeeded);
    EXPECT_EQ(IconNameOf(file.iIcon), "text-x-generic");
    EXPECT_EQ(IconNameOf(folder.iIcon), "folder");
    EXPECT_EQ(file.szDisplayName, "readme.txt");

    const TShFileInfo missing = SHGetFileInfo(folder_ / "nowhere/readme.txt", 0, kSmallIndex);
    EXPECT_FALSE(missing.succeeded);
    EXPECT_EQ(missing.iIcon, -1);
    EXPECT_FALSE(SHGetFileInfo(static_cast<const TItemIdList*>(nullptr), 0, kSmallIndex).succeeded);
}

TEST_F(ShellFileInfoTest, PlacesOfTheNamespaceHaveTheirOwnIcons)
{
    TEnvironmentGuard home("HOME", folder_.Path());
    const TItemIdListPtr desktop = MakeDesktopIDList();
    const TShFileInfo desktopInfo = InfoOf(desktop, kSmallIndex | SHGFI_DISPLAYNAME);
    ASSERT_TRUE(desktopInfo.succeeded);
    EXPECT_EQ(desktopInfo.szDisplayName, "Desktop");
    EXPECT_EQ(IconNameOf(desktopInfo.iIcon), "user-desktop");

    const auto iconOfVirtual = [](TVirtualFolder folder) {
        return IconNameOf(InfoOf(MakeVirtualItem(folder), kSmallIndex).iIcon);
    };
    EXPECT_EQ(iconOfVirtual(TVirtualFolder::Home), "user-home");
    EXPECT_EQ(iconOfVirtual(TVirtualFolder::Computer), "computer");
    EXPECT_EQ(iconOfVirtual(TVirtualFolder::Network), "network-workgroup");
    EXPECT_EQ(iconOfVirtual(TVirtualFolder::Trash), "user-trash");

    // The home folder reached as a path shows the home icon, too.
    EXPECT_EQ(IconNameOf(SHGetFileInfo(folder_.Path(), 0, kSmallIndex).iIcon), "user-home");
    const TShFileInfo root = SHGetFileInfo(std::string("/"), 0, kSmallIndex | SHGFI_DISPLAYNAME);
    EXPECT_EQ(IconNameOf(root.iIcon), "drive-harddisk");
}

TEST_F(ShellFileInfoTest, NamesTypesAndAttributes)
{
    const std::uint32_t flags = SHGFI_DISPLAYNAME | SHGFI_TYPENAME | SHGFI_ATTRIBUTES;
    const TShFileInfo folder = SHGetFileInfo(folder_ / "folder", 0, flags);
    const TShFileInfo link = SHGetFileInfo(folder_ / "link.txt", 0, flags);
    ASSERT_TRUE(folder.succeeded && link.succeeded);
    EXPECT_EQ(folder.szDisplayName, "folder");
    EXPECT_EQ(folder.szTypeName, "Dateiordner");
    EXPECT_TRUE(folder.dwAttributes & SFGAO_FOLDER);
    EXPECT_EQ(link.szDisplayName, "link.txt");
    EXPECT_TRUE(link.dwAttributes & SFGAO_LINK);
    EXPECT_FALSE(link.dwAttributes & SFGAO_FOLDER);
    EXPECT_EQ(folder.iIcon, -1);  // no icon asked for
}

}  // namespace
