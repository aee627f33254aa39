#pragma once

#include <cstdint>
#include <string>

// A FAT file system for the life of a test: an image made by mkfs.vfat in a
// folder of the test, mounted read-write through fusefat at <folder>/fat.
// FAT's rules hold there: names compare without case, files end at
// 4 GiB - 1 byte, no links and no permissions. Where /dev/fuse, the tools or
// the mount are missing, SkipReason() says why and nothing is mounted.
class TFatMount
{
public:
    explicit TFatMount(const std::string& folder, std::uint64_t imageBytes = 64u << 20);
    ~TFatMount();
    TFatMount(const TFatMount&) = delete;
    TFatMount& operator=(const TFatMount&) = delete;

    bool IsMounted() const { return mounted_; }
    const std::string& SkipReason() const { return skipReason_; }
    // The mounted file system's root folder.
    const std::string& Root() const { return root_; }

private:
    std::string image_;
    std::string root_;
    bool mounted_ = false;
    std::string skipReason_;
};
