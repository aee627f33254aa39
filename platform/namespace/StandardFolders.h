#pragma once

#include <cstdint>
#include <string>

// The special folders, in the order and with the values the panes use; other code
// compares these values directly. SF_COMMON_PROGRAMS comes last on purpose.
enum TPzShellFolder : std::uint8_t {
    SF_FILESYSTEMFOLDER = 0,
    SF_BITBUCKET = 1,
    SF_CONTROLS = 2,
    SF_DESKTOP = 3,
    SF_DESKTOPDIRECTORY = 4,
    SF_DRIVES = 5,
    SF_FONTS = 6,
    SF_NETHOOD = 7,
    SF_NETWORK = 8,
    SF_PERSONAL = 9,
    SF_PRINTERS = 10,
    SF_PROGRAMS = 11,
    SF_RECENT = 12,
    SF_SENDTO = 13,
    SF_STARTMENU = 14,
    SF_STARTUP = 15,
    SF_TEMPLATES = 16,
    SF_FAVORITES = 17,
    SF_COMMON_STARTMENU = 18,
    SF_COMMON_STARTUP = 19,
    SF_COMMON_DESKTOPDIRECTORY = 20,
    SF_APPDATA = 21,
    SF_PRINTHOOD = 22,
    SF_COMMON_FAVORITES = 23,
    SF_INTERNET_CACHE = 24,
    SF_COOKIES = 25,
    SF_HISTORY = 26,
    SF_COMMON_PROGRAMS = 27,
};

constexpr int kSpecialFolderCount = 28;

// "SF_DESKTOP" for SF_DESKTOP; "" for a value out of range.
const char* SpecialFolderName(int specialFolder);
// The Windows shell folder number (CSIDL) the value stands for; -1 out of range.
int SpecialFolderCsidl(int specialFolder);
// The directory of a special folder that is a plain directory here (desktop
// directory, templates, fonts, ...), as native bytes; "" when it has none or it
// does not exist. Read through QStandardPaths, so HOME and XDG_* decide.
std::string SpecialFolderDirectory(int specialFolder);

// The user's home directory ($HOME) and the XDG desktop directory ("" when it
// does not exist), as native bytes.
std::string HomeDirectoryPath();
std::string DesktopDirectoryPath();
