#pragma once

#include <QString>

// The desktop's icon theme as the system image lists use it.
//
// A desktop session (GNOME, KDE, ...) tells Qt its icon theme through the
// platform theme plugin. Without a session (offscreen, a bare X server, ssh)
// Qt knows no theme: its name is empty or "hicolor", which holds almost no
// icons. Only in that case ApplyIconThemeRule() points Qt at the installed
// themes itself: the data directories' "icons" folders, ~/.icons and
// /usr/share/pixmaps become search paths, the theme becomes "Adwaita" and the
// fallback theme "hicolor". A theme that a session set is never overridden.
// Needs a QGuiApplication; call it on the UI thread.

// Whether the current theme name means "no theme found".
bool IsMissingIconTheme(const QString& themeName);

// Applies the rule above; returns whether it changed the theme.
bool ApplyIconThemeRule();
