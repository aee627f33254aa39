#pragma once

#include <cstdint>

// The kinds of change a notifier reports, each standing for one shell event code.
enum TNotificationEvent : std::uint8_t {
    neAssociationChange,
    neAttributesChange,
    neFileChange,
    neFileCreate,
    neFileDelete,
    neFileRename,
    neDriveAdd,
    neDriveRemove,
    neShellDriveAdd,
    neDriveSpaceChange,
    neMediaInsert,
    neMediaRemove,
    neFolderCreate,
    neFolderDelete,
    neFolderRename,
    neFolderUpdate,
    neNetShare,
    neNetUnShare,
    neServerDisconnect,
    neImageListChange,
    neUnknown,
};

// A set of kinds: bit n stands for the kind of value n.
using TNotificationEvents = std::uint32_t;

constexpr TNotificationEvents NotificationEventBit(TNotificationEvent event)
{
    return TNotificationEvents(1) << event;
}

// Every kind but neUnknown.
constexpr TNotificationEvents kAllNotificationEvents = 0xFFFFF;

// The shell event code a kind stands for; SHCNE_ALLEVENTS for neUnknown.
long ShellEventOf(TNotificationEvent event);
// The kind of an incoming event code; neUnknown for a code of no kind.
TNotificationEvent NotificationEventOf(long shellEvent);
// The registration mask of a filter: the codes of its kinds together.
long EventMaskOf(TNotificationEvents filter);
