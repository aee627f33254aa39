#pragma once

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

// Sets an environment variable for the lifetime of the guard.
class TEnvironmentGuard
{
public:
    TEnvironmentGuard(const char* name, const std::string& value)
        : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~TEnvironmentGuard()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    TEnvironmentGuard(const TEnvironmentGuard&) = delete;
    TEnvironmentGuard& operator=(const TEnvironmentGuard&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

inline void WriteTextFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}
