#pragma once

#include "platform/namespace/IUIObject.h"
#include "platform/core/ids/TShellResult.h"

#include <QFlags>
#include <QPoint>

#include <cstdint>
#include <memory>

class QMimeData;

// Drop effects: Qt's copy, move and link actions, as a set of flags; a chosen
// effect is a set of one, or empty for none.
enum TDropEffect : std::uint32_t {
    DROPEFFECT_NONE = 0,
    DROPEFFECT_COPY = 1,
    DROPEFFECT_MOVE = 2,
    DROPEFFECT_LINK = 4,
};
Q_DECLARE_FLAGS(TDropEffects, TDropEffect)
Q_DECLARE_OPERATORS_FOR_FLAGS(TDropEffects)

// Key state of a drag: mouse buttons and modifier keys.
constexpr std::uint32_t MK_LBUTTON = 0x0001;
constexpr std::uint32_t MK_RBUTTON = 0x0002;
constexpr std::uint32_t MK_SHIFT = 0x0004;
constexpr std::uint32_t MK_CONTROL = 0x0008;
constexpr std::uint32_t MK_MBUTTON = 0x0010;
constexpr std::uint32_t MK_ALT = 0x0020;

// Something that files can be dropped on. `effect` comes in as the effects the
// source allows and goes out as the one that the drop would have (DragEnter,
// DragOver) or had (Drop). Points are in screen co-ordinates.
class IDropTarget : public IUIObject
{
public:
    virtual TShellResult DragEnter(const QMimeData& data, std::uint32_t keyState, QPoint point,
                                   TDropEffects& effect) = 0;
    virtual TShellResult DragOver(std::uint32_t keyState, QPoint point, TDropEffects& effect) = 0;
    virtual TShellResult DragLeave() = 0;
    virtual TShellResult Drop(const QMimeData& data, std::uint32_t keyState, QPoint point, TDropEffects& effect) = 0;
};

using IDropTargetPtr = std::shared_ptr<IDropTarget>;
