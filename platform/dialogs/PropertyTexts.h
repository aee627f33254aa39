#pragma once

#include <QString>

#include <cstdint>
#include <ctime>

// The German texts of the properties dialog.

// "0 Bytes", "1 Byte", "999 Bytes", "1,36 MB (1.424.123 Bytes)": three
// significant digits cut off (never rounded up), the next unit from 1000 on,
// then the exact count with "." grouping.
QString FormatByteSizeText(std::uint64_t bytes);

// "1 Datei, 0 Ordner", "12 Dateien, 3 Ordner" (numbers grouped with ".").
QString FormatCountText(std::uint64_t files, std::uint64_t folders);

// Local time written out: "Montag, 7. Dezember 2026, 10:15:03".
QString FormatLongDateText(const struct timespec& time);

// The permission bits as ls writes them: "rwxr-xr-x", with s, S, t and T for
// set-user-id, set-group-id and the sticky bit.
QString FormatPermissionText(unsigned mode);
