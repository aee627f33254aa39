#pragma once

#include <QString>

// Text from outside the program (file and folder names, paths, MIME comments,
// application names, volume labels) must reach the user as it is. Labels and
// message boxes take Qt::PlainText; the places below cannot, so their texts
// go through these functions first.

// A tool tip that shows `text` exactly, line breaks kept. Qt guesses a tool
// tip's format from its text (Qt::mightBeRichText), so the text is handed over
// as escaped HTML that keeps its white space. An empty text stays empty (no tip).
QString PlainToolTip(const QString& text);

// A menu entry or button caption that shows `text` exactly: "&" is doubled so
// it marks no shortcut key, and a tab (which would start the shortcut column
// of a menu entry) becomes a space.
QString PlainMenuText(const QString& text);
