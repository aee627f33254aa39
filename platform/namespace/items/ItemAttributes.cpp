#include "platform/namespace/items/ItemAttributes.h"

#include "platform/namespace/items/ItemNames.h"
#include "platform/core/ids/ShellConstants.h"
#include "platform/namespace/StandardFolders.h"
#include "platform/core/system/TMountTable.h"

#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder with more entries than this is taken to hold a subfolder: reading a
// huge folder only to draw an expand button would stall the tree.
constexpr int kSubfolderScanLimit = 512;

constexpr std::uint32_t kPathBits = SFGAO_FILESYSTEM | SFGAO_CANCOPY | SFGAO_CANLINK;
constexpr std::uint32_t kChangeBits = SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_CANMOVE;
constexpr std::uint32_t kStatxBits = SFGAO_COMPRESSED | SFGAO_ENCRYPTED;

struct TDirCloser
{
    void operator()(DIR* directory) const { closedir(directory); }
};

bool IsWritableDirectory(const std::string& path)
{
    return !path.empty() && ::access(path.c_str(), W_OK) == 0;
}

std::uint32_t StatxBits(const std::string& path)
{
    struct statx status;
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS, &status) != 0)
        return 0;
    const std::uint64_t known = status.stx_attributes_mask & status.stx_attributes;
    std::uint32_t bits = 0;
    if (known & STATX_ATTR_COMPRESSED)
        bits |= SFGAO_COMPRESSED;
    if (known & STATX_ATTR_ENCRYPTED)
        bits |= SFGAO_ENCRYPTED;
    return bits;
}

std::uint32_t VirtualFolderAttributes(TVirtualFolder folder, std::uint32_t mask)
{
    switch (folder) {
    case TVirtualFolder::Home: {
        std::uint32_t bits = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | kPathBits;
        if ((mask & SFGAO_HASSUBFOLDER) && DirectoryHasSubfolder(HomeDirectoryPath()))
            bits |= SFGAO_HASSUBFOLDER;
        return bits;
    }
    case TVirtualFolder::Computer: return SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
    case TVirtualFolder::Network: {
        std::uint32_t bits = SFGAO_FOLDER;
        if ((mask & SFGAO_HASSUBFOLDER) && !TMountTable::Current()->NetworkMounts().empty())
            bits |= SFGAO_HASSUBFOLDER;
        return bits;
    }
    case TVirtualFolder::Trash: return SFGAO_FOLDER;
    }
    return 0;
}

}  // namespace

bool ListsSlowly(const std::string& path)
{
    const std::shared_ptr<const TMountTable> table = TMountTable::Current();
    // A folder's path may end in a slash; the mount table's lookup wants none.
    std::string_view folder = path;
    while (folder.size() > 1 && folder.back() == '/')
        folder.remove_suffix(1);
    const TMountEntry* mount = table->MountOf(folder);
    if (!mount)
        return false;
    const std::string_view type = mount->FileSystemType;
    return TMountTable::IsNetworkFileSystemType(type) || type == "fuse" || type.starts_with("fuse.");
}

bool DirectoryHasSubfolder(const std::string& path)
{
    if (ListsSlowly(path))
        return true;
    std::unique_ptr<DIR, TDirCloser> directory(opendir(path.c_str()));
    if (!directory)
        return false;
    const int directoryFd = dirfd(directory.get());
    int seen = 0;
    while (const dirent* entry = readdir(directory.get())) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        if (++seen > kSubfolderScanLimit)
            return true;
        if (entry->d_type == DT_DIR)
            return true;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat status;
            if (fstatat(directoryFd, name, &status, 0) == 0 && S_ISDIR(status.st_mode))
                return true;
        }
    }
    return false;
}

std::uint32_t ItemAttributes(const TItemContext& context, const TItemView& view, const THiddenList& hidden,
                             std::uint32_t mask)
{
    std::uint32_t bits = 0;
    switch (view.kind) {
    case TItemKind::VirtualFolder: bits = VirtualFolderAttributes(view.virtualFolder, mask); break;
    case TItemKind::Volume:
        bits = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | kPathBits;
        if ((mask & SFGAO_HASSUBFOLDER) && DirectoryHasSubfolder(std::string(view.name)))
            bits |= SFGAO_HASSUBFOLDER;
        break;
    case TItemKind::FileSystem: {
        // The path only for the questions that look at the disk: a listing
        // asks every entry whether it is hidden.
        bits = kPathBits;
        if (view.IsFolder()) {
            bits |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR;
            if ((mask & SFGAO_HASSUBFOLDER) && DirectoryHasSubfolder(ItemPath(context, view)))
                bits |= SFGAO_HASSUBFOLDER;
        }
        if (view.IsSymlink())
            bits |= SFGAO_LINK;
        if ((mask & SFGAO_HIDDEN) && hidden.IsHidden(view.name))
            bits |= SFGAO_HIDDEN;
        if ((mask & kChangeBits) && IsWritableDirectory(context.folderPath))
            bits |= kChangeBits;
        if (mask & kStatxBits)
            bits |= StatxBits(ItemPath(context, view));
        break;
    }
    case TItemKind::TrashEntry:
        bits = kPathBits;
        if (THiddenList::IsDotName(view.name))
            bits |= SFGAO_HIDDEN;
        if ((mask & SFGAO_CANDELETE) && IsWritableDirectory(JoinPath(view.trashPath, "files")))
            bits |= SFGAO_CANDELETE;
        break;
    }
    return bits & mask;
}
