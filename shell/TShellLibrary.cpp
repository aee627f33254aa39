#include "shell/TShellLibrary.h"

#include "platform/ShellIDListArray.h"
#include "platform/ShellNamespace.h"
#include "platform/StandardFolders.h"
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
}

TShellLibrary::~TShellLibrary()
{
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
