#include "shell/navigator/functions/StandardFolderLists.h"

#include "platform/namespace/ShellNamespace.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/library/TShellLibrary.h"

namespace {

bool SameObject(const TItemIdList* a, const TItemIdList* b)
{
    if (!a || !b)
        return false;
    const IShellFolderPtr desktop = DesktopFolder();
    if (!desktop)
        return false;
    const TShellResult order = desktop->CompareIDs(0, a, b);
    return order.Succeeded() && order.OrderValue() == 0;
}

}  // namespace

TItemIdListPtr GetSpecialFolderIDList(TPzShellFolder value)
{
    if (value == SF_DESKTOP)
        return CloneIDList(DesktopIDList());
    return SHGetSpecialFolderLocation(value == SF_FILESYSTEMFOLDER ? SF_DRIVES : value);
}

std::string GetSpecialFolderPath(TPzShellFolder value)
{
    const TItemIdListPtr list = GetSpecialFolderIDList(value);
    return GetPathFromIDList(list.get());
}

TPzShellFolder FindSpecialFolder(const TItemIdList* absolute)
{
    if (!absolute)
        return SF_FILESYSTEMFOLDER;
    for (int value = SF_BITBUCKET; value < kSpecialFolderCount; ++value) {
        const TItemIdListPtr special = GetSpecialFolderIDList(static_cast<TPzShellFolder>(value));
        if (SameObject(special.get(), absolute))
            return static_cast<TPzShellFolder>(value);
    }
    return SF_FILESYSTEMFOLDER;
}

bool IsSpecialFolderIDList(const TItemIdList* absolute, TPzShellFolder value)
{
    const TItemIdListPtr special = GetSpecialFolderIDList(value);
    return SameObject(special.get(), absolute);
}
