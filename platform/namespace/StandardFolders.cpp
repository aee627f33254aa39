#include "platform/namespace/StandardFolders.h"

#include "platform/core/system/LastError.h"
#include "platform/core/ids/ShellItems.h"
#include "platform/namespace/ShellNamespace.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>

namespace {

struct TSpecialFolderRow
{
    const char* name;
    int csidl;
};

// Indexed by the SF_ value.
constexpr TSpecialFolderRow kSpecialFolders[kSpecialFolderCount] = {
    {"SF_FILESYSTEMFOLDER", 17},
    {"SF_BITBUCKET", 10},
    {"SF_CONTROLS", 3},
    {"SF_DESKTOP", 0},
    {"SF_DESKTOPDIRECTORY", 16},
    {"SF_DRIVES", 17},
    {"SF_FONTS", 20},
    {"SF_NETHOOD", 19},
    {"SF_NETWORK", 18},
    {"SF_PERSONAL", 5},
    {"SF_PRINTERS", 4},
    {"SF_PROGRAMS", 2},
    {"SF_RECENT", 8},
    {"SF_SENDTO", 9},
    {"SF_STARTMENU", 11},
    {"SF_STARTUP", 7},
    {"SF_TEMPLATES", 21},
    {"SF_FAVORITES", 6},
    {"SF_COMMON_STARTMENU", 22},
    {"SF_COMMON_STARTUP", 24},
    {"SF_COMMON_DESKTOPDIRECTORY", 25},
    {"SF_APPDATA", 26},
    {"SF_PRINTHOOD", 27},
    {"SF_COMMON_FAVORITES", 31},
    {"SF_INTERNET_CACHE", 32},
    {"SF_COOKIES", 33},
    {"SF_HISTORY", 34},
    {"SF_COMMON_PROGRAMS", 23},
};

bool IsDirectory(const std::string& path)
{
    struct stat status;
    return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string Native(const QString& path)
{
    return QFile::encodeName(QDir::cleanPath(path)).toStdString();
}

std::string Writable(QStandardPaths::StandardLocation location, const char* below = nullptr)
{
    QString path = QStandardPaths::writableLocation(location);
    if (path.isEmpty())
        return {};
    if (below)
        path += QLatin1Char('/') + QLatin1String(below);
    return Native(path);
}

std::string UnresolvedDirectory(int specialFolder)
{
    switch (specialFolder) {
    case SF_DESKTOPDIRECTORY: return Writable(QStandardPaths::DesktopLocation);
    case SF_TEMPLATES: return Writable(QStandardPaths::TemplatesLocation);
    case SF_FONTS: return Writable(QStandardPaths::GenericDataLocation, "fonts");
    case SF_PROGRAMS:
    case SF_STARTMENU: return Writable(QStandardPaths::GenericDataLocation, "applications");
    case SF_STARTUP: return Writable(QStandardPaths::GenericConfigLocation, "autostart");
    case SF_COMMON_STARTMENU:
    case SF_COMMON_PROGRAMS: return "/usr/share/applications";
    case SF_COMMON_STARTUP: return "/etc/xdg/autostart";
    case SF_APPDATA: return Writable(QStandardPaths::GenericDataLocation);
    case SF_INTERNET_CACHE: return Writable(QStandardPaths::GenericCacheLocation);
    default: return {};
    }
}

}  // namespace

const char* SpecialFolderName(int specialFolder)
{
    if (specialFolder < 0 || specialFolder >= kSpecialFolderCount)
        return "";
    return kSpecialFolders[specialFolder].name;
}

int SpecialFolderCsidl(int specialFolder)
{
    if (specialFolder < 0 || specialFolder >= kSpecialFolderCount)
        return -1;
    return kSpecialFolders[specialFolder].csidl;
}

std::string SpecialFolderDirectory(int specialFolder)
{
    std::string path = UnresolvedDirectory(specialFolder);
    return IsDirectory(path) ? path : std::string();
}

std::string HomeDirectoryPath()
{
    return Native(QDir::homePath());
}

std::string DesktopDirectoryPath()
{
    return SpecialFolderDirectory(SF_DESKTOPDIRECTORY);
}

TItemIdListPtr SHGetSpecialFolderLocation(int specialFolder)
{
    switch (specialFolder) {
    case SF_DESKTOP: return MakeDesktopIDList();
    case SF_FILESYSTEMFOLDER:
    case SF_DRIVES: return MakeVirtualItem(TVirtualFolder::Computer);
    case SF_BITBUCKET: return MakeVirtualItem(TVirtualFolder::Trash);
    case SF_NETWORK: return MakeVirtualItem(TVirtualFolder::Network);
    case SF_PERSONAL: return MakeVirtualItem(TVirtualFolder::Home);
    default: break;
    }
    const std::string directory = SpecialFolderDirectory(specialFolder);
    if (directory.empty()) {
        SetLastError(ENOENT);
        return nullptr;
    }
    return SHParseDisplayName(directory);
}
