#pragma once

#include <QImage>

// The program's pictures, drawn with QPainter so that they are entirely our own.

// 24 x 24 tab images of the main window.
QImage DrawScissorsImage();
QImage DrawGlueStickImage();

// The web button's glyph: two 18 x 18 cells side by side, the normal picture
// and the greyed one for the disabled state, on the olive transparent colour.
QImage DrawWebGlyph();

// The about box's picture, 306 x 322.
QImage DrawAboutPicture();
