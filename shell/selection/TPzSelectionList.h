#pragma once

#include "platform/core/ids/TItemIdList.h"
#include "shell/selection/TPzBaseSelectionList.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TPzFolderSizeThread;

// The tick state of a path in a selection; the value is also the index of
// its picture in TPzSelectionStateImageList.
enum TPzSelectionState : std::uint8_t {
    selNone = 0,
    selUnavailable = 1,
    selChecked = 2,
    selUnchecked = 3,
    selPartial = 4,
};

// The ticks of the panes attached to one link, across the whole file system,
// kept as a compact list of entries (see shell/selection/SelectionEntries.h),
// with the bytes, files and folders they hold. A symbolic link is an item of
// its own wherever the list meets one (ticking, states, unticking, a parent
// giving way to its contents, measuring): it is never resolved. Folder sizes
// are measured on the folder-size pool by TFolderSizeWalker's rule; the
// totals are exact whenever no measurement is pending, also after a path
// covered by a selected folder has been taken out (each measurement counts a
// hard-linked file once and stops at mount points, so files linked from two
// entries, or entries on another file system below a ticked folder, are the
// exceptions).
class TPzSelectionList : public TPzBaseSelectionList
{
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(TPzSelectionList& sender)>;

    explicit TPzSelectionList(QObject* owner = nullptr);

    // Called on every change that is not held back, after OnChange: the link
    // that owns the list refreshes its panes through it.
    void SetOnRefreshPanes(std::function<void()> handler) { onRefreshPanes_ = std::move(handler); }

    TPzSelectionState GetPathState(const std::string& path);
    virtual TPzSelectionState GetState(const std::string& path, bool* covered = nullptr);
    // Special folders: the computer is partly checked while anything is
    // selected, the network folder while a path on a network mount (or a
    // "//server/share" path) is; with nothing below them they are unavailable.
    TPzSelectionState GetItemState(const TItemIdList* absolute, bool* covered = nullptr);
    void SelectItem(const TItemIdList* absolute);
    void DeselectItem(const TItemIdList* absolute);
    // The list of the highest folder the selection of the item's path fills.
    TItemIdListPtr GetTopItem(const TItemIdList* absolute);

    virtual void Select(const std::string& path);
    virtual void Deselect(const std::string& path);
    // Stops pending measurements, zeroes the totals and selects the paths anew.
    virtual void AssignPaths(const std::vector<std::string>& paths);
    void Assign(const TPzSelectionList& other) { AssignPaths(other.Paths()); }
    virtual void Clear();

    // The highest folder above `path` whose every entry is selected, with a
    // trailing slash; `path` itself when its siblings are not all selected.
    virtual std::string FindSelectionTop(const std::string& path);
    virtual std::optional<std::string> NormalizeEntry(const std::string& path) const;
    virtual bool IsCoveredByParent(const std::string& entry) const;
    virtual TPzSelectionState StateOf(const std::string& entry, bool* covered) const;
    // Takes out every entry below a folder, subtracting their sizes.
    virtual void RemoveBeneath(const std::string& folder);
    // Replaces the folder entry that covers `excluded` by entries for all its
    // contents but `excluded`, walking up from `folder`. Returns the covering
    // entry; `walked` receives the folders from `folder` up to the covering one.
    virtual std::optional<std::string> ExpandParent(const std::string& folder, const std::string& excluded,
                                                    std::vector<std::string>& walked);
    virtual bool IsFullySelected(const std::string& folder) const;

    // Holds back the panes' refresh until EndChange (no nesting).
    void BeginChange() { changeHeld_ = true; }
    void EndChange();

    // Whether a symbolic link to a folder can be ticked, as an item of its own
    // like any link (links are never resolved); off makes it unavailable.
    bool ResolveFolderShortcuts() const { return resolveFolderShortcuts_; }
    void SetResolveFolderShortcuts(bool value) { resolveFolderShortcuts_ = value; }
    bool CalculateSizes() const { return calculateSizes_; }
    void SetCalculateSizes(bool value) { calculateSizes_ = value; }

    void SetOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }
    void SetOnCompletedCalculateFiles(TNotifyEvent handler) { onCompletedCalculateFiles_ = std::move(handler); }

    // UI thread, for every finished measurement.
    void ApplySizeResult(const TPzFolderSizeThread& item);

protected:
    void Changed() override;

private:
    void RemoveEntry(int index, bool subtract);
    void QueueSize(const std::string& path, bool recurse, int sign);

    TNotifyEvent onChange_;
    std::function<void()> onRefreshPanes_;
    TNotifyEvent onCompletedCalculateFiles_;
    bool resolveFolderShortcuts_ = true;
    bool calculateSizes_ = true;
    bool changeHeld_ = false;
    // Bumped whenever the totals restart, so late results of before are dropped.
    std::uint64_t generation_ = 0;
};
