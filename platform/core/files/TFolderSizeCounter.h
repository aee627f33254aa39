#pragma once

#include "platform/core/files/TFolderSizeWalker.h"

#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

// Counts what lies below some folders on a thread of its own, by the rule of
// TFolderSizeWalker (each inode once, links never followed, one file system).
//
// The totals grow as the count runs and can be read at any time from any
// thread; destroying the counter stops the count and waits for the thread.
class TFolderSizeCounter
{
public:
    struct TTotals : TFolderSizeWalker::TTotals
    {
        bool done = false;
    };

    // `folders` are absolute paths (native bytes); their own entries are not
    // counted, only what they hold. A path given that is a symbolic link to a
    // folder stands for the folder it leads to (it was chosen by the user);
    // links below it are not followed.
    explicit TFolderSizeCounter(std::vector<std::string> folders);
    ~TFolderSizeCounter();
    TFolderSizeCounter(const TFolderSizeCounter&) = delete;
    TFolderSizeCounter& operator=(const TFolderSizeCounter&) = delete;

    TTotals Totals() const;

private:
    void Run(std::stop_token stop);
    void Publish(const TFolderSizeWalker::TTotals& sofar, bool done);

    std::vector<std::string> folders_;
    mutable std::mutex mutex_;
    TTotals totals_;
    std::jthread thread_;  // last: starts once everything above exists
};
