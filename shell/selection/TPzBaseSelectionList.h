#pragma once

#include "shell/navigator/library/TPzBaseComponent.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The entries of a selection and its totals. Entries keep the order they were
// added in; hashed indexes answer "is it selected" and "is anything selected
// below this folder" without walking the list.
class TPzBaseSelectionList : public TPzBaseComponent
{
    Q_OBJECT

public:
    explicit TPzBaseSelectionList(QObject* owner = nullptr);

    const std::vector<std::string>& Paths() const { return paths_; }
    int Count() const { return static_cast<int>(paths_.size()); }
    const std::string& Path(int index) const { return paths_[static_cast<std::size_t>(index)]; }
    int IndexOf(const std::string& entry) const;
    bool Contains(const std::string& entry) const { return index_.count(entry) != 0; }
    // Whether some entry lies below the folder of a folder entry (or folder path).
    bool HasEntryBelow(const std::string& folder) const;

    std::int64_t TotalSize() const { return totalSize_; }
    std::int64_t FileCount() const { return fileCount_; }
    std::int64_t FolderCount() const { return folderCount_; }

protected:
    // Adds an entry unless present; false when it was there.
    bool AddEntry(const std::string& entry);
    void DeleteEntry(int index);
    void ClearEntries();
    void ZeroTotals();
    void AddToTotals(std::int64_t size, std::int64_t files, std::int64_t folders);

    // Brackets a bulk change of the entries: Changed runs once at the end.
    void BeginUpdate() { ++updateDepth_; }
    void EndUpdate();
    // Runs on every change of the entries, outside any update bracket.
    virtual void Changed() {}

private:
    void NoteChange();
    void CountBelow(const std::string& entry, int delta);

    std::vector<std::string> paths_;
    std::unordered_set<std::string> index_;
    // Folder prefix ("/a/") to the number of entries below it.
    std::unordered_map<std::string, int> entriesBelow_;
    std::int64_t totalSize_ = 0;
    std::int64_t fileCount_ = 0;
    std::int64_t folderCount_ = 0;
    int updateDepth_ = 0;
    bool changedInUpdate_ = false;
};
