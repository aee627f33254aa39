#pragma once

#include <cstdint>
#include <string>

// What the split asks the target folder's file system before it writes
// anything, so that a piece size the medium cannot take, or a series that
// cannot fit, is refused at once rather than after minutes of copying.

// The largest file the file system holding `folder` can keep, in bytes: FAT's
// 4 GiB - 1 by the mount table's type (also through FUSE, where the kernel
// does not know it), else what pathconf(_PC_FILESIZEBITS) says; 0 when
// nothing limits it below 64 bits or nothing is known.
std::uint64_t LargestFileOn(const std::string& folder);

// Why `length` bytes in pieces of `pieceSize` cannot be written into `folder`,
// in German for the user; empty when nothing known stands against it.
std::string SplitTargetProblem(const std::string& folder, std::int64_t pieceSize, std::uint64_t length);
