#pragma once

#include "tests/support/FailureGuards.h"

#include "platform/namespace/IShellFolder.h"
#include "platform/core/ids/TItemIdList.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

// A test under its own temporary HOME with the XDG variables pointing into it,
// set before anything asks QStandardPaths; the old environment comes back after.
class NamespaceFixture : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The temporary home directory and a work folder inside it.
    const std::string& Home() const { return home_; }
    const std::string& Work() const { return work_; }

    // Makes an XDG desktop directory (listed in user-dirs.dirs) and returns it.
    std::string MakeDesktopDirectory(const std::string& name = "Schreibtisch");

    // File-system helpers; paths are native bytes.
    static void WriteFile(const std::string& path, std::size_t size = 0);
    static void MakeDirectory(const std::string& path);
    static void MakeSymlink(const std::string& target, const std::string& path);
    static void MakeFifo(const std::string& path);

    // The absolute list of a path; fails the test when it does not parse.
    static TItemIdListPtr Parse(const std::string& path);
    static IShellFolderPtr Bind(const std::string& path);
    // Every item of a folder, in enumeration order.
    static std::vector<TItemIdListPtr> Enumerate(IShellFolder& folder, std::uint32_t flags);
    // The display names of a folder's items sorted by CompareIDs with `column`.
    static std::vector<std::string> SortedNames(IShellFolder& folder, std::uint32_t flags, int column = 0);
    static std::string DisplayName(IShellFolder& folder, const TItemIdList* item, std::uint32_t flags = 0);
    static std::uint32_t Attributes(IShellFolder& folder, const TItemIdList* item, std::uint32_t mask);
    // The item of `folder` whose normal display name is `name`.
    static TItemIdListPtr FindItem(IShellFolder& folder, const std::string& name);

private:
    std::unique_ptr<QTemporaryDir> directory_;
    std::map<std::string, std::optional<std::string>> savedEnvironment_;
    std::string home_;
    std::string work_;
};
