#include "tests/support/THangWatch.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Writes every thread's stack of this process to standard error, as gdb sees it.
void PrintAllStacks()
{
    const std::string pid = std::to_string(::getpid());
    // Lets the child attach where the kernel restricts tracing to ancestors.
    ::prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
        ::execlp("gdb", "gdb", "-p", pid.c_str(), "-batch", "-nx", "-ex", "thread apply all bt", nullptr);
        std::fputs("gdb is missing: no stacks.\n", stderr);
        ::_exit(127);
    }
    if (child > 0) {
        int status = 0;
        ::waitpid(child, &status, 0);
    }
}

}  // namespace

THangWatch::THangWatch(std::chrono::seconds limit)
    : limit_(limit)
    , watcher_([this] { Watch(); })
{
}

THangWatch::~THangWatch()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    watcher_.join();
}

void THangWatch::OnTestStart(const testing::TestInfo&)
{
    {
        const std::lock_guard lock(mutex_);
        ++started_;
    }
    changed_.notify_all();
}

void THangWatch::OnTestEnd(const testing::TestInfo&)
{
    {
        const std::lock_guard lock(mutex_);
        ++ended_;
    }
    changed_.notify_all();
}

void THangWatch::Watch()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || started_ > ended_; });
        if (stopping_)
            return;
        const int running = started_;
        if (changed_.wait_for(lock, limit_, [&] { return stopping_ || ended_ >= running; }))
            continue;
        std::fprintf(stderr, "The test has run for more than %lld s and counts as hung; the stacks of all threads:\n",
                     static_cast<long long>(limit_.count()));
        PrintAllStacks();
        std::abort();
    }
}
