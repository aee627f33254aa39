#pragma once

#include "tests/support/FailureGuards.h"

#include "engine/host/TEngineHost.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>

// A fresh folder under the system's temporary folder, removed with all it holds.
class TTempDir
{
public:
    TTempDir();
    // Under another folder; tests that create thousands of files use a memory file system.
    explicit TTempDir(const std::string& base);
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Names in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::string path_;
};

// Bytes that differ from one offset to the next, so a misplaced block shows.
std::string PatternBytes(std::size_t size, unsigned seed = 1);
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool PathExists(const std::string& path);
// /dev/shm where it is a writable folder (creating files there is cheap), else the temporary folder.
std::string FastFileSystemFolder();
struct stat StatOf(const std::string& path);
// Sets a file's access and modification times to whole seconds.
void SetFileTimes(const std::string& path, std::int64_t accessSeconds, std::int64_t modificationSeconds);

// Runs work on a thread of its own on which copy_file_range never copies: it
// fails with `error`, or, for 0, answers that it copied nothing. The rest of
// the process is not affected.
void RunWithoutKernelCopy(int error, const std::function<void()>& work);

// How many of a file's pages are in the page cache.
std::size_t CachedPages(const std::string& path);

// Runs a program (looked up in PATH) in a folder and waits for it; its
// standard output goes to *output when given, its errors nowhere. Returns the exit status, -1 when
// it could not be run or was killed.
int RunCommandIn(const std::string& folder, const std::vector<std::string>& argv, std::string* output = nullptr);

// Runs work in a child process, which ends when work returns or when work
// kills it, as a crash or a power loss would. Returns the child's wait status.
int RunInChild(const std::function<void()>& work);

// Whether a folder holds a hidden file of the program's own, ".<name>.parzello-XXXXXX".
bool HasTemporaryFileOf(const std::string& folder, const std::string& name);

struct TShownBox
{
    TBoxIcon Icon;
    std::string Caption;
    std::string Text;
};

// A host that records what the engine tells it. Events holds everything in
// order: "LOG <line>", "BOX <caption>: <text>", "REFRESH".
struct TRecordingHost
{
    std::vector<std::string> Logs;
    std::vector<TShownBox> Boxes;
    std::vector<std::string> Events;
    int Refreshes = 0;
    TBoxAnswer QuestionAnswer = TBoxAnswer::No;
    std::function<void(const TShownBox&)> OnBox;
    std::function<bool(std::uint64_t, std::uint64_t)> OnProgress;
    std::function<bool(const TProgressReport&)> OnReport;  // instead of OnProgress
    std::chrono::nanoseconds ProgressInterval{0};          // every transfer reports unless a test says otherwise

    TEngineHost Host();
};
