#pragma once

#include <QImage>

class QPainter;

// The program's pictures, drawn with QPainter so that they are entirely our own.

// 24 x 24 tab images of the main window.
QImage DrawScissorsImage();
QImage DrawGlueStickImage();

// The web button's glyph: two 18 x 18 cells side by side, the normal picture
// and the greyed one for the disabled state, on the olive transparent colour.
QImage DrawWebGlyph();

// The about box's picture, 306 x 322.
QImage DrawAboutPicture();

// The program's icon: the tab's scissors cutting a sheet on a rounded tile,
// drawn into a 256 x 256 square of the painter's coordinates. Painted at any
// size (and into an SVG generator) by scaling the painter.
void DrawApplicationIcon(QPainter& painter);

// The icon as a picture of size x size pixels; below 32 pixels the sheet is
// left out so that the scissors stay recognisable.
QImage DrawApplicationIconImage(int size);
