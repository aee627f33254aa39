#include "platform/core/system/TMountTable.h"

#include "platform/core/system/TFileHandle.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <functional>
#include <fstream>
#include <mutex>
#include <sstream>
#include <unordered_map>

#include "platform/core/text/PercentEncoding.h"

namespace {

constexpr std::string_view kDefaultMountInfoPath = "/proc/self/mountinfo";
constexpr std::string_view kDefaultLabelDirectory = "/dev/disk/by-label";
constexpr std::string_view kFileSystemTablePath = "/etc/fstab";
constexpr std::string_view kUserMountTablePath = "/run/mount/utab";

std::mutex gPathMutex;
std::string gMountInfoPath;
std::string gLabelDirectory;

// File-system types that exist for programs and administrators, not for
// browsing: kernel interfaces, memory-backed and container layers, and
// cluster file systems that desktops leave out.
constexpr std::string_view kSystemFileSystemTypes[] = {
    "adfs",     "afs",         "auto",       "autofs",     "autofs4",         "binfmt_misc", "bpf",
    "cgroup",   "cgroup2",     "configfs",   "cxfs",       "debugfs",         "devfs",       "devpts",
    "devtmpfs", "ecryptfs",    "efivarfs",   "fdescfs",    "fuse.gvfsd-fuse", "fuse.portal", "fusectl",
    "gfs",      "gfs2",        "gpfs",       "hugetlbfs",  "kernfs",          "linprocfs",   "linsysfs",
    "lustre",   "lustre_lite", "mfs",        "mqueue",     "ncpfs",           "nfsd",        "nsfs",
    "nullfs",   "ocfs2",       "overlay",    "proc",       "procfs",          "pstore",      "ptyfs",
    "ramfs",    "rootfs",      "rpc_pipefs", "securityfs", "selinuxfs",       "sysfs",       "tmpfs",
    "tracefs",  "usbfs",       "zfs",
};

// Top-level system folders (FHS) and the usual places of system mounts.
constexpr std::string_view kSystemMountPoints[] = {
    "/",
    "/bin",
    "/boot",
    "/compat/linux/proc",
    "/compat/linux/sys",
    "/dev",
    "/etc",
    "/home",
    "/lib",
    "/lib32",
    "/lib64",
    "/libx32",
    "/libexec",
    "/live/cow",
    "/live/image",
    "/media",
    "/mnt",
    "/opt",
    "/proc",
    "/rescue",
    "/root",
    "/run",
    "/run/lock",
    "/sbin",
    "/snap",
    "/srv",
    "/sys",
    "/tmp",
    "/usr",
    "/usr/X11R6",
    "/usr/local",
    "/usr/obj",
    "/usr/ports",
    "/usr/src",
    "/usr/xobj",
    "/var",
    "/var/crash",
    "/var/local",
    "/var/lock",
    "/var/log",
    "/var/log/audit",
    "/var/mail",
    "/var/run",
    "/var/spool",
    "/var/spool/cups",
    "/var/tmp",
};

constexpr std::string_view kSystemDevices[] = {
    "none", "sunrpc", "devpts", "nfsd", "/dev/loop", "/dev/vn",
};

constexpr std::string_view kNetworkFileSystemTypes[] = {
    "nfs",   "nfs4",        "cifs",           "smb3",       "smbfs", "ncpfs",          "afs",
    "ceph",  "glusterfs",   "fuse.glusterfs", "fuse.sshfs", "sshfs", "fuse.curlftpfs", "fuse.davfs2",
    "davfs", "fuse.rclone", "fuse.s3fs",
};

template <std::size_t N>
bool IsOneOf(std::string_view value, const std::string_view (&list)[N])
{
    return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

bool HasPrefix(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// Whether `path` lies strictly below the folder `folder` ("/media/" style).
bool IsBelow(std::string_view path, std::string_view folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.remove_suffix(1);
    return path.size() > folder.size() + 1 && HasPrefix(path, folder) && path[folder.size()] == '/';
}

bool IsAtOrBelow(std::string_view path, std::string_view folder)
{
    return path == folder || folder == "/" || IsBelow(path, folder);
}

std::vector<std::string_view> SplitOptions(std::string_view options)
{
    std::vector<std::string_view> list;
    while (!options.empty()) {
        const std::size_t comma = options.find(',');
        list.push_back(options.substr(0, comma));
        options = comma == std::string_view::npos ? std::string_view() : options.substr(comma + 1);
    }
    return list;
}

bool HasOption(std::string_view options, std::string_view name)
{
    for (const std::string_view option : SplitOptions(options))
        if (option == name)
            return true;
    return false;
}

std::optional<std::string_view> OptionValue(std::string_view options, std::string_view key)
{
    for (const std::string_view option : SplitOptions(options))
        if (option.size() > key.size() && HasPrefix(option, key) && option[key.size()] == '=')
            return option.substr(key.size() + 1);
    return std::nullopt;
}

std::vector<std::string_view> SplitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
        if (pos >= line.size())
            break;
        const std::size_t end = line.find_first_of(" \t", pos);
        fields.push_back(line.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
        pos = end == std::string_view::npos ? line.size() : end;
    }
    return fields;
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

std::optional<int> ParseNumber(std::string_view text)
{
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int value = 0;
    for (const char c : text)
        value = value * 10 + (c - '0');
    return value;
}

// id parent major:minor root mount-point options [optional fields...] - type source super-options
std::optional<TMountEntry> ParseMountInfoLine(std::string_view line)
{
    const std::vector<std::string_view> fields = SplitFields(line);
    constexpr std::ptrdiff_t kFieldsBeforeOptionalOnes = 6;
    if (fields.size() < kFieldsBeforeOptionalOnes + 3)
        return std::nullopt;
    const auto separator = std::find(fields.begin() + kFieldsBeforeOptionalOnes, fields.end(), std::string_view("-"));
    if (fields.end() - separator < 3)
        return std::nullopt;
    const auto mountId = ParseNumber(fields[0]);
    const auto parentId = ParseNumber(fields[1]);
    if (!mountId || !parentId)
        return std::nullopt;
    TMountEntry entry;
    entry.MountId = *mountId;
    entry.ParentId = *parentId;
    entry.Root = TMountTable::UnescapeField(fields[3]);
    entry.MountPoint = TMountTable::UnescapeField(fields[4]);
    entry.FileSystemType = TMountTable::UnescapeField(separator[1]);
    entry.Device = TMountTable::UnescapeField(separator[2]);
    entry.Options = TMountTable::UnescapeField(fields[5]);
    if (fields.end() - separator > 3 && !separator[3].empty())
        entry.Options += "," + TMountTable::UnescapeField(separator[3]);
    if (entry.MountPoint.empty() || entry.MountPoint.front() != '/')
        return std::nullopt;
    return entry;
}

// The x-gvfs-* options of an option list.
std::string DesktopOptions(std::string_view options)
{
    std::string desktopOptions;
    for (const std::string_view option : SplitOptions(options)) {
        if (!HasPrefix(option, "x-gvfs-"))
            continue;
        if (!desktopOptions.empty())
            desktopOptions.push_back(',');
        desktopOptions.append(option);
    }
    return desktopOptions;
}

// The kernel keeps no x-gvfs-* options in its table. The administrator writes
// them into the file-system table (by mount point); mount(8) records those it
// was given in its user table ("ID=27 SRC=... TARGET=... OPTS=x-gvfs-show").
struct TDesktopOptions
{
    std::unordered_map<std::string, std::string> ByMountPoint;
    std::unordered_map<int, std::string> ByMountId;

    explicit TDesktopOptions(std::string_view fileSystemTable, std::string_view userMountTable)
    {
        for (const std::string_view line : SplitLines(fileSystemTable)) {
            const std::vector<std::string_view> fields = SplitFields(line);
            if (fields.size() < 4 || fields[0].front() == '#')
                continue;
            AddTo(ByMountPoint[TMountTable::UnescapeField(fields[1])], fields[3]);
        }
        for (const std::string_view line : SplitLines(userMountTable)) {
            std::optional<int> mountId;
            std::string target;
            std::string_view options;
            for (const std::string_view field : SplitFields(line)) {
                if (HasPrefix(field, "ID="))
                    mountId = ParseNumber(field.substr(3));
                else if (HasPrefix(field, "TARGET="))
                    target = TMountTable::UnescapeField(field.substr(7));
                else if (HasPrefix(field, "OPTS="))
                    options = field.substr(5);
            }
            if (mountId)
                AddTo(ByMountId[*mountId], options);
            else if (!target.empty())
                AddTo(ByMountPoint[target], options);
        }
    }

    void ApplyTo(TMountEntry& entry) const
    {
        if (const auto found = ByMountPoint.find(entry.MountPoint);
            found != ByMountPoint.end() && !found->second.empty())
            entry.Options += "," + found->second;
        if (const auto found = ByMountId.find(entry.MountId); found != ByMountId.end() && !found->second.empty())
            entry.Options += "," + found->second;
    }

private:
    static void AddTo(std::string& known, std::string_view options)
    {
        const std::string more = TMountTable::UnescapeField(DesktopOptions(options));
        if (!more.empty())
            known += (known.empty() ? std::string() : std::string(",")).append(more);
    }
};

// The user's entry in the password database (thread-safe lookup).
std::optional<std::pair<std::string, std::string>> PasswordEntry()
{
    passwd entry{};
    passwd* result = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) != 0 || result == nullptr)
        return std::nullopt;
    return std::pair(std::string(entry.pw_name != nullptr ? entry.pw_name : ""),
                     std::string(entry.pw_dir != nullptr ? entry.pw_dir : ""));
}

std::string UserName()
{
    if (const auto entry = PasswordEntry(); entry && !entry->first.empty())
        return entry->first;
    const char* name = std::getenv("USER");
    return name != nullptr ? name : "";
}

std::string HomeDirectory()
{
    std::string home;
    if (const char* variable = std::getenv("HOME"); variable != nullptr && *variable != '\0')
        home = variable;
    else if (const auto entry = PasswordEntry())
        home = entry->second;
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    return home;
}

// Access is checked only where it was refused: a mount point that cannot be
// checked at all (a table read from elsewhere) is not hidden for it.
bool IsRefused(const std::string& path)
{
    return ::access(path.c_str(), R_OK | X_OK) != 0 && errno == EACCES;
}

bool IsShownByLocation(const TMountEntry& entry)
{
    const std::string& path = entry.MountPoint;
    const std::string user = UserName();
    const bool inRuntimeMedia =
        ::getuid() == 0 ? IsBelow(path, "/run/media") : !user.empty() && IsBelow(path, "/run/media/" + user);
    if (inRuntimeMedia || IsBelow(path, "/media")) {
        // Media mounted for another user are in a folder this user cannot enter.
        const std::string parent = path.substr(0, path.rfind('/'));
        if (IsBelow(parent, "/media") && IsRefused(parent))
            return false;
        struct stat status
        {};
        if (!entry.Device.empty() && entry.Device.front() == '/' && ::stat(entry.Device.c_str(), &status) == 0 &&
            S_ISBLK(status.st_mode) && IsRefused(path))
            return false;
        return true;
    }
    const std::string home = HomeDirectory();
    return !home.empty() && IsBelow(path, home);
}

bool IsUserVisible(const TMountEntry& entry)
{
    if (HasOption(entry.Options, "x-gvfs-hide"))
        return false;
    if (HasOption(entry.Options, "x-gvfs-show"))
        return true;
    if (entry.IsSystemInternal || entry.MountPoint.find("/.") != std::string::npos)
        return false;
    return IsShownByLocation(entry);
}

bool IsNetwork(const TMountEntry& entry)
{
    // 9p is a host's folder shared into a virtual machine unless it runs over a network transport.
    if (entry.FileSystemType == "9p")
        return HasOption(entry.Options, "trans=tcp") || HasOption(entry.Options, "trans=rdma");
    return TMountTable::IsNetworkFileSystemType(entry.FileSystemType);
}

// The whole text of a file; "" when it cannot be read.
std::string ReadWholeFile(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream text;
    if (stream)
        text << stream.rdbuf();
    return text.str();
}

std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

// udev writes unsafe characters of a label as \xHH.
std::string DecodeLabel(std::string_view name)
{
    std::string label;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            const std::string hex(name.substr(i + 2, 2));
            char* end = nullptr;
            const long value = std::strtol(hex.c_str(), &end, 16);
            if (end == hex.c_str() + 2 && value > 0) {
                label.push_back(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        label.push_back(name[i]);
    }
    return label;
}

// Labels by the real path of their device.
std::unordered_map<std::string, std::string> ReadLabels()
{
    std::unordered_map<std::string, std::string> labels;
    const std::string directory = TMountTable::LabelDirectory();
    DIR* stream = ::opendir(directory.c_str());
    if (stream == nullptr)
        return labels;
    while (const dirent* entry = ::readdir(stream)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        labels.emplace(RealPath(directory + "/" + std::string(name)), DecodeLabel(name));
    }
    ::closedir(stream);
    return labels;
}

std::string LastName(const std::string& mountPoint)
{
    return mountPoint.substr(mountPoint.rfind('/') + 1);
}

void NameVolume(TMountEntry& entry, const std::unordered_map<std::string, std::string>& labels)
{
    if (entry.MountPoint == "/") {
        entry.DisplayName = "Dateisystem";
        return;
    }
    if (!entry.Device.empty() && entry.Device.front() == '/') {
        const auto found = labels.find(RealPath(entry.Device));
        if (found != labels.end())
            entry.Label = found->second;
    }
    if (const auto name = OptionValue(entry.Options, "x-gvfs-name")) {
        if (const auto decoded = PercentDecode(*name); decoded && !decoded->empty()) {
            entry.DisplayName = *decoded;
            return;
        }
    }
    entry.DisplayName = entry.Label.empty() ? LastName(entry.MountPoint) : entry.Label;
}

// What Current() read last, and how to tell that it is out of date.
class TCurrentTable
{
public:
    std::shared_ptr<const TMountTable> Get()
    {
        const std::lock_guard lock(mutex_);
        const std::string path = TMountTable::MountInfoPath();
        const char* home = std::getenv("HOME");
        std::string key = path + '\n' + TMountTable::LabelDirectory() + '\n' + (home != nullptr ? home : "");
        if (key != key_) {
            key_ = std::move(key);
            table_.reset();
            kernelTable_.reset();
        }
        if (path == kDefaultMountInfoPath) {
            if (table_ && !KernelReportsChange())
                return table_;
        } else {
            const std::optional<TFileStamp> stamp = StampOf(path);
            if (table_ && stamp == stamp_)
                return table_;
            stamp_ = stamp;
        }
        if (path == kDefaultMountInfoPath && !kernelTable_) {
            // Opened before reading, so that a change during the read is not missed.
            kernelTable_.emplace(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        }
        table_ = std::make_shared<const TMountTable>(TMountTable::Read());
        return table_;
    }

private:
    struct TFileStamp
    {
        dev_t Device;
        ino_t Inode;
        off_t Size;
        std::int64_t ChangeSeconds;
        long ChangeNanoseconds;
        bool operator==(const TFileStamp&) const = default;
    };

    static std::optional<TFileStamp> StampOf(const std::string& path)
    {
        struct stat status
        {};
        if (::stat(path.c_str(), &status) != 0)
            return std::nullopt;
        return TFileStamp{status.st_dev, status.st_ino, status.st_size, status.st_ctim.tv_sec, status.st_ctim.tv_nsec};
    }

    // Polling the open table tells whether a mount changed since the last poll.
    bool KernelReportsChange()
    {
        if (!kernelTable_ || kernelTable_->Get() < 0)
            return true;
        pollfd request{kernelTable_->Get(), POLLPRI, 0};
        return ::poll(&request, 1, 0) != 0 && (request.revents & (POLLERR | POLLPRI)) != 0;
    }

    std::mutex mutex_;
    std::string key_;
    std::shared_ptr<const TMountTable> table_;
    std::optional<TFileHandle> kernelTable_;
    std::optional<TFileStamp> stamp_;
};

}  // namespace

std::shared_ptr<const TMountTable> TMountTable::Current()
{
    static TCurrentTable current;
    return current.Get();
}

void TMountTable::SetMountInfoPath(const std::string& path)
{
    const std::lock_guard lock(gPathMutex);
    gMountInfoPath = path;
}

std::string TMountTable::MountInfoPath()
{
    {
        const std::lock_guard lock(gPathMutex);
        if (!gMountInfoPath.empty())
            return gMountInfoPath;
    }
    if (const char* variable = std::getenv("PARZELLO_MOUNTINFO"); variable != nullptr && *variable != '\0')
        return variable;
    return std::string(kDefaultMountInfoPath);
}

void TMountTable::SetLabelDirectory(const std::string& path)
{
    const std::lock_guard lock(gPathMutex);
    gLabelDirectory = path;
}

std::string TMountTable::LabelDirectory()
{
    const std::lock_guard lock(gPathMutex);
    return gLabelDirectory.empty() ? std::string(kDefaultLabelDirectory) : gLabelDirectory;
}

TMountTable TMountTable::Read()
{
    const std::string path = MountInfoPath();
    const std::string mountInfo = ReadWholeFile(path);
    // The system's option tables belong to the system's mount table only.
    std::string fileSystemTable;
    std::string userMountTable;
    if (path == kDefaultMountInfoPath) {
        fileSystemTable = ReadWholeFile(std::string(kFileSystemTablePath));
        userMountTable = ReadWholeFile(std::string(kUserMountTablePath));
    }
    return Parse(mountInfo, fileSystemTable, userMountTable);
}

TMountTable TMountTable::ReadFile(const std::string& path)
{
    return Parse(ReadWholeFile(path));
}

TMountTable TMountTable::Parse(std::string_view mountInfo, std::string_view fileSystemTable,
                               std::string_view userMountTable)
{
    const TDesktopOptions desktopOptions(fileSystemTable, userMountTable);
    TMountTable table;
    std::optional<std::unordered_map<std::string, std::string>> labels;
    for (const std::string_view line : SplitLines(mountInfo)) {
        std::optional<TMountEntry> entry = ParseMountInfoLine(line);
        if (!entry)
            continue;
        desktopOptions.ApplyTo(*entry);
        entry->IsSystemInternal = IsSystemMountPoint(entry->MountPoint) ||
                                  IsSystemFileSystemType(entry->FileSystemType) || IsSystemDevice(entry->Device) ||
                                  entry->Root != "/";
        entry->IsNetwork = IsNetwork(*entry);
        entry->IsUserVisible = entry->MountPoint == "/" || IsUserVisible(*entry);
        if (entry->IsUserVisible || entry->IsNetwork) {
            if (!labels)
                labels = ReadLabels();
            NameVolume(*entry, *labels);
        }
        table.entries_.push_back(std::move(*entry));
    }
    return table;
}

std::vector<TMountEntry> TMountTable::Volumes() const
{
    std::vector<TMountEntry> volumes = TopmostWhere([](const TMountEntry& entry) { return entry.IsUserVisible; });
    if (volumes.empty() || volumes.front().MountPoint != "/") {
        TMountEntry root;
        root.MountPoint = "/";
        root.Root = "/";
        root.DisplayName = "Dateisystem";
        root.IsUserVisible = true;
        volumes.insert(volumes.begin(), std::move(root));
    }
    return volumes;
}

std::vector<TMountEntry> TMountTable::NetworkMounts() const
{
    return TopmostWhere([](const TMountEntry& entry) {
        return entry.IsNetwork && !HasOption(entry.Options, "x-gvfs-hide") && !IsSystemMountPoint(entry.MountPoint) &&
               entry.MountPoint.find("/.") == std::string::npos;
    });
}

std::vector<TMountEntry> TMountTable::TopmostWhere(const std::function<bool(const TMountEntry&)>& accept) const
{
    // A later mount at the same place covers the earlier ones; only the one on top is reachable.
    std::unordered_map<std::string_view, const TMountEntry*> topmost;
    for (const TMountEntry& entry : entries_)
        topmost[entry.MountPoint] = &entry;
    std::vector<TMountEntry> result;
    for (const auto& [mountPoint, entry] : topmost)
        if (accept(*entry))
            result.push_back(*entry);
    std::sort(result.begin(), result.end(),
              [](const TMountEntry& a, const TMountEntry& b) { return a.MountPoint < b.MountPoint; });
    return result;
}

const TMountEntry* TMountTable::MountOf(std::string_view path) const
{
    const TMountEntry* best = nullptr;
    for (const TMountEntry& entry : entries_) {
        if (IsAtOrBelow(path, entry.MountPoint) &&
            (best == nullptr || entry.MountPoint.size() >= best->MountPoint.size()))
            best = &entry;
    }
    return best;
}

std::optional<TMountEntry> TMountTable::VolumeOf(std::string_view path) const
{
    std::optional<TMountEntry> best;
    for (TMountEntry& volume : Volumes()) {
        if (IsAtOrBelow(path, volume.MountPoint) && (!best || volume.MountPoint.size() > best->MountPoint.size()))
            best = std::move(volume);
    }
    return best;
}

bool TMountTable::IsSystemFileSystemType(std::string_view type)
{
    return IsOneOf(type, kSystemFileSystemTypes);
}

bool TMountTable::IsSystemMountPoint(std::string_view mountPoint)
{
    return IsOneOf(mountPoint, kSystemMountPoints) || HasPrefix(mountPoint, "/dev/") ||
           HasPrefix(mountPoint, "/proc/") || HasPrefix(mountPoint, "/sys/") || mountPoint.ends_with("/.gvfs");
}

bool TMountTable::IsSystemDevice(std::string_view device)
{
    return IsOneOf(device, kSystemDevices);
}

bool TMountTable::IsNetworkFileSystemType(std::string_view type)
{
    return IsOneOf(type, kNetworkFileSystemTypes);
}

std::string TMountTable::UnescapeField(std::string_view field)
{
    std::string result;
    result.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1];
            const char b = field[i + 2];
            const char c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                result.push_back(static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0')));
                i += 3;
                continue;
            }
        }
        result.push_back(field[i]);
    }
    return result;
}

std::optional<TVolumeSpace> QueryVolumeSpace(const std::string& mountPoint)
{
    struct statvfs status
    {};
    if (::statvfs(mountPoint.c_str(), &status) != 0)
        return std::nullopt;
    const std::uint64_t unit = status.f_frsize != 0 ? status.f_frsize : status.f_bsize;
    return TVolumeSpace{std::uint64_t(status.f_blocks) * unit, std::uint64_t(status.f_bavail) * unit};
}
