#pragma once

#include <string>

// A tmpfs mounted on an existing folder for the life of a test: another
// device, or with a small size a disk that fills up. Mounting needs root and
// a mount namespace that allows it; where it fails, SkipReason() says why.
class TTmpfsMount
{
public:
    // options as mount(8) takes them, for example "size=1m".
    explicit TTmpfsMount(std::string folder, const std::string& options = "size=16m");
    ~TTmpfsMount();
    TTmpfsMount(const TTmpfsMount&) = delete;
    TTmpfsMount& operator=(const TTmpfsMount&) = delete;

    bool IsMounted() const { return mounted_; }
    const std::string& SkipReason() const { return skipReason_; }
    const std::string& Folder() const { return folder_; }

private:
    std::string folder_;
    bool mounted_ = false;
    std::string skipReason_;
};
