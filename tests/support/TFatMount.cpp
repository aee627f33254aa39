#include "tests/support/TFatMount.h"

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr long kFuseMagic = 0x65735546;
// fusefat returns before its file system answers; a mount appears well within this.
constexpr std::chrono::seconds kMountWait{10};

// Runs a program with its output discarded; true when it exits with 0.
bool Run(std::vector<std::string> argv)
{
    std::vector<char*> args;
    for (std::string& arg : argv)
        args.push_back(arg.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool IsFuse(const std::string& path)
{
    struct statfs info
    {};
    return ::statfs(path.c_str(), &info) == 0 && info.f_type == kFuseMagic;
}

}  // namespace

TFatMount::TFatMount(const std::string& folder, std::uint64_t imageBytes)
    : image_(folder + "/fat.img")
    , root_(folder + "/fat")
{
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        skipReason_ = "no /dev/fuse here: FAT file systems through fusefat cannot be mounted";
        return;
    }
    const int fd = ::open(image_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const bool sized = fd >= 0 && ::ftruncate(fd, off_t(imageBytes)) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!sized || ::mkdir(root_.c_str(), 0755) != 0) {
        skipReason_ = "cannot make the FAT image or its mount folder in " + folder;
        return;
    }
    if (!Run({"mkfs.vfat", image_})) {
        skipReason_ = "mkfs.vfat failed or is missing (package dosfstools)";
        return;
    }
    if (!Run({"fusefat", "-o", "rw+", image_, root_})) {
        skipReason_ = "fusefat failed or is missing (package fusefat)";
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + kMountWait;
    while (!IsFuse(root_) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    mounted_ = IsFuse(root_);
    if (!mounted_)
        skipReason_ = "fusefat did not mount " + root_;
}

TFatMount::~TFatMount()
{
    if (mounted_ && !Run({"fusermount3", "-u", root_}))
        Run({"umount", "-l", root_});
}
