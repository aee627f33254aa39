#include "bench/support/TScratchFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

TScratchFolder::TScratchFolder(const std::string& parent)
{
    std::string pattern = parent;
    if (!pattern.empty() && pattern.back() != '/')
        pattern += '/';
    pattern += "parzello-bench-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr)
        throw std::runtime_error("cannot make a folder in " + parent + ": " + std::strerror(errno));
    path_ = name.data();
}

TScratchFolder::~TScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
