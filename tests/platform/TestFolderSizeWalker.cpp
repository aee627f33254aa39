#include "platform/core/files/TFolderSizeWalker.h"
#include "tests/platform/NotifyTestSupport.h"
#include "tests/support/TTmpfsMount.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

// du's answer for its arguments (the last one a path): its first number.
std::uint64_t Du(QStringList arguments)
{
    QProcess du;
    du.start(QStringLiteral("du"), arguments);
    if (!du.waitForFinished(30000) || du.exitCode() != 0)
        return ~std::uint64_t(0);
    return du.readAllStandardOutput().split('\t').front().toULongLong();
}

// The bytes `du -x -a -b` finds below a folder in everything but folders:
// each line names a file (its size) or a folder (its total, left out here).
std::uint64_t DuBytesOfNonFolders(const std::string& folder)
{
    QProcess du;
    du.start(QStringLiteral("du"), {"-x", "-a", "-b", "-0", QFile::decodeName(QByteArray::fromStdString(folder))});
    if (!du.waitForFinished(30000) || du.exitCode() != 0)
        return ~std::uint64_t(0);
    std::uint64_t bytes = 0;
    for (const QByteArray& line : du.readAllStandardOutput().split('\0')) {
        const qsizetype tab = line.indexOf('\t');
        struct stat status;
        if (tab > 0 && ::lstat(line.mid(tab + 1).constData(), &status) == 0 && !S_ISDIR(status.st_mode))
            bytes += line.left(tab).toULongLong();
    }
    return bytes;
}

}  // namespace

TEST(FolderSizeWalker, CountsAsDuDoesOnOneFileSystemWithoutFollowingLinks)
{
    TTempFolder root;
    ASSERT_TRUE(root.IsValid());
    ASSERT_TRUE(MakeFolder(root / "sub"));
    ASSERT_TRUE(MakeFolder(root / "sub/empty"));
    ASSERT_TRUE(MakeFolder(root / "mnt"));
    ASSERT_TRUE(MakeFolder(root / "outside"));
    ASSERT_TRUE(WriteFile(root / "a b", std::string(100, 'a')));
    ASSERT_TRUE(WriteFile(root / "sub/g\xff", std::string(30, 'g')));
    ASSERT_TRUE(WriteFile(root / "outside/big", std::string(5000, 'o')));
    ASSERT_EQ(::link((root / "a b").c_str(), (root / "sub/a again").c_str()), 0);
    ASSERT_EQ(::symlink((root / "outside").c_str(), (root / "sub/to outside").c_str()), 0);
    ASSERT_EQ(::symlink(root.Path().c_str(), (root / "sub/loop").c_str()), 0);
    ASSERT_EQ(::symlink("gone", (root / "broken").c_str()), 0);
    ASSERT_EQ(::mkfifo((root / "fifo").c_str(), 0600), 0);
    const TTmpfsMount mounted(root / "mnt", "size=1m");
    if (!mounted.IsMounted())
        GTEST_SKIP() << mounted.SkipReason();
    ASSERT_TRUE(MakeFolder(root / "mnt/deeper"));
    ASSERT_TRUE(WriteFile(root / "mnt/deeper/other", std::string(700, 'm')));

    const std::string sub = root / "sub";
    for (const std::string& folder : {root.Path(), sub}) {
        TFolderSizeWalker walker;
        walker.AddContents(folder);
        const TFolderSizeWalker::TTotals& totals = walker.Totals();
        const QString where = QFile::decodeName(QByteArray::fromStdString(folder));
        EXPECT_EQ(totals.files + totals.folders + 1, Du({"-x", "-s", "--inodes", where})) << folder;
        EXPECT_EQ(totals.bytes, DuBytesOfNonFolders(folder)) << folder;
        EXPECT_FALSE(walker.Stopped());
    }

    // A link given as the item itself is not followed either, and a file
    // with two names counted by one item is not counted again by a later one.
    TFolderSizeWalker items;
    items.AddItem(root / "sub/to outside", true);
    items.AddItem(root / "a b", true);
    items.AddItem(sub, true);
    struct stat link;
    ASSERT_EQ(::lstat((root / "sub/to outside").c_str(), &link), 0);
    EXPECT_EQ(items.Totals().folders, 2u);
    EXPECT_EQ(items.Totals().files, 5u) << "the link, \"a b\", and in sub g and two links";
    EXPECT_EQ(items.Totals().bytes, static_cast<std::uint64_t>(link.st_size) + DuBytesOfNonFolders(sub));
}

TEST(FolderSizeWalker, StopsWhenAsked)
{
    TTempFolder root;
    ASSERT_TRUE(root.IsValid());
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(WriteFile(root / std::to_string(i)));
    int asked = 0;
    TFolderSizeWalker walker([&asked] { return ++asked > 3; });
    walker.AddContents(root.Path());
    EXPECT_TRUE(walker.Stopped());
    EXPECT_EQ(walker.Totals().files, 3u);
}
