#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <fstream>

#include "platform/core/files/FileTreeOps.h"
#include "platform/dialogs/TOperationProgress.h"
#include "tests/platform/FileOpsFixture.h"
#include "tests/support/TTmpfsMount.h"

namespace {

// A folder on another file system than the test's temporary folder, for
// moves across volumes; empty when there is none.
class OtherVolumeFolder
{
public:
    explicit OtherVolumeFolder(const std::string& near)
    {
        struct stat nearStatus
        {};
        struct stat shmStatus
        {};
        if (::stat(near.c_str(), &nearStatus) != 0 || ::stat("/dev/shm", &shmStatus) != 0 ||
            nearStatus.st_dev == shmStatus.st_dev)
            return;
        std::string pattern = "/dev/shm/parzello-move-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~OtherVolumeFolder()
    {
        if (!path_.empty())
            ::nftw(
                path_.c_str(), [](const char* path, const struct stat*, int, FTW*) { return ::remove(path); }, 16,
                FTW_DEPTH | FTW_PHYS);
    }
    OtherVolumeFolder(const OtherVolumeFolder&) = delete;
    OtherVolumeFolder& operator=(const OtherVolumeFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

using FileMoveTest = FileOpsTest;

TEST_F(FileMoveTest, MovesWithinAVolumeByRename)
{
    ASSERT_TRUE(MakeFolder(Path("tree")));
    ASSERT_TRUE(WriteFile(Path("tree/inner"), "i"));
    ASSERT_TRUE(MakeFolder(Path("dst")));
    const ino_t inode = Lstat(Path("tree/inner")).st_ino;

    const TFileOperationResult result = Run(TFileOperationKind::Move, {Path("tree")}, Path("dst"));

    ASSERT_TRUE(result.Completed);
    EXPECT_EQ(result.Created, std::vector<std::string>{Path("dst/tree")});
    EXPECT_FALSE(Exists(Path("tree")));
    EXPECT_EQ(Lstat(Path("dst/tree/inner")).st_ino, inode);
}

TEST_F(FileMoveTest, MoveIntoOwnFolderChangesNothing)
{
    ASSERT_TRUE(WriteFile(Path("a"), "a"));
    TScriptedAnswers answers;

    const TFileOperationResult result = Run(TFileOperationKind::Move, {Path("a")}, root_.Path());

    EXPECT_TRUE(result.Completed);
    EXPECT_TRUE(answers.Requests().empty());
    EXPECT_EQ(ReadAll(Path("a")), "a");
}

TEST_F(FileMoveTest, MovesAcrossVolumesAndKeepsSkippedSources)
{
    OtherVolumeFolder other(root_.Path());
    if (other.Path().empty())
        GTEST_SKIP() << "no second volume (/dev/shm on another file system)";
    ASSERT_TRUE(MakeFolder(Path("tree")));
    ASSERT_TRUE(MakeFolder(Path("tree/sub")));
    ASSERT_TRUE(WriteFile(Path("tree/sub/moved"), "m"));
    ASSERT_TRUE(WriteFile(Path("tree/kept"), "new"));
    ASSERT_EQ(::symlink("sub", Path("tree/link").c_str()), 0);
    ASSERT_TRUE(WriteFile(Path("loose"), "l"));
    ASSERT_TRUE(MakeFolder(other.Path() + "/tree"));
    ASSERT_TRUE(WriteFile(other.Path() + "/tree/kept", "old"));
    TScriptedAnswers answers;
    answers.Answer(0);  // merge the folders
    answers.Answer(1);  // skip "kept"

    const TFileOperationResult result = Run(TFileOperationKind::Move, {Path("tree"), Path("loose")}, other.Path());

    ASSERT_TRUE(result.Completed);
    EXPECT_EQ(ReadAll(other.Path() + "/tree/sub/moved"), "m");
    EXPECT_EQ(ReadAll(other.Path() + "/tree/kept"), "old");
    EXPECT_TRUE(S_ISLNK(Lstat(other.Path() + "/tree/link").st_mode));
    EXPECT_EQ(ReadAll(other.Path() + "/loose"), "l");
    EXPECT_FALSE(Exists(Path("loose")));
    // The skipped file stays where it was, and with it its folder.
    EXPECT_EQ(Names(Path("tree")), std::vector<std::string>{"kept"});
    EXPECT_EQ(ReadAll(Path("tree/kept")), "new");
}

TEST_F(FileMoveTest, FailedMoveAcrossVolumesKeepsTheSource)
{
    OtherVolumeFolder other(root_.Path());
    if (other.Path().empty())
        GTEST_SKIP() << "no second volume (/dev/shm on another file system)";
    ASSERT_TRUE(MakeFolder(Path("tree")));
    ASSERT_TRUE(WriteFile(Path("tree/small"), "s"));
    const std::string data(200 * 1024, 'b');
    ASSERT_TRUE(WriteFile(Path("tree/big"), data));
    TFileOperationResult result;
    {
        TFileSizeLimit limit(64 * 1024);
        result = Run(TFileOperationKind::Move, {Path("tree")}, other.Path());
    }
    EXPECT_EQ(result.Error, EFBIG);
    EXPECT_TRUE(Names(other.Path()).empty());
    EXPECT_EQ(ReadAll(Path("tree/big")), data);
    EXPECT_EQ(ReadAll(Path("tree/small")), "s");
}

TEST_F(FileMoveTest, AMoveAcrossVolumesDeletesOnlyWhatItCopied)
{
    ASSERT_TRUE(MakeFolder(Path("mnt")));
    const TTmpfsMount other(Path("mnt"));
    if (!other.IsMounted())
        GTEST_SKIP() << other.SkipReason();
    ASSERT_TRUE(MakeFolder(Path("tree")));
    ASSERT_TRUE(MakeFolder(Path("tree/sub")));
    const std::vector<std::string> files = {"tree/a", "tree/b", "tree/sub/c", "tree/sub/d"};
    for (const std::string& file : files)
        ASSERT_TRUE(WriteFile(Path(file), std::string(10000, 'o')));
    // Halfway through, another program adds a file and rewrites every one.
    bool changed = false;
    SetOperationProgressObserver([&](TOperationProgress& progress) {
        if (changed || progress.Done() < 20000)
            return;
        changed = true;
        ASSERT_TRUE(WriteFile(Path("tree/sub/new"), "new"));
        for (const std::string& file : files)
            ASSERT_TRUE(WriteFile(Path(file), "changed"));
    });

    const TFileOperationResult result = Run(TFileOperationKind::Move, {Path("tree")}, Path("mnt"));

    ASSERT_TRUE(result.Completed) << result.Error;
    ASSERT_TRUE(changed);
    EXPECT_EQ(ReadAll(Path("tree/sub/new")), "new");
    // Each file's last content is somewhere: at the target when the change
    // came before its copy, else still in the source.
    for (const std::string& file : files) {
        const std::string moved = Path("mnt/") + file;
        EXPECT_TRUE(ReadAll(moved) == "changed" || (ReadAll(Path(file)) == "changed" && Exists(moved))) << file;
        EXPECT_FALSE(ReadAll(moved) == "changed" && Exists(Path(file))) << file;
    }
    EXPECT_EQ(Names(Path("mnt")), std::vector<std::string>{"tree"});
}

TEST_F(FileMoveTest, AMoveOntoAFullVolumeFailsAndKeepsTheSource)
{
    ASSERT_TRUE(MakeFolder(Path("mnt")));
    const TTmpfsMount full(Path("mnt"), "size=256k");
    if (!full.IsMounted())
        GTEST_SKIP() << full.SkipReason();
    ASSERT_TRUE(MakeFolder(Path("mnt/dst")));
    ASSERT_TRUE(WriteFile(Path("mnt/dst/big"), "old"));
    const std::string data(1 << 20, 'b');
    ASSERT_TRUE(WriteFile(Path("big"), data));
    TScriptedAnswers answers;
    answers.Answer(0);  // replace the old one

    const TFileOperationResult result = Run(TFileOperationKind::Move, {Path("big")}, Path("mnt/dst"));

    EXPECT_FALSE(result.Completed);
    EXPECT_EQ(result.Error, ENOSPC);
    EXPECT_EQ(ReadAll(Path("big")), data);
    EXPECT_EQ(Names(Path("mnt/dst")), std::vector<std::string>{"big"});
    EXPECT_EQ(ReadAll(Path("mnt/dst/big")), "old");
}

TEST_F(FileMoveTest, LinksPointAtTheSourceAndGetOwnNamesBesideIt)
{
    ASSERT_TRUE(WriteFile(Path("a b"), "a"));
    ASSERT_TRUE(MakeFolder(Path("dst")));

    const TFileOperationResult elsewhere = Run(TFileOperationKind::Link, {Path("a b")}, Path("dst"));
    const TFileOperationResult beside = Run(TFileOperationKind::Link, {Path("a b")}, root_.Path());

    ASSERT_TRUE(elsewhere.Completed);
    ASSERT_TRUE(beside.Completed);
    EXPECT_EQ(beside.Created, std::vector<std::string>{Path("Verknüpfung mit a b")});
    for (const std::string& link : {Path("dst/a b"), Path("Verknüpfung mit a b")}) {
        char target[PATH_MAX] = {};
        ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0) << link;
        EXPECT_EQ(std::string(target), Path("a b"));
    }
}

TEST_F(FileMoveTest, MissingSourceOrTargetFolderFails)
{
    ASSERT_TRUE(WriteFile(Path("a")));
    EXPECT_EQ(Run(TFileOperationKind::Copy, {Path("a")}, Path("missing/folder")).Error, ENOENT);
    EXPECT_EQ(Run(TFileOperationKind::Copy, {Path("a")}, Path("a")).Error, ENOTDIR);
    EXPECT_EQ(Run(TFileOperationKind::Move, {Path("gone")}, root_.Path()).Error, ENOENT);
    EXPECT_EQ(Names(root_.Path()), (std::vector<std::string>{"a", "home"}));
}

// A folder that replaces another whose old content cannot all be deleted:
// the failure is told, and the new folder's content is never lost.
TEST_F(FileOpsTest, ReplacingAFolderTellsAnOldRestThatCannotBeDeleted)
{
    ASSERT_EQ(::mkdir(Path("neu").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(Path("alt").c_str(), 0755), 0);
    std::ofstream(Path("neu/inhalt")) << "neu";
    std::ofstream(Path("alt/fest")) << "alt";
    TImmutableGuard old(Path("alt/fest"));
    if (!old.Active())
        GTEST_SKIP() << "chattr +i is not possible here";
    EXPECT_EQ(RenameReplacing(Path("neu"), Path("alt")), EPERM);
    EXPECT_EQ(ReadAll(Path("alt/inhalt")), "neu");
    // The old rest lies under the new folder's old name (exchanged) or aside
    // under a hidden name; the mark comes off there.
    std::string rest = Path("neu/fest");
    for (const std::string& name : Names(root_.Path()))
        if (name.starts_with("."))
            rest = Path(name + "/fest");
    const TImmutableGuard unmark(rest);
}

}  // namespace
