#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <span>
#include <string>

struct TItemIdList;

// Change notification of the shell namespace.
//
// Sources of events, all delivered on the UI thread:
// - the file system through one inotify descriptor for the whole process
//   (TInotifyWatcher): a watch on each registered folder and, for a recursive
//   registration, on every folder below it that the process enumerates after
//   the registration was made (expanded tree nodes), up to
//   kMaxWatchesPerRegistration watches per registration; a recursive
//   registration of the desktop or the computer covers every folder with a
//   path, one of the network folder the mounted network file systems;
// - the mount table: volumes coming and going (TMountWatcher), delivered to
//   registrations for the desktop, the computer and the network folders and
//   to those that watch the folder a mount point lies in;
// - SHChangeNotify, which the program's own file operations call as they
//   complete, so that panes update at once for what the program did itself.
//
// Item lists: below a registered folder with a path (desktop, home, volume,
// directory) the items are that folder's list with one item per path
// component, as the folder's enumeration gives them, so that a pane finds
// them among its own items; elsewhere they are what SHParseDisplayName
// gives. Objects that no longer exist (deleted, renamed) get lists made
// without the disk.
//
// When the system's limit of inotify watches is reached, no further watches
// are added (a warning is logged once) until a watch has been given back;
// the registrations keep working for the folders already watched and still
// receive SHChangeNotify and drive events.
//
// Call the registration functions on the UI thread; SHChangeNotify may be
// called from any thread.

// Shell event codes.
constexpr long SHCNE_RENAMEITEM = 0x00000001L;
constexpr long SHCNE_CREATE = 0x00000002L;
constexpr long SHCNE_DELETE = 0x00000004L;
constexpr long SHCNE_MKDIR = 0x00000008L;
constexpr long SHCNE_RMDIR = 0x00000010L;
constexpr long SHCNE_MEDIAINSERTED = 0x00000020L;
constexpr long SHCNE_MEDIAREMOVED = 0x00000040L;
constexpr long SHCNE_DRIVEREMOVED = 0x00000080L;
constexpr long SHCNE_DRIVEADD = 0x00000100L;
constexpr long SHCNE_NETSHARE = 0x00000200L;
constexpr long SHCNE_NETUNSHARE = 0x00000400L;
constexpr long SHCNE_ATTRIBUTES = 0x00000800L;
constexpr long SHCNE_UPDATEDIR = 0x00001000L;
constexpr long SHCNE_UPDATEITEM = 0x00002000L;
constexpr long SHCNE_SERVERDISCONNECT = 0x00004000L;
constexpr long SHCNE_UPDATEIMAGE = 0x00008000L;
constexpr long SHCNE_DRIVEADDGUI = 0x00010000L;
constexpr long SHCNE_RENAMEFOLDER = 0x00020000L;
constexpr long SHCNE_FREESPACE = 0x00040000L;
constexpr long SHCNE_ASSOCCHANGED = 0x08000000L;
constexpr long SHCNE_DISKEVENTS = 0x0002381FL;
constexpr long SHCNE_GLOBALEVENTS = 0x0C0581E0L;
constexpr long SHCNE_ALLEVENTS = 0x7FFFFFFFL;
constexpr long SHCNE_INTERRUPT = 0x80000000L;

// Registration sources.
constexpr int SHCNRF_InterruptLevel = 0x0001;
constexpr int SHCNRF_ShellLevel = 0x0002;
constexpr int SHCNRF_RecursiveInterrupt = 0x1000;
constexpr int SHCNRF_NewDelivery = 0x8000;

// Watches one registration may hold: a tree pane expanded deep into a large
// hierarchy stays covered, while a handful of panes stay far below the
// per-user inotify limit that every program of the user shares (8192 on
// older kernels).
constexpr int kMaxWatchesPerRegistration = 1024;

struct SHChangeNotifyEntry
{
    const TItemIdList* pidl = nullptr;  // absolute; stays the caller's
    bool fRecursive = false;
};

// Gets the event code and the absolute lists of item 1 and item 2 (null when
// the event has none); the lists are valid during the call only.
using TShellChangeHandler = std::function<void(long event, const TItemIdList* item1, const TItemIdList* item2)>;

// Registers handler for the events in eventMask on the entries' folders.
// sources: SHCNRF_InterruptLevel for file-system and drive events,
// SHCNRF_ShellLevel for SHChangeNotify. With a receiver the registration
// ends by itself when the receiver is destroyed. Returns the registration id,
// 0 on failure (no handler, no entries, a list that names no folder).
unsigned long SHChangeNotifyRegister(QObject* receiver, int sources, long eventMask, TShellChangeHandler handler,
                                     std::span<const SHChangeNotifyEntry> entries);

// Registers as SHChangeNotifyRegister does and ends registration `previous`
// (0 for none): the folders it watched that the new one covers, the folders
// below a recursive entry among them, stay watched without a gap, as if they
// had been enumerated again. Returns the new id, 0 on failure (the previous
// registration ends all the same).
unsigned long SHChangeNotifyReregister(unsigned long previous, QObject* receiver, int sources, long eventMask,
                                       TShellChangeHandler handler, std::span<const SHChangeNotifyEntry> entries);

// Ends a registration; false for an unknown id.
bool SHChangeNotifyDeregister(unsigned long registrationId);

// Reports a change that the program made itself; delivered later on the UI
// thread to the registrations it concerns.
void SHChangeNotify(long event, const TItemIdList* item1, const TItemIdList* item2 = nullptr);
void SHChangeNotify(long event, const std::string& path1, const std::string& path2 = {});

// The name of an event code without its prefix ("CREATE", "RENAMEITEM"),
// empty for a code that is no single event.
const char* ShellEventName(long event);
