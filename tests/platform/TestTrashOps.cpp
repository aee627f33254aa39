#include <sys/stat.h>
#include <unistd.h>

#include <ftw.h>

#include <cerrno>
#include <fstream>
#include <functional>

#include "platform/core/text/PercentEncoding.h"
#include "platform/core/system/TMountTable.h"
#include "platform/trash/TTrash.h"
#include "tests/platform/FileOpsFixture.h"

namespace {

// "DeletionDate=YYYY-MM-DDThh:mm:ss" as a line of `info`.
bool HasDeletionDateLine(const std::string& info)
{
    const std::string key = "\nDeletionDate=";
    const std::size_t start = info.find(key);
    if (start == std::string::npos)
        return false;
    const std::string value = info.substr(start + key.size());
    const std::string shape = "dddd-dd-ddTdd:dd:dd\n";
    if (value.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = value[i] >= '0' && value[i] <= '9';
        if (shape[i] == 'd' ? !digit : value[i] != shape[i])
            return false;
    }
    return true;
}

class TrashOpsTest : public FileOpsTest
{
protected:
    std::string HomeTrash() const { return home_ + "/.local/share/Trash"; }
};

TEST_F(TrashOpsTest, TrashAndRestoreRoundTrip)
{
    const std::string name = "50% a b\xff";
    ASSERT_TRUE(MakeFolder(Path("docs")));
    ASSERT_TRUE(WriteFile(Path("docs/") + name, "content"));
    TScriptedAnswers answers;
    answers.Answer(0);  // "Ja"

    const TFileOperationResult trashed = Run(TFileOperationKind::Trash, {Path("docs/") + name});

    ASSERT_TRUE(trashed.Completed);
    ASSERT_EQ(answers.Requests().size(), 1u);
    EXPECT_EQ(answers.Requests()[0].Buttons, (QStringList{"Ja", "Nein"}));
    EXPECT_FALSE(Exists(Path("docs/") + name));
    EXPECT_EQ(trashed.Created, std::vector<std::string>{HomeTrash() + "/files/" + name});
    const std::string info = ReadAll(HomeTrash() + "/info/" + name + ".trashinfo");
    EXPECT_TRUE(info.starts_with("[Trash Info]\nPath=" + PercentEncodePath(Path("docs/") + name) + "\n")) << info;
    EXPECT_TRUE(HasDeletionDateLine(info)) << info;
    EXPECT_NE(info.find("%25"), std::string::npos);
    EXPECT_EQ(Lstat(HomeTrash() + "/files").st_mode & 0777, 0700u);

    const std::vector<TTrashEntry> listed = TTrash::ListEntries(TTrash::HomeTrash());
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].OriginalPath, Path("docs/") + name);

    // The folder it came from is gone meanwhile: restoring makes it again.
    ASSERT_EQ(::rmdir(Path("docs").c_str()), 0);
    const TFileOperationResult restored = Run(TFileOperationKind::Restore, trashed.Created);

    ASSERT_TRUE(restored.Completed);
    EXPECT_EQ(restored.Created, std::vector<std::string>{Path("docs/") + name});
    EXPECT_EQ(ReadAll(Path("docs/") + name), "content");
    EXPECT_TRUE(Names(HomeTrash() + "/files").empty());
    EXPECT_TRUE(Names(HomeTrash() + "/info").empty());
}

TEST_F(TrashOpsTest, DeclinedConfirmationLeavesEverythingInPlace)
{
    ASSERT_TRUE(WriteFile(Path("a")));
    ASSERT_TRUE(WriteFile(Path("b")));
    TScriptedAnswers answers;
    answers.Answer(1);
    answers.Answer(1);

    const TFileOperationResult trash = Run(TFileOperationKind::Trash, {Path("a"), Path("b")});
    const TFileOperationResult gone = Run(TFileOperationKind::Delete, {Path("a")});

    EXPECT_TRUE(trash.Cancelled);
    EXPECT_TRUE(gone.Cancelled);
    EXPECT_FALSE(trash.Completed);
    ASSERT_EQ(answers.Requests().size(), 2u);
    EXPECT_EQ(answers.Requests()[0].Text, "Möchten Sie diese 2 Elemente wirklich in den Papierkorb verschieben?");
    EXPECT_EQ(answers.Requests()[1].Text, "Möchten Sie „a“ wirklich endgültig löschen?");
    EXPECT_TRUE(Exists(Path("a")));
    EXPECT_TRUE(Exists(Path("b")));
}

TEST_F(TrashOpsTest, SameNameTrashedTwiceGetsANumberAndRestoreChecksConflicts)
{
    ASSERT_TRUE(WriteFile(Path("a"), "first"));
    const TFileOperationResult first = Run(TFileOperationKind::Trash, {Path("a")}, {}, nullptr, false);
    ASSERT_TRUE(WriteFile(Path("a"), "second"));
    const TFileOperationResult second = Run(TFileOperationKind::Trash, {Path("a")}, {}, nullptr, false);
    ASSERT_TRUE(first.Completed && second.Completed);
    EXPECT_EQ(second.Created, std::vector<std::string>{HomeTrash() + "/files/a.2"});
    ASSERT_TRUE(Exists(HomeTrash() + "/info/a.2.trashinfo"));

    // The first comes back; the second meets it and is skipped, staying in the trash.
    ASSERT_TRUE(Run(TFileOperationKind::Restore, first.Created).Completed);
    TScriptedAnswers answers;
    answers.Answer(1);
    const TFileOperationResult skipped = Run(TFileOperationKind::Restore, second.Created);

    EXPECT_TRUE(skipped.Completed);
    EXPECT_TRUE(skipped.Created.empty());
    ASSERT_EQ(answers.Requests().size(), 1u);
    EXPECT_EQ(ReadAll(Path("a")), "first");
    EXPECT_EQ(ReadAll(HomeTrash() + "/files/a.2"), "second");
    EXPECT_TRUE(Exists(HomeTrash() + "/info/a.2.trashinfo"));
}

TEST_F(TrashOpsTest, ItemsOnAFileSystemWithoutTrashAreDeletedOnlyWhenTheUserAgrees)
{
    struct stat tmpStatus
    {};
    struct stat shmStatus
    {};
    if (::stat(root_.Path().c_str(), &tmpStatus) != 0 || ::stat("/dev/shm", &shmStatus) != 0 ||
        tmpStatus.st_dev == shmStatus.st_dev)
        GTEST_SKIP() << "no tmpfs volume apart from the home";
    std::string folder = "/dev/shm/parzello-trash-XXXXXX";
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    ASSERT_TRUE(WriteFile(folder + "/a"));
    ASSERT_TRUE(WriteFile(folder + "/b"));
    TScriptedAnswers answers;
    answers.Answer(1);  // skip a
    answers.Answer(0);  // delete b for good

    const TFileOperationResult result =
        Run(TFileOperationKind::Trash, {folder + "/a", folder + "/b"}, {}, nullptr, false);

    // What stays is not done: the lists must not drop its entry.
    EXPECT_FALSE(result.Completed);
    EXPECT_FALSE(result.Cancelled);
    EXPECT_EQ(result.Error, 0);
    EXPECT_EQ(result.Kept, std::vector<std::string>{folder + "/a"});
    ASSERT_EQ(answers.Requests().size(), 2u);
    EXPECT_EQ(answers.Requests()[0].Buttons, (QStringList{"Endgültig löschen", "Überspringen", "Abbrechen"}));
    EXPECT_TRUE(Exists(folder + "/a"));
    EXPECT_FALSE(Exists(folder + "/b"));
    EXPECT_FALSE(Exists(folder + "/.Trash-" + std::to_string(::getuid())));
    ::unlink((folder + "/a").c_str());
    ::rmdir(folder.c_str());
}

// The test folder as a volume of its own, its home trash on another file system.
class VolumeTrashOpsTest : public TrashOpsTest
{
protected:
    void SetUp() override
    {
        TrashOpsTest::SetUp();
        struct stat tmpStatus
        {};
        struct stat shmStatus
        {};
        if (::stat(root_.Path().c_str(), &tmpStatus) != 0 || ::stat("/dev/shm", &shmStatus) != 0 ||
            tmpStatus.st_dev == shmStatus.st_dev || ::mkdtemp(otherHome_.data()) == nullptr)
            GTEST_SKIP() << "no second file system for the home trash";
        data_.emplace("XDG_DATA_HOME", otherHome_);
        WriteTextFile(Path("mountinfo"), "1 0 254:0 / / rw - ext4 /dev/vda rw\n"
                                         "2 1 254:1 / " +
                                             root_.Path() + " rw - ext4 /dev/vdb rw\n");
        TMountTable::SetMountInfoPath(Path("mountinfo"));
    }
    void TearDown() override
    {
        TMountTable::SetMountInfoPath({});
        data_.reset();
        if (otherHome_.find("XXXXXX") == std::string::npos)
            ::nftw(
                otherHome_.c_str(), [](const char* path, const struct stat*, int, FTW*) { return ::remove(path); }, 16,
                FTW_DEPTH | FTW_PHYS);
        TrashOpsTest::TearDown();
    }
    std::string OwnTrash() const { return Path(".Trash-" + std::to_string(::getuid())); }

    std::string otherHome_ = "/dev/shm/parzello-home-XXXXXX";
    std::optional<TEnvironmentGuard> data_;
};

TEST_F(VolumeTrashOpsTest, VolumeTrashGetsRelativePaths)
{
    ASSERT_TRUE(MakeFolder(Path("sub")));
    ASSERT_TRUE(WriteFile(Path("sub/x y"), "x"));

    const TFileOperationResult result = Run(TFileOperationKind::Trash, {Path("sub/x y")}, {}, nullptr, false);

    ASSERT_TRUE(result.Completed) << result.Error;
    EXPECT_EQ(result.Created, std::vector<std::string>{OwnTrash() + "/files/x y"});
    EXPECT_TRUE(ReadAll(OwnTrash() + "/info/x y.trashinfo").starts_with("[Trash Info]\nPath=sub/x%20y\n"));
}

TEST_F(VolumeTrashOpsTest, TrashesOfOthersOrOpenToOthersAreNotUsed)
{
    const std::string uid = std::to_string(::getuid());
    ASSERT_TRUE(MakeFolder(Path("elsewhere")));
    ASSERT_EQ(::chmod(Path("elsewhere").c_str(), 0700), 0);
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"open to all",
         [&] {
             ASSERT_TRUE(MakeFolder(OwnTrash()));
             ASSERT_EQ(::chmod(OwnTrash().c_str(), 0777), 0);
         }},
        {"another user's",
         [&] {
             ASSERT_TRUE(MakeFolder(OwnTrash()));
             ASSERT_EQ(::chmod(OwnTrash().c_str(), 0700), 0);
             ASSERT_EQ(::chown(OwnTrash().c_str(), 4242, 4242), 0);
         }},
        {"a link", [&] { ASSERT_EQ(::symlink(Path("elsewhere").c_str(), OwnTrash().c_str()), 0); }},
    };
    for (const auto& [what, make] : cases) {
        SCOPED_TRACE(what);
        make();
        ASSERT_TRUE(WriteFile(Path("x"), "x"));
        TScriptedAnswers answers;
        answers.Answer(1);  // "Überspringen"

        const TFileOperationResult result = Run(TFileOperationKind::Trash, {Path("x")}, {}, nullptr, false);

        EXPECT_FALSE(result.Completed);
        ASSERT_EQ(answers.Requests().size(), 1u);
        EXPECT_EQ(answers.Requests()[0].Caption, "Papierkorb nicht verfügbar");
        EXPECT_EQ(ReadAll(Path("x")), "x");
        EXPECT_TRUE(Names(Path("elsewhere")).empty());
        EXPECT_EQ(TTrash::TrashDirectories().size(), 1u);  // the home trash alone
        ASSERT_EQ(::remove(OwnTrash().c_str()), 0);
    }

    // A shared trash whose user folder is someone else's: the user's own trash instead.
    ASSERT_TRUE(MakeFolder(Path(".Trash")));
    ASSERT_EQ(::chmod(Path(".Trash").c_str(), 01777), 0);
    ASSERT_TRUE(MakeFolder(Path(".Trash/") + uid));
    ASSERT_EQ(::chmod((Path(".Trash/") + uid).c_str(), 0700), 0);
    ASSERT_EQ(::chown((Path(".Trash/") + uid).c_str(), 4242, 4242), 0);
    const TFileOperationResult result = Run(TFileOperationKind::Trash, {Path("x")}, {}, nullptr, false);
    ASSERT_TRUE(result.Completed) << result.Error;
    EXPECT_EQ(result.Created, std::vector<std::string>{OwnTrash() + "/files/x"});
    EXPECT_TRUE(Names(Path(".Trash/") + uid).empty());
}

TEST_F(VolumeTrashOpsTest, LongNamesGetShortInfoNamesAndRestoresOutsideTheVolumeAsk)
{
    // Two names of 250 bytes that differ only at their ends.
    std::string stem;
    for (int i = 0; i < 124; ++i)
        stem += "ä";
    const std::vector<std::string> names = {stem + "-1", stem + "-2"};
    for (const std::string& name : names)
        ASSERT_TRUE(WriteFile(Path(name), name));

    const TFileOperationResult trashed =
        Run(TFileOperationKind::Trash, {Path(names[0]), Path(names[1])}, {}, nullptr, false);

    ASSERT_TRUE(trashed.Completed) << trashed.Error;
    ASSERT_EQ(trashed.Created.size(), 2u);
    EXPECT_NE(trashed.Created[0], trashed.Created[1]);
    for (const std::string& info : Names(OwnTrash() + "/info"))
        EXPECT_LE(info.size(), 255u);
    ASSERT_TRUE(Run(TFileOperationKind::Restore, trashed.Created).Completed);
    for (const std::string& name : names)
        EXPECT_EQ(ReadAll(Path(name)), name);

    // An entry of this volume's trash that claims a place outside the volume.
    const std::string outside = otherHome_ + "/geplant";
    ASSERT_TRUE(WriteFile(OwnTrash() + "/files/geplant", "fremd"));
    WriteTextFile(OwnTrash() + "/info/geplant.trashinfo",
                  "[Trash Info]\nPath=" + outside + "\nDeletionDate=2024-01-01T00:00:00\n");
    TScriptedAnswers answers;
    answers.Answer(1);  // "Überspringen"
    answers.Answer(0);  // "Wiederherstellen"

    const TFileOperationResult kept = Run(TFileOperationKind::Restore, {OwnTrash() + "/files/geplant"});
    EXPECT_FALSE(kept.Completed);
    EXPECT_FALSE(Exists(outside));
    EXPECT_TRUE(Exists(OwnTrash() + "/files/geplant"));
    ASSERT_TRUE(Run(TFileOperationKind::Restore, {OwnTrash() + "/files/geplant"}).Completed);
    EXPECT_EQ(ReadAll(outside), "fremd");
    ASSERT_EQ(answers.Requests().size(), 2u);
    EXPECT_EQ(answers.Requests()[0].Buttons, (QStringList{"Wiederherstellen", "Überspringen", "Abbrechen"}));
    EXPECT_TRUE(answers.Requests()[0].Text.contains(QString::fromStdString(outside)));
}

TEST_F(TrashOpsTest, DeleteRemovesTreesForGoodAndTrashedItemsWithTheirInfo)
{
    ASSERT_TRUE(MakeFolder(Path("tree")));
    ASSERT_TRUE(MakeFolder(Path("tree/sub")));
    ASSERT_TRUE(WriteFile(Path("tree/sub/f")));
    ASSERT_EQ(::symlink(home_.c_str(), Path("tree/home-link").c_str()), 0);
    ASSERT_TRUE(WriteFile(Path("t")));
    const TFileOperationResult trashed = Run(TFileOperationKind::Trash, {Path("t")}, {}, nullptr, false);
    ASSERT_TRUE(trashed.Completed);

    const TFileOperationResult result =
        Run(TFileOperationKind::Delete, {Path("tree"), trashed.Created[0]}, {}, nullptr, false);

    ASSERT_TRUE(result.Completed);
    EXPECT_FALSE(Exists(Path("tree")));
    EXPECT_TRUE(Exists(home_));  // a link is deleted, never followed
    EXPECT_TRUE(Names(HomeTrash() + "/files").empty());
    EXPECT_TRUE(Names(HomeTrash() + "/info").empty());
}

TEST_F(TrashOpsTest, FailedDeleteOfAnImmutableFileReportsIt)
{
    ASSERT_TRUE(MakeFolder(Path("locked")));
    ASSERT_TRUE(WriteFile(Path("locked/f")));
    TImmutableGuard guard(Path("locked"));
    if (!guard.Active())
        GTEST_SKIP() << "chattr +i is not possible here";

    const TFileOperationResult result = Run(TFileOperationKind::Delete, {Path("locked/f")}, {}, nullptr, false);

    EXPECT_EQ(result.Error, EPERM);
    EXPECT_FALSE(result.Completed);
    EXPECT_TRUE(Exists(Path("locked/f")));
}

}  // namespace
