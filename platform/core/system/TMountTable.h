#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One line of the kernel's mount table (/proc/self/mountinfo), with what the
// computer and network folders need to know about it. Paths are the native
// bytes with the table's octal escapes (\040 ...) decoded.
struct TMountEntry
{
    int MountId = 0;
    int ParentId = 0;
    std::string MountPoint;
    std::string Root;    // the part of the file system mounted here; "/" unless a bind mount
    std::string Device;  // the mount source, e.g. /dev/sdb1 or server:/export
    std::string FileSystemType;
    std::string Options;  // per-mount options, then the super-block options, comma separated
    std::string Label;    // file-system label from /dev/disk/by-label, "" when none
    // of volumes and network mounts: "Dateisystem" for "/", else x-gvfs-name, label or last name
    std::string DisplayName;
    bool IsSystemInternal = false;
    bool IsUserVisible = false;  // shown as a volume of the computer folder
    bool IsNetwork = false;      // a network file system (nfs, cifs, sshfs ...)

    bool operator==(const TMountEntry&) const = default;
};

// Size and free space of a mounted file system, in bytes.
struct TVolumeSpace
{
    std::uint64_t TotalBytes = 0;
    std::uint64_t FreeBytes = 0;  // available to an unprivileged user
};

// The mount table read at one moment. Which mounts count as volumes follows
// the rules desktop file managers use (GIO's): "/" always, plus every mount
// that is not system-internal, has no "/." in its path and lies below /media/,
// /run/media/$USER/ (any user's for root) or $HOME/. System-internal are
// kernel and memory file systems (proc, tmpfs, overlay ...), system devices,
// the FHS system folders and everything below /dev, /proc and /sys, and bind
// mounts (a root other than "/"). x-gvfs-hide hides any mount but "/",
// x-gvfs-show shows any other, x-gvfs-name= (URI-escaped) names it. Media
// folders of other users are left out only where access is refused, so a
// table read from elsewhere is judged by its text. Network file systems are
// nfs, cifs, sshfs and their kin, and 9p only over tcp or rdma (otherwise it is
// a virtual machine's shared host folder).
// Cheap to copy; compare two readings with ==.
class TMountTable
{
public:
    // The file read by Read(): the path given to SetMountInfoPath, else the
    // environment variable PARZELLO_MOUNTINFO, else /proc/self/mountinfo.
    // The mount watcher watches this path. An empty path restores the default.
    static void SetMountInfoPath(const std::string& path);
    static std::string MountInfoPath();

    // Where labels are looked up (default /dev/disk/by-label); for tests.
    static void SetLabelDirectory(const std::string& path);
    static std::string LabelDirectory();

    TMountTable() = default;

    // Reads MountInfoPath(); an unreadable table gives an empty one (whose
    // Volumes() still hold "/").
    static TMountTable Read();
    static TMountTable ReadFile(const std::string& path);

    // The table as it is now, for frequent callers: read again only after a
    // change (the kernel flags /proc/self/mountinfo on every mount and unmount;
    // a table elsewhere counts as changed when its file does), or when the
    // path, the label folder or $HOME changed. Thread-safe.
    static std::shared_ptr<const TMountTable> Current();
    // The x-gvfs-* options of `fileSystemTable` (fstab) apply to the mounts at
    // its mount points, those of `userMountTable` (mount's utab) to the mounts
    // with its ids; Read() uses /etc/fstab and /run/mount/utab for the
    // system's own table.
    static TMountTable Parse(std::string_view mountInfo, std::string_view fileSystemTable = {},
                             std::string_view userMountTable = {});

    // Every line of the table in table order (malformed lines are skipped).
    const std::vector<TMountEntry>& Entries() const { return entries_; }

    // The volumes of the computer folder: "/" first, then the user-visible
    // mounts ordered by mount point (bytewise). A mount point mounted over
    // appears once, with its topmost mount.
    std::vector<TMountEntry> Volumes() const;

    // The mounted network file systems for the network folder, by mount point:
    // those of a network type that are not hidden by their path or options.
    std::vector<TMountEntry> NetworkMounts() const;

    // The topmost mount holding `path` (longest mount-point prefix among all
    // entries), or null. `path` must be absolute and normalised.
    const TMountEntry* MountOf(std::string_view path) const;

    // The volume holding `path` (longest mount-point prefix among Volumes()).
    std::optional<TMountEntry> VolumeOf(std::string_view path) const;

    bool operator==(const TMountTable&) const = default;

    // Classification helpers, public for the trash and for tests.
    static bool IsSystemFileSystemType(std::string_view type);
    static bool IsSystemMountPoint(std::string_view mountPoint);
    static bool IsSystemDevice(std::string_view device);
    static bool IsNetworkFileSystemType(std::string_view type);

    // Decodes the octal escapes of a mountinfo field (\040 \011 \012 \134).
    static std::string UnescapeField(std::string_view field);

private:
    // The topmost mount of each mount point that `accept` takes, by mount point.
    std::vector<TMountEntry> TopmostWhere(const std::function<bool(const TMountEntry&)>& accept) const;

    std::vector<TMountEntry> entries_;
};

// Total size and free space of the file system mounted at `mountPoint`
// (statvfs); nothing when it cannot be queried.
std::optional<TVolumeSpace> QueryVolumeSpace(const std::string& mountPoint);
