#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// File chores of the benchmarks. Each throws std::runtime_error with the path
// and the system's reason when the file system refuses.

// Writes a file of the given length filled with pseudo-random bytes (so no
// layer can shortcut zeros) and flushes it to disk, so that its write-back
// does not run into later timings.
void MakeTestFile(const std::string& path, std::uint64_t length);

// Makes `count` empty files in a folder, named by nameOf(i) (a name, not a
// path). They are hard links of a few inodes, so that a large folder costs
// no more disk than its entries. False when the file system refuses.
bool MakeEmptyFiles(const std::string& folder, int count, const std::function<std::string(int)>& nameOf);

// Reads a file to its end, which leaves it in the page cache.
void ReadThrough(const std::string& path);

// True when both files hold the same bytes.
bool FilesEqual(const std::string& first, const std::string& second);

// Removes every entry of a folder except those named in keep.
void ClearFolder(const std::string& folder, const std::vector<std::string>& keep = {});

// Flushes the file system that holds path, so that no write-back of an
// earlier round is pending when the next one starts.
void SyncFileSystem(const std::string& path);

// Parses a byte count: decimal digits with an optional binary suffix K, M or G
// (KiB, MiB, GiB). Returns nothing for anything else or for zero.
std::optional<std::uint64_t> ParseByteCount(const std::string& text);
