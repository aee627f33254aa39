#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include <QString>

// The texts of the details columns, as the German details view writes them.

// Whole kilobytes rounded up, "." grouping: "0 KB", "1 KB", "1.424 KB".
QString FormatSizeText(std::uint64_t bytes);

// Local time "dd.MM.yyyy HH:mm".
QString FormatDateText(std::time_t time);
QString FormatDateText(const struct timespec& time);

// "Dateiordner" for folders; for files the German comment of the MIME type
// found from the name alone, or for unknown types the upper-cased extension
// and "-Datei" ("0001-Datei"), or "Datei" without extension. `name` is the
// file name's native bytes; the dot that begins a hidden name (".bashrc")
// starts no extension. Thread-safe; comments are cached.
QString FileTypeText(const std::string& name, bool isFolder);
