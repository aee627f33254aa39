#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QProgressDialog>
#include <QWidget>

#include <cerrno>

#include "platform/core/system/LastError.h"
#include "platform/notify/ShellChangeNotify.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/dialogs/TOperationProgress.h"
#include "tests/platform/FileOpsFixture.h"

namespace {

using FileCopyTest = FileOpsTest;

// Names that break careless code: spaces, a newline, bytes that are no UTF-8.
const std::string kAwkwardName = "a b\nc\xff.txt";

TEST_F(FileCopyTest, CopiesTreeWithAwkwardEntriesKeepingModesTimesAndLinks)
{
    const std::string source = Path("src");
    ASSERT_TRUE(MakeFolder(source));
    ASSERT_TRUE(MakeFolder(source + "/empty"));
    ASSERT_TRUE(WriteFile(source + "/" + kAwkwardName, "awkward"));
    ASSERT_EQ(::chmod((source + "/" + kAwkwardName).c_str(), 0640), 0);
    ASSERT_EQ(::symlink("nowhere", (source + "/broken").c_str()), 0);
    ASSERT_EQ(::mkfifo((source + "/pipe").c_str(), 0600), 0);
    const timespec times[2] = {{1000000, 0}, {2000000, 500}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (source + "/" + kAwkwardName).c_str(), times, 0), 0);
    ASSERT_EQ(::chmod(source.c_str(), 0750), 0);
    ASSERT_TRUE(WriteFile(Path("single"), "one"));
    ASSERT_TRUE(MakeFolder(Path("dst")));

    const TFileOperationResult result = Run(TFileOperationKind::Copy, {source, Path("single")}, Path("dst"));

    ASSERT_TRUE(result.Completed);
    EXPECT_EQ(result.Created, (std::vector<std::string>{Path("dst/src"), Path("dst/single")}));
    EXPECT_EQ(Names(Path("dst/src")), Names(source));
    EXPECT_EQ(ReadAll(Path("dst/src/") + kAwkwardName), "awkward");
    const struct stat copied = Lstat(Path("dst/src/") + kAwkwardName);
    EXPECT_EQ(copied.st_mode & 07777, 0640u);
    EXPECT_EQ(copied.st_mtim.tv_sec, 2000000);
    EXPECT_EQ(copied.st_mtim.tv_nsec, 500);
    EXPECT_EQ(Lstat(Path("dst/src")).st_mode & 07777, 0750u);
    EXPECT_TRUE(S_ISLNK(Lstat(Path("dst/src/broken")).st_mode));
    EXPECT_TRUE(S_ISFIFO(Lstat(Path("dst/src/pipe")).st_mode));
    EXPECT_EQ(ReadAll(Path("dst/single")), "one");
    EXPECT_EQ(Names(source).size(), 4u);
    EXPECT_EQ(GetLastError(), 0);
}

TEST_F(FileCopyTest, CopyIntoOwnFolderNamesCopies)
{
    ASSERT_TRUE(WriteFile(Path("a.txt"), "A"));
    const std::string folder = root_.Path();

    ASSERT_TRUE(Run(TFileOperationKind::Copy, {Path("a.txt")}, folder).Completed);
    const TFileOperationResult second = Run(TFileOperationKind::Copy, {Path("a.txt")}, folder);

    ASSERT_TRUE(second.Completed);
    EXPECT_EQ(second.Created, std::vector<std::string>{Path("Kopie (2) von a.txt")});
    EXPECT_EQ(ReadAll(Path("Kopie von a.txt")), "A");
    EXPECT_EQ(ReadAll(Path("Kopie (2) von a.txt")), "A");
}

class ConflictTest : public FileOpsTest
{
protected:
    void SetUp() override
    {
        FileOpsTest::SetUp();
        ASSERT_TRUE(MakeFolder(Path("src")));
        ASSERT_TRUE(MakeFolder(Path("dst")));
        for (const char* name : {"1", "2", "3"}) {
            ASSERT_TRUE(WriteFile(Path("src/") + name, std::string("new ") + name));
            ASSERT_TRUE(WriteFile(Path("dst/") + name, std::string("old ") + name));
        }
    }
    std::vector<std::string> Sources() const { return {Path("src/1"), Path("src/2"), Path("src/3")}; }
};

TEST_F(ConflictTest, AsksInGermanAndAppliesTheAnswerToAllWhenChecked)
{
    TScriptedAnswers answers;
    answers.Answer(0);        // replace 1
    answers.Answer(1, true);  // skip 2 and all that follow

    const TFileOperationResult result = Run(TFileOperationKind::Copy, Sources(), Path("dst"));

    ASSERT_TRUE(result.Completed);
    ASSERT_EQ(answers.Requests().size(), 2u);
    const TMessageRequest& prompt = answers.Requests().front();
    EXPECT_EQ(prompt.Buttons, (QStringList{"Ersetzen", "Überspringen", "Abbrechen"}));
    EXPECT_EQ(prompt.EscapeButton, 2);
    EXPECT_EQ(prompt.CheckBoxText, "Für alle weiteren Konflikte übernehmen");
    EXPECT_TRUE(prompt.Text.contains("„1“"));
    EXPECT_EQ(ReadAll(Path("dst/1")), "new 1");
    EXPECT_EQ(ReadAll(Path("dst/2")), "old 2");
    EXPECT_EQ(ReadAll(Path("dst/3")), "old 3");
    EXPECT_EQ(result.Created, std::vector<std::string>{Path("dst/1")});
    EXPECT_EQ(Names(Path("dst")), (std::vector<std::string>{"1", "2", "3"}));
}

TEST_F(ConflictTest, CancelStopsAndLeavesTheTargetAsItWas)
{
    TScriptedAnswers answers;
    answers.Answer(2);

    const TFileOperationResult result = Run(TFileOperationKind::Move, Sources(), Path("dst"));

    EXPECT_FALSE(result.Completed);
    EXPECT_TRUE(result.Cancelled);
    EXPECT_EQ(answers.Requests().size(), 1u);
    EXPECT_EQ(ReadAll(Path("dst/1")), "old 1");
    EXPECT_EQ(Names(Path("src")), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(Names(Path("dst")), (std::vector<std::string>{"1", "2", "3"}));
}

TEST_F(ConflictTest, ReplacingFolderByFileAndFolderMerge)
{
    // dst/1 is a folder that a file replaces; src/sub merges into dst/sub.
    ASSERT_EQ(::unlink(Path("dst/1").c_str()), 0);
    ASSERT_TRUE(MakeFolder(Path("dst/1")));
    ASSERT_TRUE(WriteFile(Path("dst/1/inner"), "x"));
    ASSERT_TRUE(MakeFolder(Path("src/sub")));
    ASSERT_TRUE(MakeFolder(Path("dst/sub")));
    ASSERT_TRUE(WriteFile(Path("src/sub/new"), "n"));
    ASSERT_TRUE(WriteFile(Path("dst/sub/kept"), "k"));
    TScriptedAnswers answers;
    answers.Answer(0, true);

    const TFileOperationResult result = Run(TFileOperationKind::Copy, {Path("src/1"), Path("src/sub")}, Path("dst"));

    ASSERT_TRUE(result.Completed);
    EXPECT_EQ(ReadAll(Path("dst/1")), "new 1");
    EXPECT_EQ(Names(Path("dst/sub")), (std::vector<std::string>{"kept", "new"}));
    EXPECT_EQ(Names(Path("dst")), (std::vector<std::string>{"1", "2", "3", "sub"}));
}

TEST_F(FileCopyTest, FullDiskLeavesNoPartialTargetAndTheSourceWhole)
{
    const std::string data(256 * 1024, 'd');
    ASSERT_TRUE(WriteFile(Path("big"), data));
    ASSERT_TRUE(MakeFolder(Path("dst")));
    TFileOperationResult result;
    {
        TFileSizeLimit limit(64 * 1024);
        result = Run(TFileOperationKind::Copy, {Path("big")}, Path("dst"));
    }
    EXPECT_FALSE(result.Completed);
    EXPECT_EQ(result.Error, EFBIG);
    EXPECT_EQ(GetLastError(), EFBIG);
    EXPECT_TRUE(Names(Path("dst")).empty());
    EXPECT_EQ(ReadAll(Path("big")), data);
}

TEST_F(FileCopyTest, UnwritableTargetGivesGermanErrorOnlyWithOwner)
{
    ASSERT_TRUE(WriteFile(Path("a.txt")));
    ASSERT_TRUE(MakeFolder(Path("locked")));
    TImmutableGuard guard(Path("locked"));
    if (!guard.Active())
        GTEST_SKIP() << "chattr +i is not possible here";
    TScriptedAnswers answers;

    const TFileOperationResult quiet = Run(TFileOperationKind::Copy, {Path("a.txt")}, Path("locked"));
    EXPECT_EQ(quiet.Error, EPERM);
    EXPECT_TRUE(answers.Requests().empty());

    QWidget owner;
    const TFileOperationResult shown = Run(TFileOperationKind::Copy, {Path("a.txt")}, Path("locked"), &owner);
    EXPECT_EQ(shown.Error, EPERM);
    ASSERT_EQ(answers.Requests().size(), 1u);
    EXPECT_EQ(answers.Requests()[0].Caption, "Fehler");
    EXPECT_EQ(answers.Requests()[0].Icon, TMessageIcon::Error);
    EXPECT_TRUE(answers.Requests()[0].Text.startsWith("„a.txt“ konnte nicht kopiert werden."));
    EXPECT_TRUE(Names(Path("locked")).empty());
}

TEST_F(FileCopyTest, FolderIntoItselfIsRefused)
{
    ASSERT_TRUE(MakeFolder(Path("f")));
    ASSERT_TRUE(MakeFolder(Path("f/sub")));

    const TFileOperationResult result = Run(TFileOperationKind::Copy, {Path("f")}, Path("f/sub"));

    EXPECT_EQ(result.Error, EINVAL);
    EXPECT_TRUE(Names(Path("f/sub")).empty());
}

class CancelTest : public FileOpsTest
{
protected:
    void SetUp() override
    {
        FileOpsTest::SetUp();
        ASSERT_TRUE(MakeFolder(Path("src")));
        for (int i = 0; i < 6; ++i)
            ASSERT_TRUE(WriteFile(Path("src/f") + std::to_string(i), std::string(10000, 'x')));
        ASSERT_TRUE(MakeFolder(Path("dst")));
    }
};

TEST_F(CancelTest, CancelInTheMiddleLeavesNoPartialFolder)
{
    SetOperationProgressObserver([](TOperationProgress& progress) {
        if (progress.Done() > 20000)
            progress.Cancel();
    });

    const TFileOperationResult result = Run(TFileOperationKind::Copy, {Path("src")}, Path("dst"));

    EXPECT_TRUE(result.Cancelled);
    EXPECT_FALSE(result.Completed);
    EXPECT_TRUE(Names(Path("dst")).empty());
    EXPECT_EQ(Names(Path("src")).size(), 6u);
}

TEST_F(CancelTest, TheProgressDialogsCancelButtonStopsTheCopy)
{
    TOperationProgress::SetShowDelay(std::chrono::milliseconds(0));
    QString title;
    SetOperationProgressObserver([&](TOperationProgress& progress) {
        QProgressDialog* dialog = progress.Dialog();
        if (dialog == nullptr || progress.Done() < 20000)
            return;
        title = dialog->windowTitle();
        for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
            if (button->text() == "Abbrechen")
                button->click();
    });

    const TFileOperationResult result = Run(TFileOperationKind::Copy, {Path("src")}, Path("dst"));

    EXPECT_EQ(title, "Kopieren");
    EXPECT_TRUE(result.Cancelled);
    EXPECT_TRUE(Names(Path("dst")).empty());
}

// A window closed while its copy shows progress (by a call queued before,
// run in the dialog's first event turn) takes the dialog along; the copy goes on.
TEST_F(CancelTest, AnOwnerClosedDuringTheCopyTakesItsDialogAlong)
{
    TOperationProgress::SetShowDelay(std::chrono::milliseconds(0));
    auto owner = std::make_unique<QWidget>();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { owner.reset(); }, Qt::QueuedConnection);

    const TFileOperationResult result = Run(TFileOperationKind::Copy, {Path("src")}, Path("dst"), owner.get());
    const bool closedDuringTheCopy = owner == nullptr;
    ASSERT_TRUE(RunQueuedCalls());

    EXPECT_TRUE(closedDuringTheCopy);
    EXPECT_TRUE(result.Completed);
    EXPECT_EQ(Names(Path("dst/src")).size(), 6u);
}

TEST_F(FileCopyTest, ReportsEachChangeToChangeRegistrations)
{
    ASSERT_TRUE(WriteFile(Path("a.txt")));
    ASSERT_TRUE(MakeFolder(Path("dst")));
    ASSERT_TRUE(MakeFolder(Path("other")));
    TScriptedAnswers answers;  // no box may block the test
    TItemIdListPtr folder = SHParseDisplayName(Path("dst"));
    ASSERT_TRUE(folder);
    std::vector<long> events;
    const SHChangeNotifyEntry entry{folder.get(), false};
    const unsigned long id = SHChangeNotifyRegister(
        nullptr, SHCNRF_ShellLevel, SHCNE_ALLEVENTS,
        [&](long event, const TItemIdList*, const TItemIdList*) { events.push_back(event); }, {&entry, 1});
    ASSERT_NE(id, 0u);

    ASSERT_TRUE(Run(TFileOperationKind::Copy, {Path("a.txt")}, Path("dst")).Completed);
    EXPECT_TRUE(WaitUntil([&] { return events.size() == 1; }));
    ASSERT_TRUE(Run(TFileOperationKind::Move, {Path("dst/a.txt")}, Path("other")).Completed);
    EXPECT_TRUE(WaitUntil([&] { return events.size() == 2; }));
    ASSERT_TRUE(Run(TFileOperationKind::Copy, {Path("a.txt")}, Path("dst")).Completed);
    ASSERT_TRUE(Run(TFileOperationKind::Delete, {Path("dst/a.txt")}, {}, nullptr, false).Completed);

    EXPECT_TRUE(WaitUntil([&] { return events.size() == 4; }));
    EXPECT_TRUE(answers.Requests().empty());
    EXPECT_EQ(events, (std::vector<long>{SHCNE_CREATE, SHCNE_RENAMEITEM, SHCNE_CREATE, SHCNE_DELETE}));
    SHChangeNotifyDeregister(id);
}

}  // namespace
