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

// A set of kinds: bit n stands for the kind of value n. The kinds count from
// 0 (they index tables and events), so the set is a class of its own rather
// than QFlags, which wants enumerators that are bits.
class TNotificationEvents
{
public:
    constexpr TNotificationEvents() = default;
    constexpr TNotificationEvents(TNotificationEvent event)
        : bits_(std::uint32_t(1) << event)
    {
    }
    static constexpr TNotificationEvents FromBits(std::uint32_t bits)
    {
        TNotificationEvents events;
        events.bits_ = bits;
        return events;
    }

    constexpr std::uint32_t Bits() const { return bits_; }
    constexpr bool Contains(TNotificationEvent event) const { return (bits_ & TNotificationEvents(event).bits_) != 0; }
    constexpr TNotificationEvents operator|(TNotificationEvents other) const { return FromBits(bits_ | other.bits_); }
    constexpr TNotificationEvents& operator|=(TNotificationEvents other)
    {
        bits_ |= other.bits_;
        return *this;
    }
    constexpr bool operator==(const TNotificationEvents&) const = default;

private:
    std::uint32_t bits_ = 0;
};

constexpr TNotificationEvents operator|(TNotificationEvent a, TNotificationEvent b)
{
    return TNotificationEvents(a) | b;
}

constexpr TNotificationEvents NotificationEventBit(TNotificationEvent event)
{
    return event;
}

// Every kind but neUnknown.
constexpr TNotificationEvents kAllNotificationEvents = TNotificationEvents::FromBits(0xFFFFF);

// The shell event code a kind stands for; SHCNE_ALLEVENTS for neUnknown.
long ShellEventOf(TNotificationEvent event);
// The kind of an incoming event code; neUnknown for a code of no kind.
TNotificationEvent NotificationEventOf(long shellEvent);
// The registration mask of a filter: the codes of its kinds together.
long EventMaskOf(TNotificationEvents filter);
