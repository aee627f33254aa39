#include "tests/support/TListingFuse.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <future>
#include <set>
#include <string>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kFiles = 3000;  // several readdir calls, whatever buffer the kernel asks with
constexpr auto kWait = std::chrono::seconds(20);

struct TListing
{
    std::set<std::string> Names;
    int Error = 0;
};

// What opendir/readdir see of a folder, and the error that ended it early.
TListing List(const std::string& folder)
{
    TListing listing;
    DIR* directory = ::opendir(folder.c_str());
    if (directory == nullptr) {
        listing.Error = errno;
        return listing;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(directory)) {
        if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
            listing.Names.insert(entry->d_name);
        errno = 0;
    }
    listing.Error = errno;
    ::closedir(directory);
    return listing;
}

}  // namespace

// A whole listing, one failing midway with EIO, and one held by the delay
// while the root and names looked up before answer, until the test releases it.
TEST(ListingFuse, ListsFailsMidwayAndWaitsUntilReleased)
{
    char pattern[] = "/tmp/parzello-fuse-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    {
        TListingFuse fuse(folder, kFiles);
        if (!fuse.IsMounted()) {
            ::rmdir(folder.c_str());
            GTEST_SKIP() << fuse.SkipReason();
        }
        const TListing whole = List(fuse.Root());
        EXPECT_EQ(whole.Error, 0);
        ASSERT_EQ(whole.Names.size(), size_t(kFiles));
        EXPECT_EQ(*whole.Names.begin(), TListingFuse::NameOf(0));
        EXPECT_EQ(fuse.Listings(), 1);

        fuse.SetFailing(true);
        const TListing failed = List(fuse.Root());
        EXPECT_EQ(failed.Error, EIO);
        EXPECT_GT(failed.Names.size(), 0u);
        EXPECT_LT(failed.Names.size(), size_t(kFiles));
        fuse.SetFailing(false);

        fuse.LookUpNames();
        fuse.SetDelay(std::chrono::minutes(1));
        auto slow = std::async(std::launch::async, [&] { return List(fuse.Root()); });
        // Released before the listing is waited for, whatever fails below.
        const struct TReleaseAtEnd
        {
            TListingFuse& Fuse;
            ~TReleaseAtEnd() { Fuse.Release(); }
        } releaseAtEnd{fuse};
        ASSERT_TRUE(fuse.WaitUntilHeld(kWait));
        struct stat attributes
        {};
        EXPECT_EQ(::stat(fuse.Root().c_str(), &attributes), 0);
        EXPECT_TRUE(S_ISDIR(attributes.st_mode));
        EXPECT_EQ(::stat((fuse.Root() + "/" + TListingFuse::NameOf(7)).c_str(), &attributes), 0);
        EXPECT_TRUE(S_ISREG(attributes.st_mode));
        EXPECT_EQ(slow.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
        fuse.Release();
        ASSERT_EQ(slow.wait_for(kWait), std::future_status::ready);
        EXPECT_EQ(slow.get().Names.size(), size_t(kFiles));
        EXPECT_EQ(fuse.Listings(), 3);
    }
    EXPECT_EQ(::rmdir(folder.c_str()), 0);
}
