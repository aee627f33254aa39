#include "shell/TShellLibrary.h"

#include "platform/PropertiesDialog.h"
#include "platform/ShellIDListArray.h"
#include "platform/ShellNamespace.h"
#include "platform/SpecialFolders.h"
#include "shell/EShellNavigatorError.h"

#include <mutex>

const char* const kCannotOpenShellText = "ShellNavigator Components: Cannot open Shell!";

namespace {

struct TLibraryState
{
    IShellFolderPtr desktopFolder;
    TItemIdListPtr netHood;
    bool netHoodLooked = false;
};

std::mutex stateMutex;
TLibraryState state;

bool ShowItemProperties(QWidget* owner, std::span<const TItemIdList* const> items)
{
    std::vector<std::string> paths;
    for (const TItemIdList* item : items) {
        std::string path = SHGetPathFromIDList(item);
        if (!path.empty())
            paths.push_back(std::move(path));
    }
    if (paths.empty())
        return false;
    ShowPropertiesDialog(paths, owner);
    return true;
}

} // namespace

TShellLibrary::TShellLibrary()
{
    IShellFolderPtr desktop = SHGetDesktopFolder();
    if (!desktop)
        throw EShellNavigatorError(QString::fromLatin1(kCannotOpenShellText));
    const std::lock_guard lock(stateMutex);
    state.desktopFolder = std::move(desktop);
    state.netHood = SHGetSpecialFolderLocation(SF_NETHOOD);
    state.netHoodLooked = true;
    previousPropertiesHandler_ = SetPropertiesHandler(ShowItemProperties);
}

TShellLibrary::~TShellLibrary()
{
    SetPropertiesHandler(std::move(previousPropertiesHandler_));
    const std::lock_guard lock(stateMutex);
    state = TLibraryState{};
}

IShellFolderPtr DesktopFolder()
{
    const std::lock_guard lock(stateMutex);
    if (!state.desktopFolder)
        state.desktopFolder = SHGetDesktopFolder();
    return state.desktopFolder;
}

const TItemIdList* DesktopIDList()
{
    static const TItemIdListPtr desktop = MakeDesktopIDList();
    return desktop.get();
}

const TItemIdList* NetHoodIDList()
{
    const std::lock_guard lock(stateMutex);
    if (!state.netHoodLooked) {
        state.netHood = SHGetSpecialFolderLocation(SF_NETHOOD);
        state.netHoodLooked = true;
    }
    return state.netHood.get();
}

const QString& ShellIDListFormat()
{
    static const QString format = QString::fromLatin1(kShellIDListArrayMime);
    return format;
}

const std::string& SystemDriveRoot()
{
    static const std::string root = "/";
    return root;
}
