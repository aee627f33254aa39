#pragma once

#include <Qt>

#include <cstdint>

// Drop effects and key states of drags (platform/exchange/IDropTarget.h) and their Qt
// counterparts.

std::uint32_t KeyStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
std::uint32_t EffectsOf(Qt::DropActions actions);
Qt::DropActions DropActionsOf(std::uint32_t effects);
// The single action of an effect; Qt::IgnoreAction for none.
Qt::DropAction DropActionOf(std::uint32_t effect);

// The effect a drop has by the keys held, as Windows users know it: Ctrl
// copies, Shift moves, Ctrl+Shift (or Alt) links; without keys a drop moves
// within one volume and copies across volumes. Without keys an effect the
// source does not allow gives way to the first allowed of copy, move, link;
// keys that ask for an effect not allowed give none.
std::uint32_t ChooseDropEffect(std::uint32_t keyState, std::uint32_t allowed, bool sameVolume);
