#include "platform/trash/TTrash.h"

#include "platform/core/system/TFileHandle.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "platform/core/text/PercentEncoding.h"
#include "platform/core/system/TMountTable.h"

namespace {

// A trash info file holds two short keys; anything longer is not one.
constexpr std::size_t kMaxTrashInfoBytes = 64 * 1024;

constexpr std::string_view kTrashInfoSuffix = ".trashinfo";

struct TDirCloser
{
    void operator()(DIR* stream) const { ::closedir(stream); }
};
using TDirPtr = std::unique_ptr<DIR, TDirCloser>;

std::string JoinPath(const std::string& folder, std::string_view name)
{
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    path.append(name);
    return path;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool IsDirectory(const std::string& path)
{
    struct stat status
    {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// An original path must name a place; ".." steps could lead a restore anywhere.
bool IsAcceptablePath(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return false;
    std::size_t start = 1;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (path.compare(start, end - start, "..") == 0)
            return false;
        start = end + 1;
    }
    return true;
}

std::optional<std::string> ResolveOriginalPath(std::string_view value, const std::string& topDir)
{
    std::optional<std::string> path = PercentDecode(value);
    if (!path || path->empty())
        return std::nullopt;
    if (path->front() != '/') {
        // Relative paths belong to a volume's trash; the home trash has absolute ones.
        if (topDir.empty())
            return std::nullopt;
        path = JoinPath(topDir, *path);
    }
    if (!IsAcceptablePath(*path))
        return std::nullopt;
    return path;
}

[[nodiscard]] bool ReadNumber(std::string_view text, std::size_t pos, std::size_t digits, int& value)
{
    value = 0;
    for (std::size_t i = pos; i < pos + digits; ++i) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// "YYYY-MM-DDThh:mm:ss" in local time; trailing fractions or zones are ignored.
std::optional<std::time_t> ParseDeletionDate(std::string_view text)
{
    struct tm local
    {};
    int year = 0;
    int month = 0;
    if (text.size() < 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    if (!ReadNumber(text, 0, 4, year) || !ReadNumber(text, 5, 2, month) || !ReadNumber(text, 8, 2, local.tm_mday) ||
        !ReadNumber(text, 11, 2, local.tm_hour) || !ReadNumber(text, 14, 2, local.tm_min) ||
        !ReadNumber(text, 17, 2, local.tm_sec))
        return std::nullopt;
    if (month < 1 || month > 12 || local.tm_mday < 1 || local.tm_mday > 31 || local.tm_hour > 23 || local.tm_min > 59 ||
        local.tm_sec > 60)
        return std::nullopt;
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_isdst = -1;
    const std::time_t time = std::mktime(&local);
    if (time == static_cast<std::time_t>(-1))
        return std::nullopt;
    return time;
}

std::optional<std::string> ReadSmallFile(const std::string& path)
{
    TFileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.Get() < 0)
        return std::nullopt;
    struct stat status
    {};
    if (::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    std::string text;
    char buffer[4096];
    while (text.size() <= kMaxTrashInfoBytes) {
        const ssize_t count = ::read(fd.Get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            return text;
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return std::nullopt;
}

// $topdir/.Trash as the administrator makes it: a real directory (no link) with the sticky bit.
bool IsSharedTrash(const std::string& path)
{
    struct stat status
    {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && (status.st_mode & S_ISVTX) != 0;
}

// Missing, or a real directory of the user's own that only the user may enter.
bool IsMissingOrPrivate(const std::string& path)
{
    struct stat status
    {};
    if (::lstat(path.c_str(), &status) != 0)
        return errno == ENOENT;
    return S_ISDIR(status.st_mode) && status.st_uid == ::getuid() && (status.st_mode & 07777) == 0700;
}

void AddUnique(std::vector<TTrashDirectory>& list, TTrashDirectory trash)
{
    if (std::none_of(list.begin(), list.end(), [&](const TTrashDirectory& known) { return known.Path == trash.Path; }))
        list.push_back(std::move(trash));
}

}  // namespace

std::string TTrash::HomeTrashPath()
{
    return JoinPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString(), "Trash");
}

TTrashDirectory TTrash::HomeTrash()
{
    return TTrashDirectory{HomeTrashPath(), std::string(), true};
}

TTrashDirectory TTrash::VolumeTrash(const std::string& topDir)
{
    const std::string uid = std::to_string(::getuid());
    const std::string shared = JoinPath(topDir, ".Trash");
    // The administrator's shared trash counts only when no one could have
    // planted it: a real directory with the sticky bit, and the user's folder
    // in it the user's own.
    if (IsSharedTrash(shared) && IsMissingOrPrivate(JoinPath(shared, uid)))
        return TTrashDirectory{JoinPath(shared, uid), topDir, false};
    return TTrashDirectory{JoinPath(topDir, ".Trash-" + uid), topDir, false};
}

bool TTrash::IsTrusted(const TTrashDirectory& trash)
{
    if (trash.IsHomeTrash)
        return true;
    const std::string parent = trash.Path.substr(0, trash.Path.rfind('/'));
    if (parent.size() >= 7 && parent.compare(parent.size() - 7, 7, "/.Trash") == 0 && !IsSharedTrash(parent))
        return false;
    return IsMissingOrPrivate(trash.Path);
}

std::vector<TTrashDirectory> TTrash::TrashDirectories(const TMountTable& mounts)
{
    std::vector<TTrashDirectory> trashes{HomeTrash()};
    const TMountEntry* homeMount = mounts.MountOf(trashes.front().Path);
    const std::string uid = std::to_string(::getuid());
    for (const TMountEntry& volume : mounts.Volumes()) {
        // A server that does not answer must not hang the trash folder.
        if (volume.IsNetwork || (homeMount != nullptr && volume.MountPoint == homeMount->MountPoint))
            continue;
        // Listing looks into both kinds a volume may have; VolumeTrash picks where new entries go.
        const TTrashDirectory preferred = VolumeTrash(volume.MountPoint);
        if (IsDirectory(preferred.Path) && IsTrusted(preferred))
            AddUnique(trashes, preferred);
        const TTrashDirectory own{JoinPath(volume.MountPoint, ".Trash-" + uid), volume.MountPoint, false};
        if (IsDirectory(own.Path) && IsTrusted(own))
            AddUnique(trashes, own);
    }
    return trashes;
}

std::vector<TTrashDirectory> TTrash::TrashDirectories()
{
    return TrashDirectories(TMountTable::Read());
}

std::vector<TTrashEntry> TTrash::ListEntries(const TTrashDirectory& trash)
{
    std::vector<TTrashEntry> entries;
    const std::string filesPath = trash.FilesPath();
    const TDirPtr stream(::opendir(filesPath.c_str()));
    if (!stream)
        return entries;
    const int dirFd = ::dirfd(stream.get());
    while (const dirent* item = ::readdir(stream.get())) {
        const std::string_view name = item->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat status
        {};
        if (::fstatat(dirFd, item->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        TTrashEntry entry;
        entry.Name = name;
        entry.TrashedPath = JoinPath(filesPath, name);
        entry.Trash = trash;
        entry.IsDirectory = S_ISDIR(status.st_mode);
        entry.IsSymlink = S_ISLNK(status.st_mode);
        entry.Size = entry.IsDirectory ? 0 : static_cast<std::uint64_t>(status.st_size);
        const std::string infoPath = JoinPath(trash.InfoPath(), std::string(name) + std::string(kTrashInfoSuffix));
        if (::access(infoPath.c_str(), F_OK) == 0) {
            entry.InfoFilePath = infoPath;
            if (const auto info = ReadTrashInfo(infoPath, trash.TopDir)) {
                entry.OriginalPath = info->OriginalPath;
                entry.DeletionTime = info->DeletionTime;
            }
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<TTrashEntry> TTrash::ListEntries(const std::vector<TTrashDirectory>& trashes)
{
    std::vector<TTrashEntry> entries;
    for (const TTrashDirectory& trash : trashes) {
        std::vector<TTrashEntry> more = ListEntries(trash);
        entries.insert(entries.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    }
    return entries;
}

std::vector<TTrashEntry> TTrash::ListEntries()
{
    return ListEntries(TrashDirectories());
}

std::optional<TTrashInfo> TTrash::ParseTrashInfo(std::string_view text, const std::string& topDir)
{
    bool inGroup = false;
    bool sawGroup = false;
    bool sawPath = false;
    bool sawDate = false;
    TTrashInfo info;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            inGroup = line == "[Trash Info]";
            sawGroup = sawGroup || inGroup;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inGroup || equals == std::string_view::npos)
            continue;
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        // The first of repeated keys counts.
        if (key == "Path" && !sawPath) {
            sawPath = true;
            info.OriginalPath = ResolveOriginalPath(value, topDir).value_or(std::string());
        } else if (key == "DeletionDate" && !sawDate) {
            sawDate = true;
            info.DeletionTime = ParseDeletionDate(value);
        }
    }
    if (!sawGroup)
        return std::nullopt;
    return info;
}

std::optional<TTrashInfo> TTrash::ReadTrashInfo(const std::string& infoFilePath, const std::string& topDir)
{
    const std::optional<std::string> text = ReadSmallFile(infoFilePath);
    if (!text)
        return std::nullopt;
    return ParseTrashInfo(*text, topDir);
}
