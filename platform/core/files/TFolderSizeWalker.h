#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>

// Measures files and folders: how many files and folders, and their bytes.
// The one rule every size in the program follows, the one `du -x -b` follows:
//   - each inode is counted once: a file with several hard links once, a
//     folder reached a second time (a bind mount seen again) is not entered;
//   - symbolic links are never followed, not even the path the walk starts
//     at: a link counts as a file of its own size (its target's length);
//   - the walk stays on the file system it starts on: what lies on another
//     one (a mount point below the start and all it holds) is left out;
//   - the bytes are the apparent sizes (st_size) of all but folders; a
//     folder's own size is the file system's bookkeeping and adds nothing.
// So files plus folders below a folder are `du -x -s --inodes` of it less
// one, and the bytes are the sum of the lines of `du -x -a -b` that name no
// folder. Entries that vanish meanwhile are left out; a folder that cannot
// be read counts as a folder holding nothing.
//
// Across the Add calls of one walker, too, a folder is entered once and a
// file with several names counted once (items should not lie inside one
// another: a file with one name is not remembered).
class TFolderSizeWalker
{
public:
    struct TTotals
    {
        std::uint64_t files = 0;
        std::uint64_t folders = 0;
        std::uint64_t bytes = 0;
    };

    // `stopRequested` is asked before every entry and ends the walk when it
    // says yes; `progress` hears the totals so far every few hundred entries.
    explicit TFolderSizeWalker(std::function<bool()> stopRequested = {},
                               std::function<void(const TTotals&)> progress = {});

    // Counts the item at `path` itself and, when it is a folder and `recurse`
    // is set, all it holds.
    void AddItem(const std::string& path, bool recurse);
    // Counts only what the folder at `path` holds.
    void AddContents(const std::string& path);

    const TTotals& Totals() const { return totals_; }
    // Whether `stopRequested` ended the walk early.
    bool Stopped() const { return stopped_; }

private:
    struct TInodeKey
    {
        dev_t device;
        ino_t inode;
        bool operator==(const TInodeKey&) const = default;
    };
    struct TInodeHash
    {
        std::size_t operator()(const TInodeKey& key) const;
    };

    // Counts what the open folder `folderFd` holds; takes the descriptor.
    void Walk(int folderFd, dev_t device);
    // Counts one entry that is not a folder, unless its inode was counted.
    void CountFile(const struct stat& status);
    bool FirstVisit(const struct stat& status, std::unordered_set<TInodeKey, TInodeHash>& seen);
    void Tick();

    std::function<bool()> stopRequested_;
    std::function<void(const TTotals&)> progress_;
    std::unordered_set<TInodeKey, TInodeHash> folders_;
    std::unordered_set<TInodeKey, TInodeHash> linkedFiles_;  // files with more than one name
    TTotals totals_;
    int sinceProgress_ = 0;
    bool stopped_ = false;
};
