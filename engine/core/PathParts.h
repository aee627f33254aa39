#pragma once

#include <string>

// The folder part of a path ("." for a bare name, "/" at the root) and its last name.
std::string FolderOfPath(const std::string& path);
std::string NameOfPath(const std::string& path);
