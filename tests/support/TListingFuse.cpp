#include "tests/support/TListingFuse.h"

#define FUSE_USE_VERSION 312
#include <fuse_lowlevel.h>

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>
#include <unordered_map>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using TClock = std::chrono::steady_clock;

constexpr fuse_ino_t kRootInode = FUSE_ROOT_ID;
// The files never change while mounted, so the kernel may keep what it was told.
constexpr double kCacheSeconds = 60;
constexpr time_t kSecondsPerDay = 86400;
// "." and ".." come before the files in a listing.
constexpr off_t kDotEntries = 2;
// How often WaitUntilHeld looks at the child's count: short against any delay a test sets.
constexpr std::chrono::milliseconds kHeldPollStep{5};

}  // namespace

// The switches and counts the test's process and the child share, in an
// anonymous shared mapping.
struct TListingFuse::TShared
{
    std::atomic<bool> Failing{false};
    // How many of the files listings hand out; negative: all.
    std::atomic<int> Listed{-1};
    std::atomic<long> DelayMilliseconds{0};
    std::atomic<int> Listings{0};
    std::atomic<int> Held{0};
    std::atomic<bool> HoldingFiles{false};
    std::atomic<int> FilesHeld{0};
    std::atomic<bool> Stopping{false};
};

namespace {

// The child's own state; the libfuse callbacks reach it through the
// session's user data.
struct TServer
{
    struct THeldRead
    {
        fuse_req_t Request;
        size_t Size;
        off_t Offset;
        TClock::time_point Due;
    };

    TListingFuse::TShared* Shared = nullptr;
    std::vector<std::string> Names;
    std::unordered_map<std::string, int> IndexOf;
    std::vector<THeldRead> Held;
    // Held lookups (by name) and attribute calls (by inode) of files.
    struct THeldFileCall
    {
        fuse_req_t Request;
        fuse_ino_t Inode;
        bool Lookup;
    };
    std::vector<THeldFileCall> HeldFiles;

    off_t EntryCount() const
    {
        const int listed = Shared->Listed;
        return kDotEntries + off_t(listed >= 0 && size_t(listed) < Names.size() ? size_t(listed) : Names.size());
    }

    static struct stat Attributes(fuse_ino_t inode)
    {
        struct stat attributes
        {};
        attributes.st_ino = inode;
        attributes.st_mode = inode == kRootInode ? S_IFDIR | 0755 : S_IFREG | 0644;
        attributes.st_nlink = inode == kRootInode ? 2 : 1;
        // A day apart from file to file: entries tell apart by their details.
        attributes.st_mtime = inode == kRootInode ? 0 : time_t(inode) * kSecondsPerDay;
        return attributes;
    }

    // One buffer of entries from `offset`, each entry's offset naming the next.
    void AnswerRead(fuse_req_t request, size_t size, off_t offset) const
    {
        std::vector<char> page(size);
        size_t used = 0;
        for (off_t entry = offset; entry < EntryCount(); ++entry) {
            const fuse_ino_t inode = entry < kDotEntries ? kRootInode : fuse_ino_t(entry - kDotEntries + 2);
            const std::string name = entry == 0 ? "." : entry == 1 ? ".." : Names[size_t(entry - kDotEntries)];
            const struct stat attributes = Attributes(inode);
            const size_t length =
                fuse_add_direntry(request, page.data() + used, size - used, name.c_str(), &attributes, entry + 1);
            if (length > size - used)
                break;
            used += length;
        }
        fuse_reply_buf(request, page.data(), used);
    }

    // Answers the held reads that are due (all when stopping); the
    // milliseconds until the next one is, or -1 for none.
    int AnswerDue(bool stopping)
    {
        const TClock::time_point now = TClock::now();
        const bool released = Shared->DelayMilliseconds.load() == 0;
        const auto firstWaiting = std::stable_partition(
            Held.begin(), Held.end(), [&](const THeldRead& held) { return stopping || released || held.Due <= now; });
        for (auto held = Held.begin(); held != firstWaiting; ++held)
            AnswerRead(held->Request, held->Size, held->Offset);
        Held.erase(Held.begin(), firstWaiting);
        Shared->Held = int(Held.size());
        int timeout = -1;
        for (const THeldRead& held : Held) {
            const int wait = int(std::chrono::ceil<std::chrono::milliseconds>(held.Due - now).count());
            timeout = timeout < 0 ? wait : std::min(timeout, wait);
        }
        return timeout;
    }
};

TServer& ServerOf(fuse_req_t request)
{
    return *static_cast<TServer*>(fuse_req_userdata(request));
}

void OnInit(void*, fuse_conn_info* connection)
{
    // Plain readdir calls only, so that each call of a listing comes to OnReadDir.
    connection->want &= ~(FUSE_CAP_READDIRPLUS | FUSE_CAP_READDIRPLUS_AUTO);
}

void AnswerLookup(fuse_req_t request, fuse_ino_t inode)
{
    fuse_entry_param entry{};
    entry.ino = inode;
    entry.attr = TServer::Attributes(entry.ino);
    entry.attr_timeout = kCacheSeconds;
    entry.entry_timeout = kCacheSeconds;
    fuse_reply_entry(request, &entry);
}

void AnswerGetAttr(fuse_req_t request, fuse_ino_t inode)
{
    const struct stat attributes = TServer::Attributes(inode);
    // The root's attributes are asked for every time: a stat of the root shows the server answering.
    fuse_reply_attr(request, &attributes, inode == kRootInode ? 0 : kCacheSeconds);
}

// Answers the held calls of files once they are no longer held (all when stopping).
void AnswerHeldFiles(TServer& server, bool stopping)
{
    if (!stopping && server.Shared->HoldingFiles)
        return;
    for (const TServer::THeldFileCall& held : server.HeldFiles)
        held.Lookup ? AnswerLookup(held.Request, held.Inode) : AnswerGetAttr(held.Request, held.Inode);
    server.HeldFiles.clear();
    server.Shared->FilesHeld = 0;
}

// Whether a call of a file is held (kept to be answered later).
bool HeldFileCall(fuse_req_t request, fuse_ino_t inode, bool lookup)
{
    TServer& server = ServerOf(request);
    if (inode == kRootInode || !server.Shared->HoldingFiles)
        return false;
    server.HeldFiles.push_back({request, inode, lookup});
    server.Shared->FilesHeld = int(server.HeldFiles.size());
    return true;
}

void OnLookup(fuse_req_t request, fuse_ino_t parent, const char* name)
{
    const TServer& server = ServerOf(request);
    const auto found = server.IndexOf.find(name);
    if (parent != kRootInode || found == server.IndexOf.end()) {
        fuse_reply_err(request, ENOENT);
        return;
    }
    const fuse_ino_t inode = fuse_ino_t(found->second + 2);
    if (!HeldFileCall(request, inode, true))
        AnswerLookup(request, inode);
}

void OnGetAttr(fuse_req_t request, fuse_ino_t inode, fuse_file_info*)
{
    if (!HeldFileCall(request, inode, false))
        AnswerGetAttr(request, inode);
}

void OnOpen(fuse_req_t request, fuse_ino_t inode, fuse_file_info* info)
{
    if (inode == kRootInode)
        fuse_reply_err(request, EISDIR);
    else
        fuse_reply_open(request, info);
}

void OnRead(fuse_req_t request, fuse_ino_t, size_t, off_t, fuse_file_info*)
{
    fuse_reply_buf(request, nullptr, 0);
}

void OnOpenDir(fuse_req_t request, fuse_ino_t inode, fuse_file_info* info)
{
    if (inode == kRootInode)
        fuse_reply_open(request, info);
    else
        fuse_reply_err(request, ENOTDIR);
}

void OnReadDir(fuse_req_t request, fuse_ino_t, size_t size, off_t offset, fuse_file_info*)
{
    TServer& server = ServerOf(request);
    if (offset == 0)
        ++server.Shared->Listings;
    if (server.Shared->Failing && offset != 0) {
        fuse_reply_err(request, EIO);
        return;
    }
    const long delay = server.Shared->DelayMilliseconds;
    if (delay > 0 && offset < server.EntryCount()) {
        server.Held.push_back({request, size, offset, TClock::now() + std::chrono::milliseconds(delay)});
        server.Shared->Held = int(server.Held.size());
        return;
    }
    server.AnswerRead(request, size, offset);
}

void OnReleaseDir(fuse_req_t request, fuse_ino_t, fuse_file_info*)
{
    fuse_reply_err(request, 0);
}

// The child: mounts, reports to `report` ("" or why not), serves until told
// to stop or unmounted, unmounts. Returns the exit status.
int Serve(TServer& server, const std::string& root, int wakeFd, int report)
{
    fuse_lowlevel_ops operations{};
    operations.init = OnInit;
    operations.lookup = OnLookup;
    operations.getattr = OnGetAttr;
    operations.open = OnOpen;
    operations.read = OnRead;
    operations.opendir = OnOpenDir;
    operations.readdir = OnReadDir;
    operations.releasedir = OnReleaseDir;
    char program[] = "parzello-tests";
    char option[] = "-o";
    char options[] = "fsname=parzello-listing,subtype=listing";
    char* argv[] = {program, option, options, nullptr};
    fuse_args arguments = FUSE_ARGS_INIT(3, argv);
    fuse_session* session = fuse_session_new(&arguments, &operations, sizeof operations, &server);
    std::string failure;
    if (session == nullptr)
        failure = "libfuse3 cannot make a session";
    else if (fuse_session_mount(session, root.c_str()) != 0)
        failure = "cannot mount the FUSE file system of the tests on " + root;
    [[maybe_unused]] const ssize_t reported = ::write(report, failure.data(), failure.size() + 1);
    ::close(report);
    if (!failure.empty()) {
        if (session != nullptr)
            fuse_session_destroy(session);
        return 1;
    }
    // The loop waits in poll() on both descriptors, never in a blocking read.
    const int fuseFd = fuse_session_fd(session);
    ::fcntl(fuseFd, F_SETFL, ::fcntl(fuseFd, F_GETFL) | O_NONBLOCK);
    fuse_buf buffer{};
    while (true) {
        const bool stopping = server.Shared->Stopping;
        const int timeout = server.AnswerDue(stopping);
        AnswerHeldFiles(server, stopping);
        if (stopping)
            break;
        pollfd watched[] = {{fuseFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (::poll(watched, 2, timeout) < 0)
            continue;
        if (watched[1].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t got = ::read(wakeFd, &count, sizeof count);
        }
        if (watched[0].revents & (POLLIN | POLLERR | POLLHUP)) {
            const int received = fuse_session_receive_buf(session, &buffer);
            if (received == 0)
                break;  // unmounted from outside
            if (received > 0)
                fuse_session_process_buf(session, &buffer);
        }
    }
    std::free(buffer.mem);
    fuse_session_unmount(session);
    fuse_session_destroy(session);
    return 0;
}

}  // namespace

std::string TListingFuse::NameOf(int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "file-%06d", index + 1);
    return name;
}

TListingFuse::TListingFuse(const std::string& folder, int files)
    : root_(folder + "/listing")
    , files_(files)
{
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        skipReason_ = "no /dev/fuse here: the FUSE file system of the tests cannot be mounted";
        return;
    }
    if (::mkdir(root_.c_str(), 0755) != 0) {
        skipReason_ = "cannot make the mount folder " + root_ + ": " + std::strerror(errno);
        return;
    }
    void* mapping = ::mmap(nullptr, sizeof(TShared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    int report[2] = {-1, -1};
    if (mapping == MAP_FAILED || wakeFd_ < 0 || ::pipe2(report, O_CLOEXEC) != 0) {
        skipReason_ = std::string("cannot prepare the FUSE server: ") + std::strerror(errno);
        if (mapping != MAP_FAILED)
            ::munmap(mapping, sizeof(TShared));
        return;
    }
    shared_ = new (mapping) TShared;
    TServer server;
    server.Shared = shared_;
    for (int i = 0; i < files; ++i) {
        server.Names.push_back(NameOf(i));
        server.IndexOf.emplace(server.Names.back(), i);
    }
    const pid_t parent = ::getpid();
    child_ = ::fork();
    if (child_ == 0) {
        ::close(report[0]);
        // Dies with the test, which closes the connection and fails its calls.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(1);
        // _exit: the test's atexit handlers and leak checks are the parent's.
        ::_exit(Serve(server, root_, wakeFd_, report[1]));
    }
    ::close(report[1]);
    if (child_ < 0) {
        skipReason_ = std::string("cannot start the FUSE server: ") + std::strerror(errno);
        ::close(report[0]);
        return;
    }
    std::string failure;
    char chunk[256];
    ssize_t got = 0;
    bool answered = false;
    while ((got = ::read(report[0], chunk, sizeof chunk)) > 0 || (got < 0 && errno == EINTR)) {
        if (got > 0) {
            answered = true;
            failure.append(chunk, size_t(got));
        }
    }
    ::close(report[0]);
    while (!failure.empty() && failure.back() == '\0')
        failure.pop_back();
    mounted_ = answered && failure.empty();
    if (!mounted_)
        skipReason_ = answered ? failure : "the FUSE server ended before it mounted";
}

TListingFuse::~TListingFuse()
{
    if (child_ > 0) {
        shared_->Stopping = true;
        Wake();
        int status = 0;
        while (::waitpid(child_, &status, 0) < 0 && errno == EINTR) {}
    }
    if (shared_ != nullptr) {
        shared_->~TShared();
        ::munmap(shared_, sizeof(TShared));
    }
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
    ::rmdir(root_.c_str());
}

void TListingFuse::Wake() const
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

void TListingFuse::SetFailing(bool failing)
{
    if (shared_ != nullptr)
        shared_->Failing = failing;
}

void TListingFuse::SetListedFiles(int count)
{
    if (shared_ != nullptr)
        shared_->Listed = count;
}

void TListingFuse::SetDelay(std::chrono::milliseconds delay)
{
    if (shared_ == nullptr)
        return;
    shared_->DelayMilliseconds = long(delay.count());
    Wake();
}

void TListingFuse::Release()
{
    SetDelay(std::chrono::milliseconds(0));
}

bool TListingFuse::WaitUntilHeld(std::chrono::milliseconds timeout) const
{
    // The child holds the call; the test's process only sees the count, so it looks in short steps.
    const auto deadline = TClock::now() + timeout;
    while (shared_ != nullptr && shared_->Held == 0) {
        if (TClock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kHeldPollStep);
    }
    return shared_ != nullptr;
}

void TListingFuse::HoldFiles(bool holding)
{
    if (shared_ == nullptr)
        return;
    shared_->HoldingFiles = holding;
    Wake();
}

bool TListingFuse::WaitUntilFileHeld(std::chrono::milliseconds timeout) const
{
    const auto deadline = TClock::now() + timeout;
    while (shared_ != nullptr && shared_->FilesHeld == 0) {
        if (TClock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kHeldPollStep);
    }
    return shared_ != nullptr;
}

void TListingFuse::LookUpNames() const
{
    struct stat attributes
    {};
    for (int i = 0; mounted_ && i < files_; ++i)
        ::stat((root_ + "/" + NameOf(i)).c_str(), &attributes);
}

int TListingFuse::Listings() const
{
    return shared_ != nullptr ? shared_->Listings.load() : 0;
}
