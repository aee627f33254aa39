#pragma once

#include "platform/namespace/IShellFolder.h"
#include "platform/core/ids/TItemIdList.h"

#include <QString>

// The pane library's shared state, set up once before any pane exists and
// released at the end: the desktop folder, the desktop's (empty) item id list,
// the network neighbourhood's list, the clipboard format of item id lists and
// the system drive root. The program entry holds one TShellLibrary for the
// whole run; the accessors below also work without one (tests, tools), setting
// up what they need on first use.
//
// Start-up fails with EShellNavigatorError ("ShellNavigator Components: Cannot
// open Shell!") when the desktop folder cannot be had.
class TShellLibrary
{
public:
    TShellLibrary();
    ~TShellLibrary();
    TShellLibrary(const TShellLibrary&) = delete;
    TShellLibrary& operator=(const TShellLibrary&) = delete;
};

extern const char* const kCannotOpenShellText;

// The desktop's folder; the same object for the whole run of the library.
IShellFolderPtr DesktopFolder();
// The desktop's item id list (the empty list); never freed, never null. Every
// test for the desktop compares against it.
const TItemIdList* DesktopIDList();
// The network neighbourhood's absolute list; null where it has no location.
const TItemIdList* NetHoodIDList();
// The MIME type under which item id lists travel through the clipboard and
// drag-and-drop.
const QString& ShellIDListFormat();
// The root of the volume the system lives on ("/"), from which the system image
// lists are asked for.
const std::string& SystemDriveRoot();
