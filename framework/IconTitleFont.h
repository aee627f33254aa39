#pragma once

class QFont;

// Sets `font` to the font the desktop labels icons with (its general font);
// false when there is none.
[[nodiscard]] bool UseIconTitleFont(QFont& font);
