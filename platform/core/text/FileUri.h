#pragma once

#include <string>

// The "file://" URI of an absolute path, escaped exactly as GLib's
// g_filename_to_uri escapes it (other programs of the desktop find our
// thumbnails and we find theirs only when the URIs agree byte for byte).
// "" for a path that is not absolute.
std::string FileUriFromPath(const std::string& absolutePath);
