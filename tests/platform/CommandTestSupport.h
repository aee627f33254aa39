#pragma once

#include "platform/commands/AppLauncher.h"
#include "framework/MessageBox.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// A launcher that knows the applications it was told about and records
// every launch instead of starting anything.
class TRecordingLauncher final : public IAppLauncher
{
public:
    struct TLaunch
    {
        std::string AppId;
        std::vector<std::string> Paths;
    };

    std::map<std::string, std::vector<TAppInfo>> AppsByType;  // the first is the default
    std::vector<TLaunch> Launches;
    bool Fail = false;

    std::optional<TAppInfo> DefaultAppForType(const std::string& mimeType) override
    {
        const auto apps = AppsByType.find(mimeType);
        if (apps == AppsByType.end() || apps->second.empty())
            return std::nullopt;
        return apps->second.front();
    }
    std::vector<TAppInfo> AppsForType(const std::string& mimeType) override
    {
        const auto apps = AppsByType.find(mimeType);
        return apps == AppsByType.end() ? std::vector<TAppInfo>() : apps->second;
    }
    bool Launch(const std::string& appId, const std::vector<std::string>& paths, std::string& error) override
    {
        if (Fail) {
            error = "kaputt";
            return false;
        }
        Launches.push_back({appId, paths});
        return true;
    }
};

// Puts a launcher in place for a scope.
class TScopedLauncher
{
public:
    explicit TScopedLauncher(IAppLauncherPtr launcher)
        : previous_(SetAppLauncher(std::move(launcher)))
    {
    }
    ~TScopedLauncher() { SetAppLauncher(previous_); }
    TScopedLauncher(const TScopedLauncher&) = delete;
    TScopedLauncher& operator=(const TScopedLauncher&) = delete;

private:
    IAppLauncherPtr previous_;
};

// Answers every box with the button of the given caption (or Esc when there
// is none) and keeps the requests.
class TAnswerByCaption
{
public:
    explicit TAnswerByCaption(QString caption)
        : caption_(std::move(caption))
        , handler_([this](const TMessageRequest& request) {
            Requests.push_back(request);
            TMessageAnswer answer;
            const qsizetype index = request.Buttons.indexOf(caption_);
            answer.Button = index >= 0 ? int(index) : request.EscapeButton;
            return answer;
        })
    {
    }
    std::vector<TMessageRequest> Requests;

private:
    QString caption_;
    TScopedMessageHandler handler_;
};

inline bool Exists(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

// Processes events until `condition` holds or the deadline passes.
template <typename TCondition>
bool WaitFor(TCondition condition, int milliseconds = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents();
        ::usleep(10000);  // polling step, well below any deadline
    }
    return true;
}
