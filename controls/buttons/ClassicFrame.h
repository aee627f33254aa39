#pragma once

class QPainter;
class QPalette;
class QRect;

// The classic, unthemed face of a push button.
constexpr int DFC_BUTTON = 4;
constexpr int DFCS_BUTTONPUSH = 0x0010;
constexpr int DFCS_INACTIVE = 0x0100;
constexpr int DFCS_PUSHED = 0x0200;
constexpr int DFCS_ADJUSTRECT = 0x2000;

// Draws the raised (or, with DFCS_PUSHED, sunken) frame filled with the face
// colour; with DFCS_ADJUSTRECT `rect` shrinks to the inside of the frame.
void DrawFrameControl(QPainter& painter, QRect& rect, int type, int state, const QPalette& palette);
