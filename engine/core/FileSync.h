#pragma once

#include <string>

// Making what was written reach the disk.

// Errors by which the kernel says a file or its file system cannot be flushed
// on request at all; any other error of fsync or fdatasync is a failed write.
[[nodiscard]] bool MeansSyncUnsupported(int error);

// Flushes an open file's data (fdatasync); true also where the file system
// has no such flush.
[[nodiscard]] bool SyncFileData(int fd);

// Flushes a folder, so that names created, renamed or removed in it last.
[[nodiscard]] bool SyncFolder(const std::string& folder);
