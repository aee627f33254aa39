#include "platform/icons/ShellFileInfo.h"

#include "platform/namespace/items/DetailTexts.h"
#include "platform/namespace/IShellFolder.h"
#include "platform/icons/IconChoice.h"
#include "platform/namespace/items/ItemNames.h"
#include "platform/namespace/NamespacePaths.h"
#include "platform/core/ids/ShellItems.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/icons/TSystemIconTable.h"
#include "platform/icons/TSystemImageList.h"
#include "platform/trash/TTrash.h"

#include <QMimeDatabase>

#include <dirent.h>
#include <sys/stat.h>

namespace {

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool IsRemovableMountPoint(std::string_view mountPoint)
{
    return StartsWith(mountPoint, "/media/") || StartsWith(mountPoint, "/run/media/");
}

bool IsHomeTrashEmpty()
{
    DIR* directory = ::opendir(TTrash::HomeTrash().FilesPath().c_str());
    if (!directory)
        return true;
    bool empty = true;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            empty = false;
            break;
        }
    }
    ::closedir(directory);
    return empty;
}

TIconChoice MimeNameChoice(const char* mimeName)
{
    TIconChoice choice = FileIconChoice({});
    const QMimeType type = QMimeDatabase().mimeTypeForName(QString::fromLatin1(mimeName));
    if (type.isValid())
        choice.themeNames = QStringList{type.iconName(), type.genericIconName()} + choice.themeNames;
    return choice;
}

TIconChoice FileItemChoice(const TItemView& view, const std::string& path)
{
    switch (view.entryType) {
    case DT_FIFO: return MimeNameChoice("inode/fifo");
    case DT_SOCK: return MimeNameChoice("inode/socket");
    case DT_CHR: return MimeNameChoice("inode/chardevice");
    case DT_BLK: return MimeNameChoice("inode/blockdevice");
    default: break;
    }
    struct stat info
    {};
    if (view.IsSymlink() && !path.empty() && ::stat(path.c_str(), &info) != 0)
        return MimeNameChoice("inode/symlink");
    return FileIconChoice(std::string(view.name));
}

TIconChoice IconChoiceOf(const TResolvedList& resolved, const TItemView* last, bool open)
{
    if (!last)
        return PlaceIconChoice(ipDesktop, open);
    if (resolved.isFolder) {
        switch (resolved.kind) {
        case TFolderKind::Desktop: return PlaceIconChoice(ipDesktop, open);
        case TFolderKind::Home: return PlaceIconChoice(ipHome, open);
        case TFolderKind::Computer: return PlaceIconChoice(ipComputer, open);
        case TFolderKind::Network: return PlaceIconChoice(ipNetwork, open);
        case TFolderKind::Trash: return PlaceIconChoice(IsHomeTrashEmpty() ? ipTrash : ipFullTrash, open);
        case TFolderKind::Volume:
            if (last->flags & kItemIsNetwork)
                return PlaceIconChoice(ipNetworkVolume, open);
            return PlaceIconChoice(IsRemovableMountPoint(last->name) ? ipRemovableVolume : ipVolume, open);
        case TFolderKind::Directory: return FolderIconChoice(resolved.path, open);
        }
    }
    if (last->kind == TItemKind::TrashEntry && last->IsFolder())
        return PlaceIconChoice(ipFolder, open);
    return FileItemChoice(*last, resolved.path);
}

int IconIndexOf(const TIconChoice& choice)
{
    return TSystemIconTable::Process().IndexOf(choice.themeNames, choice.fallbackResource);
}

}  // namespace

TShFileInfo SHGetFileInfo(const TItemIdList* absolute, std::uint32_t /*fileAttributes*/, std::uint32_t flags)
{
    TShFileInfo info;
    TResolvedList resolved;
    if (!absolute || !ResolveIDList(absolute, resolved))
        return info;
    const bool isDesktop = IDListItemSize(absolute) == 0;
    TItemView last;
    if (!isDesktop && !ReadItem(LastIDListItem(absolute), last))
        return info;

    if (flags & (SHGFI_SYSICONINDEX | SHGFI_ICON))
        info.iIcon = IconIndexOf(IconChoiceOf(resolved, isDesktop ? nullptr : &last, (flags & SHGFI_OPENICON) != 0));
    if (!isDesktop && last.IsSymlink())
        info.iOverlay = kLinkOverlayIndex;

    const TItemIdListPtr parentList = isDesktop ? nullptr : TruncateIDList(absolute, IDListCount(absolute) - 1);
    if (flags & SHGFI_DISPLAYNAME) {
        if (isDesktop) {
            info.szDisplayName = kDesktopName;
        } else {
            TResolvedList parent;
            if (ResolveIDList(parentList.get(), parent))
                info.szDisplayName = ItemDisplayName(TItemContext{parent.kind, parent.path}, last, SHGDN_NORMAL);
        }
    }
    if (flags & SHGFI_TYPENAME) {
        const std::string name = isDesktop ? std::string() : std::string(last.name);
        info.szTypeName = FileTypeText(name, resolved.isFolder).toStdString();
    }
    if (flags & SHGFI_ATTRIBUTES) {
        if (isDesktop) {
            info.dwAttributes = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
        } else if (const IShellFolderPtr parent = SHBindToFolder(parentList.get())) {
            const TItemIdList* item = LastIDListItem(absolute);
            std::uint32_t attributes = ~SFGAO_HASSUBFOLDER;  // the one costly bit, not asked unless needed
            if (parent->GetAttributesOf({&item, 1}, attributes).Succeeded())
                info.dwAttributes = attributes;
        }
    }
    info.succeeded = true;
    return info;
}

TShFileInfo SHGetFileInfo(const std::string& path, std::uint32_t fileAttributes, std::uint32_t flags)
{
    if (!(flags & SHGFI_USEFILEATTRIBUTES)) {
        const TItemIdListPtr list = SHParseDisplayName(path);
        return list ? SHGetFileInfo(list.get(), fileAttributes, flags) : TShFileInfo{};
    }
    TShFileInfo info;
    if (path.empty())
        return info;
    const bool isFolder = (fileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::string name(LastPathName(path));
    if (flags & (SHGFI_SYSICONINDEX | SHGFI_ICON)) {
        const bool open = (flags & SHGFI_OPENICON) != 0;
        info.iIcon = IconIndexOf(isFolder ? FolderIconChoice(path, open) : FileIconChoice(name));
    }
    if (flags & SHGFI_DISPLAYNAME)
        info.szDisplayName = name;
    if (flags & SHGFI_TYPENAME)
        info.szTypeName = FileTypeText(name, isFolder).toStdString();
    if (flags & SHGFI_ATTRIBUTES)
        info.dwAttributes = isFolder ? SFGAO_FOLDER : 0;
    info.succeeded = true;
    return info;
}
