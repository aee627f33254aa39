#include "NotifyTestSupport.h"

#include "platform/icons/IconChoice.h"
#include "platform/icons/IconTheme.h"
#include "platform/icons/TSystemIconTable.h"
#include "platform/icons/TSystemImageList.h"

#include <QIcon>

#include <gtest/gtest.h>

namespace {

// Restores Qt's icon theme settings that a test changes.
class TIconThemeGuard
{
public:
    TIconThemeGuard()
        : name_(QIcon::themeName())
        , fallbackName_(QIcon::fallbackThemeName())
        , searchPaths_(QIcon::themeSearchPaths())
    {
    }
    ~TIconThemeGuard()
    {
        QIcon::setThemeSearchPaths(searchPaths_);
        QIcon::setFallbackThemeName(fallbackName_);
        QIcon::setThemeName(name_);
    }

private:
    QString name_;
    QString fallbackName_;
    QStringList searchPaths_;
};

int IndexOf(TSystemIconTable& table, const TIconChoice& choice)
{
    return table.IndexOf(choice.themeNames, choice.fallbackResource);
}

TEST(IconThemeRule, SetsAdwaitaOnlyWhenNoThemeIsKnown)
{
    TIconThemeGuard guard;
    QIcon::setThemeName(QStringLiteral("SessionTheme"));
    EXPECT_FALSE(ApplyIconThemeRule());
    EXPECT_EQ(QIcon::themeName(), QStringLiteral("SessionTheme"));

    for (const QString& missing : {QString(), QStringLiteral("hicolor")}) {
        QIcon::setThemeName(missing);
        EXPECT_TRUE(ApplyIconThemeRule());
        EXPECT_EQ(QIcon::themeName(), QStringLiteral("Adwaita"));
        EXPECT_EQ(QIcon::fallbackThemeName(), QStringLiteral("hicolor"));
        EXPECT_TRUE(QIcon::themeSearchPaths().contains(QStringLiteral("/usr/share/pixmaps")));
        EXPECT_TRUE(QIcon::themeSearchPaths().contains(QDir::home().filePath(QStringLiteral(".icons"))));
    }
    // Applying it again changes nothing: Adwaita is a theme now.
    EXPECT_FALSE(ApplyIconThemeRule());
}

TEST(SystemIconTable, IndexesAreStablePerIconAndDistinctWhereIconsDiffer)
{
    TIconThemeGuard guard;
    QIcon::setThemeName(QString());
    ApplyIconThemeRule();
    TSystemIconTable table;

    const int folder = IndexOf(table, PlaceIconChoice(ipFolder, false));
    const int openFolder = IndexOf(table, PlaceIconChoice(ipFolder, true));
    const int home = IndexOf(table, PlaceIconChoice(ipHome, false));
    const int computer = IndexOf(table, PlaceIconChoice(ipComputer, false));
    const int text = IndexOf(table, FileIconChoice("notes.txt"));
    const int unknown = IndexOf(table, FileIconChoice("film.avi.0001"));
    for (const int index : {folder, openFolder, home, computer, text, unknown})
        EXPECT_GE(index, 0);

    EXPECT_EQ(IndexOf(table, PlaceIconChoice(ipFolder, false)), folder);
    EXPECT_EQ(IndexOf(table, FileIconChoice("other.txt")), text);
    EXPECT_NE(folder, openFolder);
    EXPECT_NE(folder, home);
    EXPECT_NE(folder, text);
    EXPECT_NE(home, computer);
    EXPECT_NE(text, unknown);
    EXPECT_EQ(table.IconName(folder).toStdString(), "folder");
    EXPECT_EQ(table.IconName(home).toStdString(), "user-home");

    // Two types without icons of their own share their generic icon's index.
    const int cSource = IndexOf(table, FileIconChoice("main.c"));
    EXPECT_EQ(cSource, IndexOf(table, FileIconChoice("lib.h")));
    EXPECT_EQ(table.IconName(cSource).toStdString(), "text-x-generic");

    // Asked again, the icons keep their indexes and no new ones appear.
    const int count = table.Count();
    EXPECT_EQ(IndexOf(table, PlaceIconChoice(ipHome, false)), home);
    EXPECT_EQ(table.Count(), count);
    EXPECT_TRUE(table.Icon(-1).isNull());
    EXPECT_TRUE(table.Icon(count).isNull());
}

TEST(SystemIconTable, OwnIconsStandInWhenNoThemeIsFound)
{
    TIconThemeGuard guard;
    TTempFolder emptyIcons;
    QIcon::setThemeSearchPaths({QFile::decodeName(emptyIcons.Path().c_str())});
    QIcon::setFallbackThemeName(QStringLiteral("NoSuchFallbackTheme"));
    QIcon::setThemeName(QStringLiteral("NoSuchTheme"));
    TSystemIconTable table;

    const struct
    {
        TIconPlace place;
        bool open;
        QString resource;
    } places[] = {
        {ipFolder, false, kFolderResourceIcon},     {ipFolder, true, kOpenFolderResourceIcon},
        {ipFile, false, kFileResourceIcon},         {ipVolume, false, kVolumeResourceIcon},
        {ipComputer, false, kComputerResourceIcon}, {ipHome, false, kHomeResourceIcon},
        {ipTrash, false, kTrashResourceIcon},       {ipNetwork, false, kNetworkResourceIcon},
        {ipDesktop, false, kDesktopResourceIcon},
    };
    TSystemImageList small(table, ilsSmall);
    TSystemImageList large(table, ilsLarge);
    for (const auto& place : places) {
        const int index = IndexOf(table, PlaceIconChoice(place.place, place.open));
        ASSERT_GE(index, 0);
        EXPECT_EQ(table.IconName(index), place.resource);
        EXPECT_FALSE(small.Pixmap(index).isNull()) << place.resource.toStdString();
        EXPECT_EQ(small.Pixmap(index).width(), kSmallIconSize);
        EXPECT_EQ(large.Pixmap(index).width(), kLargeIconSize);
    }
    EXPECT_EQ(table.IconName(IndexOf(table, FileIconChoice("letter.odt"))), kFileResourceIcon);
}

TEST(SystemImageList, BothSizesShareIndexesAndOfferOverlays)
{
    TSystemImageList& small = TSystemImageList::Get(ilsSmall);
    TSystemImageList& large = TSystemImageList::Get(ilsLarge);
    EXPECT_EQ(&small.Table(), &large.Table());
    EXPECT_EQ(small.Width(), 16);
    EXPECT_EQ(large.Height(), 32);

    const int folder = IndexOf(small.Table(), PlaceIconChoice(ipFolder, false));
    EXPECT_EQ(small.Count(), large.Count());
    EXPECT_EQ(small.Pixmap(folder).size(), QSize(16, 16));
    EXPECT_EQ(large.Pixmap(folder).size(), QSize(32, 32));
    EXPECT_TRUE(small.Pixmap(-1).isNull());

    for (const int overlay : {kShareOverlayIndex, kLinkOverlayIndex}) {
        EXPECT_EQ(small.OverlayPixmap(overlay).size(), QSize(16, 16));
        EXPECT_EQ(large.OverlayPixmap(overlay).size(), QSize(32, 32));
    }
    EXPECT_TRUE(small.OverlayPixmap(2).isNull());
}

}  // namespace
