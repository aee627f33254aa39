#include "platform/namespace/items/THiddenList.h"

#include <gtest/gtest.h>

TEST(HiddenList, DotNamesAreHidden)
{
    const THiddenList none;
    EXPECT_TRUE(none.IsHidden(".profile"));
    EXPECT_TRUE(none.IsHidden(".hidden"));
    EXPECT_FALSE(none.IsHidden("profile"));
    EXPECT_FALSE(none.IsHidden(""));
}

#include <QDir>
#include <QTemporaryDir>

#include <fstream>

namespace {

void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

}  // namespace

TEST(HiddenList, NamesListedInTheFolderHiddenFile)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string path = folder.path().toStdString();
    WriteFile(path + "/.hidden", std::string("snap\nmit Leerzeichen \nwindows\r\n\nzeile\nmit\nnicht\xFF"
                                             "utf8\nsub/dir\n") +
                                     "ohne Zeilenende");
    const THiddenList list = THiddenList::ReadFolder(path);
    EXPECT_TRUE(list.IsHidden("snap"));
    EXPECT_TRUE(list.IsHidden("mit Leerzeichen "));
    EXPECT_FALSE(list.IsHidden("mit Leerzeichen"));
    EXPECT_TRUE(list.IsHidden("windows"));
    EXPECT_TRUE(list.IsHidden("windows\r"));
    EXPECT_TRUE(list.IsHidden("nicht\xFF"
                              "utf8"));
    EXPECT_TRUE(list.IsHidden("ohne Zeilenende"));
    // A line is one name: neither parts of it nor empty names nor paths.
    EXPECT_FALSE(list.IsHidden("zeile\nmit"));
    EXPECT_FALSE(list.IsHidden(""));
    EXPECT_FALSE(list.IsHidden("sub/dir"));
    EXPECT_FALSE(list.IsHidden("SNAP"));
    EXPECT_TRUE(list.IsHidden(".anything"));
}

TEST(HiddenList, MissingOrUnreadableHiddenFile)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string path = folder.path().toStdString();
    EXPECT_EQ(THiddenList::ReadFolder(path).ListedCount(), 0U);
    EXPECT_EQ(THiddenList::ReadFolder(path + "/missing").ListedCount(), 0U);
    // A directory where the file is expected hides nothing more.
    ASSERT_TRUE(QDir(folder.path()).mkdir(".hidden"));
    const THiddenList list = THiddenList::ReadFolder(path);
    EXPECT_EQ(list.ListedCount(), 0U);
    EXPECT_TRUE(list.IsHidden(".hidden"));
    EXPECT_FALSE(list.IsHidden("visible"));
}
