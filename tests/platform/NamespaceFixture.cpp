#include "NamespaceFixture.h"

#include "platform/commands/FolderUIObjects.h"
#include "platform/namespace/ShellNamespace.h"

#include <QFile>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kVariables[] = {"HOME",           "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                  "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "XDG_DATA_DIRS",
                                  "XDG_CONFIG_DIRS"};

}  // namespace

void NamespaceFixture::SetUp()
{
    RegisterFolderUIObjects();
    directory_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(directory_->isValid());
    home_ = QFile::encodeName(directory_->path()).toStdString() + "/home";
    work_ = home_ + "/work";
    for (const char* variable : kVariables) {
        const char* value = std::getenv(variable);
        savedEnvironment_[variable] = value ? std::optional<std::string>(value) : std::nullopt;
    }
    MakeDirectory(home_);
    MakeDirectory(work_);
    MakeDirectory(home_ + "/.config");
    MakeDirectory(home_ + "/.local");
    MakeDirectory(home_ + "/.local/share");
    MakeDirectory(home_ + "/.cache");
    MakeDirectory(home_ + "/.runtime");
    ::chmod((home_ + "/.runtime").c_str(), 0700);
    ::setenv("HOME", home_.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home_ + "/.config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home_ + "/.local/share").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home_ + "/.cache").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (home_ + "/.runtime").c_str(), 1);
}

void NamespaceFixture::TearDown()
{
    for (const auto& [variable, value] : savedEnvironment_) {
        if (value)
            ::setenv(variable.c_str(), value->c_str(), 1);
        else
            ::unsetenv(variable.c_str());
    }
    // Removed by its bytes first: QTemporaryDir leaves names that are not UTF-8 behind.
    if (directory_) {
        std::error_code ignored;
        std::filesystem::remove_all(QFile::encodeName(directory_->path()).toStdString(), ignored);
    }
    directory_.reset();
}

std::string NamespaceFixture::MakeDesktopDirectory(const std::string& name)
{
    const std::string path = home_ + "/" + name;
    MakeDirectory(path);
    const std::string line = "XDG_DESKTOP_DIR=\"$HOME/" + name + "\"\n";
    QFile file(QFile::decodeName((home_ + "/.config/user-dirs.dirs").c_str()));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(line.c_str());
    return path;
}

void NamespaceFixture::WriteFile(const std::string& path, std::size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path;
    const std::string data(size, 'x');
    ASSERT_EQ(::write(fd, data.data(), data.size()), static_cast<ssize_t>(size));
    ::close(fd);
}

void NamespaceFixture::MakeDirectory(const std::string& path)
{
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << path;
}

void NamespaceFixture::MakeSymlink(const std::string& target, const std::string& path)
{
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0) << path;
}

void NamespaceFixture::MakeFifo(const std::string& path)
{
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0) << path;
}

TItemIdListPtr NamespaceFixture::Parse(const std::string& path)
{
    TItemIdListPtr list = SHParseDisplayName(path);
    EXPECT_TRUE(list) << "cannot parse " << path;
    return list;
}

IShellFolderPtr NamespaceFixture::Bind(const std::string& path)
{
    TItemIdListPtr list = Parse(path);
    IShellFolderPtr folder = list ? SHBindToFolder(list.get()) : nullptr;
    EXPECT_TRUE(folder) << "cannot bind " << path;
    return folder;
}

std::vector<TItemIdListPtr> NamespaceFixture::Enumerate(IShellFolder& folder, std::uint32_t flags)
{
    std::vector<TItemIdListPtr> items;
    std::unique_ptr<IEnumIDList> enumerator;
    EXPECT_TRUE(folder.EnumObjects(flags, enumerator).Succeeded());
    if (!enumerator)
        return items;
    for (TItemIdListPtr item; enumerator->Next(item);)
        items.push_back(std::move(item));
    return items;
}

std::vector<std::string> NamespaceFixture::SortedNames(IShellFolder& folder, std::uint32_t flags, int column)
{
    std::vector<TItemIdListPtr> items = Enumerate(folder, flags);
    std::sort(items.begin(), items.end(), [&](const TItemIdListPtr& a, const TItemIdListPtr& b) {
        return folder.CompareIDs(column, a.get(), b.get()).OrderValue() < 0;
    });
    std::vector<std::string> names;
    for (const TItemIdListPtr& item : items)
        names.push_back(DisplayName(folder, item.get()));
    return names;
}

std::string NamespaceFixture::DisplayName(IShellFolder& folder, const TItemIdList* item, std::uint32_t flags)
{
    std::string name;
    EXPECT_TRUE(folder.GetDisplayNameOf(item, flags, name).Succeeded());
    return name;
}

std::uint32_t NamespaceFixture::Attributes(IShellFolder& folder, const TItemIdList* item, std::uint32_t mask)
{
    const TItemIdList* items[] = {item};
    std::uint32_t attributes = mask;
    EXPECT_TRUE(folder.GetAttributesOf(items, attributes).Succeeded());
    return attributes;
}

TItemIdListPtr NamespaceFixture::FindItem(IShellFolder& folder, const std::string& name)
{
    for (TItemIdListPtr& item : Enumerate(folder, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN)) {
        if (DisplayName(folder, item.get()) == name)
            return std::move(item);
    }
    ADD_FAILURE() << "no item " << name;
    return nullptr;
}
