#include "tests/shell/NavigatorFixture.h"

#include "platform/core/system/LastError.h"
#include "shell/navigator/EShellNavigatorError.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/functions/StandardFolderLists.h"

#include <QFile>

#include <cerrno>

using NavigatorFolders = NavigatorFixture;

TEST_F(NavigatorFolders, StartsAtTheComputerFolder)
{
    EXPECT_EQ(Navigator().SpecialFolder(), SF_DRIVES);
    EXPECT_EQ(Navigator().FolderPath(), "");
    EXPECT_EQ(Navigator().ObjectIDList(), nullptr);
    EXPECT_EQ(Navigator().Version(), "TShellNavigator V5.4");
}

TEST_F(NavigatorFolders, FolderWritesNavigate)
{
    Navigator().SetFolderPath(Work());
    EXPECT_EQ(Navigator().FolderPath(), Work() + "/");
    EXPECT_EQ(Navigator().Folder(), QFile::decodeName(QByteArray::fromStdString(Work() + "/")));
    EXPECT_EQ(Navigator().SpecialFolder(), SF_FILESYSTEMFOLDER);

    Navigator().SetFolderPath("");
    EXPECT_EQ(Navigator().SpecialFolder(), SF_DRIVES);
    EXPECT_EQ(Navigator().Folder(), "");

    Navigator().SetFolder(QFile::decodeName(QByteArray::fromStdString(Home())));
    EXPECT_EQ(Navigator().FolderPath(), Home() + "/");
}

TEST_F(NavigatorFolders, WritingTheSameFolderAgainDoesNothing)
{
    WriteFile(Work() + "/a.txt");
    Navigator().SetFolderPath(Work());
    Navigator().SetObjectNameBytes("a.txt");
    Navigator().SetFolderPath(Work() + "/");
    Navigator().SetFolderPath(Work());
    EXPECT_EQ(Navigator().ObjectNameBytes(), "a.txt");
}

TEST_F(NavigatorFolders, UnparsablePathRaisesAndKeepsTheFolder)
{
    Navigator().SetFolderPath(Work());
    const TItemIdListPtr before = Navigator().GetFolderIDList();
    const std::string missing = Work() + "/fehlt/nicht da";
    try {
        Navigator().SetFolderPath(missing);
        FAIL() << "no error";
    } catch (const EShellNavigatorError& error) {
        EXPECT_EQ(error.Message(), QString::fromLocal8Bit(GetSystemErrorText(ENOENT)) + "\n" +
                                       QFile::decodeName(QByteArray::fromStdString(missing)));
    }
    EXPECT_EQ(Navigator().FolderPath(), Work() + "/");
    EXPECT_TRUE(IDListsEqual(Navigator().GetFolderIDList().get(), before.get()));
}

TEST_F(NavigatorFolders, FileAsFolderRaisesAndKeepsTheFolder)
{
    WriteFile(Work() + "/film.avi");
    Navigator().SetFolderPath(Work());
    try {
        Navigator().SetFolderPath(Work() + "/film.avi");
        FAIL() << "no error";
    } catch (const EShellNavigatorError& error) {
        EXPECT_TRUE(error.Message().startsWith(
            "ShellNavigator.SetFolderIDList: Desktop.BindToObject: Could not get IShellFolder interface. ("));
    }
    EXPECT_EQ(Navigator().FolderPath(), Work() + "/");
    EXPECT_TRUE(Navigator().FolderInterface());
}

TEST_F(NavigatorFolders, ListsNavigateAndComeBackAsCopies)
{
    WriteFile(Work() + "/a b.txt");
    const TItemIdListPtr file = Parse(Work() + "/a b.txt");
    Navigator().SetAbsoluteIDList(file.get());
    EXPECT_EQ(Navigator().FolderPath(), Work() + "/");
    EXPECT_EQ(Navigator().ObjectNameBytes(), "a b.txt");
    EXPECT_TRUE(IDListsEqual(Navigator().GetAbsoluteIDList(), file.get()));
    EXPECT_NE(Navigator().GetObjectIDList().get(), Navigator().ObjectIDList());

    // Handing back our own cached list must not use it after it is dropped.
    Navigator().SetAbsoluteIDList(Navigator().GetAbsoluteIDList());
    EXPECT_EQ(Navigator().ObjectNameBytes(), "a b.txt");

    EXPECT_TRUE(Navigator().GoToParent());
    EXPECT_EQ(Navigator().FolderPath(), Home() + "/");
    EXPECT_EQ(Navigator().ObjectNameBytes(), "work");
    EXPECT_TRUE(Navigator().OpenObjectAsFolder());
    EXPECT_EQ(Navigator().FolderPath(), Work() + "/");

    const TItemIdListPtr work = Parse(Work());
    Navigator().SetFolderIDList(work.get());
    EXPECT_TRUE(IDListsEqual(Navigator().GetFolderIDList().get(), work.get()));
    EXPECT_EQ(Navigator().ObjectIDList(), nullptr);
}

TEST_F(NavigatorFolders, DesktopListSelectsTheDesktopWithoutObject)
{
    MakeDesktopDirectory();
    Navigator().SetFolderPath(Work());
    Navigator().SetAbsoluteIDList(DesktopIDList());
    EXPECT_EQ(Navigator().SpecialFolder(), SF_DESKTOP);
    EXPECT_EQ(Navigator().ObjectIDList(), nullptr);
    EXPECT_TRUE(IDListsEqual(Navigator().GetAbsoluteIDList(), DesktopIDList()));
    EXPECT_FALSE(Navigator().IsPlainFileSystemFolder());
}

TEST_F(NavigatorFolders, SpecialFolderWrites)
{
    Navigator().SetSpecialFolder(SF_PERSONAL);
    EXPECT_EQ(Navigator().FolderPath(), Home() + "/");
    Navigator().SetSpecialFolder(SF_DESKTOP);
    EXPECT_EQ(Navigator().SpecialFolder(), SF_DESKTOP);
    Navigator().SetSpecialFolder(SF_BITBUCKET);
    EXPECT_EQ(Navigator().SpecialFolder(), SF_BITBUCKET);
    // A folder without a location here leaves the folder as it was.
    Navigator().SetSpecialFolder(SF_PRINTERS);
    EXPECT_EQ(Navigator().SpecialFolder(), SF_BITBUCKET);
    // The file-system value stands for the computer folder, except while loading.
    Navigator().SetSpecialFolder(SF_FILESYSTEMFOLDER);
    EXPECT_EQ(Navigator().SpecialFolder(), SF_BITBUCKET);
    Navigator().Loaded();
    Navigator().SetSpecialFolder(SF_FILESYSTEMFOLDER);
    EXPECT_EQ(Navigator().SpecialFolder(), SF_DRIVES);
}

TEST_F(NavigatorFolders, SpecialFolderFunctions)
{
    const std::string desktop = MakeDesktopDirectory();
    EXPECT_EQ(GetSpecialFolderPath(SF_DRIVES), "");
    EXPECT_EQ(GetSpecialFolderPath(SF_DESKTOPDIRECTORY), desktop);
    EXPECT_EQ(GetSpecialFolderPath(SF_PERSONAL), Home());
    EXPECT_EQ(GetSpecialFolderIDList(SF_PRINTERS), nullptr);
    EXPECT_TRUE(IsDesktopIDList(GetSpecialFolderIDList(SF_DESKTOP).get()));

    EXPECT_EQ(FindSpecialFolder(Parse(Work()).get()), SF_FILESYSTEMFOLDER);
    EXPECT_EQ(FindSpecialFolder(GetSpecialFolderIDList(SF_DRIVES).get()), SF_DRIVES);
    EXPECT_EQ(FindSpecialFolder(DesktopIDList()), SF_DESKTOP);
    EXPECT_EQ(FindSpecialFolder(Parse(desktop).get()), SF_DESKTOPDIRECTORY);
    EXPECT_EQ(FindSpecialFolder(nullptr), SF_FILESYSTEMFOLDER);
}

TEST_F(NavigatorFolders, PathToIDListParsesRelativeToAFolder)
{
    MakeDirectory(Work() + "/sub");
    EXPECT_TRUE(IDListsEqual(PathToIDList(nullptr, "").get(), GetSpecialFolderIDList(SF_DRIVES).get()));
    const IShellFolderPtr work = Bind(Work());
    const TItemIdListPtr relative = PathToIDList(work.get(), "sub");
    ASSERT_TRUE(relative);
    EXPECT_EQ(IDListCount(relative.get()), 1u);
    SetLastError(0);
    EXPECT_EQ(PathToIDList(work.get(), "nichts"), nullptr);
    EXPECT_EQ(GetLastError(), ENOENT);
}

TEST_F(NavigatorFolders, PlainFileSystemFolder)
{
    MakeDirectory(Work() + "/archiv.ZIP");
    Navigator().SetFolderPath(Work());
    EXPECT_TRUE(Navigator().IsPlainFileSystemFolder());
    Navigator().SetFolderPath(Work() + "/archiv.ZIP");
    EXPECT_TRUE(Navigator().IsPlainFileSystemFolder()) << "a directory, whatever its name";
    Navigator().SetFolderPath("");
    EXPECT_FALSE(Navigator().IsPlainFileSystemFolder());
}

TEST_F(NavigatorFolders, FolderReachedThroughALinkInHomeReadsAsItsTarget)
{
    MakeSymlink(Work(), Home() + "/Arbeit");
    Navigator().SetSpecialFolder(SF_PERSONAL);
    Navigator().SetObjectNameBytes("Arbeit");
    ASSERT_TRUE(Navigator().OpenObjectAsFolder());
    ASSERT_EQ(IDListCount(Navigator().GetFolderIDList().get()), 2u);
    EXPECT_EQ(Navigator().FolderPath(), Work() + "/");
}
