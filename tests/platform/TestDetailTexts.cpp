#include "platform/namespace/items/DetailTexts.h"

#include <QLocale>
#include <QMimeDatabase>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>
#include <vector>

#include "tests/platform/DataTestSupport.h"

TEST(DetailTexts, SizesAreWholeKilobytesRoundedUp)
{
    EXPECT_EQ(FormatSizeText(0), "0 KB");
    EXPECT_EQ(FormatSizeText(1), "1 KB");
    EXPECT_EQ(FormatSizeText(1023), "1 KB");
    EXPECT_EQ(FormatSizeText(1024), "1 KB");
    EXPECT_EQ(FormatSizeText(1025), "2 KB");
    EXPECT_EQ(FormatSizeText(1458176), "1.424 KB");
    EXPECT_EQ(FormatSizeText(1457664), "1.424 KB");
    EXPECT_EQ(FormatSizeText(1024ULL * 999), "999 KB");
    EXPECT_EQ(FormatSizeText(1024ULL * 1000), "1.000 KB");
    EXPECT_EQ(FormatSizeText(1024ULL * 1000 * 1000 * 1000), "1.000.000.000 KB");
}

TEST(DetailTexts, HugeSizesDoNotOverflow)
{
    // 2^64 - 1 bytes are 2^54 KB after rounding up.
    EXPECT_EQ(FormatSizeText(std::numeric_limits<std::uint64_t>::max()), "18.014.398.509.481.984 KB");
}

TEST(DetailTexts, DatesAreLocalTime)
{
    {
        const TEnvironmentGuard zone("TZ", "Europe/Berlin");
        ::tzset();
        // 2024-03-05 08:07:59 UTC is 09:07 in Berlin (winter time), 2024-07-01 12:00 UTC is 14:00.
        EXPECT_EQ(FormatDateText(std::time_t(1709626079)), "05.03.2024 09:07");
        EXPECT_EQ(FormatDateText(timespec{1719835200, 999999999}), "01.07.2024 14:00");
    }
    {
        const TEnvironmentGuard zone("TZ", "UTC");
        ::tzset();
        EXPECT_EQ(FormatDateText(std::time_t(0)), "01.01.1970 00:00");
    }
    ::tzset();
}

TEST(DetailTexts, FoldersAndUnknownTypes)
{
    EXPECT_EQ(FileTypeText("film.avi", true), "Dateiordner");
    EXPECT_EQ(FileTypeText("film.avi.0001", false), "0001-Datei");
    EXPECT_EQ(FileTypeText("film.avi.0002", false), "0002-Datei");
    EXPECT_EQ(FileTypeText("notes.xyzq", false), "XYZQ-Datei");
    EXPECT_EQ(FileTypeText("noextension", false), "Datei");
    EXPECT_EQ(FileTypeText("trailingdot.", false), "Datei");
    // A leading dot begins a hidden name, not an extension.
    EXPECT_EQ(FileTypeText(".profilerc", false), "Datei");
}

TEST(DetailTexts, KnownTypesGiveTheGermanComment)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FileTypeText("film.avi", false), "AVI-Video");
    EXPECT_EQ(FileTypeText("brief.txt", false), "Einfaches Textdokument");
    // The cached extension must not decide names that a longer pattern matches.
    EXPECT_EQ(FileTypeText("archiv.gz", false), FileTypeText("zweites.gz", false));
    EXPECT_NE(FileTypeText("archiv.tar.gz", false), FileTypeText("archiv.gz", false));
    EXPECT_EQ(FileTypeText("CMakeLists.txt", false), "CMake-Quelltext");
    EXPECT_EQ(FileTypeText("brief.txt", false), "Einfaches Textdokument");
    // Upper-case extensions are found as well; case-sensitive patterns keep their meaning.
    EXPECT_EQ(FileTypeText("FILM.AVI", false), "AVI-Video");
    EXPECT_NE(FileTypeText("quelle.c", false), FileTypeText("quelle.C", false));
}

TEST(DetailTexts, TypeTextsFollowTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString german = FileTypeText("brief.txt", false);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString english = FileTypeText("brief.txt", false);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german, "Einfaches Textdokument");
    EXPECT_EQ(english, "plain text document");
}

TEST(DetailTexts, NamesThatAreNotUtf8)
{
    EXPECT_EQ(FileTypeText(std::string("caf\xE9.avi", 8), false), "AVI-Video");
    EXPECT_EQ(FileTypeText(std::string("caf\xE9", 4), false), "Datei");
}

TEST(DetailTexts, CachedTypesAgreeWithTheDatabase)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QMimeDatabase database;
    const std::vector<std::string> names = {
        "a.txt",         "CMakeLists.txt", "README",
        "README.md",     "readme.txt",     "Makefile",
        "Makefile.am",   "makefile",       "x.1",
        "x.9",           "x.0001",         "x.10",
        "lib.so.6",      "lib.so",         "datei~",
        "a.tar.gz",      "b.gz",           "c.tar.bz2",
        "d.bz2",         "film.avi",       "FILM.AVI",
        "quelle.c",      "quelle.C",       "bild.JPG",
        "bild.jpeg",     "x.anim5",        "x,v",
        "SConscript.py", "core",           "noext",
        "a.b.c.d",       "bericht.pdf",    "bericht.pdf.gz",
        "Dokument.DOCX", "x.123",
    };
    // Twice, so that the second round answers from the cache.
    for (int round = 0; round < 2; ++round) {
        for (const std::string& name : names) {
            const QMimeType type =
                database.mimeTypeForFile(QString::fromStdString(name), QMimeDatabase::MatchExtension);
            const QString text = FileTypeText(name, false);
            if (type.isDefault())
                EXPECT_TRUE(text.endsWith("Datei")) << name << ": " << text.toStdString();
            else
                EXPECT_EQ(text, type.comment()) << name;
        }
    }
}
