#include "platform/commands/FolderUIObjects.h"

#include "platform/core/system/LastError.h"
#include "platform/core/ids/ShellItems.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/UIObjectMaker.h"
#include "platform/commands/ItemInfoObjects.h"
#include "platform/commands/TContextMenu.h"
#include "platform/exchange/TDataObject.h"
#include "platform/exchange/TFolderDropTarget.h"
#include "platform/trash/TTrash.h"

#include <cerrno>

namespace {

// The attributes a menu decides its verbs by.
constexpr std::uint32_t kMenuAttributes =
    SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_FOLDER | SFGAO_FILESYSTEM;

TShellResult Failure(int error)
{
    SetLastError(error);
    return TShellResult::Fail(error);
}

bool IsTrashEntry(const TItemIdList* item)
{
    TItemView view;
    return ReadItem(LastIDListItem(item), view) && view.kind == TItemKind::TrashEntry;
}

bool IsTrashFolderItem(const TItemIdList* item)
{
    TItemView view;
    return ReadItem(LastIDListItem(item), view) && view.kind == TItemKind::VirtualFolder &&
           view.virtualFolder == TVirtualFolder::Trash;
}

[[nodiscard]] bool DescribeItems(IShellFolder& folder, std::span<const TItemIdList* const> items,
                                 std::vector<TMenuItem>& described)
{
    for (const TItemIdList* item : items) {
        TMenuItem entry;
        entry.Relative = CloneIDList(item);
        entry.Absolute = ConcatIDLists(folder.GetIDList(), item);
        entry.Path = SHGetPathFromIDList(entry.Absolute.get());
        entry.Attributes = kMenuAttributes;
        const TItemIdList* one[] = {item};
        if (folder.GetAttributesOf(one, entry.Attributes).Failed())
            return false;
        entry.IsTrashEntry = IsTrashEntry(item);
        described.push_back(std::move(entry));
    }
    return true;
}

TShellResult MakeDropTarget(IShellFolder& folder, TFolderKind folderKind, QWidget* owner,
                            std::span<const TItemIdList* const> items, IUIObjectPtr& object)
{
    if (items.size() > 1)
        return Failure(EINVAL);
    if (items.empty() ? folderKind == TFolderKind::Trash : IsTrashFolderItem(items.front())) {
        object = std::make_shared<TFolderDropTarget>(TTrash::HomeTrashPath(), TFolderDropTarget::TKind::Trash, owner);
        return TShellResult::Ok();
    }
    std::string path = folder.GetPath();
    if (!items.empty()) {
        std::uint32_t attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
        if (folder.GetAttributesOf(items, attributes).Failed())
            return Failure(GetLastError());
        const TItemIdListPtr absolute = ConcatIDLists(folder.GetIDList(), items.front());
        path = (attributes & SFGAO_FOLDER) && !IsTrashEntry(items.front()) ? SHGetPathFromIDList(absolute.get())
                                                                           : std::string();
    }
    if (path.empty())
        return Failure(ENOTSUP);
    object = std::make_shared<TFolderDropTarget>(std::move(path), TFolderDropTarget::TKind::Folder, owner);
    return TShellResult::Ok();
}

}  // namespace

TShellResult MakeFolderUIObject(IShellFolder& folder, TFolderKind folderKind, QWidget* owner,
                                std::span<const TItemIdList* const> items, TUIObjectKind kind, IUIObjectPtr& object)
{
    object.reset();
    switch (kind) {
    case TUIObjectKind::ContextMenu: {
        std::vector<TMenuItem> described;
        if (!DescribeItems(folder, items, described))
            return Failure(GetLastError());
        object =
            std::make_shared<TContextMenu>(CloneIDList(folder.GetIDList()), folder.GetPath(), std::move(described));
        return TShellResult::Ok();
    }
    case TUIObjectKind::DataObject:
        if (items.empty())
            return Failure(EINVAL);
        object = std::make_shared<TDataObject>(folder.GetIDList(), items);
        return TShellResult::Ok();
    case TUIObjectKind::DropTarget: return MakeDropTarget(folder, folderKind, owner, items, object);
    case TUIObjectKind::QueryInfo:
    case TUIObjectKind::ExtractImage: break;
    }
    return Failure(ENOTSUP);
}

void RegisterFolderUIObjects()
{
    SetUIObjectMaker([](IShellFolder& folder, TFolderKind folderKind, QWidget* owner,
                        std::span<const TItemIdList* const> items, TUIObjectKind kind, IUIObjectPtr& object) {
        if (kind == TUIObjectKind::QueryInfo || kind == TUIObjectKind::ExtractImage)
            return MakeItemInfoObject(folder, items, kind, object);
        return MakeFolderUIObject(folder, folderKind, owner, items, kind, object);
    });
}
