#pragma once

#include <cstdint>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

// Counts what lies below some folders on a thread of its own: files, folders
// and the bytes of the files. Symbolic links are counted as files and never
// followed; a folder reached twice (a bind mount seen again) is entered once,
// and a file with several hard links is counted once. Folders that cannot be
// read count as folders with nothing in them.
//
// The totals grow as the count runs and can be read at any time from any
// thread; destroying the counter stops the count and waits for the thread.
class TFolderSizeCounter
{
public:
    struct TTotals
    {
        std::uint64_t files = 0;
        std::uint64_t folders = 0;
        std::uint64_t bytes = 0;
        bool done = false;
    };

    // `folders` are absolute paths (native bytes); their own entries are not
    // counted, only what they hold. A path given that is a symbolic link to a
    // folder is followed (it was chosen by the user), links below it are not.
    explicit TFolderSizeCounter(std::vector<std::string> folders);
    ~TFolderSizeCounter();
    TFolderSizeCounter(const TFolderSizeCounter&) = delete;
    TFolderSizeCounter& operator=(const TFolderSizeCounter&) = delete;

    TTotals Totals() const;

private:
    void Run(std::stop_token stop);

    std::vector<std::string> folders_;
    mutable std::mutex mutex_;
    TTotals totals_;
    std::jthread thread_;  // last: starts once everything above exists
};
