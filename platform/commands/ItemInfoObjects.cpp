#include "platform/commands/ItemInfoObjects.h"

#include "platform/core/system/LastError.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/commands/TItemInfoTip.h"
#include "platform/commands/TThumbnailExtractor.h"

#include <cerrno>

namespace {

TShellResult Failure(int error)
{
    SetLastError(error);
    return TShellResult::Fail(error);
}

}  // namespace

TShellResult MakeItemInfoObject(IShellFolder& folder, std::span<const TItemIdList* const> items, TUIObjectKind kind,
                                IUIObjectPtr& object)
{
    object.reset();
    if (items.size() != 1 || !items[0])
        return Failure(EINVAL);
    if (kind != TUIObjectKind::QueryInfo && kind != TUIObjectKind::ExtractImage)
        return Failure(ENOTSUP);
    const TItemIdListPtr absolute = ConcatIDLists(folder.GetIDList(), items[0]);
    std::string path = SHGetPathFromIDList(absolute.get());
    if (path.empty())
        return Failure(ENOTSUP);
    if (kind == TUIObjectKind::ExtractImage) {
        object = std::make_shared<TThumbnailExtractor>(std::move(path));
        return TShellResult::Ok();
    }
    // The type comes from the name people see (a trashed file's original name).
    std::string name;
    if (const TShellResult named = folder.GetDisplayNameOf(items[0], SHGDN_NORMAL, name); named.Failed())
        return named;
    object = std::make_shared<TItemInfoTip>(std::move(path), std::move(name));
    return TShellResult::Ok();
}
