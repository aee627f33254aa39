#include "platform/namespace/TShellFolder.h"

#include "platform/core/files/FileTreeOps.h"

#include "platform/namespace/items/FolderDetails.h"
#include "platform/namespace/items/ItemAttributes.h"
#include "platform/namespace/items/ItemNames.h"
#include "platform/namespace/items/ItemOrder.h"
#include "platform/core/system/LastError.h"
#include "platform/core/ids/ShellItems.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"
#include "platform/namespace/TDirectoryEnum.h"
#include "platform/namespace/TItemListEnum.h"
#include "platform/namespace/UIObjectMaker.h"
#include "platform/core/system/TMountTable.h"
#include "platform/trash/TTrash.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

TShellResult Failure(int error)
{
    SetLastError(error);
    return TShellResult::Fail(error);
}

TShellResult FailureFromErrno()
{
    return Failure(errno != 0 ? errno : EIO);
}

bool IsValidFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

}  // namespace

TShellFolder::TShellFolder(TFolderKind kind, TItemIdListPtr absolute, std::string path)
    : kind_(kind)
    , idList_(std::move(absolute))
    , path_(std::move(path))
{
}

TShellResult TShellFolder::OnLastItem(const TItemIdList* item,
                                      const std::function<TShellResult(TShellFolder&, const TItemIdList*)>& action)
{
    if (!item)
        return Failure(EINVAL);
    const std::size_t count = IDListCount(item);
    if (count <= 1)
        return action(*this, item);
    TItemIdListPtr parentList = TruncateIDList(item, count - 1);
    IShellFolderPtr parent;
    if (const TShellResult bound = BindToObject(parentList.get(), parent); bound.Failed())
        return bound;
    return action(static_cast<TShellFolder&>(*parent), LastIDListItem(item));
}

TShellResult TShellFolder::ParseDisplayName(const std::string& name, TItemIdListPtr& result)
{
    result.reset();
    if (name.empty())
        return Failure(EINVAL);
    if (name.front() == '/')
        return ParseAbsoluteName(name, result);
    if (kind_ == TFolderKind::Desktop) {
        TVirtualFolder folder;
        if (VirtualFolderFromToken(name, folder)) {
            result = MakeVirtualItem(folder);
            return TShellResult::Ok();
        }
    }
    if (kind_ == TFolderKind::Trash)
        return ParseTrashName(name, result);
    if (path_.empty())
        return Failure(ENOENT);
    std::vector<std::string_view> components;
    if (!SplitPath(name, components) || components.empty())
        return Failure(ENOENT);
    TItemBytes bytes;
    if (!ParsePathBelow(path_, components, bytes))
        return FailureFromErrno();
    result = ListFromItemBytes(bytes);
    return TShellResult::Ok();
}

TShellResult TShellFolder::ParseAbsoluteName(const std::string& name, TItemIdListPtr& result)
{
    TItemBytes bytes;
    if (kind_ == TFolderKind::Desktop || kind_ == TFolderKind::Computer || kind_ == TFolderKind::Network) {
        if (!ParseAbsolutePath(name, bytes))
            return FailureFromErrno();
        TItemIdListPtr absolute = ListFromItemBytes(bytes);
        if (kind_ == TFolderKind::Desktop) {
            result = std::move(absolute);
            return TShellResult::Ok();
        }
        // Below the computer (or network) folder: drop the leading computer (or
        // network) item; the computer holds no network-only mounts, the network
        // nothing but network file systems.
        TItemView parent;
        TItemView view;
        const TItemIdList* volume = NextIDListItem(absolute.get());
        if (!ReadItem(absolute.get(), parent) || !ReadItem(volume, view))
            return Failure(ENOENT);
        const bool inComputer = parent.virtualFolder == TVirtualFolder::Computer;
        if ((kind_ == TFolderKind::Computer && !inComputer) ||
            (kind_ == TFolderKind::Network && !(view.flags & kItemIsNetwork)))
            return Failure(ENOENT);
        result = CloneIDList(volume);
        return TShellResult::Ok();
    }
    if (path_.empty())
        return Failure(ENOENT);
    // An absolute path inside this folder parses relative to it.
    std::vector<std::string_view> components;
    std::vector<std::string_view> own;
    if (!SplitPath(name, components) || !SplitPath(path_, own) || components.size() <= own.size() ||
        !std::equal(own.begin(), own.end(), components.begin()))
        return Failure(ENOENT);
    components.erase(components.begin(), components.begin() + static_cast<std::ptrdiff_t>(own.size()));
    if (!ParsePathBelow(path_, components, bytes))
        return FailureFromErrno();
    result = ListFromItemBytes(bytes);
    return TShellResult::Ok();
}

TShellResult TShellFolder::ParseTrashName(const std::string& name, TItemIdListPtr& result)
{
    for (const TTrashEntry& entry : TTrash::ListEntries()) {
        if (entry.Name == name) {
            result = MakeTrashItem(entry.Trash.Path, entry.Trash.TopDir, entry.Name, entry.IsDirectory);
            return TShellResult::Ok();
        }
    }
    return Failure(ENOENT);
}

std::vector<TItemIdListPtr> TShellFolder::ListVirtualItems(std::uint32_t flags) const
{
    std::vector<TItemIdListPtr> items;
    if (flags & SHCONTF_FOLDERS) {
        for (TVirtualFolder folder :
             {TVirtualFolder::Home, TVirtualFolder::Computer, TVirtualFolder::Network, TVirtualFolder::Trash})
            items.push_back(MakeVirtualItem(folder));
    }
    return items;
}

std::vector<TItemIdListPtr> TShellFolder::ListVolumeItems(bool networkOnly) const
{
    const std::shared_ptr<const TMountTable> table = TMountTable::Current();
    std::vector<TItemIdListPtr> items;
    for (const TMountEntry& entry : networkOnly ? table->NetworkMounts() : table->Volumes())
        items.push_back(MakeVolumeItem(entry.MountPoint, entry.IsNetwork));
    return items;
}

std::vector<TItemIdListPtr> TShellFolder::ListTrashItems(std::uint32_t flags) const
{
    std::vector<TItemIdListPtr> items;
    if (!(flags & SHCONTF_NONFOLDERS))
        return items;
    for (const TTrashEntry& entry : TTrash::ListEntries()) {
        const std::string shownName =
            entry.OriginalPath.empty() ? entry.Name : std::string(LastPathName(entry.OriginalPath));
        if (!(flags & SHCONTF_INCLUDEHIDDEN) && THiddenList::IsDotName(shownName))
            continue;
        items.push_back(MakeTrashItem(entry.Trash.Path, entry.Trash.TopDir, entry.Name, entry.IsDirectory));
    }
    return items;
}

TShellResult TShellFolder::EnumObjects(std::uint32_t flags, std::unique_ptr<IEnumIDList>& enumerator)
{
    enumerator.reset();
    switch (kind_) {
    case TFolderKind::Computer:
        enumerator = std::make_unique<TItemListEnum>((flags & SHCONTF_FOLDERS) ? ListVolumeItems(false)
                                                                               : std::vector<TItemIdListPtr>());
        return TShellResult::Ok();
    case TFolderKind::Network:
        enumerator = std::make_unique<TItemListEnum>((flags & SHCONTF_FOLDERS) ? ListVolumeItems(true)
                                                                               : std::vector<TItemIdListPtr>());
        return TShellResult::Ok();
    case TFolderKind::Trash:
        enumerator = std::make_unique<TItemListEnum>(ListTrashItems(flags));
        return TShellResult::Ok();
    default: break;
    }
    std::vector<TItemIdListPtr> leading;
    if (kind_ == TFolderKind::Desktop) {
        // The desktop lives for the whole run; its directory may come or go.
        path_ = DesktopDirectoryPath();
        leading = ListVirtualItems(flags);
    }
    if (!path_.empty())
        NotifyFolderEnumerated(path_);
    auto directory = std::make_unique<TDirectoryEnum>(path_, flags, HiddenList(true), std::move(leading));
    if (!directory->Open() && kind_ != TFolderKind::Desktop)
        return FailureFromErrno();
    enumerator = std::move(directory);
    return TShellResult::Ok();
}

TShellResult TShellFolder::BindToObject(const TItemIdList* relative, IShellFolderPtr& folder)
{
    folder.reset();
    if (!relative)
        return Failure(EINVAL);
    if (IDListItemSize(relative) == 0) {
        folder = shared_from_this();
        return TShellResult::Ok();
    }
    TResolvedList resolved{kind_, true, path_};
    if (!ResolveRelative(relative, resolved))
        return FailureFromErrno();
    if (!resolved.isFolder)
        return Failure(ENOTDIR);
    folder =
        std::make_shared<TShellFolder>(resolved.kind, ConcatIDLists(idList_.get(), relative), std::move(resolved.path));
    return TShellResult::Ok();
}

TShellResult TShellFolder::CompareIDs(int column, const TItemIdList* a, const TItemIdList* b)
{
    if (!a || !b)
        return Failure(EINVAL);
    return TShellResult::Order(CompareItemLists(Context(), column, a, b));
}

TShellResult TShellFolder::GetOrderKey(int column, const TItemIdList* item, std::string& key)
{
    // Only the name column orders the same in every folder.
    if (!item || column != 0)
        return Failure(EINVAL);
    key = NameOrderKey(item);
    return TShellResult::Ok();
}

TShellResult TShellFolder::GetAttributesOf(std::span<const TItemIdList* const> items, std::uint32_t& attributes)
{
    const std::uint32_t mask = attributes;
    std::uint32_t common = mask;
    for (const TItemIdList* item : items) {
        std::uint32_t bits = 0;
        const TShellResult result = OnLastItem(item, [&](TShellFolder& folder, const TItemIdList* last) {
            TItemView view;
            if (IDListItemSize(last) == 0 && folder.kind_ == TFolderKind::Desktop) {
                bits = (SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER |
                        (folder.path_.empty() ? 0 : SFGAO_FILESYSTEM)) &
                       mask;
                return TShellResult::Ok();
            }
            if (!ReadItem(last, view))
                return Failure(EINVAL);
            static const THiddenList kDotNamesOnly;
            const THiddenList& hidden = (mask & SFGAO_HIDDEN) ? *folder.HiddenList(false) : kDotNamesOnly;
            bits = ItemAttributes(folder.Context(), view, hidden, mask);
            return TShellResult::Ok();
        });
        if (result.Failed())
            return result;
        common &= bits;
    }
    attributes = common;
    return TShellResult::Ok();
}

TShellResult TShellFolder::GetDisplayNameOf(const TItemIdList* item, std::uint32_t flags, std::string& name)
{
    name.clear();
    if (item && IDListItemSize(item) == 0 && kind_ == TFolderKind::Desktop) {
        name = (flags & SHGDN_FORPARSING) ? path_ : std::string(kDesktopName);
        return TShellResult::Ok();
    }
    return OnLastItem(item, [&](TShellFolder& folder, const TItemIdList* last) {
        TItemView view;
        if (!ReadItem(last, view))
            return Failure(EINVAL);
        name = ItemDisplayName(folder.Context(), view, flags);
        return TShellResult::Ok();
    });
}

TShellResult TShellFolder::SetNameOf(const TItemIdList* item, const std::string& newName, std::uint32_t,
                                     TItemIdListPtr* newItem)
{
    if (newItem)
        newItem->reset();
    return OnLastItem(item, [&](TShellFolder& folder, const TItemIdList* last) {
        TItemView view;
        if (!ReadItem(last, view))
            return Failure(EINVAL);
        if (view.kind != TItemKind::FileSystem || folder.path_.empty())
            return Failure(EPERM);
        if (!IsValidFileName(newName))
            return Failure(EINVAL);
        const std::string from = JoinPath(folder.path_, view.name);
        const std::string to = JoinPath(folder.path_, newName);
        if (newName != view.name) {
            if (const int error = RenameNoReplace(from, to))
                return Failure(error);
            struct stat status
            {};
            NotifyItemRenamed(from, to, ::lstat(to.c_str(), &status) == 0 && S_ISDIR(status.st_mode));
        }
        if (newItem)
            *newItem = MakeFileSystemItem(newName, view.flags, view.entryType);
        return TShellResult::Ok();
    });
}

TShellResult TShellFolder::GetDetailsOf(const TItemIdList* item, int column, TShellDetails& details)
{
    details = TShellDetails{};
    const std::span<const TColumnSpec> columns = FolderColumns(kind_);
    if (column < 0 || column >= static_cast<int>(columns.size()))
        return Failure(EINVAL);
    const TColumnSpec& layout = columns[static_cast<std::size_t>(column)];
    details.format = layout.format;
    details.charCount = layout.charCount;
    if (!item) {
        details.text = layout.title;
        return TShellResult::Ok();
    }
    TItemView view;
    if (IDListCount(item) != 1 || !ReadItem(item, view))
        return Failure(EINVAL);
    details.text = ItemColumnData(Context(), view, layout.value).text;
    return TShellResult::Ok();
}

TShellResult TShellFolder::GetDefaultColumnState(int column, std::uint32_t& state)
{
    state = 0;
    const std::span<const TColumnSpec> columns = FolderColumns(kind_);
    if (column < 0 || column >= static_cast<int>(columns.size()))
        return Failure(EINVAL);
    state = columns[static_cast<std::size_t>(column)].state;
    return TShellResult::Ok();
}

TShellResult TShellFolder::GetFindData(const TItemIdList* item, TFindData& data)
{
    data = TFindData{};
    return OnLastItem(item, [&](TShellFolder& folder, const TItemIdList* last) {
        TItemView view;
        if (!ReadItem(last, view))
            return Failure(EINVAL);
        if (view.kind != TItemKind::FileSystem && view.kind != TItemKind::TrashEntry)
            return Failure(EINVAL);
        const std::string path = ItemPath(folder.Context(), view);
        struct statx status;
        if (path.empty() ||
            (::statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &status) != 0 &&
             ::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &status) != 0))
            return FailureFromErrno();
        const auto time = [](const statx_timestamp& stamp) { return timespec{stamp.tv_sec, stamp.tv_nsec}; };
        data.name = std::string(view.name);
        data.isFolder = S_ISDIR(status.stx_mode);
        data.size = data.isFolder ? 0 : status.stx_size;
        data.mode = status.stx_mode;
        data.modificationTime = time(status.stx_mtime);
        data.accessTime = time(status.stx_atime);
        data.changeTime = time(status.stx_ctime);
        if (status.stx_mask & STATX_BTIME)
            data.creationTime = time(status.stx_btime);
        return TShellResult::Ok();
    });
}

std::shared_ptr<const THiddenList> TShellFolder::HiddenList(bool reload)
{
    if (path_.empty()) {
        if (!hiddenList_)
            hiddenList_ = std::make_shared<const THiddenList>();
        return hiddenList_;
    }
    hiddenList_ = THiddenList::Shared(path_, reload);
    return hiddenList_;
}

TShellResult TShellFolder::GetUIObjectOf(QWidget* owner, std::span<const TItemIdList* const> items, TUIObjectKind kind,
                                         IUIObjectPtr& object)
{
    return MakeUIObject(*this, kind_, owner, items, kind, object);
}
