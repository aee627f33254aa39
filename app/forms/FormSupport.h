#pragma once

#include <QString>

class QWidget;

// What the program's forms share in how they look and where they appear.

// Gives `widget` the font `family` with a character height of `pixelHeight`
// pixels (the height forms are designed in, independent of the screen's dpi).
void SetFormFont(QWidget* widget, const QString& family, int pixelHeight, bool bold = false);

// Moves the top-level `window` to the middle of the screen it is on.
void CentreOnScreen(QWidget* window);

// Takes the focus away from a control inside `window`. A form calls it as it
// is destroyed, while its controls are still whole: controls that follow focus
// changes must not hear one in the middle of their own destruction.
void ReleaseFocus(QWidget* window);

// Makes the pictures and forms of the program's resource file available;
// safe to call more than once.
void InitAppResources();
