#include "shell/navigator/functions/ShellPaths.h"

#include "platform/namespace/StandardFolders.h"
#include "platform/core/system/TMountTable.h"
#include "shell/navigator/functions/StandardFolderLists.h"
#include "shell/navigator/library/TShellLibrary.h"

#include <climits>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <vector>

namespace {

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// Joins "a/b" to the folder of a link and drops "." and ".." by name.
std::string AbsoluteTarget(const std::string& linkPath, const std::string& target)
{
    std::string joined = target;
    if (target.empty() || target[0] != '/') {
        const std::size_t slash = linkPath.rfind('/');
        joined = (slash == std::string::npos ? std::string(".") : linkPath.substr(0, slash + 1)) + target;
    }
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t end = joined.find('/', start);
        if (end == std::string::npos)
            end = joined.size();
        const std::string part = joined.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += "/" + part;
    return result.empty() ? std::string("/") : result;
}

}  // namespace

std::string DrivePart(const std::string& path)
{
    if (IsUNCPath(path)) {
        const std::size_t shareEnd = path.find('/', path.find('/', 2) + 1);
        return path.substr(0, shareEnd);
    }
    if (path.empty() || path[0] != '/')
        return {};
    const std::optional<TMountEntry> volume = TMountTable::Current()->VolumeOf(WithoutTrailingSlash(path));
    return volume ? volume->MountPoint : std::string("/");
}

bool IsDriveOrShareRoot(const std::string& path)
{
    const std::string drive = DrivePart(path);
    if (drive.empty())
        return false;
    return path == drive || path == drive + "/" || (drive == "/" && WithoutTrailingSlash(path) == "/");
}

bool IsUNCPath(const std::string& path)
{
    return path.size() > 3 && path.compare(0, 2, "//") == 0 && path.find('/', 3) != std::string::npos;
}

std::string GetServerName(const std::string& path)
{
    if (!IsUNCPath(path))
        return {};
    return path.substr(2, path.find('/', 2) - 2);
}

bool IsNetworkIDList(const TItemIdList* absolute)
{
    const TItemIdListPtr first = GetIDListItem(absolute, 0);
    return first && IsSpecialFolderIDList(first.get(), SF_NETWORK);
}

std::string ResolveShortcut(const std::string& path)
{
    const std::string link = WithoutTrailingSlash(path);
    std::vector<char> buffer(PATH_MAX);
    const ssize_t length = ::readlink(link.c_str(), buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size())
        return {};
    return AbsoluteTarget(link, std::string(buffer.data(), static_cast<std::size_t>(length)));
}

bool PathExists(const std::string& path)
{
    if (path.empty())
        return false;
    struct stat status
    {};
    if (IsDriveOrShareRoot(path)) {
        DIR* directory = ::opendir(path.c_str());
        if (!directory)
            return false;
        ::closedir(directory);
        return true;
    }
    return ::lstat(WithoutTrailingSlash(path).c_str(), &status) == 0;
}

std::int64_t GetFileSize64(const std::string& path)
{
    struct stat status
    {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0)
        return -1;
    return S_ISDIR(status.st_mode) ? 0 : static_cast<std::int64_t>(status.st_size);
}

std::int64_t GetDiskFreeSpace(const std::string& path)
{
    struct statvfs status
    {};
    if (path.empty() || ::statvfs(path.c_str(), &status) != 0)
        return -1;
    return static_cast<std::int64_t>(status.f_bavail) * static_cast<std::int64_t>(status.f_frsize);
}
