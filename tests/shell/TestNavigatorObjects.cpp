#include "tests/shell/NavigatorFixture.h"

#include "platform/core/ids/ShellConstants.h"
#include "platform/icons/TSystemImageList.h"
#include "shell/navigator/EShellNavigatorError.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/functions/StandardFolderLists.h"

#include <QFile>
#include <QWidget>

#include <algorithm>
#include <sys/stat.h>
#include <utime.h>

namespace {

bool Contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

using NavigatorObjects = NavigatorFixture;

TEST_F(NavigatorObjects, ObjectNameSelectsByNameAndPath)
{
    WriteFile(Work() + "/a b.txt");
    MakeDirectory(Work() + "/sub");
    Navigator().SetObjectNameBytes(Work() + "/a b.txt");
    EXPECT_EQ(Navigator().FolderPath(), Work() + "/");
    EXPECT_EQ(Navigator().ObjectNameBytes(), "a b.txt");
    EXPECT_EQ(Navigator().GetDisplayName(), "a b.txt");
    EXPECT_FALSE(Navigator().IsFolder());

    Navigator().SetObjectNameBytes(Work() + "/sub/");
    EXPECT_EQ(Navigator().ObjectNameBytes(), "sub");
    EXPECT_TRUE(Navigator().IsFolder());

    Navigator().SetObjectName("");
    EXPECT_EQ(Navigator().ObjectIDList(), nullptr);
    EXPECT_EQ(Navigator().ObjectName(), "");
    EXPECT_TRUE(Navigator().HasSubFolders());
    EXPECT_EQ(Navigator().GetAttributes(SFGAO_FOLDER), 0u);
}

TEST_F(NavigatorObjects, VirtualFoldersAreFoundByDisplayName)
{
    Navigator().SetSpecialFolder(SF_DESKTOP);
    Navigator().SetObjectName(QStringLiteral("Papierkorb"));
    EXPECT_EQ(Navigator().GetObjectSpecialFolder(), SF_BITBUCKET);
    EXPECT_THROW(Navigator().SetObjectName(QStringLiteral("papierkorb")), EShellNavigatorError);
}

TEST_F(NavigatorObjects, UnknownNameRaisesAndKeepsTheObject)
{
    WriteFile(Work() + "/da.txt");
    Navigator().SetFolderPath(Work());
    Navigator().SetObjectNameBytes("da.txt");
    for (const char* name : {"weg.txt", "..", "."}) {
        try {
            Navigator().SetObjectNameBytes(name);
            FAIL() << "no error for " << name;
        } catch (const EShellNavigatorError& error) {
            EXPECT_EQ(error.Message(), QString("Error! Cannot find Object \"%1\" in Folder \"%2\"")
                                           .arg(QString::fromStdString(name), Navigator().Folder()));
        }
        EXPECT_EQ(Navigator().ObjectNameBytes(), "da.txt");
    }
}

TEST_F(NavigatorObjects, VolumeRootsBecomeObjectsOfTheComputer)
{
    Navigator().SetObjectNameBytes("/");
    EXPECT_EQ(Navigator().SpecialFolder(), SF_DRIVES);
    EXPECT_EQ(Navigator().ObjectNameBytes(), "/");
    EXPECT_TRUE(Navigator().IsFolder());

    Navigator().SetFolderPath(Work());
    Navigator().SetObjectNameBytes(Stick() + "/");
    EXPECT_EQ(Navigator().SpecialFolder(), SF_DRIVES);
    EXPECT_EQ(Navigator().ObjectNameBytes(), Stick() + "/");
    EXPECT_TRUE(Navigator().OpenObjectAsFolder());
    EXPECT_EQ(Navigator().FolderPath(), Stick() + "/");
}

TEST_F(NavigatorObjects, EnumerationListsAwkwardNamesOnce)
{
    const std::vector<std::string> names = {"mit leer", "zeilen\numbruch", "roh\xff\xfe", "kaputt", "rohr", "leer"};
    WriteFile(Work() + "/" + names[0]);
    WriteFile(Work() + "/" + names[1]);
    WriteFile(Work() + "/" + names[2]);
    MakeSymlink(Work() + "/nirgends", Work() + "/" + names[3]);
    MakeFifo(Work() + "/" + names[4]);
    MakeDirectory(Work() + "/" + names[5]);
    WriteFile(Work() + "/.versteckt");
    Navigator().SetFolderPath(Work());
    std::vector<std::string> seen = EnumeratedNames();
    std::sort(seen.begin(), seen.end());
    std::vector<std::string> expected = names;
    expected.push_back(".versteckt");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(seen, expected);
    // A second pass starts over.
    EXPECT_EQ(EnumeratedNames().size(), expected.size());

    Navigator().SetObjectNameBytes(names[2]);
    EXPECT_EQ(Navigator().ObjectNameBytes(), names[2]);
    EXPECT_TRUE(Navigator().IsHidden() == false);
    Navigator().SetObjectNameBytes(".versteckt");
    EXPECT_TRUE(Navigator().IsHidden());
}

TEST_F(NavigatorObjects, Filters)
{
    WriteFile(Work() + "/README");
    WriteFile(Work() + "/film.avi");
    WriteFile(Work() + "/Notiz.TXT");
    MakeDirectory(Work() + "/ordner");
    Navigator().SetFolderPath(Work());

    for (const QString& filter : {QString("*"), QString()}) {
        Navigator().SetFilter(filter);
        EXPECT_EQ(Navigator().Filter(), "*");
        EXPECT_EQ(EnumeratedNames().size(), 4u);
    }

    Navigator().SetFilter("*.*");
    std::vector<std::string> names = EnumeratedNames();
    EXPECT_FALSE(Contains(names, "README"));
    EXPECT_TRUE(Contains(names, "ordner"));
    EXPECT_EQ(names.size(), 3u);

    Navigator().SetFilter("*.avi;*.txt");
    EXPECT_EQ(Navigator().Filter(), "*.avi;*.txt");
    names = EnumeratedNames();
    EXPECT_TRUE(Contains(names, "film.avi"));
    EXPECT_TRUE(Contains(names, "Notiz.TXT"));
    EXPECT_TRUE(Contains(names, "ordner"));
    EXPECT_FALSE(Contains(names, "README"));

    Navigator().SetFilter("readme");
    names = EnumeratedNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, std::vector<std::string>({"README", "ordner"}));
}

TEST_F(NavigatorObjects, FileSystemOnlyKeepsTheVirtualPlaces)
{
    Navigator().SetSpecialFolder(SF_DESKTOP);
    const std::vector<std::string> all = EnumeratedNames();
    Navigator().SetFileSystemOnly(true);
    const std::vector<std::string> fileSystem = EnumeratedNames();
    EXPECT_EQ(fileSystem, all);
    for (const char* name : {"Computer", "Netzwerk", "Papierkorb", "Persönlicher Ordner"})
        EXPECT_TRUE(Contains(fileSystem, name)) << name;
}

TEST_F(NavigatorObjects, SubfoldersAreFoldersWhateverTheirNames)
{
    WriteFile(Work() + "/paket.Zip");
    MakeDirectory(Work() + "/mit.zip");
    MakeDirectory(Work() + "/mit.zip/drin");
    MakeDirectory(Work() + "/ohne");
    Navigator().SetFolderPath(Work());
    for (const bool fileSystemOnly : {false, true}) {
        Navigator().SetFileSystemOnly(fileSystemOnly);
        Navigator().SetObjectNameBytes("paket.Zip");
        EXPECT_FALSE(Navigator().HasSubFolders()) << fileSystemOnly;
        Navigator().SetObjectNameBytes("mit.zip");
        EXPECT_TRUE(Navigator().HasSubFolders()) << fileSystemOnly;
        Navigator().SetObjectNameBytes("ohne");
        EXPECT_FALSE(Navigator().HasSubFolders()) << fileSystemOnly;
    }
}

TEST_F(NavigatorObjects, LinksAndTheirTargets)
{
    MakeDirectory(Work() + "/ziel");
    WriteFile(Work() + "/datei");
    MakeSymlink("ziel", Work() + "/zum ordner");
    MakeSymlink(Work() + "/datei", Work() + "/zur datei");
    Navigator().SetFolderPath(Work());

    Navigator().SetObjectNameBytes("zum ordner");
    EXPECT_TRUE(Navigator().IsLink());
    EXPECT_EQ(Navigator().GetLinkTarget(), Work() + "/ziel");
    EXPECT_EQ(Navigator().GetOverlayIndex(), kLinkOverlayIndex);
    Navigator().SetObjectNameBytes("zur datei");
    EXPECT_EQ(Navigator().GetLinkTarget(), "");
    Navigator().SetObjectNameBytes("datei");
    EXPECT_FALSE(Navigator().IsLink());
    EXPECT_EQ(Navigator().GetLinkTarget(), "");
    EXPECT_EQ(Navigator().GetOverlayIndex(), -1);
}

TEST_F(NavigatorObjects, DatesAndIcons)
{
    WriteFile(Work() + "/alt.txt");
    const utimbuf times{1000000000, 1000000000};
    ASSERT_EQ(::utime((Work() + "/alt.txt").c_str(), &times), 0);
    Navigator().SetObjectNameBytes(Work() + "/alt.txt");
    EXPECT_EQ(Navigator().GetModificationDate(), QDateTime::fromSecsSinceEpoch(1000000000, Qt::UTC));
    EXPECT_GE(Navigator().GetIconIndex(), 0);
    EXPECT_GE(Navigator().GetOpenIconIndex(), 0);
    EXPECT_GE(Navigator().GetDesktopIconIndex(), 0);
    EXPECT_EQ(Navigator().GetDesktopDisplayName(), "Desktop");
    Navigator().SetObjectIDList(nullptr);
    EXPECT_FALSE(Navigator().GetModificationDate().isValid());
    EXPECT_EQ(Navigator().GetOverlayIndex(), -1);
}

TEST_F(NavigatorObjects, OwnerWindow)
{
    QWidget owner;
    TShellNavigator navigator(&owner);
    EXPECT_NE(navigator.GetOwnerWindow(), &owner);
    navigator.Loaded();
    EXPECT_EQ(navigator.GetOwnerWindow(), &owner);
    navigator.SetShowErrorMessages(false);
    EXPECT_EQ(navigator.GetOwnerWindow(), nullptr);
}
