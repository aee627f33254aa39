#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <ostream>
#include <fcntl.h>
#include <memory>
#include <ftw.h>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// Generous: events normally arrive within milliseconds, but the machine is shared.
constexpr int kEventDeadlineMs = 5000;

// Processes Qt events until condition() holds or the deadline passes.
template <class TCondition>
bool WaitUntil(TCondition condition, int deadlineMs = kEventDeadlineMs)
{
    const QDeadlineTimer deadline(deadlineMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}

// Runs every call queued to the UI thread before this one: a marker queued
// now runs after them. Assert that nothing arrived only after this, and only
// for senders that had queued all they would before it.
inline bool RunQueuedCalls()
{
    const auto reached = std::make_shared<bool>(false);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [reached] { *reached = true; }, Qt::QueuedConnection);
    return WaitUntil([&] { return *reached; });
}

struct TRecordedChange
{
    long event;
    std::string path1;
    std::string path2;

    bool operator==(const TRecordedChange&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TRecordedChange& change)
{
    return out << std::hex << change.event << std::dec << " '" << change.path1 << "' '" << change.path2 << "'";
}

inline bool Contains(const std::vector<TRecordedChange>& changes, const TRecordedChange& wanted)
{
    for (const TRecordedChange& change : changes) {
        if (change == wanted)
            return true;
    }
    return false;
}

// A temporary folder with native-byte paths, removed with everything in it
// (also names that are not UTF-8, which QTemporaryDir cannot remove).
class TTempFolder
{
public:
    TTempFolder()
    {
        std::string pattern = QFile::encodeName(QDir::tempPath()).toStdString() + "/parzello-notify-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~TTempFolder()
    {
        if (!path_.empty())
            ::nftw(path_.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    bool IsValid() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + '/' + name; }

private:
    static int RemoveEntry(const char* path, const struct stat*, int, struct FTW*)
    {
        ::remove(path);
        return 0;
    }

    std::string path_;
};

inline bool WriteFile(const std::string& path, const std::string& text = "x")
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && written;
}

inline bool MakeFolder(const std::string& path)
{
    return ::mkdir(path.c_str(), 0755) == 0;
}
