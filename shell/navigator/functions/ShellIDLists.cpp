#include "shell/navigator/functions/ShellIDLists.h"

#include "platform/core/system/LastError.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"
#include "shell/navigator/library/TShellLibrary.h"

#include <cerrno>

namespace {

constexpr std::size_t kCountFieldSize = 2;

}  // namespace

std::string GetPathFromIDList(const TItemIdList* absolute)
{
    return absolute ? SHGetPathFromIDList(absolute) : std::string();
}

TItemIdListPtr PathToIDList(IShellFolder* folder, const std::string& path)
{
    if (path.empty())
        return SHGetSpecialFolderLocation(SF_DRIVES);
    IShellFolderPtr desktop;
    if (!folder) {
        desktop = DesktopFolder();
        folder = desktop.get();
    }
    if (!folder) {
        SetLastError(ENOENT);
        return nullptr;
    }
    TItemIdListPtr list;
    const TShellResult result = folder->ParseDisplayName(path, list);
    if (result.Failed() || !list) {
        SetLastError(result.Failed() ? result.Error() : ENOENT);
        return nullptr;
    }
    return list;
}

std::size_t ValidIDListSize(const std::uint8_t* bytes, std::size_t size)
{
    if (!bytes)
        return 0;
    std::size_t offset = 0;
    while (offset + kCountFieldSize <= size) {
        const std::size_t count = static_cast<std::size_t>(bytes[offset] | (bytes[offset + 1] << 8));
        if (count == 0)
            return offset + kCountFieldSize;
        if (count < kCountFieldSize || count > size - offset)
            return 0;
        offset += count;
    }
    return 0;
}

TItemIdListPtr IDListFromBuffer(const std::uint8_t* bytes, std::size_t size)
{
    const std::size_t listSize = ValidIDListSize(bytes, size);
    if (listSize == 0)
        return nullptr;
    return IDListFromBytes(bytes, listSize - kCountFieldSize);
}
