#pragma once

#include <optional>
#include <string>
#include <vector>

// The entries of a selection list are native-byte paths: a file's path means
// that file; a folder's path followed by "/*" means the folder with everything
// below it. Names compare exactly, byte for byte.

constexpr char kFolderEntrySuffix[] = "/*";

bool IsFolderEntry(const std::string& entry);
// The path an entry stands for: a folder entry without its "/*".
std::string PathOfEntry(const std::string& entry);
// The form of a folder path as the prefix of everything below it ("/a/" for "/a").
std::string FolderPrefix(const std::string& folder);
// A folder's entry ("/a/*" for "/a", "/*" for "/").
std::string FolderEntry(const std::string& folder);
// The folder holding a path; empty for "/" and paths without a parent.
std::string ParentFolder(const std::string& path);
// The path without trailing slashes (but "/" stays), and without a trailing "*".
std::string CleanPath(const std::string& path);

// The entry form of an existing file or folder: refused (nullopt) for empty,
// "." and "..", relative paths and paths that do not exist. A symbolic link
// is never resolved: it is a file entry of its own, even when it leads to a
// folder.
std::optional<std::string> NormalizeEntryPath(const std::string& path);
// A symbolic link to a folder, the role folder shortcuts play elsewhere.
bool IsFolderShortcut(const std::string& path);
// The full paths of a folder's entries (all but "." and ".."); nullopt when
// the folder cannot be read.
std::optional<std::vector<std::string>> ListFolder(const std::string& folder);
