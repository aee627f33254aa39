#pragma once

#include "platform/exchange/IDropTarget.h"

#include <Qt>

#include <cstdint>

// Drop effects and key states of drags and their Qt counterparts.

std::uint32_t KeyStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
TDropEffects EffectsOf(Qt::DropActions actions);
Qt::DropActions DropActionsOf(TDropEffects effects);
// The single action of an effect; Qt::IgnoreAction for none.
Qt::DropAction DropActionOf(TDropEffects effect);

// The effect a drop has by the keys held, as Windows users know it: Ctrl
// copies, Shift moves, Ctrl+Shift (or Alt) links; without keys a drop moves
// within one volume and copies across volumes. Without keys an effect the
// source does not allow gives way to the first allowed of copy, move, link;
// keys that ask for an effect not allowed give none.
TDropEffects ChooseDropEffect(std::uint32_t keyState, TDropEffects allowed, bool sameVolume);
