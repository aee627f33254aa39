#include "platform/namespace/NamespacePaths.h"

#include "platform/core/ids/ShellItems.h"
#include "platform/namespace/StandardFolders.h"
#include "platform/core/system/TMountTable.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace {

[[nodiscard]] bool Fail(int error)
{
    errno = error;
    return false;
}

// Whether `path` lies at or below the directory `mountPoint`, component-wise.
bool IsBelow(std::string_view path, std::string_view mountPoint)
{
    if (mountPoint == "/")
        return true;
    if (path.substr(0, mountPoint.size()) != mountPoint)
        return false;
    return path.size() == mountPoint.size() || path[mountPoint.size()] == '/';
}

// The local path of "//server/share/rest" through the network mount whose
// source is "//server/share".
[[nodiscard]] bool MapSharePath(std::string_view path, std::string& local)
{
    const std::size_t serverEnd = path.find('/', 2);
    if (serverEnd == std::string_view::npos || serverEnd == 2)
        return false;
    const std::size_t shareEnd = std::min(path.find('/', serverEnd + 1), path.size());
    if (shareEnd == serverEnd + 1)
        return false;
    const std::string_view share = path.substr(0, shareEnd);
    for (const TMountEntry& entry : TMountTable::Current()->NetworkMounts()) {
        if (entry.Device == share) {
            local = entry.MountPoint;
            local.append(path.substr(shareEnd));
            return true;
        }
    }
    return false;
}

}  // namespace

bool ResolveIDList(const TItemIdList* absolute, TResolvedList& resolved)
{
    if (!absolute)
        return Fail(EINVAL);
    resolved = TResolvedList{};
    // The desktop directory is looked up only when the list needs it.
    if (IDListItemSize(absolute) == 0) {
        resolved.path = DesktopDirectoryPath();
        return true;
    }
    TItemView first;
    if (ReadItem(absolute, first) && first.kind == TItemKind::FileSystem)
        resolved.path = DesktopDirectoryPath();
    return ResolveRelative(absolute, resolved);
}

bool ResolveRelative(const TItemIdList* relative, TResolvedList& resolved)
{
    if (!relative)
        return Fail(EINVAL);
    for (const TItemIdList* item = relative; IDListItemSize(item) != 0; item = NextIDListItem(item)) {
        TItemView view;
        if (!ReadItem(item, view))
            return Fail(EINVAL);
        if (!resolved.isFolder)
            return Fail(ENOTDIR);
        const TFolderKind parent = resolved.kind;
        switch (view.kind) {
        case TItemKind::VirtualFolder:
            if (parent != TFolderKind::Desktop)
                return Fail(EINVAL);
            switch (view.virtualFolder) {
            case TVirtualFolder::Home:
                resolved.kind = TFolderKind::Home;
                resolved.path = HomeDirectoryPath();
                break;
            case TVirtualFolder::Computer:
                resolved.kind = TFolderKind::Computer;
                resolved.path.clear();
                break;
            case TVirtualFolder::Network:
                resolved.kind = TFolderKind::Network;
                resolved.path.clear();
                break;
            case TVirtualFolder::Trash:
                resolved.kind = TFolderKind::Trash;
                resolved.path.clear();
                break;
            }
            break;
        case TItemKind::Volume:
            if (parent != TFolderKind::Computer && parent != TFolderKind::Network)
                return Fail(EINVAL);
            resolved.kind = TFolderKind::Volume;
            resolved.path = std::string(view.name);
            break;
        case TItemKind::FileSystem:
            if (resolved.path.empty() || parent == TFolderKind::Computer || parent == TFolderKind::Network ||
                parent == TFolderKind::Trash)
                return Fail(parent == TFolderKind::Desktop ? ENOENT : EINVAL);
            resolved.kind = TFolderKind::Directory;
            resolved.isFolder = view.IsFolder();
            resolved.path = JoinPath(resolved.path, view.name);
            break;
        case TItemKind::TrashEntry:
            if (parent != TFolderKind::Trash)
                return Fail(EINVAL);
            resolved.isFolder = false;
            resolved.path = JoinPath(JoinPath(view.trashPath, "files"), view.name);
            break;
        }
    }
    return true;
}

void AppendItem(TItemBytes& bytes, const TItemIdList* item)
{
    const std::uint8_t* begin = IDListBytes(item);
    bytes.insert(bytes.end(), begin, begin + IDListItemSize(item));
}

TItemIdListPtr ListFromItemBytes(const TItemBytes& bytes)
{
    return IDListFromBytes(bytes.data(), bytes.size());
}

bool SplitPath(std::string_view path, std::vector<std::string_view>& components)
{
    components.clear();
    const bool absolute = !path.empty() && path.front() == '/';
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view component = path.substr(start, end - start);
        if (component == "..") {
            if (components.empty() && !absolute)
                return false;
            if (!components.empty())
                components.pop_back();
        } else if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        start = end + 1;
    }
    return true;
}

std::uint8_t EntryTypeOfMode(unsigned mode)
{
    return static_cast<std::uint8_t>(IFTODT(mode));
}

std::uint8_t ItemFlagsOf(const std::string& path, unsigned lstatMode)
{
    if (S_ISDIR(lstatMode))
        return kItemIsFolder;
    if (!S_ISLNK(lstatMode))
        return 0;
    struct stat target;
    const bool toFolder = ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
    return static_cast<std::uint8_t>(kItemIsSymlink | (toFolder ? kItemIsFolder : 0));
}

bool ParsePathBelow(const std::string& directory, const std::vector<std::string_view>& components, TItemBytes& bytes)
{
    std::string path = directory;
    for (std::size_t i = 0; i < components.size(); ++i) {
        path = JoinPath(path, components[i]);
        struct stat status;
        if (::lstat(path.c_str(), &status) != 0)
            return false;
        const std::uint8_t flags = ItemFlagsOf(path, status.st_mode);
        if (i + 1 < components.size() && !(flags & kItemIsFolder))
            return Fail(ENOTDIR);
        TItemIdListPtr item = MakeFileSystemItem(components[i], flags, EntryTypeOfMode(status.st_mode));
        if (!item)
            return Fail(ENAMETOOLONG);
        AppendItem(bytes, item.get());
    }
    return true;
}

bool ParseAbsolutePath(std::string_view path, TItemBytes& bytes)
{
    // "//server/share/rest" names a mounted share by its source.
    std::string shareLocal;
    if (path.size() > 2 && path.substr(0, 2) == "//" && path[2] != '/') {
        if (!MapSharePath(path, shareLocal))
            return Fail(ENOENT);
        path = shareLocal;
    }
    std::vector<std::string_view> components;
    if (path.empty() || path.front() != '/' || !SplitPath(path, components))
        return Fail(path.empty() || path.front() != '/' ? EINVAL : ENOENT);
    std::string normal;
    for (std::string_view component : components) {
        normal.push_back('/');
        normal.append(component);
    }
    if (normal.empty())
        normal.push_back('/');

    // The longest volume prefix decides where the file-system part starts: a
    // volume of the computer, or a network mount only the network folder lists.
    const std::shared_ptr<const TMountTable> table = TMountTable::Current();
    const std::vector<TMountEntry> volumes = table->Volumes();
    const std::vector<TMountEntry> networkMounts = table->NetworkMounts();
    const TMountEntry* best = nullptr;
    bool inComputer = true;
    for (const auto* list : {&volumes, &networkMounts}) {
        for (const TMountEntry& volume : *list) {
            if (IsBelow(normal, volume.MountPoint) && (!best || volume.MountPoint.size() > best->MountPoint.size())) {
                best = &volume;
                inComputer = list == &volumes;
            }
        }
    }
    if (!best)
        return Fail(ENOENT);
    std::vector<std::string_view> below;
    if (!SplitPath(std::string_view(normal).substr(best->MountPoint == "/" ? 0 : best->MountPoint.size()), below))
        return Fail(ENOENT);

    struct stat status;
    if (::stat(best->MountPoint.c_str(), &status) != 0)
        return false;
    AppendItem(bytes, MakeVirtualItem(inComputer ? TVirtualFolder::Computer : TVirtualFolder::Network).get());
    AppendItem(bytes, MakeVolumeItem(best->MountPoint, best->IsNetwork).get());
    return ParsePathBelow(best->MountPoint, below, bytes);
}

std::string ItemPath(const TItemContext& context, const TItemView& view)
{
    switch (view.kind) {
    case TItemKind::VirtualFolder:
        return view.virtualFolder == TVirtualFolder::Home ? HomeDirectoryPath() : std::string();
    case TItemKind::Volume: return std::string(view.name);
    case TItemKind::FileSystem:
        return context.folderPath.empty() ? std::string() : JoinPath(context.folderPath, view.name);
    case TItemKind::TrashEntry: return JoinPath(JoinPath(view.trashPath, "files"), view.name);
    }
    return {};
}

TFolderKind ChildFolderKind(const TItemView& view)
{
    switch (view.kind) {
    case TItemKind::VirtualFolder:
        switch (view.virtualFolder) {
        case TVirtualFolder::Home: return TFolderKind::Home;
        case TVirtualFolder::Computer: return TFolderKind::Computer;
        case TVirtualFolder::Network: return TFolderKind::Network;
        case TVirtualFolder::Trash: return TFolderKind::Trash;
        }
        break;
    case TItemKind::Volume: return TFolderKind::Volume;
    default: break;
    }
    return TFolderKind::Directory;
}
