#pragma once

#include "framework/TDragAutoScroll.h"
#include "framework/listview/TListView.h"
#include "platform/core/ids/TItemIdList.h"
#include "platform/exchange/IDataObject.h"
#include "platform/exchange/IDropTarget.h"
#include "platform/namespace/StandardFolders.h"
#include "shell/images/TPzSystemImageList.h"
#include "shell/link/IPzShellControl.h"
#include "shell/link/TPzShellLink.h"
#include "shell/navigator/TFileNames.h"
#include "shell/panes/TPzCopyMode.h"
#include "shell/panes/TPzFolderEntries.h"
#include "shell/panes/TPzFolderListing.h"
#include "shell/panes/TPzShellOperations.h"
#include "shell/panes/TPzShellOptionProperties.h"
#include "shell/panes/TPzShellOptions.h"
#include "shell/panes/list/IThumbnailViewer.h"
#include "shell/panes/list/TDetailsWorkItem.h"
#include "shell/panes/list/TPzShellListItem.h"

#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QMenu>
class IShellFolder;
class TPzPaneNotice;
class TPzShellChangeNotifier;
class TShellNavigator;
class TWorkerPools;
class TWorkerThreadPool;

enum TPzBackgroundImageStyle { bisLeftTop, bisRightBottom, bisTiled };

// The file list pane: the contents of one folder of the namespace, one entry
// per item, kept current through a change notifier, linked with the other
// panes through a TPzShellLink. Entries are filled with their names only;
// their further texts, icons and overlays are fetched when they are first
// painted (CompleteItem).
//
// With Thumbnails on, entries show pictures of their items instead of icons:
// a framed large icon at once, replaced by the picture the thumbnail pool
// extracts in the background.
class TPzShellList : public TListView,
                     public IPzShellControl,
                     public IThumbnailViewer,
                     public TPzShellOptionProperties<TPzShellList>
{
    Q_OBJECT
public:
    // Change events are collected this long before the entries are brought up
    // to date, so that a burst of changes costs one update.
    static constexpr int kUpdateDelayMs = 600;
    // Up to this many entries an update compares items; longer lists are rebuilt.
    static constexpr int kIncrementalLimit = 300;
    // Entries deleted outside within this long of each other leave in one
    // update (a burst of deletes arrives spread over the notifier's reads).
    static constexpr int kDeleteBatchMs = 200;
    // Up to this many separate runs of deleted entries leave as one removal
    // each (each moves the rows after it); more leave in one reset.
    static constexpr int kRemovalRunLimit = 16;
    // The column map's size: further columns a folder offers are not shown.
    static constexpr int kMaxColumns = 256;
    // Thumbnails fill a square as large as a desktop file manager's smallest zoom step.
    static constexpr int kDefaultThumbnailSide = 100;
    // An item written this recently (0.0002 days) gets a new thumbnail on an
    // update: the picture may have been taken while the file was still being written.
    static constexpr qint64 kThumbnailRenewalMs = 17280;

    explicit TPzShellList(QWidget* parent = nullptr);
    ~TPzShellList() override;

    // Ends loading: fills the list (unless NoFillOnStartup) or shows the path
    // stored meanwhile, and takes the system font.
    void Loaded();
    bool IsLoading() const { return loading_; }

    // --- Properties ------------------------------------------------------------------
    bool AutomaticRefresh() const { return automaticRefresh_; }
    void SetAutomaticRefresh(bool value);
    bool Details() const { return details_; }
    void SetDetails(bool value);
    bool FileSystemOnly() const;
    void SetFileSystemOnly(bool value);
    QString Filter() const;
    void SetFilter(const QString& value);
    QString Path() const;
    void SetPath(const QString& value);
    TPzShellFolder SpecialFolder() const;
    void SetSpecialFolder(TPzShellFolder value);
    TPzShellLink* ShellLink() const { return link_; }
    bool OleDragDrop() const { return oleDragDrop_; }
    void SetOleDragDrop(bool value);
    bool ShellContextMenu() const { return shellContextMenu_; }
    void SetShellContextMenu(bool value) { shellContextMenu_ = value; }
    QMenu* BackgroundPopupMenu() const { return backgroundPopupMenu_; }
    void SetBackgroundPopupMenu(QMenu* menu) { backgroundPopupMenu_ = menu; }
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }
    bool ShowFolders() const { return showFolders_; }
    void SetShowFolders(bool value);
    bool ShowParentFolder() const { return showParentFolder_; }
    void SetShowParentFolder(bool value);
    TPzShellOptions Options() const { return options_; }
    bool Checkboxes() const { return checkboxes_; }
    void SetCheckboxes(bool value);
    TPzCopyMode CopyMode() const { return copyMode_; }
    void SetCopyMode(TPzCopyMode value) { copyMode_ = value; }
    bool UseSystemFont() const { return useSystemFont_; }
    void SetUseSystemFont(bool value);
    bool ShowOverlayIcons() const { return showOverlayIcons_; }
    void SetShowOverlayIcons(bool value) { showOverlayIcons_ = value; }
    // Any style set after loading switches thumbnails off; while loading, any but vsIcon.
    void SetViewStyle(TViewStyle style);
    // On: the thumbnail images become the large images and the style vsIcon;
    // off: the system's large icons return. Either way the list is rebuilt.
    bool Thumbnails() const { return thumbnails_; }
    void SetThumbnails(bool value);
    // The thumbnails' size; a change has every entry completed again at the new size.
    int ThumbnailWidth() const { return thumbnailImages_.Width(); }
    void SetThumbnailWidth(int value);
    int ThumbnailHeight() const { return thumbnailImages_.Height(); }
    void SetThumbnailHeight(int value);
    const TImageList& ThumbnailImages() const { return thumbnailImages_; }
    // Whether the entry shows its item's picture (not or no longer its placeholder).
    bool ThumbnailShown(const TListItem& item) const;
    const QPixmap& BackgroundImage() const { return backgroundImage_; }
    void SetBackgroundImage(const QPixmap& picture);
    TPzBackgroundImageStyle BackgroundImageStyle() const { return backgroundImageStyle_; }
    void SetBackgroundImageStyle(TPzBackgroundImageStyle style);
    QString Version() const;
    TShellNavigator& Browser() const { return *browser_; }
    TPzShellChangeNotifier& Notifier() const { return *notifier_; }
    // The line over the entries that says why they are incomplete.
    const TPzPaneNotice& Notice() const { return *notice_; }
    int SortColumn() const { return sortColumn_; }
    bool SortDescending() const { return descending_; }
    // The detail column a report column shows.
    int DetailColumnOf(int column) const;

    // --- Events ------------------------------------------------------------------------
    std::function<void(TPzShellList& sender, TListItem& item, bool& canAdd)> OnAddItem;
    std::function<void(TPzShellList& sender)> OnPopulated;
    std::function<void(TPzShellList& sender)> OnPathChanged;
    std::function<void(TPzShellList& sender)> OnBeforeFullRefresh;
    std::function<void(TPzShellList& sender)> OnCreateColumns;
    TOnOperation OnOperation;
    std::function<void(TPzShellList& sender, TListItem* dropTarget, const TFileNames& files, bool& executeDrop,
                       std::uint32_t keyState)>
        OnBeforeShellDrop;
    std::function<void(TPzShellList& sender, int itemIndex, const QString& path, int checkState)> OnCheckStateChanged;
    // May change the text comparison's result (sender, a, b, column, result).
    std::function<void(TPzShellList& sender, const TListItem& a, const TListItem& b, int column, int& result)>
        OnCompare;
    std::function<void(TPzShellList& sender)> OnMouseEnter;
    std::function<void(TPzShellList& sender)> OnMouseLeave;
    void SetOnContextMenuSelect(std::function<void(const QString& command, bool& execute)> handler);

    // --- Operations ----------------------------------------------------------------------
    void FullRefresh() override;
    void RefreshList() { FullRefresh(); }
    void RefreshContents() override;
    // Whether the folder's listing goes on past the short wait (the entries then wait for it).
    bool ListingPending() const;
    [[nodiscard]] bool ExecuteCommand(const QString& verb);
    [[nodiscard]] bool PasteIntoFolder(const QString& verb);
    [[nodiscard]] bool GoUp() override;
    void SelectAll() override;
    // The names of the selected entries, cached until the selection changes.
    const QStringList& SelectedNames();
    // Selects the entries of these names (and nothing else).
    void SetSelectedNames(const QStringList& names);
    TListItem* FindItemById(const TItemIdList* item);
    void SelectItemById(const TItemIdList* item);
    QString GetItemPath(TListItem* item);
    void NotifyLinkFolder();
    void SortByColumn(int column);
    void CompleteItem(TListItem& item);
    void ReportOperation(TPzShellOperations operation, const TFileNames& files, const QString& destination);
    // Shows the shell's context menu of the selection; the verb that ran, "" when none.
    QString PopupShellContextMenu(const QPoint& screenPoint);
    void BeginShellDrag(Qt::MouseButton button);
    IDropTargetPtr GetDropTargetFor(const TListItem* item);
    // The number of entries completed so far (for measurements).
    long Completions() const { return completions_; }
    // Runs the update step the timer would run (when it fires).
    void UpdateTimerStep();
    bool UpdatePending() const { return updateTimer_.isActive(); }

    // --- IPzShellControl -------------------------------------------------------------------
    void SetShellLink(TPzShellLink* link) override;
    TPzShellLink* GetShellLink() const override { return link_; }
    void ChangeFolder(const TItemIdList* absolute) override;
    void ChangeFolderAndSelect(const TItemIdList* folder, const TItemIdList* item) override;

    // --- IThumbnailViewer ------------------------------------------------------------------
    void ThumbnailReady(const QImage& picture, int imageIndex) override;

protected:
    void DoKeyDown(QKeyEvent& event, bool& handled) override;
    void DoKeyPress(QChar& key) override;
    void DoDblClick(const QPoint& point) override;
    void DoColumnClick(int column) override;
    void DoChange(TListItem* item, TItemChange change) override;
    void DoGetImageIndex(TListItem& item) override;
    void DoShownRowsCompleted() override;
    bool DoCanEdit(TListItem& item) override;
    bool DoEdited(TListItem& item, QString& text) override;
    QColor DoItemTextColor(const TListItem& item) const override;
    void DoBeginDrag(Qt::MouseButton button) override;
    void DoContextMenu(const QPoint& screenPoint, bool fromKeyboard) override;

    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class TPzShellOptionProperties<TPzShellList>;
    void SetOption(TPzShellOptions::TBit bit, bool value);
    void OptionsChanged();
    bool PassesListingRule() const;
    // `listed`: the object came from a listing, which applied the listing rule.
    TListItem* AddBrowserItem(bool withDetails, bool listed = false);
    // Adds an entry of a listing of the shown folder.
    void AddListedItem(TItemIdListPtr id);
    // Adds the row of an object of the shown folder and its entry to the folder's model.
    TListItem* AddEntry(const QString& caption, TItemIdListPtr id);
    // The fill's steps once the folder's listing has ended; `refill`: the
    // entries shown are this folder's.
    void ApplyFill(TPzFolderListing::TResult& result, bool refill);
    void ApplyContents(TPzFolderListing::TResult& result);
    // A listing goes on past the short wait: the pane shows it (`empty`: a new folder's).
    void ShowListingRuns(bool empty);
    // Drops a listing still running, which the folder no longer needs.
    void DropListing();
    void AddParentEntry(const QString& caption);
    void CreateColumns();
    void SortItems();
    // Sorts by the folder's keys of the column; false (nothing sorted) for a column without them.
    bool SortByOrderKeys(IShellFolder& folder, int detail, int sign);
    int CompareItems(const TListItem* a, const TListItem* b);
    void UpdateSortArrows();
    void FillDetails(TListItem& item);
    // Fills the entry's details at once, also on a folder that lists slowly (a stat each).
    void FillDetailsNow(TListItem& item);
    // On a folder that lists slowly: what completing the entry would stat
    // waits for the next details batch.
    void QueueDetails(TListItem& item, TPzShellListItem& data, std::uint32_t attributeMask);
    // The attribute bits completion asks for that stat the item.
    std::uint32_t StatAttributeMask() const;
    // A batch's results, applied to the entries still waiting for them.
    void DetailsReady(std::vector<TDetailsWorkItem::TEntry>& entries);
    // Withdraws the details batches on their way and those not yet sent.
    void DropDetails();
    const TItemIdList* FolderIdList();
    // Whether the entries are a complete listing of this folder, the browser's.
    bool ShowsFolder(const TItemIdList* absolute) const;
    std::string FolderPathBytes() const;
    void DeleteEntries(const std::vector<TListItem*>& items);
    // Selects and focuses the entry and scrolls it into view.
    void SelectEntry(TListItem* item);
    void ClearEntries();
    void NotifierHook(int event, const TItemIdList* item1);
    void RestartUpdateTimer();
    // Deletes the entries of the deletes reported since the last call.
    void RemoveGoneEntries();
    void ToggleCheckbox(TListItem* item);
    TFileNames SelectedPaths();
    // The ids of the selected entries but the parent entry, for a command (still owned by the entries).
    std::vector<const TItemIdList*> SelectedItemIds() const;
    void MarkSelectedCut();
    void DropCleanup();
    bool ThumbnailMode() const;
    // Gives the entry a placeholder and queues the extraction of its picture.
    void CompleteThumbnail(TListItem& item, const TPzShellListItem& data);
    // Withdraws this list's thumbnail work from the pool.
    void CancelThumbnails();
    void SetThumbnailSize(int width, int height);
    void ClearThumbnails();
    // During RefreshContents, for the enumerated object's entry.
    void RenewThumbnailIfChanged(TListItem& item);

    std::unique_ptr<TShellNavigator> browser_;
    TPzSystemImageList smallImages_;
    TPzSystemImageList largeImages_;
    std::unique_ptr<TImageList> stateImageList_;
    TPzShellChangeNotifier* notifier_;
    TPzPaneNotice* notice_;
    QTimer updateTimer_;
    QTimer goneTimer_;
    // The index keys of entries reported deleted, waiting for goneTimer_.
    std::vector<std::string> goneKeys_;
    QPointer<TPzShellLink> link_;
    TPzShellOptions options_{TPzShellOptions::kListDefault};
    bool automaticRefresh_ = true;
    bool details_ = true;
    bool oleDragDrop_ = true;
    bool shellContextMenu_ = true;
    QPointer<QMenu> backgroundPopupMenu_;
    QPointer<QMenu> popupMenu_;
    bool showFolders_ = true;
    bool showParentFolder_ = false;
    bool checkboxes_ = false;
    TPzCopyMode copyMode_ = cmDefault;
    bool useSystemFont_ = true;
    bool showOverlayIcons_ = true;
    QPixmap backgroundImage_;
    TPzBackgroundImageStyle backgroundImageStyle_ = bisTiled;

    int sortColumn_ = 0;
    bool descending_ = false;
    int columnCount_ = 0;
    std::array<int, kMaxColumns> columnMap_{};
    std::array<int, kMaxColumns> savedWidths_{};
    bool keepsColumnWidths_ = false;

    std::optional<QStringList> selectedNames_;
    // The shown folder's entries, one per row but the parent entry, and their listing.
    TPzFolderEntries entries_;
    // While a fill's listing runs: its folder, and the names to select once it is shown.
    TItemIdListPtr listingFolder_;
    std::optional<QStringList> reselectNames_;
    TItemIdListPtr folderIdList_;
    bool busy_ = false;
    bool filling_ = false;
    // The folder changed while the pane was not shown: it is listed on show,
    // and then the entry of pendingSelection_ is selected.
    bool fillPending_ = false;
    TItemIdListPtr pendingSelection_;
    bool loading_ = true;
    QString storedPath_;
    bool pathStored_ = false;
    long completions_ = 0;
    // The shown folder lists slowly: entries in view get their details from a
    // worker, gathered here while a batch of them is completed.
    bool slowDetails_ = false;
    std::vector<TDetailsWorkItem::TEntry> detailsWanted_;
    int folderIconIndex_ = -1;

    // Drag-and-drop state.
    Qt::MouseButton dragButton_ = Qt::NoButton;
    std::unique_ptr<QMimeData> dragData_;
    IDropTargetPtr folderDropTarget_;
    IDropTargetPtr itemDropTarget_;
    TListItem* dropItem_ = nullptr;
    std::uint32_t lastKeyState_ = 0;
    TDragAutoScroll dragScroll_{*this};

    // Thumbnails.
    bool thumbnails_ = false;
    TImageList thumbnailImages_{kDefaultThumbnailSide, kDefaultThumbnailSide};
    // Per thumbnail image: whether the picture replaced the placeholder.
    std::vector<bool> thumbnailShown_;
    // This list's reference to the shared pools, taken when thumbnails are first switched on.
    std::unique_ptr<TWorkerPools> pools_;
};
