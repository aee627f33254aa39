#pragma once

#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <csignal>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileOperations.h"
#include "platform/MessageBox.h"
#include "tests/platform/DataTestSupport.h"
#include "tests/platform/NotifyTestSupport.h"

// Answers every box with the next scripted answer (Escape when none is
// left) and keeps the requests for inspection.
class TScriptedAnswers {
public:
    TScriptedAnswers()
        : handler_([this](const TMessageRequest& request) {
              requests_.push_back(request);
              if (answers_.empty())
                  return TMessageAnswer{request.EscapeButton, false};
              const TMessageAnswer answer = answers_.front();
              answers_.pop_front();
              return answer;
          })
    {
    }
    void Answer(int button, bool checked = false) { answers_.push_back({button, checked}); }
    const std::vector<TMessageRequest>& Requests() const { return requests_; }

private:
    std::deque<TMessageAnswer> answers_;
    std::vector<TMessageRequest> requests_;
    TScopedMessageHandler handler_;
};

// Makes a folder immutable (chattr +i) for the guard's lifetime: a folder
// that even root cannot write into.
class TImmutableGuard {
public:
    explicit TImmutableGuard(std::string path);
    ~TImmutableGuard();
    TImmutableGuard(const TImmutableGuard&) = delete;
    TImmutableGuard& operator=(const TImmutableGuard&) = delete;
    bool IsSet() const { return set_; }

private:
    std::string path_;
    bool set_ = false;
};

// Limits the size of files this process writes (a full disk that holds for
// root too); writes beyond it fail with EFBIG instead of raising SIGXFSZ.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes);
    ~TFileSizeLimit();
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit old_ {};
    void (*oldHandler_)(int) = nullptr;
};

// A temporary HOME with its XDG folders, so that nothing touches the real
// home and the home trash lies inside the test's folder.
class FileOpsTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string Path(const std::string& relative) const { return root_.Path() + "/" + relative; }
    static std::string ReadAll(const std::string& path);
    static bool Exists(const std::string& path);
    static struct stat Lstat(const std::string& path);
    // Names in a folder, sorted; empty when it cannot be read.
    static std::vector<std::string> Names(const std::string& folder);

    static TFileOperationResult Run(TFileOperationKind kind, std::vector<std::string> sources,
                                    const std::string& target = {}, QWidget* owner = nullptr, bool confirm = true);

    TTempFolder root_;
    std::string home_;
    // A box no test answers fails the test instead of blocking it.
    std::optional<TScopedMessageHandler> unexpectedBoxes_;
    std::optional<TEnvironmentGuard> homeGuard_;
    std::optional<TEnvironmentGuard> dataGuard_;
    std::optional<TEnvironmentGuard> configGuard_;
    std::optional<TEnvironmentGuard> cacheGuard_;
};
