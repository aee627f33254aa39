#pragma once

#include <string>

#include <sys/stat.h>

// The access and modification times a split carries from the source to its
// pieces and a join from the pieces to the rebuilt file. Linux cannot set a
// creation time, so there is none here.
struct TFileTimes
{
    timespec Access{0, 0};
    timespec Modification{0, 0};
    bool Known = false;  // false when they could not be read: applying them then changes nothing
};

TFileTimes FileTimesOf(const struct stat& status);

// The times of the file a path names (symbolic links followed); unknown on failure.
TFileTimes ReadFileTimes(const std::string& path);

// Sets the times of the file a path names, without following a final symbolic
// link; unknown times leave the file as it is. Failures are silent.
void ApplyFileTimes(const std::string& path, const TFileTimes& times);

// The same on an open file; returns false when the kernel refused.
[[nodiscard]] bool ApplyFileTimes(int fd, const TFileTimes& times);
