#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TMountTable;

// One trash directory of the user, in the freedesktop.org trash layout: it holds
// files/ with the trashed entries and info/ with one NAME.trashinfo per entry.
struct TTrashDirectory
{
    std::string Path;    // the trash directory itself
    std::string TopDir;  // the volume's top directory that relative Path= keys start from;
                         // "" for the home trash, whose keys are absolute
    bool IsHomeTrash = false;

    std::string FilesPath() const { return Path + "/files"; }
    std::string InfoPath() const { return Path + "/info"; }
    bool operator==(const TTrashDirectory&) const = default;
};

// What a .trashinfo file says.
struct TTrashInfo
{
    std::string OriginalPath;                 // absolute, native bytes; "" when unknown
    std::optional<std::time_t> DeletionTime;  // from DeletionDate= (local time)
};

// One entry of a trash directory's files/.
struct TTrashEntry
{
    std::string Name;          // the name in the trash (native bytes)
    std::string TrashedPath;   // full path of the trashed file or folder
    std::string InfoFilePath;  // its .trashinfo; "" when missing
    TTrashDirectory Trash;     // the trash directory it lies in
    std::string OriginalPath;  // where it was deleted from; "" when unknown
    std::optional<std::time_t> DeletionTime;
    bool IsDirectory = false;  // a real directory (a symbolic link is not one)
    bool IsSymlink = false;
    std::uint64_t Size = 0;  // bytes of a file; 0 for a directory
};

// The user's trash directories and what they hold. Entries of files/ are
// listed even without a usable .trashinfo (then the original path and date are
// unknown) so that they can still be emptied; .trashinfo files without their
// entry are ignored.
class TTrash
{
public:
    // $XDG_DATA_HOME/Trash, by default ~/.local/share/Trash.
    static std::string HomeTrashPath();
    static TTrashDirectory HomeTrash();

    // The trash directory of the user on the volume with top directory
    // `topDir`: $topdir/.Trash/$uid when $topdir/.Trash is a real directory with
    // the sticky bit and $topdir/.Trash/$uid is missing or trusted, else
    // $topdir/.Trash-$uid. Names the directory whether it exists or not
    // (moving to the trash will create it).
    static TTrashDirectory VolumeTrash(const std::string& topDir);

    // Whether a trash directory may be used: the home trash always; a
    // volume's when it is missing (it will be made) or a real directory
    // (no link) owned by the user with mode 0700, and for $topdir/.Trash/$uid
    // only below a real, sticky $topdir/.Trash. Anyone else could read what
    // lands in another trash, or plant entries whose restore writes anywhere.
    static bool IsTrusted(const TTrashDirectory& trash);

    // The home trash and every existing, trusted trash directory on the local volumes
    // of `mounts` (other than the one holding the home trash, whose trash is
    // the home trash), without duplicates. Network mounts are not looked at:
    // a server that does not answer would hang the listing.
    static std::vector<TTrashDirectory> TrashDirectories(const TMountTable& mounts);
    static std::vector<TTrashDirectory> TrashDirectories();  // of TMountTable::Read()

    // The entries of one trash directory, or of all of them.
    static std::vector<TTrashEntry> ListEntries(const TTrashDirectory& trash);
    static std::vector<TTrashEntry> ListEntries(const std::vector<TTrashDirectory>& trashes);
    static std::vector<TTrashEntry> ListEntries();

    // Parses the text of a .trashinfo file; relative Path= values are resolved
    // against `topDir`. Nothing when the text is no trash info.
    static std::optional<TTrashInfo> ParseTrashInfo(std::string_view text, const std::string& topDir);
    static std::optional<TTrashInfo> ReadTrashInfo(const std::string& infoFilePath, const std::string& topDir);
};
