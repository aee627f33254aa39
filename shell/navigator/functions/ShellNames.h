#pragma once

#include <QString>

#include <string>

// Whether a name passes one filter pattern. "*.*" passes exactly the names
// holding a "."; other patterns are wildcards ("*" any run of characters, "?"
// one character, everything else literal) compared without regard to letter
// case, as filters are extension tests.
bool MatchesFilter(const QString& name, const QString& pattern);

// A name as the namespace gives it (a file's own bytes, or UTF-8 text) made
// readable.
QString StrRetToString(const std::string& name);
