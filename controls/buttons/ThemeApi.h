#pragma once

#include <QString>

#include <memory>

class QPainter;
class QRect;
class QStyle;
class QWidget;

// The theme library of the buttons: a Qt style, created when its first user
// loads it and dropped when the last user releases it. "Themed" means the
// style is loaded and theming is switched on; otherwise buttons draw their
// classic face themselves.

// What an opened theme draws with. Holding the style keeps it alive even if
// the library is released meanwhile.
struct TThemeData
{
    std::shared_ptr<QStyle> Style;
    QString ClassName;
};
using HTHEME = std::shared_ptr<const TThemeData>;

// Part and states of a push button's face.
constexpr int BP_PUSHBUTTON = 1;
constexpr int PBS_NORMAL = 1;
constexpr int PBS_HOT = 2;
constexpr int PBS_PRESSED = 3;
constexpr int PBS_DISABLED = 4;
constexpr int PBS_DEFAULTED = 5;

// Counts a user (under a process-wide lock) and loads the library on the
// first; returns whether the library is loaded. UI thread only: it makes a style.
bool LoadThemeApi();
// Drops a user; the last one unloads the library.
void ReleaseThemeApi();
// Users counted at the moment.
int ThemeApiUsers();

// Whether the application asked for themed drawing, and whether the desktop
// has theming switched on. Both default to true.
bool IsAppThemed();
bool IsThemeActive();
// Switches theming of the desktop on or off (the user's choice of a classic
// look; tests take both paths with it). Buttons follow at their next paint.
void SetThemeActive(bool active);

// The library is loaded and both switches are on.
bool ThemesActive();

// A theme for a class of controls; null when themes are not active.
HTHEME OpenThemeData(QWidget* window, const QString& className);
void CloseThemeData(HTHEME& theme);
// Draws the face of a part in a state over a rectangle; draws nothing and
// returns false without a theme. The widget gives palette and font.
bool DrawThemeBackground(const HTHEME& theme, QPainter& painter, int partId, int stateId, const QRect& rect,
                         const QWidget* widget);
