#pragma once

#include <string>
#include <sys/types.h>

// A fault the kernel seems to answer to one thread of this process: strace is
// attached to the calling thread for the life of the object and injects an
// error into the system call named (for example "getdents64", "EIO", 2: the
// second directory read after attaching fails). Only that thread is traced, so
// the workers of the test keep their calls. Where strace cannot trace,
// SkipReason() says why.
class TSyscallFault
{
public:
    TSyscallFault(const std::string& call, const std::string& error, int when);
    ~TSyscallFault();
    TSyscallFault(const TSyscallFault&) = delete;
    TSyscallFault& operator=(const TSyscallFault&) = delete;

    bool IsAttached() const { return pid_ > 0; }
    const std::string& SkipReason() const { return skipReason_; }
    // Detaches strace: the calls answer as they are again.
    void Detach();

private:
    pid_t pid_ = -1;
    std::string skipReason_;
};
