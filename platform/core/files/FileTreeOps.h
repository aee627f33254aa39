#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/ids/ShellItems.h"  // JoinPath

// Small path and tree helpers of the file operations. Paths are native bytes;
// nothing here follows a symbolic link it does not have to.

// The last component ("b" of "/a/b/"); "/" for the root.
std::string BaseName(std::string_view path);
// The folder holding a path ("/a" of "/a/b", "/" of "/a").
std::string DirName(std::string_view path);
// The path made absolute against the working directory, with "." and ".."
// components and repeated slashes resolved by text (symbolic links kept).
std::string AbsolutePath(std::string_view path);

// True when `path` is `folder` or lies below it (by text, both absolute).
bool IsSameOrInside(std::string_view path, std::string_view folder);

// How an item that would take the place of an existing one relates to it.
enum class TItemRelation {
    Distinct,           // two items: replacing loses only the old one
    SameFile,           // one file under two names (the same entry, hard links, or
                        // a symbolic link and the file it leads to): replacing would
                        // leave a link to itself or no file at all
    TargetHoldsSource,  // the existing folder holds the new item
    SourceHoldsTarget,  // the new item is a folder that holds the existing one
};
// Compares by identity (device and inode), through lstat and stat, and
// resolves the folders above both paths, so that linked folders and bind
// mounts cannot hide one item behind another name. A symbolic link as
// `target` that leads to `source` is Distinct: replacing it loses nothing.
TItemRelation RelationOf(const std::string& source, const std::string& target);

// lstat existence: a broken symbolic link exists.
bool EntryExists(const std::string& path);

// Deletes a file, a symbolic link or a whole folder tree without following
// links; 0 or the errno of the first failure (it goes on with the rest, so
// as much as possible is gone).
[[nodiscard]] int RemoveTree(const std::string& path);

// Renames without replacing anything (EEXIST when `to` exists); 0 or errno.
[[nodiscard]] int RenameNoReplace(const std::string& from, const std::string& to);

// Puts `from` in the place of the existing `to`: a file replaces a file by
// rename, atomically; where a folder is involved the two swap places
// atomically (RENAME_EXCHANGE) and the old item, now at `from`, is deleted.
// Where the file system cannot exchange, the old item is renamed aside
// first and deleted only once the new one stands in its place.
// Refused (EINVAL, nothing changed) unless RelationOf(from, to) is Distinct:
// no tree that holds the other item is ever removed.
// 0 or errno; an errno after the swap means the new item is in place and
// the old one could not be deleted wholly (its rest lies at `from`).
[[nodiscard]] int RenameReplacing(const std::string& from, const std::string& to);

// Flushes a folder's entries (names made, renamed or deleted in it) to the
// disk; 0 also where the file system cannot flush folders, else errno.
[[nodiscard]] int FlushFolder(const std::string& path);

// Creates `path` and any missing parent folders (mode 0777 less umask);
// 0 or errno.
[[nodiscard]] int MakeDirectories(const std::string& path);

// Bytes and entries below a path (the entry itself counted), without
// following links.
struct TTreeSize
{
    std::uint64_t Bytes = 0;
    std::uint64_t Entries = 0;
};
TTreeSize MeasureTree(const std::string& path);

// A name for a temporary sibling of `path` that does not exist yet, hidden
// (leading ".") so that file managers do not show it while it is filled.
std::string TemporarySiblingName(const std::string& path);

// Owns a temporary file or folder tree and deletes it unless committed.
class TTemporaryItem
{
public:
    TTemporaryItem() = default;
    explicit TTemporaryItem(std::string path)
        : path_(std::move(path))
    {
    }
    ~TTemporaryItem();
    TTemporaryItem(const TTemporaryItem&) = delete;
    TTemporaryItem& operator=(const TTemporaryItem&) = delete;

    const std::string& Path() const { return path_; }
    void Commit() { path_.clear(); }

private:
    std::string path_;
};
