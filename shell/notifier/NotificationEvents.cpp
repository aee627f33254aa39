#include "shell/notifier/NotificationEvents.h"

#include "platform/notify/ShellChangeNotify.h"

#include <array>

namespace {

// Indexed by TNotificationEvent.
constexpr std::array<long, neUnknown + 1> kShellEvents = {
    SHCNE_ASSOCCHANGED, SHCNE_ATTRIBUTES, SHCNE_UPDATEITEM,       SHCNE_CREATE,
    SHCNE_DELETE,       SHCNE_RENAMEITEM, SHCNE_DRIVEADD,         SHCNE_DRIVEREMOVED,
    SHCNE_DRIVEADDGUI,  SHCNE_FREESPACE,  SHCNE_MEDIAINSERTED,    SHCNE_MEDIAREMOVED,
    SHCNE_MKDIR,        SHCNE_RMDIR,      SHCNE_RENAMEFOLDER,     SHCNE_UPDATEDIR,
    SHCNE_NETSHARE,     SHCNE_NETUNSHARE, SHCNE_SERVERDISCONNECT, SHCNE_UPDATEIMAGE,
    SHCNE_ALLEVENTS,
};

}  // namespace

long ShellEventOf(TNotificationEvent event)
{
    return event <= neUnknown ? kShellEvents[event] : SHCNE_ALLEVENTS;
}

TNotificationEvent NotificationEventOf(long shellEvent)
{
    // The table is small and fixed; a walk over it is as fast as any index.
    for (int event = neAssociationChange; event < neUnknown; ++event) {
        if (kShellEvents[static_cast<std::size_t>(event)] == shellEvent)
            return static_cast<TNotificationEvent>(event);
    }
    return neUnknown;
}

long EventMaskOf(TNotificationEvents filter)
{
    long mask = 0;
    for (int event = neAssociationChange; event <= neUnknown; ++event) {
        if (filter.Contains(static_cast<TNotificationEvent>(event)))
            mask |= kShellEvents[static_cast<std::size_t>(event)];
    }
    return mask;
}
