#pragma once

#include "tests/support/FailureGuards.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <csignal>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/fileops/FileOperations.h"
#include "framework/MessageBox.h"
#include "tests/platform/DataTestSupport.h"
#include "tests/platform/NotifyTestSupport.h"

// Answers every box with the next scripted answer (Escape when none is
// left) and keeps the requests for inspection.
class TScriptedAnswers
{
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

// A temporary HOME with its XDG folders, so that nothing touches the real
// home and the home trash lies inside the test's folder.
class FileOpsTest : public testing::Test
{
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
