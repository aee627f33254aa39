#include "platform/namespace/UIObjectMaker.h"

#include "platform/core/system/LastError.h"

#include <cerrno>
#include <mutex>
#include <utility>

namespace {

std::mutex makerMutex;
TUIObjectMaker installedMaker;

}  // namespace

void SetUIObjectMaker(TUIObjectMaker maker)
{
    const std::lock_guard lock(makerMutex);
    installedMaker = std::move(maker);
}

TShellResult MakeUIObject(IShellFolder& folder, TFolderKind folderKind, QWidget* owner,
                          std::span<const TItemIdList* const> items, TUIObjectKind kind, IUIObjectPtr& object)
{
    TUIObjectMaker maker;
    {
        const std::lock_guard lock(makerMutex);
        maker = installedMaker;
    }
    object.reset();
    if (!maker) {
        SetLastError(ENOTSUP);
        return TShellResult::Fail(ENOTSUP);
    }
    return maker(folder, folderKind, owner, items, kind, object);
}
