#pragma once

#include "framework/TDragAutoScroll.h"
#include "framework/treeview/TTreeView.h"
#include "platform/exchange/IDropTarget.h"
#include "shell/images/TPzSystemImageList.h"
#include "shell/link/IPzShellControl.h"
#include "shell/navigator/TPidlHistory.h"
#include "shell/navigator/TShellNavigator.h"
#include "shell/notifier/TPzShellChangeNotifier.h"
#include "shell/panes/TPzCopyMode.h"
#include "shell/panes/TPzFolderListing.h"
#include "shell/panes/TPzShellOperations.h"
#include "shell/panes/TPzShellOptionProperties.h"
#include "shell/panes/TPzShellOptions.h"
#include "shell/selection/TPzSelectionList.h"
#include "shell/selection/TPzSelectionStateImageList.h"

#include <QElapsedTimer>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TPzPaneNotice;
class TPzShellTreeItem;

// The folder tree of a pane pair: the shell namespace below a root (the
// desktop by default), each node's children made on its first expansion and
// kept up to date from change notifications. Selecting a folder tells the
// pane link, so the lists and the other tree follow; a folder the link passes
// in is selected here, expanding the path to it. The shell's context menu,
// keyboard commands, in-place rename and drag and drop work on the nodes.
//
// Between construction and Loaded() the tree is loading: SelectedFolder and
// SpecialFolder are kept as pending values, which Loaded() applies.
class TPzShellTree : public TTreeView, public IPzShellControl, public TPzShellOptionProperties<TPzShellTree>
{
    Q_OBJECT

public:
    enum TLocateMode { lmSelect, lmRefresh, lmRefreshParent, lmDelete };

    using TOnAddNode = std::function<void(TTreeNode& node, const QString& path, bool& canAdd)>;
    using TOnUpdatedFolder = std::function<void(TPzShellTree& sender, TTreeNode& node)>;
    using TOnCheckStateChanged =
        std::function<void(TPzShellTree& sender, int absoluteIndex, const QString& path, TPzSelectionState state)>;
    using TOnBeforeShellDrop = std::function<void(TPzShellTree& sender, TTreeNode& node, bool& allow)>;
    using TOnNodeEvent = std::function<void(TPzShellTree& sender, TTreeNode& node)>;
    using TNotifyEvent = std::function<void(TPzShellTree& sender)>;

    // The notifier's events: deletions, drives, media, folders and shares.
    static constexpr TNotificationEvents kTreeEventFilter =
        neFileDelete | neDriveAdd | neDriveRemove | neShellDriveAdd | neMediaInsert | neMediaRemove | neFolderCreate |
        neFolderDelete | neFolderRename | neFolderUpdate | neNetShare | neNetUnShare;
    static_assert(kTreeEventFilter.Bits() == 0x3FDD0);
    // Keyboard selections reach the link after the keys rest this long, so
    // the lists do not refill for every node passed.
    static constexpr int kKeyboardChangeDelay = 600;
    // The delay without a link, and the one a new tree starts with.
    static constexpr int kDefaultChangeDelay = 100;
    // Time the shell gets to report a rename before the node's state is restored.
    static constexpr int kRenameSettleMs = 1000;
    // Changes reported within this long re-list a node once: a burst (an
    // archive unpacked, a build) ends within it, and a folder that changes
    // all the time is listed at most four times a second.
    static constexpr int kChangeRefreshDelay = 250;

    explicit TPzShellTree(QWidget* parent = nullptr);
    ~TPzShellTree() override;

    // Ends loading and applies the pending selection.
    void Loaded();
    bool IsLoading() const { return loading_; }
    QString Version() const;

    // --- Options ------------------------------------------------------------
    TPzShellOptions Options() const { return options_; }
    void SetOptions(TPzShellOptions options);

    // --- Properties -----------------------------------------------------------
    // The selected folder's path ("/" ends only a volume's); "" for folders without one.
    QString SelectedFolder() const;
    void SetSelectedFolder(const QString& path);
    TPzShellFolder SpecialFolder() const;
    void SetSpecialFolder(TPzShellFolder value);
    TPzShellFolder RootedAt() const { return rootedAt_; }
    void SetRootedAt(TPzShellFolder value);
    QString RootedAtFileSystemFolder() const { return rootedAtFolder_; }
    void SetRootedAtFileSystemFolder(const QString& path);
    QString Filter() const { return browser_.Filter(); }
    void SetFilter(const QString& filter);
    bool FileSystemOnly() const { return browser_.FileSystemOnly(); }
    void SetFileSystemOnly(bool value);
    TPzShellLink* ShellLink() const { return link_; }
    bool AutomaticRefresh() const { return notifier_.Enabled(); }
    // Switched on again, the open folders are listed anew.
    void SetAutomaticRefresh(bool value);
    bool CheckBoxes() const { return checkBoxes_; }
    void SetCheckBoxes(bool value);
    TPzCopyMode CopyMode() const { return copyMode_; }
    void SetCopyMode(TPzCopyMode mode) { copyMode_ = createLinkOnDrop_ ? cmLink : mode; }
    bool CreateLinkOnDrop() const { return createLinkOnDrop_; }
    void SetCreateLinkOnDrop(bool value);
    bool OleDragDrop() const { return oleDragDrop_; }
    void SetOleDragDrop(bool value);
    bool ShellContextMenu() const { return shellContextMenu_; }
    void SetShellContextMenu(bool value) { shellContextMenu_ = value; }
    bool ExpandOnSelected() const { return expandOnSelected_; }
    void SetExpandOnSelected(bool value) { expandOnSelected_ = value; }
    bool ShowOverlayIcons() const { return showOverlayIcons_; }
    void SetShowOverlayIcons(bool value);
    bool UseSystemFont() const { return useSystemFont_; }
    void SetUseSystemFont(bool value);
    // The caller's menu, merged into the shell's context menu; may be null.
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

    TShellNavigator& Browser() { return browser_; }
    TPzShellChangeNotifier& Notifier() { return notifier_; }
    // The line over the nodes that says which folder could not be read.
    const TPzPaneNotice& Notice() const { return *notice_; }
    const TPidlHistory& History() const { return history_; }

    // --- Events ---------------------------------------------------------------
    TOnAddNode OnAddFolder;
    TOnUpdatedFolder OnUpdatedFolder;
    TOnOperation OnOperation;
    TOnCheckStateChanged OnCheckStateChanged;
    TOnBeforeShellDrop OnBeforeShellDrop;
    TOnNodeEvent OnEditCanceled;
    // When assigned, a double click only raises it.
    TOnNodeEvent OnDblClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // --- Operations -----------------------------------------------------------
    static TPzShellTreeItem* ShellItem(const TTreeNode* node);
    bool IsShellNode(const TTreeNode* node) const;
    // The node's file-system path as native bytes; "" for objects without one.
    std::string GetNodePath(const TTreeNode* node) const;
    // Finds the node of an absolute list and handles it by mode; whether the
    // whole path was found below a root.
    bool LocateNode(const TItemIdList* absolute, TLocateMode mode);
    // `awaited` false: the listing is not waited for, its answer comes later.
    void RefreshNode(TTreeNode* node, bool recursive, bool overlays, bool awaited = true);
    void RefreshTree();
    void RefreshSelected();
    // Runs a verb on the selected node; false without one or on failure.
    [[nodiscard]] bool ExecuteVerb(const QString& verb);

    // --- IPzShellControl --------------------------------------------------------
    void SetShellLink(TPzShellLink* link) override;
    TPzShellLink* GetShellLink() const override { return link_; }
    void ChangeFolder(const TItemIdList* absolute) override;
    void ChangeFolderAndSelect(const TItemIdList* folder, const TItemIdList* item) override;
    void SelectAll() override {}
    void FullRefresh() override { RefreshTree(); }
    void RefreshContents() override { RefreshSelected(); }
    [[nodiscard]] bool GoUp() override;

protected:
    void FillChildren(TTreeNode& node) override;
    // After a listing of the browser's folder: false, with the notice shown,
    // when it failed (`error`); true, withdrawing a notice about that folder, when it ended.
    bool ListingEnded(int error);
    void Change(TTreeNode* node) override;
    bool KeyDown(QKeyEvent& event) override;
    bool OwnsShortcut(const QKeyEvent& event) const override;
    void GetImage(TTreeNode& node) override;
    bool CanEdit(TTreeNode& node) override;
    bool Edited(TTreeNode& node, const QString& text) override;
    void EditCanceled(TTreeNode& node) override;
    void StartDrag(TTreeNode& node, Qt::MouseButton button) override;
    QPixmap OverlayPixmap(int index) const override;

    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend class TPzShellOptionProperties<TPzShellTree>;
    void SetOption(TPzShellOptions::TBit bit, bool value);
    void BuildRoot();
    // `subFolders`: whether the object has sub-folders, -1 when not known yet.
    TTreeNode* AddFolderNode(TTreeNode* parent, int subFolders = -1);
    void UpdateNodeAttributes(TTreeNode* node, bool overlays);
    void SortNodeChildren(TTreeNode* node);
    int CompareNodes(const TTreeNode& a, const TTreeNode& b) const;
    TTreeNode* FindChild(TTreeNode* node, const TItemIdList* item) const;
    // The node of an absolute list among the nodes made so far; null when there is none.
    TTreeNode* NodeOfList(const TItemIdList* absolute) const;
    // Whether the node's children wait for their listing.
    bool ChildrenPending(const TTreeNode* node) const;
    // A node's children once their listing has ended; a late one also
    // expands the node and goes on with the selection that waited for it.
    void ChildrenListed(TPzFolderListing::TResult& result);
    // Runs the queued refreshes of nodes' children, one listing at a time.
    void RunRefreshes();
    // Marks and sweeps the children of the refresh at the queue's head.
    void ChildrenRefreshed(TPzFolderListing::TResult& result);
    void NotifyLink(TTreeNode* node);
    void DoOperation(TPzShellOperations operation, const TFileNames& files, const QString& destination);
    void HandleShellChange(TNotificationEvent event, const TItemIdList* item1, const TItemIdList* item2);
    void HandleChangeOf(TNotificationEvent event, const TItemIdList* item1, const TItemIdList* item2);
    // A node's refresh after a change, held for kChangeRefreshDelay together
    // with every other one of that node; a node has one at most.
    void ScheduleRefresh(TTreeNode* node, bool recursive, bool overlays);
    // The refreshes held for changes, started without waiting for them.
    void RunChangeRefreshes();
    // Change reports name file-system items below the computer's volumes; under
    // a desktop root the desktop's own folder and the home folder show them
    // under other lists.
    struct TPathBranch
    {
        TItemIdListPtr list;
        std::string path;
    };
    static std::vector<TPathBranch> PathBranches();
    void PrepareRename();
    // What follows a verb or menu command that ran on the selected node.
    void AfterCommand(const QString& verb, const TFileNames& files);
    void ShowShellContextMenu(const QPoint& screenPoint);
    QPoint KeyboardMenuPoint() const;
    void RenameSettled(QPersistentModelIndex index, bool expanded);
    // Check boxes.
    void UpdateCheckState(TTreeNode* node);
    void UpdateCheckStates(TTreeNode* node);
    void ToggleCheck(TTreeNode* node);
    bool OnStateIcon(const QPoint& point, TTreeNode** node) const;
    // Drop target.
    void ClearDropState();
    TTreeNode* DropNode() const;

    TShellNavigator browser_;
    TPzSystemImageList images_;
    std::unique_ptr<TPzSelectionStateImageList> stateImages_;
    TPzShellChangeNotifier notifier_;
    TPzPaneNotice* notice_;
    // Listings of children: of a node being expanded, and of nodes being refreshed.
    TPzFolderListing expansion_;
    TItemIdListPtr expanded_;
    bool expansionLate_ = false;
    // A folder to select once the expansion it waits for has ended.
    TItemIdListPtr pendingLocate_;
    struct TRefreshStep
    {
        TItemIdListPtr Node;
        bool Recursive = false;
        bool Overlays = false;
        // Whether the window waits shortly for the listing (false after a change).
        bool Awaited = true;
    };
    TPzFolderListing refresh_;
    std::deque<TRefreshStep> refreshes_;
    bool runningRefreshes_ = false;
    // Set while a change is handled: refreshes wait in changeRefreshes_.
    bool handlingChange_ = false;
    std::vector<TRefreshStep> changeRefreshes_;
    QTimer changeTimer_;
    // The folder the notice names (native path).
    std::string noticeFolder_;
    TPidlHistory history_;
    TPzShellOptions options_{TPzShellOptions::kTreeDefault};
    TPzShellLink* link_ = nullptr;
    TPzShellFolder rootedAt_ = SF_DESKTOP;
    QString rootedAtFolder_;
    QString pendingSelectedFolder_;
    TPzShellFolder pendingSpecialFolder_ = SF_DRIVES;
    bool loading_ = true;
    bool destroying_ = false;
    // A folder the link passed while the tree was not shown: taken when it is.
    TItemIdListPtr pendingFolder_;
    // Set while the tree takes a folder that came from the link.
    bool takingLinkFolder_ = false;
    bool allLevels_ = true;
    bool checkBoxes_ = false;
    TPzCopyMode copyMode_ = cmDefault;
    bool createLinkOnDrop_ = false;
    bool oleDragDrop_ = true;
    bool shellContextMenu_ = true;
    bool expandOnSelected_ = false;
    bool showOverlayIcons_ = true;
    bool useSystemFont_ = true;
    QMenu* popupMenu_ = nullptr;

    // Drop target state.
    IDropTargetPtr dropTarget_;
    QPersistentModelIndex dropIndex_;
    TDropEffects lastEffect_;
    bool firstDragOver_ = false;
    TDragAutoScroll dragScroll_{*this};
    QElapsedTimer hoverSince_;
};
