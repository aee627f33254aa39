#include "tests/platform/FileOpsFixture.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/dialogs/TOperationProgress.h"

void FileOpsTest::SetUp()
{
    unexpectedBoxes_.emplace([](const TMessageRequest& request) {
        ADD_FAILURE() << "unexpected box: " << request.Text.toStdString();
        return TMessageAnswer{request.EscapeButton, false};
    });
    ASSERT_TRUE(root_.IsValid());
    home_ = Path("home");
    ASSERT_TRUE(MakeFolder(home_));
    homeGuard_.emplace("HOME", home_);
    dataGuard_.emplace("XDG_DATA_HOME", home_ + "/.local/share");
    configGuard_.emplace("XDG_CONFIG_HOME", home_ + "/.config");
    cacheGuard_.emplace("XDG_CACHE_HOME", home_ + "/.cache");
}

void FileOpsTest::TearDown()
{
    SetOperationProgressObserver({});
    TOperationProgress::SetShowDelay(std::chrono::milliseconds(1000));
}

std::string FileOpsTest::ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileOpsTest::Exists(const std::string& path)
{
    struct stat status
    {};
    return ::lstat(path.c_str(), &status) == 0;
}

struct stat FileOpsTest::Lstat(const std::string& path)
{
    struct stat status
    {};
    ::lstat(path.c_str(), &status);
    return status;
}

std::vector<std::string> FileOpsTest::Names(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* stream = ::opendir(folder.c_str());
    if (stream == nullptr)
        return names;
    while (const dirent* entry = ::readdir(stream)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(stream);
    std::sort(names.begin(), names.end());
    return names;
}

TFileOperationResult FileOpsTest::Run(TFileOperationKind kind, std::vector<std::string> sources,
                                      const std::string& target, QWidget* owner, bool confirm)
{
    TFileOperationRequest request;
    request.Kind = kind;
    request.Sources = std::move(sources);
    request.TargetFolder = target;
    request.Owner = owner;
    request.Confirm = confirm;
    return RunFileOperation(request);
}
