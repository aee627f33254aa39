#include "shell/selection/TPzSelectionList.h"

#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"
#include "platform/core/files/TFolderSizeWalker.h"
#include "platform/core/system/TMountTable.h"
#include "shell/selection/SelectionEntries.h"
#include "shell/selection/TPzFolderSizeThread.h"
#include "shell/threads/TWorkerPools.h"
#include "shell/threads/TWorkerThreadPool.h"

#include <QPointer>

#include <algorithm>

namespace {

bool IsSpecialFolder(const TItemIdList* absolute, int specialFolder)
{
    const TItemIdListPtr location = SHGetSpecialFolderLocation(specialFolder);
    return location && IDListsEqual(location.get(), absolute);
}

// What a file entry (a link included) adds, measured as any measurement is.
TFolderSizeWalker::TTotals MeasureFile(const std::string& path)
{
    TFolderSizeWalker walker;
    walker.AddItem(path, false);
    return walker.Totals();
}

}  // namespace

TPzSelectionList::TPzSelectionList(QObject* owner)
    : TPzBaseSelectionList(owner)
{
}

TPzSelectionState TPzSelectionList::GetPathState(const std::string& path)
{
    return GetState(path);
}

TPzSelectionState TPzSelectionList::GetState(const std::string& path, bool* covered)
{
    if (covered != nullptr)
        *covered = false;
    if (path.empty())
        return selUnavailable;
    if (!resolveFolderShortcuts_ && IsFolderShortcut(path))
        return selUnavailable;
    const std::optional<std::string> entry = NormalizeEntry(path);
    if (!entry)
        return selUnavailable;
    return StateOf(*entry, covered);
}

TPzSelectionState TPzSelectionList::GetItemState(const TItemIdList* absolute, bool* covered)
{
    if (covered != nullptr)
        *covered = false;
    if (IsSpecialFolder(absolute, SF_NETWORK)) {
        const std::shared_ptr<const TMountTable> mounts = TMountTable::Current();
        const bool anyShare = std::any_of(Paths().begin(), Paths().end(), [&mounts](const std::string& entry) {
            const TMountEntry* mount = mounts->MountOf(PathOfEntry(entry));
            return entry.rfind("//", 0) == 0 || (mount != nullptr && mount->IsNetwork);
        });
        return anyShare ? selPartial : selUnavailable;
    }
    if (IsSpecialFolder(absolute, SF_DRIVES))
        return Paths().empty() ? selUnavailable : selPartial;
    return GetState(SHGetPathFromIDList(absolute), covered);
}

void TPzSelectionList::SelectItem(const TItemIdList* absolute)
{
    Select(SHGetPathFromIDList(absolute));
}

void TPzSelectionList::DeselectItem(const TItemIdList* absolute)
{
    Deselect(SHGetPathFromIDList(absolute));
}

TItemIdListPtr TPzSelectionList::GetTopItem(const TItemIdList* absolute)
{
    const std::string path = SHGetPathFromIDList(absolute);
    if (path.empty())
        return nullptr;
    return SHParseDisplayName(CleanPath(FindSelectionTop(path)));
}

void TPzSelectionList::Select(const std::string& path)
{
    if (!resolveFolderShortcuts_ && IsFolderShortcut(path))
        return;
    const std::optional<std::string> entry = NormalizeEntry(path);
    if (!entry)
        return;
    const TPzSelectionState state = StateOf(*entry, nullptr);
    if (state == selChecked)
        return;
    BeginUpdate();
    if (state == selPartial)
        RemoveBeneath(*entry);
    AddEntry(*entry);
    if (calculateSizes_) {
        if (IsFolderEntry(*entry)) {
            QueueSize(PathOfEntry(*entry), true, +1);
        } else {
            const TFolderSizeWalker::TTotals file = MeasureFile(*entry);
            AddToTotals(static_cast<std::int64_t>(file.bytes), static_cast<std::int64_t>(file.files), 0);
        }
    }
    EndUpdate();
}

void TPzSelectionList::Deselect(const std::string& path)
{
    bool covered = false;
    const TPzSelectionState state = GetState(path, &covered);
    BeginUpdate();
    if (state == selChecked && !covered) {
        if (const std::optional<std::string> entry = NormalizeEntry(path))
            RemoveEntry(IndexOf(*entry), true);
    } else if (state == selChecked) {
        const std::string excluded = CleanPath(path);
        std::vector<std::string> walked;
        if (const std::optional<std::string> covering = ExpandParent(ParentFolder(excluded), excluded, walked)) {
            // The covering folder's measurement held everything below it. What
            // leaves the selection: the path with all it holds, and each folder
            // of the walk as a folder of its own; the re-added entries stay counted.
            if (calculateSizes_) {
                QueueSize(excluded, true, -1);
                for (const std::string& folder : walked)
                    QueueSize(folder, false, -1);
            }
            RemoveEntry(IndexOf(*covering), false);
        }
    } else if (state == selPartial) {
        RemoveBeneath(path);
    }
    EndUpdate();
}

void TPzSelectionList::AssignPaths(const std::vector<std::string>& paths)
{
    if (TWorkerThreadPool* pool = TWorkerPools::FolderSizePool())
        pool->StopAll(false);
    const std::vector<std::string> copy = paths;
    BeginUpdate();
    ZeroTotals();
    ++generation_;
    ClearEntries();
    for (const std::string& path : copy)
        Select(path);
    EndUpdate();
}

void TPzSelectionList::Clear()
{
    BeginUpdate();
    ClearEntries();
    ZeroTotals();
    ++generation_;
    EndUpdate();
}

std::optional<std::string> TPzSelectionList::NormalizeEntry(const std::string& path) const
{
    return NormalizeEntryPath(path);
}

bool TPzSelectionList::IsCoveredByParent(const std::string& entry) const
{
    if (Contains(entry))
        return true;
    for (std::string folder = ParentFolder(PathOfEntry(entry)); !folder.empty(); folder = ParentFolder(folder)) {
        if (Contains(FolderEntry(folder)))
            return true;
    }
    return false;
}

TPzSelectionState TPzSelectionList::StateOf(const std::string& entry, bool* covered) const
{
    if (covered != nullptr)
        *covered = false;
    if (Contains(entry))
        return selChecked;
    if (IsCoveredByParent(entry)) {
        if (covered != nullptr)
            *covered = true;
        return selChecked;
    }
    return IsFolderEntry(entry) && HasEntryBelow(entry) ? selPartial : selUnchecked;
}

void TPzSelectionList::RemoveBeneath(const std::string& folder)
{
    const std::string prefix = FolderPrefix(CleanPath(folder));
    const std::string ownEntry = prefix + '*';
    BeginUpdate();
    for (int index = Count() - 1; index >= 0; --index) {
        const std::string& entry = Path(index);
        if (entry.rfind(prefix, 0) == 0 && entry != ownEntry)
            RemoveEntry(index, true);
    }
    EndUpdate();
}

void TPzSelectionList::RemoveEntry(int index, bool subtract)
{
    if (index < 0 || index >= Count())
        return;
    if (subtract && calculateSizes_)
        QueueSize(PathOfEntry(Path(index)), true, -1);
    DeleteEntry(index);
}

std::optional<std::string> TPzSelectionList::ExpandParent(const std::string& folder, const std::string& excluded,
                                                          std::vector<std::string>& walked)
{
    std::string current = folder;
    std::string skipped = excluded;
    BeginUpdate();
    std::optional<std::string> covering;
    while (!current.empty()) {
        const std::optional<std::vector<std::string>> children = ListFolder(current);
        if (!children)
            break;
        for (const std::string& child : *children) {
            if (child == skipped)
                continue;
            if (const std::optional<std::string> entry = NormalizeEntry(child))
                AddEntry(*entry);
        }
        walked.push_back(current);
        if (Contains(FolderEntry(current))) {
            covering = FolderEntry(current);
            break;
        }
        skipped = current;
        current = ParentFolder(current);
    }
    EndUpdate();
    return covering;
}

bool TPzSelectionList::IsFullySelected(const std::string& folder) const
{
    const std::string clean = CleanPath(folder);
    if (Contains(clean) || Contains(FolderEntry(clean)))
        return true;
    const std::optional<std::vector<std::string>> children = ListFolder(clean);
    if (!children || children->empty())
        return false;
    return std::all_of(children->begin(), children->end(), [this](const std::string& child) {
        const std::optional<std::string> entry = NormalizeEntry(child);
        if (!entry)
            return false;
        return IsFolderEntry(*entry) ? IsFullySelected(child) : Contains(*entry);
    });
}

std::string TPzSelectionList::FindSelectionTop(const std::string& path)
{
    std::string current = CleanPath(path);
    bool climbed = false;
    for (std::string folder = ParentFolder(current); !folder.empty(); folder = ParentFolder(folder)) {
        const std::optional<std::vector<std::string>> children = ListFolder(folder);
        if (!children)
            break;
        const bool othersSelected = std::all_of(children->begin(), children->end(), [&](const std::string& child) {
            return child == current || IsFullySelected(child);
        });
        if (!othersSelected)
            break;
        current = folder;
        climbed = true;
    }
    return climbed ? FolderPrefix(current) : path;
}

void TPzSelectionList::QueueSize(const std::string& path, bool recurse, int sign)
{
    auto item = std::make_shared<TPzFolderSizeThread>(path, recurse, sign);
    item->SetOnCompleted([list = QPointer<TPzSelectionList>(this), generation = generation_](TBasicWorkItem& sender) {
        if (list && list->generation_ == generation)
            list->ApplySizeResult(static_cast<TPzFolderSizeThread&>(sender));
    });
    if (TWorkerThreadPool* pool = TWorkerPools::FolderSizePool()) {
        pool->AddWorkItem(item);
        return;
    }
    // Without the process-wide pool the measurement runs at once.
    item->Execute();
    item->GetCompletionMethod()();
}

void TPzSelectionList::ApplySizeResult(const TPzFolderSizeThread& item)
{
    if (!item.Cancelled()) {
        AddToTotals(item.Sign() * item.TotalSize(), item.Sign() * item.FileCount(), item.Sign() * item.FolderCount());
        if (onCompletedCalculateFiles_)
            onCompletedCalculateFiles_(*this);
    }
    if (Paths().empty())
        ZeroTotals();
}

void TPzSelectionList::EndChange()
{
    changeHeld_ = false;
    Changed();
}

void TPzSelectionList::Changed()
{
    if (Paths().empty()) {
        // Nothing selected holds nothing: results still pending belong to before.
        ZeroTotals();
        ++generation_;
    }
    if (onChange_)
        onChange_(*this);
    if (changeHeld_)
        return;
    if (onRefreshPanes_)
        onRefreshPanes_();
}
