#include "platform/ChangeItemLists.h"

#include "platform/ShellItems.h"
#include "platform/ShellNamespace.h"
#include "platform/TMountTable.h"

#include <dirent.h>
#include <vector>

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

TItemIdListPtr VolumeIDList(const TMountEntry& volume)
{
    const TItemIdListPtr parent = MakeVirtualItem(volume.IsUserVisible ? TVirtualFolder::Computer : TVirtualFolder::Network);
    const TItemIdListPtr item = MakeVolumeItem(volume.MountPoint, volume.IsNetwork);
    return ConcatIDLists(parent.get(), item.get());
}
