#include "NamespaceFixture.h"

#include "platform/core/ids/ShellItems.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"
#include "platform/core/system/TMountTable.h"

#include <fstream>

namespace {

constexpr std::uint32_t kEverything = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;
using TNames = std::vector<std::string>;

// Spaces in mountinfo fields are written as \040.
std::string Escaped(const std::string& path)
{
    std::string out;
    for (char c : path)
        out += c == ' ' ? std::string("\\040") : std::string(1, c);
    return out;
}

// Under a sample mount table with volumes in the temporary home: a labelled
// stick with a volume mounted inside it, a share, a named mount, and mounts a
// user does not see (tmpfs, a bind mount).
class NamespaceVolumes : public NamespaceFixture
{
protected:
    void SetUp() override
    {
        NamespaceFixture::SetUp();
        for (const char* directory : {"/usb stick", "/usb stick/inner", "/share", "/named", "/ram", "/bound"})
            MakeDirectory(Home() + directory);
        const std::string base = Home().substr(0, Home().rfind('/'));
        nas_ = base + "/nas";
        MakeDirectory(nas_);
        const std::string device = base + "/dev-sdz1";
        WriteFile(device);
        MakeDirectory(base + "/by-label");
        MakeSymlink(device, base + "/by-label/Mein\\x20Stick");
        TMountTable::SetLabelDirectory(base + "/by-label");

        const std::string table = "1 0 254:0 / / rw,relatime - ext4 /dev/vda1 rw\n"
                                  "25 1 0:23 / " +
                                  Escaped(Home() + "/ram") +
                                  " rw - tmpfs tmpfs rw\n"
                                  "26 1 8:17 / " +
                                  Escaped(Home() + "/usb stick") + " rw,nosuid - vfat " + device +
                                  " rw\n"
                                  "27 26 8:18 / " +
                                  Escaped(Home() + "/usb stick/inner") +
                                  " rw - ext4 /dev/sdz2 rw\n"
                                  "28 1 0:40 / " +
                                  Escaped(Home() + "/share") +
                                  " rw - cifs //server/share rw\n"
                                  "29 1 8:19 /sub " +
                                  Escaped(Home() + "/bound") +
                                  " rw - ext4 /dev/sdz3 rw\n"
                                  "30 1 8:20 / " +
                                  Escaped(Home() + "/named") +
                                  " rw,x-gvfs-name=Sicherung - ext4 /dev/sdz4 rw\n"
                                  "31 1 0:42 / " +
                                  Escaped(nas_) + " rw - nfs4 nas:/export rw\n";
        std::ofstream(base + "/mountinfo") << table;
        TMountTable::SetMountInfoPath(base + "/mountinfo");
    }

    void TearDown() override
    {
        TMountTable::SetMountInfoPath("");
        TMountTable::SetLabelDirectory("");
        NamespaceFixture::TearDown();
    }

    IShellFolderPtr Special(int specialFolder)
    {
        IShellFolderPtr folder = SHBindToFolder(SHGetSpecialFolderLocation(specialFolder).get());
        EXPECT_TRUE(folder);
        return folder;
    }

    // Item count of a parsed list and the path of its first two levels.
    std::string VolumeOf(const std::string& path)
    {
        TItemIdListPtr list = Parse(path);
        return list ? SHGetPathFromIDList(TruncateIDList(list.get(), 2).get()) : std::string("?");
    }

    // A network mount outside the places whose mounts the computer shows.
    std::string nas_;
};

}  // namespace

TEST_F(NamespaceVolumes, ComputerListsTheVolumesAUserSees)
{
    IShellFolderPtr computer = Special(SF_DRIVES);
    ASSERT_TRUE(computer);
    EXPECT_EQ(SortedNames(*computer, kEverything),
              (TNames{"Dateisystem", "Sicherung", "share", "Mein Stick", "inner"}));
    EXPECT_TRUE(SortedNames(*computer, SHCONTF_NONFOLDERS).empty());

    IShellFolderPtr network = Special(SF_NETWORK);
    ASSERT_TRUE(network);
    EXPECT_EQ(SortedNames(*network, kEverything), (TNames{"share", "nas"}));
}

TEST_F(NamespaceVolumes, PathsParseFromTheirLongestVolume)
{
    WriteFile(Home() + "/usb stick/inner/f.txt");
    WriteFile(Home() + "/usb stick/g.txt");
    WriteFile(Home() + "/ram/r.txt");
    WriteFile(Home() + "/share/doc.txt");
    EXPECT_EQ(VolumeOf(Home() + "/usb stick/inner/f.txt"), Home() + "/usb stick/inner/");
    EXPECT_EQ(IDListCount(Parse(Home() + "/usb stick/inner/f.txt").get()), 3u);
    EXPECT_EQ(VolumeOf(Home() + "/usb stick/g.txt"), Home() + "/usb stick/");
    EXPECT_EQ(VolumeOf(Home() + "/usb stick"), Home() + "/usb stick/");
    // Mounts no one sees are plain folders of the volume above them.
    EXPECT_EQ(VolumeOf(Home() + "/ram/r.txt"), "/");
    EXPECT_EQ(SHGetPathFromIDList(Parse(Home() + "/ram/r.txt").get()), Home() + "/ram/r.txt");

    // A share path goes through the mount of that share.
    TItemIdListPtr share = SHParseDisplayName("//server/share/doc.txt");
    ASSERT_TRUE(share);
    EXPECT_EQ(SHGetPathFromIDList(share.get()), Home() + "/share/doc.txt");
    EXPECT_EQ(SHParseDisplayName("//server/other/doc.txt"), nullptr);
    EXPECT_EQ(SHParseDisplayName("//server"), nullptr);
}

TEST_F(NamespaceVolumes, VolumesParseAndBindInsideComputerAndNetwork)
{
    WriteFile(Home() + "/share/doc.txt");
    IShellFolderPtr computer = Special(SF_DRIVES);
    IShellFolderPtr network = Special(SF_NETWORK);
    ASSERT_TRUE(computer && network);

    TItemIdListPtr inComputer;
    ASSERT_TRUE(computer->ParseDisplayName(Home() + "/usb stick", inComputer).Succeeded());
    EXPECT_EQ(IDListCount(inComputer.get()), 1u);
    EXPECT_EQ(DisplayName(*computer, inComputer.get()), "Mein Stick");
    EXPECT_EQ(DisplayName(*computer, inComputer.get(), SHGDN_FORPARSING), Home() + "/usb stick/");

    TItemIdListPtr inNetwork;
    ASSERT_TRUE(network->ParseDisplayName(Home() + "/share/doc.txt", inNetwork).Succeeded());
    EXPECT_EQ(IDListCount(inNetwork.get()), 2u);
    EXPECT_TRUE(network->ParseDisplayName(Home() + "/usb stick", inNetwork).Failed());

    // A network mount the computer does not show parses below the network.
    WriteFile(nas_ + "/data.bin");
    TItemIdListPtr nas = Parse(nas_ + "/data.bin");
    ASSERT_TRUE(nas);
    EXPECT_TRUE(IDListsEqual(TruncateIDList(nas.get(), 1).get(), SHGetSpecialFolderLocation(SF_NETWORK).get()));
    EXPECT_EQ(SHGetPathFromIDList(nas.get()), nas_ + "/data.bin");
    EXPECT_TRUE(network->ParseDisplayName(nas_ + "/data.bin", inNetwork).Succeeded());
    EXPECT_TRUE(computer->ParseDisplayName(nas_ + "/data.bin", inComputer).Failed());

    IShellFolderPtr share;
    ASSERT_TRUE(network->BindToObject(FindItem(*network, "share").get(), share).Succeeded());
    EXPECT_EQ(share->GetPath(), Home() + "/share");
    EXPECT_EQ(SortedNames(*share, kEverything), (TNames{"doc.txt"}));
}

TEST_F(NamespaceVolumes, ComputerDetailsDescribeEachVolume)
{
    IShellFolderPtr computer = Special(SF_DRIVES);
    ASSERT_TRUE(computer);
    TShellDetails details;
    TNames titles;
    for (int column = 0; computer->GetDetailsOf(nullptr, column, details).Succeeded(); ++column)
        titles.push_back(details.text);
    EXPECT_EQ(titles, (TNames{"Name", "Typ", "Gesamtgröße", "Freier Speicher", "Dateisystem"}));

    const auto row = [&](const std::string& name) {
        TItemIdListPtr item = FindItem(*computer, name);
        TNames texts;
        for (int column : {0, 1, 4}) {
            EXPECT_TRUE(computer->GetDetailsOf(item.get(), column, details).Succeeded());
            texts.push_back(details.text);
        }
        EXPECT_TRUE(computer->GetDetailsOf(item.get(), 2, details).Succeeded());
        EXPECT_FALSE(details.text.empty());
        EXPECT_EQ(details.format, LVCFMT_RIGHT);
        return texts;
    };
    EXPECT_EQ(row("Mein Stick"), (TNames{"Mein Stick", "Lokaler Datenträger", "vfat"}));
    EXPECT_EQ(row("share"), (TNames{"share", "Netzlaufwerk", "cifs"}));

    // Volumes are folders with paths that cannot be renamed from here.
    const std::uint32_t bits = Attributes(*computer, FindItem(*computer, "inner").get(), 0xFFFFFFFFu);
    EXPECT_EQ(bits & (SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_CANRENAME),
              SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR);
    // The stick holds a folder (the inner mount point).
    EXPECT_EQ(Attributes(*computer, FindItem(*computer, "Mein Stick").get(), SFGAO_HASSUBFOLDER), SFGAO_HASSUBFOLDER);
}
