#pragma once

#include <optional>
#include <string>
#include <string_view>

// URI escaping of native path bytes, as used by .trashinfo files and by the
// x-gvfs-name= mount option.

// Decodes %XX escapes; nothing for a malformed escape ("%4", "%zz") or an
// escaped NUL byte, which no path can hold.
std::optional<std::string> PercentDecode(std::string_view text);

// Escapes every byte outside the unreserved set and "/" (so "a b/ü" becomes
// "a%20b/%C3%BC"), as GLib escapes a path for a trash info file.
std::string PercentEncodePath(std::string_view path);
