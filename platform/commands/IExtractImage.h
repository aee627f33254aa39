#pragma once

#include "platform/namespace/IUIObject.h"
#include "platform/core/ids/TShellResult.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <string>

// Flags of GetLocation.
constexpr std::uint32_t IEIFLAG_ASYNC = 0x0001;
constexpr std::uint32_t IEIFLAG_CACHE = 0x0002;
constexpr std::uint32_t IEIFLAG_ASPECT = 0x0004;
constexpr std::uint32_t IEIFLAG_OFFLINE = 0x0008;
constexpr std::uint32_t IEIFLAG_SCREEN = 0x0020;
constexpr std::uint32_t IEIFLAG_ORIGSIZE = 0x0040;
constexpr std::uint32_t IEIFLAG_QUALITY = 0x0200;

// The thumbnail of one item. GetLocation fixes the requested size and names
// where the picture comes from; Extract then delivers it. Both may run on a
// worker thread (nothing in them touches a widget).
class IExtractImage : public IUIObject
{
public:
    // `location` receives the item's path. A size with a side that is not
    // positive asks for the default of 200 x 200.
    virtual TShellResult GetLocation(const QSize& size, std::uint32_t flags, std::string& location) = 0;
    // The picture, fitted into the requested size with its proportions kept;
    // fails (and leaves `image` null) for an item that is no image.
    virtual TShellResult Extract(QImage& image) = 0;
};
