// One item under two names, and folders that hold what would replace them:
// the cases in which "Ersetzen" would destroy the very data being moved,
// copied or linked. As coreutils' mv and cp do, these are refused and the
// disk is left as it was.

#include <sys/stat.h>
#include <unistd.h>

#include <QWidget>

#include <cerrno>

#include "platform/core/files/FileTreeOps.h"
#include "tests/platform/FileOpsFixture.h"

namespace {

using FileIdentityTest = FileOpsTest;

const TFileOperationKind kTransfers[] = {TFileOperationKind::Move, TFileOperationKind::Copy, TFileOperationKind::Link};

const char* KindName(TFileOperationKind kind)
{
    return kind == TFileOperationKind::Move ? "move" : kind == TFileOperationKind::Copy ? "copy" : "link";
}

TEST_F(FileIdentityTest, ALinkOntoTheFileItNamesAndHardLinksAreTheSameFile)
{
    // x/f -> ../y/f, and h a hard link of y/f.
    ASSERT_TRUE(MakeFolder(Path("x")));
    ASSERT_TRUE(MakeFolder(Path("y")));
    ASSERT_TRUE(MakeFolder(Path("z")));
    ASSERT_TRUE(WriteFile(Path("y/f"), "data"));
    ASSERT_EQ(::symlink("../y/f", Path("x/f").c_str()), 0);
    ASSERT_EQ(::link(Path("y/f").c_str(), Path("z/f").c_str()), 0);
    const ino_t inode = Lstat(Path("y/f")).st_ino;

    for (const TFileOperationKind kind : kTransfers) {
        for (const std::string& source : {Path("x/f"), Path("z/f")}) {
            TScriptedAnswers answers;
            answers.Answer(0);  // "Ersetzen", should anyone ask
            QWidget owner;
            TFileOperationRequest request;
            request.Kind = kind;
            request.Sources = {source};
            request.TargetFolder = Path("y");
            request.Owner = &owner;

            const TFileOperationResult result = RunFileOperation(request);

            SCOPED_TRACE(std::string(KindName(kind)) + " " + source);
            EXPECT_FALSE(result.Completed);
            EXPECT_NE(result.Error, 0);
            ASSERT_EQ(answers.Requests().size(), 1u);
            const QString text = answers.Requests()[0].Text;
            EXPECT_TRUE(text.contains(QStringLiteral("„%1“").arg(QString::fromStdString(source))))
                << text.toStdString();
            EXPECT_TRUE(text.contains(QStringLiteral("„%1“").arg(QString::fromStdString(Path("y/f")))));
            EXPECT_TRUE(text.contains("dieselbe Datei")) << text.toStdString();
            EXPECT_EQ(ReadAll(Path("y/f")), "data");
            EXPECT_EQ(Lstat(Path("y/f")).st_ino, inode);
            EXPECT_TRUE(S_ISLNK(Lstat(Path("x/f")).st_mode));
            EXPECT_EQ(Lstat(Path("z/f")).st_ino, inode);
            EXPECT_EQ(Names(Path("y")), std::vector<std::string>{"f"});
        }
    }

    // A file moved onto a link to itself loses nothing: the link goes (as with mv).
    TScriptedAnswers answers;
    answers.Answer(0);
    ASSERT_TRUE(Run(TFileOperationKind::Move, {Path("y/f")}, Path("x")).Completed);
    EXPECT_EQ(ReadAll(Path("x/f")), "data");
    EXPECT_TRUE(S_ISREG(Lstat(Path("x/f")).st_mode));
}

TEST_F(FileIdentityTest, NothingReplacesAFolderThatHoldsItThroughALinkedFolder)
{
    // P/aktuell -> Projekt; P/Projekt/Projekt is a file that each operation
    // would put in the place of its own folder.
    ASSERT_TRUE(MakeFolder(Path("P")));
    ASSERT_TRUE(MakeFolder(Path("P/Projekt")));
    ASSERT_TRUE(WriteFile(Path("P/Projekt/Projekt"), "inner"));
    ASSERT_TRUE(WriteFile(Path("P/Projekt/other"), "other"));
    ASSERT_EQ(::symlink("Projekt", Path("P/aktuell").c_str()), 0);

    for (const TFileOperationKind kind : kTransfers) {
        TScriptedAnswers answers;
        answers.Answer(0);  // "Ersetzen"
        const TFileOperationResult result = Run(kind, {Path("P/aktuell/Projekt")}, Path("P"));

        SCOPED_TRACE(KindName(kind));
        EXPECT_FALSE(result.Completed);
        EXPECT_EQ(ReadAll(Path("P/Projekt/Projekt")), "inner");
        EXPECT_EQ(Names(Path("P/Projekt")), (std::vector<std::string>{"Projekt", "other"}));
        EXPECT_EQ(Names(Path("P")), (std::vector<std::string>{"Projekt", "aktuell"}));
    }

    // The rename rule itself never gives up the holding folder, either way round.
    EXPECT_NE(RenameReplacing(Path("P/aktuell/Projekt"), Path("P/Projekt")), 0);
    ASSERT_TRUE(MakeFolder(Path("P/Projekt/sub")));
    EXPECT_NE(RenameReplacing(Path("P/Projekt"), Path("P/aktuell/sub")), 0);
    EXPECT_EQ(ReadAll(Path("P/Projekt/Projekt")), "inner");
    EXPECT_EQ(Names(Path("P/Projekt")), (std::vector<std::string>{"Projekt", "other", "sub"}));

    // A folder into its own child, reached through the link.
    EXPECT_EQ(Run(TFileOperationKind::Move, {Path("P/Projekt")}, Path("P/aktuell/sub")).Error, EINVAL);
    EXPECT_EQ(ReadAll(Path("P/Projekt/Projekt")), "inner");
}

}  // namespace
