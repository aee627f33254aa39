#include "engine/split/SplitPrechecks.h"

#include "engine/split/PieceSizes.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string_view>

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr std::uint64_t kFatLargestFile = 4294967295;  // FAT keeps a file's length in 32 bits
constexpr std::uint64_t kTiny = 1;

// File system types of the FAT family, the kernel's and FUSE's.
constexpr std::array<std::string_view, 5> kFatTypes{"vfat", "msdos", "fat", "umsdos", "fuse.fusefat"};

// The type the mount table gives the file system of device `device`; empty when it is not listed.
std::string MountTypeOf(dev_t device)
{
    std::ifstream table("/proc/self/mountinfo");
    std::string line;
    // Fields: id, parent, major:minor, root, mount point, options, optional fields, "-", type, source, ...
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string id, parent, numbers;
        fields >> id >> parent >> numbers;
        unsigned major = 0, minor = 0;
        if (std::sscanf(numbers.c_str(), "%u:%u", &major, &minor) != 2 || makedev(major, minor) != device)
            continue;
        std::string field;
        while (fields >> field && field != "-") {}
        std::string type;
        fields >> type;
        return type;
    }
    return {};
}

bool IsFatType(const std::string& type)
{
    for (std::string_view fat : kFatTypes) {
        if (type == fat)
            return true;
    }
    return false;
}

std::string Bytes(std::uint64_t count)
{
    return std::to_string(count) + (count == kTiny ? " Byte" : " Bytes");
}

}  // namespace

std::uint64_t LargestFileOn(const std::string& folder)
{
    struct stat status
    {};
    if (::stat(folder.c_str(), &status) == 0 && IsFatType(MountTypeOf(status.st_dev)))
        return kFatLargestFile;
    // The bits of the largest size as a signed number, as POSIX counts them.
    const long bits = ::pathconf(folder.c_str(), _PC_FILESIZEBITS);
    if (bits <= 1 || bits >= 64)
        return 0;
    return (std::uint64_t{1} << (bits - 1)) - 1;
}

std::string SplitTargetProblem(const std::string& folder, std::int64_t pieceSize, std::uint64_t length)
{
    const auto size = static_cast<std::uint64_t>(pieceSize);
    const std::uint64_t largest = LargestFileOn(folder);
    if (largest != 0 && size > largest) {
        const std::string limit =
            largest == kFatLargestFile ? Bytes(largest) + " (4 GiB − 1 Byte, FAT)" : Bytes(largest);
        return "Teile von " + Bytes(size) + " kann das Dateisystem des Ordners " + folder +
               " nicht aufnehmen: eine Datei darf dort höchstens " + limit +
               " groß sein. Bitte wählen Sie eine kleinere Größe.";
    }
    struct statvfs space
    {};
    if (::statvfs(folder.c_str(), &space) != 0 || space.f_frsize == 0)
        return {};  // nothing known: the writing itself will tell
    // Every piece may end in a block of its own; the checksum file takes one more.
    const std::uint64_t block = space.f_frsize;
    const auto pieces = static_cast<std::uint64_t>(PieceCountOf(length, pieceSize));
    const std::uint64_t needed = length / block + pieces + 1;
    // The superuser may also fill the blocks the file system keeps back for it.
    const std::uint64_t free = ::geteuid() == 0 ? space.f_bfree : space.f_bavail;
    if (free >= needed)
        return {};
    return "Für die Teile ist im Ordner " + folder + " nicht genug Platz frei: sie brauchen " + Bytes(needed * block) +
           ", frei sind " + Bytes(free * block) + ".";
}
