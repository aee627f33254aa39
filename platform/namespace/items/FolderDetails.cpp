#include "platform/namespace/items/FolderDetails.h"

#include "platform/namespace/items/DetailTexts.h"
#include "platform/namespace/items/ItemNames.h"
#include "platform/core/ids/ShellConstants.h"
#include "platform/core/system/TMountTable.h"

#include <QLocale>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

constexpr std::uint32_t kOnText = SHCOLSTATE_TYPE_STR | SHCOLSTATE_ONBYDEFAULT;
constexpr std::uint32_t kOnNumber = SHCOLSTATE_TYPE_INT | SHCOLSTATE_ONBYDEFAULT;
constexpr std::uint32_t kOnDate = SHCOLSTATE_TYPE_DATE | SHCOLSTATE_ONBYDEFAULT;

constexpr TColumnSpec kFileSystemColumns[] = {
    {"Name", LVCFMT_LEFT, 30, kOnText, TColumnValue::Name},
    {"Größe", LVCFMT_RIGHT, 10, kOnNumber, TColumnValue::Size},
    {"Typ", LVCFMT_LEFT, 20, kOnText, TColumnValue::Type},
    {"Geändert am", LVCFMT_LEFT, 16, kOnDate, TColumnValue::Modified},
    {"Berechtigungen", LVCFMT_LEFT, 10, SHCOLSTATE_TYPE_STR, TColumnValue::Permissions},
    {"Besitzer", LVCFMT_LEFT, 10, SHCOLSTATE_TYPE_STR, TColumnValue::Owner},
};

constexpr TColumnSpec kComputerColumns[] = {
    {"Name", LVCFMT_LEFT, 30, kOnText, TColumnValue::Name},
    {"Typ", LVCFMT_LEFT, 20, kOnText, TColumnValue::VolumeType},
    {"Gesamtgröße", LVCFMT_RIGHT, 12, kOnNumber, TColumnValue::TotalSize},
    {"Freier Speicher", LVCFMT_RIGHT, 12, kOnNumber, TColumnValue::FreeSpace},
    {"Dateisystem", LVCFMT_LEFT, 10, kOnText, TColumnValue::FileSystemType},
};

constexpr TColumnSpec kTrashColumns[] = {
    {"Name", LVCFMT_LEFT, 30, kOnText, TColumnValue::Name},
    {"Ursprünglicher Ort", LVCFMT_LEFT, 30, kOnText, TColumnValue::OriginalLocation},
    {"Gelöscht am", LVCFMT_LEFT, 16, kOnDate, TColumnValue::DeletionDate},
    {"Größe", LVCFMT_RIGHT, 10, kOnNumber, TColumnValue::Size},
    {"Typ", LVCFMT_LEFT, 20, kOnText, TColumnValue::Type},
};

constexpr long long kNanosecondsPerSecond = 1000000000LL;

long long Nanoseconds(const timespec& time)
{
    return static_cast<long long>(time.tv_sec) * kNanosecondsPerSecond + time.tv_nsec;
}

// stat of the item's target, or of the link itself when it is broken.
[[nodiscard]] bool StatItem(const std::string& path, struct stat& status)
{
    return !path.empty() && (::stat(path.c_str(), &status) == 0 || ::lstat(path.c_str(), &status) == 0);
}

std::string PermissionsText(unsigned mode)
{
    std::string text = S_ISDIR(mode)    ? "d"
                       : S_ISLNK(mode)  ? "l"
                       : S_ISFIFO(mode) ? "p"
                       : S_ISSOCK(mode) ? "s"
                       : S_ISCHR(mode)  ? "c"
                       : S_ISBLK(mode)  ? "b"
                                        : "-";
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit)
        text += (mode & (0400u >> bit)) ? letters[bit] : '-';
    return text;
}

// User names by uid, looked up once: the lookup reads the user database.
std::string OwnerText(uid_t uid)
{
    static std::mutex mutex;
    static std::unordered_map<uid_t, std::string> names;
    const std::lock_guard lock(mutex);
    if (const auto known = names.find(uid); known != names.end())
        return known->second;
    std::vector<char> buffer(4096);
    passwd entry;
    passwd* found = nullptr;
    std::string name = getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found
                           ? std::string(found->pw_name)
                           : std::to_string(uid);
    names.emplace(uid, name);
    return name;
}

TColumnData VolumeColumnData(const TItemView& view, TColumnValue value)
{
    TColumnData data;
    const std::string mountPoint(view.name);
    switch (value) {
    case TColumnValue::VolumeType:
        data.text = (view.flags & kItemIsNetwork) ? "Netzlaufwerk" : "Lokaler Datenträger";
        break;
    case TColumnValue::TotalSize:
    case TColumnValue::FreeSpace:
        if (const auto space = QueryVolumeSpace(mountPoint)) {
            const std::uint64_t bytes = value == TColumnValue::TotalSize ? space->TotalBytes : space->FreeBytes;
            data.text = FormatVolumeSizeText(bytes);
            data.number = static_cast<long long>(bytes);
        }
        break;
    case TColumnValue::FileSystemType:
        if (const auto entry = FindMountedVolume(mountPoint))
            data.text = entry->FileSystemType;
        break;
    case TColumnValue::Type: data.text = "Dateiordner"; break;
    default: break;
    }
    return data;
}

TColumnData FileColumnData(const std::string& path, std::string_view typeName, bool isFolder, TColumnValue value)
{
    TColumnData data;
    if (value == TColumnValue::Type) {
        data.text = FileTypeText(std::string(typeName), isFolder).toStdString();
        return data;
    }
    struct stat status;
    if (!StatItem(path, status))
        return data;
    switch (value) {
    case TColumnValue::Size:
        if (!isFolder && !S_ISDIR(status.st_mode)) {
            data.text = FormatSizeText(static_cast<std::uint64_t>(status.st_size)).toStdString();
            data.number = static_cast<long long>(status.st_size);
        }
        break;
    case TColumnValue::Modified:
        data.text = FormatDateText(status.st_mtim).toStdString();
        data.number = Nanoseconds(status.st_mtim);
        break;
    case TColumnValue::Permissions: {
        struct stat own;
        data.text = PermissionsText(::lstat(path.c_str(), &own) == 0 ? own.st_mode : status.st_mode);
        break;
    }
    case TColumnValue::Owner: data.text = OwnerText(status.st_uid); break;
    default: break;
    }
    return data;
}

TColumnData TrashColumnData(const TItemContext& context, const TItemView& view, TColumnValue value)
{
    TColumnData data;
    if (value == TColumnValue::OriginalLocation || value == TColumnValue::DeletionDate) {
        const auto info = ItemTrashInfo(view);
        if (!info)
            return data;
        if (value == TColumnValue::OriginalLocation && !info->OriginalPath.empty()) {
            const std::size_t slash = info->OriginalPath.rfind('/');
            data.text = slash == 0 ? std::string("/") : info->OriginalPath.substr(0, slash);
        } else if (value == TColumnValue::DeletionDate && info->DeletionTime) {
            data.text = FormatDateText(*info->DeletionTime).toStdString();
            data.number = static_cast<long long>(*info->DeletionTime) * kNanosecondsPerSecond;
        }
        return data;
    }
    const std::string typeName =
        value == TColumnValue::Type ? ItemDisplayName(context, view, SHGDN_NORMAL) : std::string();
    return FileColumnData(ItemPath(context, view), typeName, view.IsFolder(), value);
}

}  // namespace

std::span<const TColumnSpec> FolderColumns(TFolderKind kind)
{
    switch (kind) {
    case TFolderKind::Computer:
    case TFolderKind::Network: return kComputerColumns;
    case TFolderKind::Trash: return kTrashColumns;
    default: return kFileSystemColumns;
    }
}

TColumnData ItemColumnData(const TItemContext& context, const TItemView& view, TColumnValue value)
{
    if (value == TColumnValue::Name)
        return TColumnData{ItemDisplayName(context, view, SHGDN_NORMAL), std::nullopt};
    switch (view.kind) {
    case TItemKind::VirtualFolder:
        if (value == TColumnValue::Type || value == TColumnValue::VolumeType)
            return TColumnData{"Systemordner", std::nullopt};
        return {};
    case TItemKind::Volume: return VolumeColumnData(view, value);
    case TItemKind::FileSystem: return FileColumnData(ItemPath(context, view), view.name, view.IsFolder(), value);
    case TItemKind::TrashEntry: return TrashColumnData(context, view, value);
    }
    return {};
}

std::string FormatVolumeSizeText(std::uint64_t bytes)
{
    static const char* const kUnits[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    constexpr double kUnitStep = 1024.0;
    // Values from 1000 on move to the next unit, so that at most three digits show.
    constexpr double kLargestShown = 1000.0;
    if (bytes < 1000)
        return std::to_string(bytes) + " Bytes";
    double value = static_cast<double>(bytes);
    int unit = -1;
    while ((value >= kLargestShown || unit < 0) && unit + 1 < static_cast<int>(std::size(kUnits))) {
        value /= kUnitStep;
        ++unit;
    }
    const int decimals = value < 10.0 ? 2 : value < 100.0 ? 1 : 0;
    double scale = 1.0;
    for (int i = 0; i < decimals; ++i)
        scale *= 10.0;
    const double truncated = static_cast<double>(static_cast<long long>(value * scale)) / scale;
    const QLocale locale;
    return (locale.toString(truncated, 'f', decimals) + QLatin1Char(' ') + QLatin1String(kUnits[unit])).toStdString();
}
