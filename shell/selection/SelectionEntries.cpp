#include "shell/selection/SelectionEntries.h"

#include "platform/core/ids/ShellItems.h"

#include <memory>

#include <dirent.h>
#include <sys/stat.h>

namespace {

struct TDirCloser
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

bool IsFolderEntry(const std::string& entry)
{
    return EndsWith(entry, kFolderEntrySuffix);
}

std::string PathOfEntry(const std::string& entry)
{
    if (!IsFolderEntry(entry))
        return entry;
    const std::string folder = entry.substr(0, entry.size() - 2);
    return folder.empty() ? "/" : folder;
}

std::string FolderPrefix(const std::string& folder)
{
    return EndsWith(folder, "/") ? folder : folder + '/';
}

std::string FolderEntry(const std::string& folder)
{
    return FolderPrefix(folder) + '*';
}

std::string ParentFolder(const std::string& path)
{
    const std::string clean = CleanPath(path);
    if (clean == "/")
        return {};
    const std::size_t slash = clean.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : clean.substr(0, slash);
}

std::string CleanPath(const std::string& path)
{
    std::string clean = path;
    if (EndsWith(clean, "*"))
        clean.pop_back();
    while (clean.size() > 1 && clean.back() == '/')
        clean.pop_back();
    return clean;
}

std::optional<std::string> NormalizeEntryPath(const std::string& path)
{
    if (path.empty() || path == "." || path == ".." || path.front() != '/')
        return std::nullopt;
    const std::string clean = CleanPath(path);
    // lstat: a symbolic link is an entry of its own, whatever it leads to.
    struct stat info
    {};
    if (::lstat(clean.c_str(), &info) != 0)
        return std::nullopt;
    if (S_ISDIR(info.st_mode))
        return FolderEntry(clean);
    // "name/" asks for a folder; a file or link of that name is not what was meant.
    const std::string withoutStar = !path.empty() && path.back() == '*' ? path.substr(0, path.size() - 1) : path;
    if (withoutStar.back() == '/')
        return std::nullopt;
    return clean;
}

bool IsFolderShortcut(const std::string& path)
{
    const std::string clean = CleanPath(path);
    struct stat link
    {};
    struct stat target
    {};
    return ::lstat(clean.c_str(), &link) == 0 && S_ISLNK(link.st_mode) && ::stat(clean.c_str(), &target) == 0 &&
           S_ISDIR(target.st_mode);
}

std::optional<std::vector<std::string>> ListFolder(const std::string& folder)
{
    const std::unique_ptr<DIR, TDirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return std::nullopt;
    std::vector<std::string> children;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            children.push_back(JoinPath(folder, name));
    }
    return children;
}
