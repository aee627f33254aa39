#include "platform/commands/PropertiesHook.h"

#include "platform/core/system/LastError.h"

#include <cerrno>
#include <mutex>
#include <utility>

namespace {

std::mutex& HandlerMutex()
{
    static std::mutex mutex;
    return mutex;
}

TPropertiesHandler& CurrentHandler()
{
    static TPropertiesHandler handler;
    return handler;
}

}  // namespace

TPropertiesHandler SetPropertiesHandler(TPropertiesHandler handler)
{
    std::lock_guard lock(HandlerMutex());
    return std::exchange(CurrentHandler(), std::move(handler));
}

bool ShowPropertiesDialog(QWidget* owner, std::span<const TItemIdList* const> items)
{
    TPropertiesHandler handler;
    {
        std::lock_guard lock(HandlerMutex());
        handler = CurrentHandler();
    }
    if (!handler) {
        SetLastError(ENOTSUP);
        return false;
    }
    return handler(owner, items);
}
