#include "platform/namespace/ShellNamespace.h"

#include "platform/core/system/LastError.h"
#include "platform/namespace/NamespacePaths.h"
#include "platform/namespace/StandardFolders.h"
#include "platform/namespace/TShellFolder.h"

#include <cerrno>
#include <mutex>

namespace {

std::mutex hookMutex;
std::function<void(const std::string&)> folderEnumeratedHook;
std::function<void(const std::string&, const std::string&, bool)> itemRenamedHook;

}  // namespace

IShellFolderPtr SHGetDesktopFolder()
{
    return std::make_shared<TShellFolder>(TFolderKind::Desktop, MakeDesktopIDList(), DesktopDirectoryPath());
}

IShellFolderPtr SHBindToFolder(const TItemIdList* absolute)
{
    TResolvedList resolved;
    if (!ResolveIDList(absolute, resolved)) {
        SetLastError(errno);
        return nullptr;
    }
    if (!resolved.isFolder) {
        SetLastError(ENOTDIR);
        return nullptr;
    }
    return std::make_shared<TShellFolder>(resolved.kind, CloneIDList(absolute), std::move(resolved.path));
}

std::string SHGetPathFromIDList(const TItemIdList* absolute)
{
    TResolvedList resolved;
    if (!absolute || !ResolveIDList(absolute, resolved))
        return {};
    if (resolved.isFolder && resolved.kind == TFolderKind::Volume && resolved.path.back() != '/')
        resolved.path += '/';
    return resolved.path;
}

TItemIdListPtr SHParseDisplayName(const std::string& path)
{
    TItemBytes bytes;
    if (!ParseAbsolutePath(path, bytes)) {
        SetLastError(errno != 0 ? errno : ENOENT);
        return nullptr;
    }
    return ListFromItemBytes(bytes);
}

void SetFolderEnumeratedHook(std::function<void(const std::string& dirPath)> hook)
{
    const std::lock_guard lock(hookMutex);
    folderEnumeratedHook = std::move(hook);
}

void SetItemRenamedHook(std::function<void(const std::string& from, const std::string& to, bool folder)> hook)
{
    const std::lock_guard lock(hookMutex);
    itemRenamedHook = std::move(hook);
}

void NotifyItemRenamed(const std::string& from, const std::string& to, bool folder)
{
    std::function<void(const std::string&, const std::string&, bool)> hook;
    {
        const std::lock_guard lock(hookMutex);
        hook = itemRenamedHook;
    }
    if (hook)
        hook(from, to, folder);
}

void NotifyFolderEnumerated(const std::string& directoryPath)
{
    std::function<void(const std::string&)> hook;
    {
        const std::lock_guard lock(hookMutex);
        hook = folderEnumeratedHook;
    }
    if (hook)
        hook(directoryPath);
}
