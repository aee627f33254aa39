#include "platform/namespace/items/ItemNames.h"

#include "platform/core/ids/ShellConstants.h"

const char* const kDesktopName = "Desktop";

std::string VirtualFolderName(TVirtualFolder folder)
{
    switch (folder) {
    case TVirtualFolder::Home: return "Persönlicher Ordner";
    case TVirtualFolder::Computer: return "Computer";
    case TVirtualFolder::Network: return "Netzwerk";
    case TVirtualFolder::Trash: return "Papierkorb";
    }
    return {};
}

std::string VirtualFolderToken(TVirtualFolder folder)
{
    switch (folder) {
    case TVirtualFolder::Home: return "::home";
    case TVirtualFolder::Computer: return "::computer";
    case TVirtualFolder::Network: return "::network";
    case TVirtualFolder::Trash: return "::trash";
    }
    return {};
}

bool VirtualFolderFromToken(std::string_view token, TVirtualFolder& folder)
{
    for (TVirtualFolder candidate :
         {TVirtualFolder::Home, TVirtualFolder::Computer, TVirtualFolder::Network, TVirtualFolder::Trash}) {
        if (token == VirtualFolderToken(candidate)) {
            folder = candidate;
            return true;
        }
    }
    return false;
}

std::string_view LastPathName(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos || path.size() == 1 ? path : path.substr(slash + 1);
}

std::optional<TMountEntry> FindMountedVolume(std::string_view mountPoint)
{
    const std::shared_ptr<const TMountTable> table = TMountTable::Current();
    for (const auto& list : {table->Volumes(), table->NetworkMounts()}) {
        for (const TMountEntry& entry : list) {
            if (entry.MountPoint == mountPoint)
                return entry;
        }
    }
    return std::nullopt;
}

std::string VolumeDisplayName(std::string_view mountPoint)
{
    if (const auto volume = FindMountedVolume(mountPoint))
        return volume->DisplayName;
    return mountPoint == "/" ? std::string("Dateisystem") : std::string(LastPathName(mountPoint));
}

std::optional<TTrashInfo> ItemTrashInfo(const TItemView& view)
{
    if (view.kind != TItemKind::TrashEntry)
        return std::nullopt;
    const std::string infoPath = JoinPath(JoinPath(view.trashPath, "info"), view.name) + ".trashinfo";
    return TTrash::ReadTrashInfo(infoPath, std::string(view.trashTopDir));
}

std::string ItemDisplayName(const TItemContext& context, const TItemView& view, std::uint32_t flags)
{
    const bool forParsing = (flags & (SHGDN_FORPARSING | SHGDN_FORADDRESSBAR)) != 0;
    const bool inFolder = (flags & SHGDN_INFOLDER) != 0;
    switch (view.kind) {
    case TItemKind::VirtualFolder:
        if (!forParsing)
            return VirtualFolderName(view.virtualFolder);
        if (view.virtualFolder == TVirtualFolder::Home && !inFolder)
            return ItemPath(context, view);
        return VirtualFolderToken(view.virtualFolder);
    case TItemKind::Volume:
        if (!forParsing)
            return VolumeDisplayName(view.name);
        return view.name == "/" ? std::string("/") : std::string(view.name) + "/";
    case TItemKind::FileSystem:
        if (forParsing && !inFolder)
            return ItemPath(context, view);
        return std::string(view.name);
    case TItemKind::TrashEntry:
        if (forParsing)
            return inFolder ? std::string(view.name) : ItemPath(context, view);
        if (const auto info = ItemTrashInfo(view); info && !info->OriginalPath.empty())
            return std::string(LastPathName(info->OriginalPath));
        return std::string(view.name);
    }
    return {};
}
