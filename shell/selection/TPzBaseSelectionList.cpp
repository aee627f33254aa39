#include "shell/selection/TPzBaseSelectionList.h"

#include "shell/selection/SelectionEntries.h"

#include <algorithm>

TPzBaseSelectionList::TPzBaseSelectionList(QObject* owner)
    : TPzBaseComponent(owner, true)
{
}

int TPzBaseSelectionList::IndexOf(const std::string& entry) const
{
    if (!Contains(entry))
        return -1;
    return static_cast<int>(std::find(paths_.begin(), paths_.end(), entry) - paths_.begin());
}

bool TPzBaseSelectionList::HasEntryBelow(const std::string& folder) const
{
    const auto found = entriesBelow_.find(FolderPrefix(PathOfEntry(folder)));
    return found != entriesBelow_.end() && found->second > 0;
}

bool TPzBaseSelectionList::AddEntry(const std::string& entry)
{
    if (!index_.insert(entry).second)
        return false;
    paths_.push_back(entry);
    CountBelow(entry, +1);
    NoteChange();
    return true;
}

void TPzBaseSelectionList::DeleteEntry(int index)
{
    const auto position = paths_.begin() + index;
    CountBelow(*position, -1);
    index_.erase(*position);
    paths_.erase(position);
    NoteChange();
}

void TPzBaseSelectionList::ClearEntries()
{
    paths_.clear();
    index_.clear();
    entriesBelow_.clear();
    NoteChange();
}

void TPzBaseSelectionList::ZeroTotals()
{
    totalSize_ = 0;
    fileCount_ = 0;
    folderCount_ = 0;
}

void TPzBaseSelectionList::AddToTotals(std::int64_t size, std::int64_t files, std::int64_t folders)
{
    totalSize_ += size;
    fileCount_ += files;
    folderCount_ += folders;
}

void TPzBaseSelectionList::EndUpdate()
{
    if (--updateDepth_ == 0 && changedInUpdate_) {
        changedInUpdate_ = false;
        Changed();
    }
}

void TPzBaseSelectionList::NoteChange()
{
    if (updateDepth_ > 0)
        changedInUpdate_ = true;
    else
        Changed();
}

void TPzBaseSelectionList::CountBelow(const std::string& entry, int delta)
{
    // Every folder above the entry's own path: "/", "/a/", "/a/b/" for "/a/b/c".
    const std::string path = PathOfEntry(entry);
    for (std::size_t slash = path.find('/'); slash != std::string::npos && slash + 1 < path.size();
         slash = path.find('/', slash + 1)) {
        int& count = entriesBelow_[path.substr(0, slash + 1)];
        count += delta;
        if (count <= 0)
            entriesBelow_.erase(path.substr(0, slash + 1));
    }
}
