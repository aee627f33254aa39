#include "engine/core/TTemporaryFile.h"

#include "engine/core/PathParts.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr const char* kTemporarySuffix = ".parzello-XXXXXX";
// The longest name most file systems allow, where the folder does not say.
constexpr long kDefaultNameMax = 255;

// The hidden name for a file named `name` in `folder`, shortened where it would
// be longer than the folder allows (a cut in the middle of a character only
// spoils a name nobody reads).
std::string TemporaryPattern(const std::string& folder, const std::string& name)
{
    const long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    const std::size_t room = static_cast<std::size_t>(nameMax > 0 ? nameMax : kDefaultNameMax);
    const std::string suffix = kTemporarySuffix;
    const std::size_t keep = room > suffix.size() + 1 ? room - suffix.size() - 1 : 0;
    return (folder == "/" ? "" : folder) + "/." + name.substr(0, keep) + suffix;
}

}  // namespace

TTemporaryFile::TTemporaryFile(std::string finalPath)
    : finalPath_(std::move(finalPath))
{
    const std::string pattern = TemporaryPattern(FolderOfPath(finalPath_), NameOfPath(finalPath_));
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = TFileDescriptor(::mkostemp(name.data(), O_CLOEXEC));
    if (fd_.IsOpen())
        path_ = name.data();
}

TTemporaryFile::~TTemporaryFile()
{
    if (!path_.empty())
        ::unlink(path_.c_str());
}

bool TTemporaryFile::RenameIntoPlace()
{
    if (path_.empty() || ::rename(path_.c_str(), finalPath_.c_str()) != 0)
        return false;
    path_.clear();
    return true;
}
