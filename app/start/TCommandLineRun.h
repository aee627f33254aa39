#pragma once

#include "engine/host/TEngineHost.h"

#include <cstdio>
#include <string>

class TStartOptions;

// A run without a window, for scripts and terminals: prints the help or the
// version, or runs the split or the join with standard error as the engine's
// host. Log lines and messages go there in German; a progress line is drawn
// only when standard error is a terminal. Nothing is ever asked: a file the
// join would replace is kept unless --replace was given. Ctrl-C stops the
// work, which then takes back what it wrote.
class TCommandLineRun
{
public:
    // The exit status: 0 success, 1 failure, 2 a usage error.
    static int Run(const TStartOptions& options);

private:
    explicit TCommandLineRun(const TStartOptions& options);
    TEngineHost MakeHost();
    void Write(const std::string& text);
    void DrawProgress(const TProgressReport& report);
    void ClearProgress();

    const TStartOptions& options_;
    const bool terminal_;
    bool progressShown_ = false;
    bool kept_ = false;  // a file was kept that only --replace would have replaced
};
