#include "bench/support/ChildProcess.h"

#include "bench/support/BenchTiming.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

// Forks and executes argv with standard output (and, when withStderr, standard
// error) going to outputPath, created or emptied first; an empty path keeps
// the parent's. Returns the child's id, or -1.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& outputPath, bool withStderr)
{
    if (argv.empty())
        return -1;
    // Everything the child needs is prepared before fork: after it only
    // async-signal-safe calls are allowed.
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        if (!outputPath.empty()) {
            const int fd = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0 || (withStderr && dup2(fd, STDERR_FILENO) < 0))
                _exit(127);
        }
        execvp(args[0], args.data());
        _exit(127);
    }
    return pid < 0 ? -1 : pid;
}

}  // namespace

int RunProgram(const std::vector<std::string>& argv, const std::string& stdoutPath, long* peakKiB)
{
    const pid_t pid = Spawn(argv, stdoutPath, false);
    if (pid < 0)
        return -1;
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR)
            return -1;
    }
    if (peakKiB)
        *peakKiB = usage.ru_maxrss;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double TimeProgram(const std::vector<std::string>& argv)
{
    int status = 0;
    const double seconds = TimeSeconds([&] { status = RunProgram(argv, "/dev/null"); });
    return status < 0 ? -1 : seconds;
}

pid_t StartProgram(const std::vector<std::string>& argv, const std::string& outputPath)
{
    return Spawn(argv, outputPath.empty() ? std::string("/dev/null") : outputPath, true);
}

int StopProgram(pid_t pid, int signal)
{
    kill(pid, signal);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
