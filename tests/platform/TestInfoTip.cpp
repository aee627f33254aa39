#include "NamespaceFixture.h"

#include "platform/namespace/items/DetailTexts.h"
#include "platform/commands/IQueryInfo.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"

#include <QDateTime>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

class InfoTipTest : public NamespaceFixture
{
protected:
    // Gives `path` the local time 05.03.2024 14:07.
    static void SetKnownTime(const std::string& path)
    {
        const qint64 seconds = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 30)).toSecsSinceEpoch();
        const timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    }

    // The tip the folder holding `path` gives for it; "<none>" when it gives none.
    static QString Tip(const std::string& path)
    {
        const TItemIdListPtr absolute = Parse(path);
        const IShellFolderPtr parent =
            SHBindToFolder(TruncateIDList(absolute.get(), IDListCount(absolute.get()) - 1).get());
        const TItemIdList* item = LastIDListItem(absolute.get());
        std::shared_ptr<IUIObject> object;
        if (!parent || parent->GetUIObjectOf(nullptr, std::span(&item, 1), TUIObjectKind::QueryInfo, object).Failed())
            return QStringLiteral("<none>");
        const auto info = std::dynamic_pointer_cast<IQueryInfo>(object);
        QString tip;
        if (!info || info->GetInfoTip(QITIPF_DEFAULT, tip).Failed())
            return QStringLiteral("<none>");
        return tip;
    }
};

TEST_F(InfoTipTest, FilesShowTypeSizeAndDate)
{
    const std::string known = Work() + "/brief.txt";
    WriteFile(known, 1500);
    SetKnownTime(known);
    EXPECT_EQ(Tip(known), "Typ: " + FileTypeText("brief.txt", false) + "\nGröße: 2 KB\nGeändert am: 05.03.2024 14:07");

    const std::string unknown = Work() + "/daten mit\nzeile.xyz123";
    WriteFile(unknown, 0);
    SetKnownTime(unknown);
    EXPECT_EQ(Tip(unknown), "Typ: XYZ123-Datei\nGröße: 0 KB\nGeändert am: 05.03.2024 14:07");

    const std::string piece = Work() + "/film.avi.0001";
    WriteFile(piece, 1457664);
    SetKnownTime(piece);
    EXPECT_EQ(Tip(piece), "Typ: 0001-Datei\nGröße: 1.424 KB\nGeändert am: 05.03.2024 14:07");
}

TEST_F(InfoTipTest, FoldersHaveNoSize)
{
    const std::string folder = Work() + "/Ordner.txt";
    MakeDirectory(folder);
    SetKnownTime(folder);
    EXPECT_EQ(Tip(folder), "Typ: Dateiordner\nGeändert am: 05.03.2024 14:07");
}

TEST_F(InfoTipTest, LinksShowTheirTargetOrThemselvesWhenBroken)
{
    const std::string folder = Work() + "/ziel";
    MakeDirectory(folder);
    SetKnownTime(folder);
    MakeSymlink(folder, Work() + "/zum ordner");
    EXPECT_EQ(Tip(Work() + "/zum ordner"), "Typ: Dateiordner\nGeändert am: 05.03.2024 14:07");

    const std::string broken = Work() + "/kaputt.xyz123";
    MakeSymlink(Work() + "/fehlt", broken);
    SetKnownTime(broken);
    EXPECT_TRUE(Tip(broken).startsWith("Typ: XYZ123-Datei\nGröße: "));
}

TEST_F(InfoTipTest, TipIsTakenWhenAskedAndFailsForAGoneFile)
{
    const std::string path = Work() + "/a.xyz123";
    WriteFile(path, 10);
    const TItemIdListPtr absolute = Parse(path);
    const IShellFolderPtr parent = Bind(Work());
    const TItemIdList* item = LastIDListItem(absolute.get());
    std::shared_ptr<IUIObject> object;
    ASSERT_TRUE(parent->GetUIObjectOf(nullptr, std::span(&item, 1), TUIObjectKind::QueryInfo, object).Succeeded());
    const auto info = std::dynamic_pointer_cast<IQueryInfo>(object);
    ASSERT_TRUE(info);

    WriteFile(path, 5000);
    QString tip;
    ASSERT_TRUE(info->GetInfoTip(QITIPF_USESLOWTIP, tip).Succeeded());
    EXPECT_TRUE(tip.contains("\nGröße: 5 KB\n")) << tip.toStdString();

    ASSERT_EQ(::unlink(path.c_str()), 0);
    EXPECT_TRUE(info->GetInfoTip(QITIPF_DEFAULT, tip).Failed());
    EXPECT_TRUE(tip.isEmpty());
}

TEST_F(InfoTipTest, OnlyOneItemWithAPathGetsATip)
{
    WriteFile(Work() + "/a", 1);
    WriteFile(Work() + "/b", 1);
    const IShellFolderPtr folder = Bind(Work());
    const TItemIdListPtr a = FindItem(*folder, "a");
    const TItemIdListPtr b = FindItem(*folder, "b");
    const TItemIdList* both[] = {a.get(), b.get()};
    std::shared_ptr<IUIObject> object;
    EXPECT_TRUE(folder->GetUIObjectOf(nullptr, both, TUIObjectKind::QueryInfo, object).Failed());
    EXPECT_FALSE(object);

    const TItemIdListPtr computer = SHGetSpecialFolderLocation(SF_DRIVES);
    const TItemIdList* item = computer.get();
    EXPECT_TRUE(
        SHGetDesktopFolder()->GetUIObjectOf(nullptr, std::span(&item, 1), TUIObjectKind::QueryInfo, object).Failed());
}

}  // namespace
