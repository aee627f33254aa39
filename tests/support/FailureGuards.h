#pragma once

#include <string>

#include <sys/resource.h>

// Ways to make the file system fail that hold for root too, each undone on
// every path out of a test.

// Marks a file or folder immutable (chattr +i), which stops even the
// superuser, and clears the mark again when the guard goes.
class TImmutableGuard
{
public:
    explicit TImmutableGuard(std::string path);
    ~TImmutableGuard();
    TImmutableGuard(const TImmutableGuard&) = delete;
    TImmutableGuard& operator=(const TImmutableGuard&) = delete;

    // False when the file system does not take the mark (the test should skip).
    bool Active() const { return active_; }

private:
    std::string path_;
    bool active_ = false;
};

// Limits the size of files this process writes, as a full disk would, with
// SIGXFSZ ignored so that a write beyond the limit fails instead of killing us.
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t bytes);
    ~TFileSizeLimit();
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};
