#include "shell/navigator/library/TShellLibrary.h"

#include "platform/commands/FolderUIObjects.h"
#include "platform/exchange/ShellIDListArray.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"
#include "shell/navigator/EShellNavigatorError.h"

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

// The namespace makes context menus, data objects and drop targets through
// the commands; they are installed before the first folder is handed out.
void RegisterUIObjectsOnce()
{
    static std::once_flag registered;
    std::call_once(registered, RegisterFolderUIObjects);
}

}  // namespace

TShellLibrary::TShellLibrary()
{
    RegisterUIObjectsOnce();
    IShellFolderPtr desktop = SHGetDesktopFolder();
    if (!desktop)
        throw EShellNavigatorError(QString::fromLatin1(kCannotOpenShellText));
    const std::lock_guard lock(stateMutex);
    state.desktopFolder = std::move(desktop);
    state.netHood = SHGetSpecialFolderLocation(SF_NETHOOD);
    state.netHoodLooked = true;
}

TShellLibrary::~TShellLibrary()
{
    const std::lock_guard lock(stateMutex);
    state = TLibraryState{};
}

IShellFolderPtr DesktopFolder()
{
    RegisterUIObjectsOnce();
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
