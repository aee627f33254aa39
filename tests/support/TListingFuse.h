#pragma once

#include <chrono>
#include <string>

#include <sys/types.h>

// A FUSE file system of the tests, served by libfuse3 in a child process
// and mounted at <folder>/listing for the object's life: one folder
// (the root) holding `files` empty files named NameOf(0) ... NameOf(files-1),
// each modified a day after the one before.
// Its listing can fail midway or be slow, as a network mount's can; both can
// be switched at any time. Where /dev/fuse or the mount are missing,
// SkipReason() says why and nothing is mounted.
//
// The server is a child, not a thread, so that a test process killed while
// one of its calls waits for an answer cannot hang itself: the child dies
// with the thread that made the object, and the kernel then fails the call.
//
// The kernel asks for a folder in readdir calls of at most the caller's
// buffer (32 KiB from glibc's readdir, about 700 entries here), so a
// listing of more entries takes several calls. While a call is held, the
// kernel keeps lookups of names in the folder waiting behind it (libfuse 3.14
// does not ask it for parallel directory operations); names looked up before
// (LookUpNames) answer from its cache, and so do the root's own attributes.
class TListingFuse
{
public:
    TListingFuse(const std::string& folder, int files);
    ~TListingFuse();
    TListingFuse(const TListingFuse&) = delete;
    TListingFuse& operator=(const TListingFuse&) = delete;

    bool IsMounted() const { return mounted_; }
    const std::string& SkipReason() const { return skipReason_; }
    // The mounted file system's root folder.
    const std::string& Root() const { return root_; }
    // "file-000001" for 0: names that sort as they are numbered.
    static std::string NameOf(int index);

    // From now on every listing's second readdir call answers EIO, after the
    // first has handed out its page of entries: a listing that fails midway.
    void SetFailing(bool failing);
    // From now on listings hand out only the first `count` files, as if the
    // others had gone (their names still look up); negative: all of them.
    void SetListedFiles(int count);
    // From now on every readdir call that hands out entries waits this long
    // first, or until Release(); zero ends the delay.
    void SetDelay(std::chrono::milliseconds delay);
    // Answers every waiting readdir call at once and ends the delay.
    void Release();
    // Waits until some readdir call is held by the delay: the listing has
    // begun and is stuck. False when none is within the timeout.
    [[nodiscard]] bool WaitUntilHeld(std::chrono::milliseconds timeout) const;
    // From now on, while `holding`, the files' lookups and attribute calls
    // (the stat of a file not looked up before) wait until HoldFiles(false),
    // as on a mount whose server is slow to answer; the root's and the
    // listings' calls go on.
    void HoldFiles(bool holding);
    // Waits until some file's lookup or attribute call is held. False when
    // none is within the timeout.
    [[nodiscard]] bool WaitUntilFileHeld(std::chrono::milliseconds timeout) const;
    // Looks every name up once, so that for a minute the kernel answers
    // lookups of them from its cache, also beside a held listing.
    void LookUpNames() const;
    // Listings of the root begun since the mount (readdir calls from its
    // first entry).
    int Listings() const;

    // What the child and the test share.
    struct TShared;

private:
    void Wake() const;

    std::string root_;
    int files_ = 0;
    bool mounted_ = false;
    std::string skipReason_;
    TShared* shared_ = nullptr;  // a shared mapping, unmapped by the destructor
    int wakeFd_ = -1;            // an eventfd: wakes the child's loop
    pid_t child_ = -1;
};
