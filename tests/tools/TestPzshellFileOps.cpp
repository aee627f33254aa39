#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/support/ChildProcess.h"
#include "bench/support/TScratchFolder.h"

namespace {

class PzshellFileOpsTest : public testing::Test
{
protected:
    // Runs pzshell through the shell with `input` on its standard input;
    // its standard output lands in Output().
    int Run(const std::string& arguments, const std::string& input = {})
    {
        const std::string command = "printf '" + input + "' | " + PZSHELL_PATH + " " + arguments;
        return RunProgram({"sh", "-c", command}, outputPath_);
    }
    std::string Output() const { return Read(outputPath_); }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
    std::string Path(const std::string& name) const { return scratch_.Path() + "/" + name; }

    TScratchFolder scratch_{"/tmp"};
    std::string outputPath_ = scratch_.Path() + "/.output";
};

TEST_F(PzshellFileOpsTest, CopyMoveAndLinkPrintTheNewPaths)
{
    ASSERT_EQ(::mkdir(Path("dst").c_str(), 0755), 0);
    Write(Path("a"), "A");
    Write(Path("b"), "B");

    ASSERT_EQ(Run("copy " + Path("a") + " " + Path("b") + " " + Path("dst")), 0);
    EXPECT_EQ(Output(), Path("dst/a") + "\n" + Path("dst/b") + "\n");
    ASSERT_EQ(Run("move " + Path("a") + " " + Path("dst/a")), 1);  // not a folder
    ASSERT_EQ(Run("link " + Path("b") + " " + scratch_.Path()), 0);
    EXPECT_EQ(Output(), Path("Verknüpfung mit b") + "\n");
    EXPECT_EQ(Read(Path("Verknüpfung mit b")), "B");
}

TEST_F(PzshellFileOpsTest, ConflictsAreAnsweredOnTheTerminal)
{
    ASSERT_EQ(::mkdir(Path("dst").c_str(), 0755), 0);
    Write(Path("a"), "new");
    Write(Path("b"), "new");
    Write(Path("dst/a"), "old");
    Write(Path("dst/b"), "old");

    // Skip the first conflict, replace the second.
    ASSERT_EQ(Run("move " + Path("a") + " " + Path("b") + " " + Path("dst"), "2\\n1\\n"), 0);
    EXPECT_EQ(Output(), Path("dst/b") + "\n");
    EXPECT_EQ(Read(Path("dst/a")), "old");
    EXPECT_EQ(Read(Path("dst/b")), "new");
    EXPECT_EQ(Read(Path("a")), "new");

    // The end of the input cancels.
    EXPECT_EQ(Run("copy " + Path("a") + " " + Path("dst")), 1);
    EXPECT_EQ(Read(Path("dst/a")), "old");
}

TEST_F(PzshellFileOpsTest, ALinkMovedOntoItsOwnFileIsRefusedByName)
{
    ASSERT_EQ(::mkdir(Path("x").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(Path("y").c_str(), 0755), 0);
    Write(Path("y/f"), "data");
    ASSERT_EQ(::symlink("../y/f", Path("x/f").c_str()), 0);

    // "1" would be "Ersetzen", were anything asked.
    for (const char* command : {"move ", "copy "}) {
        EXPECT_EQ(Run(command + Path("x/f") + " " + Path("y") + " 2>&1", "1\\n"), 1);
        EXPECT_NE(Output().find("„" + Path("x/f") + "“ und „" + Path("y/f") + "“ sind dieselbe Datei."),
                  std::string::npos)
            << Output();
        EXPECT_EQ(Read(Path("y/f")), "data");
    }
}

TEST_F(PzshellFileOpsTest, TrashingWithoutRenameFlagsNeverReplaces)
{
    if (RunProgram({"sh", "-c", "command -v strace"}, outputPath_) != 0)
        GTEST_SKIP() << "strace is missing (package strace)";
    const std::string trash = Path("home/.local/share/Trash");
    ASSERT_EQ(RunProgram({"mkdir", "-p", "-m", "700", trash, trash + "/files", trash + "/info"}, outputPath_), 0);
    Write(trash + "/files/a", "old");  // an entry that lost its info file
    Write(Path("a"), "new");

    // Every renameat2 fails as on a file system that knows no rename flags.
    const std::string command =
        "HOME=" + Path("home") + " XDG_DATA_HOME=" + Path("home/.local/share") +
        " ASAN_OPTIONS=detect_leaks=0 strace -f -o /dev/null -e inject=renameat2:error=EINVAL " + PZSHELL_PATH +
        " invoke -y delete " + Path("a");
    ASSERT_EQ(RunProgram({"sh", "-c", command}, outputPath_), 0) << Output();
    EXPECT_EQ(Read(trash + "/files/a"), "old");
    EXPECT_EQ(Read(trash + "/files/a.2"), "new");
    EXPECT_NE(Read(trash + "/info/a.2.trashinfo").find("Path=" + Path("a")), std::string::npos);
    EXPECT_FALSE(::access(Path("a").c_str(), F_OK) == 0);
}

}  // namespace
