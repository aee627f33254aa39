#include "tests/support/TSyscallFault.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

TSyscallFault::TSyscallFault(const std::string& call, const std::string& error, int when)
{
    const std::string tid = std::to_string(::syscall(SYS_gettid));
    const std::string trace = "trace=" + call;
    const std::string inject = "inject=" + call + ":error=" + error + ":when=" + std::to_string(when);
    int output[2];
    if (::pipe(output) != 0) {
        skipReason_ = "no pipe for strace";
        return;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(output[1], STDERR_FILENO);
        ::close(output[0]);
        ::close(output[1]);
        ::execlp("strace", "strace", "-p", tid.c_str(), "-e", trace.c_str(), "-e", inject.c_str(), "-o", "/dev/null",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(output[1]);
    if (pid < 0) {
        ::close(output[0]);
        skipReason_ = "strace could not be started";
        return;
    }
    // strace says so on its error output once the thread is traced; an end of
    // the output before that is a strace that could not attach.
    std::string said;
    char buffer[256];
    for (ssize_t got;
         said.find("attached") == std::string::npos && (got = ::read(output[0], buffer, sizeof buffer)) != 0;)
        if (got > 0)
            said.append(buffer, std::size_t(got));
    ::close(output[0]);
    if (said.find("attached") == std::string::npos) {
        ::waitpid(pid, nullptr, 0);
        skipReason_ = "strace cannot trace here: " + said;
        return;
    }
    pid_ = pid;
}

TSyscallFault::~TSyscallFault()
{
    Detach();
}

void TSyscallFault::Detach()
{
    if (pid_ <= 0)
        return;
    // strace detaches from its tracee when it is asked to end.
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}
