#include "platform/notify/ChangeItemLists.h"

#include "platform/namespace/NamespacePaths.h"
#include "platform/core/ids/ShellItems.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/core/system/TMountTable.h"

#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace {

TItemIdListPtr AppendItemOf(const TItemIdList* list, const std::string& name, std::uint8_t flags,
                            std::uint8_t entryType)
{
    const TItemIdListPtr item = MakeFileSystemItem(name, flags, entryType);
    return item ? ConcatIDLists(list, item.get()) : nullptr;
}

}  // namespace

TItemIdListPtr ChangedPathIDList(const std::string& path, bool isFolder)
{
    if (path.empty() || path.front() != '/')
        return nullptr;
    if (TItemIdListPtr existing = SHParseDisplayName(path))
        return existing;

    // Walk up to the nearest existing ancestor, remembering the missing names.
    std::vector<std::string> missing;
    std::string ancestor = path;
    while (ancestor.size() > 1 && ancestor.back() == '/')
        ancestor.pop_back();
    TItemIdListPtr list;
    while (!list) {
        const std::size_t slash = ancestor.rfind('/');
        if (slash == std::string::npos)
            return nullptr;
        const std::string name = ancestor.substr(slash + 1);
        if (!name.empty())
            missing.push_back(name);
        ancestor = slash == 0 ? std::string("/") : ancestor.substr(0, slash);
        list = SHParseDisplayName(ancestor);
        if (!list && ancestor == "/")
            return nullptr;
    }
    for (auto name = missing.rbegin(); name != missing.rend(); ++name) {
        const bool folder = isFolder || name + 1 != missing.rend();
        const TItemIdListPtr item = MakeFileSystemItem(*name, folder ? kItemIsFolder : 0, folder ? DT_DIR : DT_REG);
        list = ConcatIDLists(list.get(), item.get());
    }
    return list;
}

TItemIdListPtr FolderRelativeIDList(const TItemIdList* folderList, const std::string& folderPath,
                                    const std::string& path, bool isFolder)
{
    if (!folderList || folderPath.empty() || path.compare(0, folderPath.size(), folderPath) != 0)
        return nullptr;
    if (path.size() != folderPath.size() && folderPath != "/" && path[folderPath.size()] != '/')
        return nullptr;
    std::vector<std::string_view> components;
    if (!SplitPath(std::string_view(path).substr(folderPath == "/" ? 0 : folderPath.size()), components))
        return nullptr;

    TItemIdListPtr list = CloneIDList(folderList);
    std::string current = folderPath;
    bool missing = false;
    for (std::size_t i = 0; i < components.size() && list; ++i) {
        const std::string name(components[i]);
        current = JoinPath(current, name);
        const bool last = i + 1 == components.size();
        struct stat status
        {};
        if (!missing && ::lstat(current.c_str(), &status) == 0) {
            list =
                AppendItemOf(list.get(), name, ItemFlagsOf(current, status.st_mode), EntryTypeOfMode(status.st_mode));
        } else {
            missing = true;
            const bool folder = isFolder || !last;
            list = AppendItemOf(list.get(), name, folder ? kItemIsFolder : 0, folder ? DT_DIR : DT_REG);
        }
    }
    return list;
}

TItemIdListPtr VolumeIDList(const TMountEntry& volume)
{
    const TItemIdListPtr parent =
        MakeVirtualItem(volume.IsUserVisible ? TVirtualFolder::Computer : TVirtualFolder::Network);
    const TItemIdListPtr item = MakeVolumeItem(volume.MountPoint, volume.IsNetwork);
    return ConcatIDLists(parent.get(), item.get());
}
