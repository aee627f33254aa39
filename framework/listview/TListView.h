#pragma once

#include "framework/listview/TListItem.h"
#include "framework/listview/TListViewModel.h"

#include <QHash>
#include <QPixmap>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <memory>
#include <vector>

class TImageList;
class TListViewHeader;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
// Which part of an entry DisplayRect gives.
enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };
enum TSortArrow { saNone, saUp, saDown };
// What about an entry changed, as DoChange reports it.
enum TItemChange { ctText, ctImage, ctState };

// A list view control of entries with a caption, further column texts,
// images and a data object, shown as a flat table on QTreeView.
//
// Entries are completed lazily, outside the model: before the viewport paints,
// DoGetImageIndex runs once for each entry in view that has not been completed,
// a batch at a time; what a batch leaves follows on the next event-loop turn.
//
// Keys come as two events: DoKeyDown, which may consume the key so that the
// view's own handling (navigation, type-ahead) is skipped, and then, for keys
// that produce a character, DoKeyPress with that character, which arrives
// even after a consumed key-down. The view's own bindings for Copy and Select
// all and its Enter handling never run: a consumed key stays consumed, and
// Enter is never handed on to a dialog's default button.
//
// A double-click raises DoDblClick from the double-click itself, never from an
// activation, so a single-click activation style of the desktop changes
// nothing. A plain left click on empty space keeps the selection, so that a
// double-click there still finds the entry the user selected.
class TListView : public QTreeView
{
    Q_OBJECT
public:
    explicit TListView(QWidget* parent = nullptr);
    ~TListView() override;

    // --- Entries ---------------------------------------------------------------
    int Count() const { return model_->Count(); }
    TListItem* Item(int index) const { return model_->Item(index); }
    // Appends an entry; returns it (owned by the view).
    TListItem* AddItem(const QString& caption, std::unique_ptr<TListItemData> data = nullptr);
    void DeleteItem(TListItem* item);
    // Deletes many entries at once, one removal per contiguous run of rows.
    void DeleteItems(const std::vector<TListItem*>& items);
    void Clear();
    // Repaints an entry after its fields were changed.
    void UpdateItem(TListItem* item);
    void SetCut(TListItem* item, bool cut);
    void SetDropHighlighted(TListItem* item, bool highlighted);
    // Sets the cut state without a repaint or change report: for entries being
    // completed while they are painted.
    static void MarkCut(TListItem& item, bool cut) { item.cut_ = cut; }
    // Has the entry completed again when it is next in view; no repaint (the
    // caller announces what it changed).
    static void MarkIncomplete(TListItem& item) { item.completed_ = false; }
    // Completes the entries in view now rather than at the next paint, and
    // announces each run of rows it completed with one change.
    void CompleteVisible();

    // Changes between BeginUpdate and EndUpdate are shown together when the
    // outermost bracket closes. Prefer TUpdateGuard.
    void BeginUpdate();
    void EndUpdate();
    class TUpdateGuard
    {
    public:
        explicit TUpdateGuard(TListView& view)
            : view_(view)
        {
            view_.BeginUpdate();
        }
        ~TUpdateGuard() { view_.EndUpdate(); }
        TUpdateGuard(const TUpdateGuard&) = delete;
        TUpdateGuard& operator=(const TUpdateGuard&) = delete;

    private:
        TListView& view_;
    };

    // --- Columns -----------------------------------------------------------------
    int ColumnCount() const { return int(model_->Columns().size()); }
    const std::vector<TListColumn>& Columns() const { return model_->Columns(); }
    void SetColumns(std::vector<TListColumn> columns);
    // The width the user sees now (the header's section size).
    int ColumnWidth(int column) const;
    void SetSortArrow(int column, TSortArrow arrow);
    TSortArrow SortArrow(int column) const;
    // The pictures drawn at the right of the sorted column's header.
    void SetSortArrowPictures(const QPixmap& up, const QPixmap& down);

    // --- Sorting -------------------------------------------------------------------
    // Stable sort by a three-way comparison (negative: a first).
    void CustomSort(const std::function<int(const TListItem* a, const TListItem* b)>& compare);
    // Row i takes the entry of row order[i] (a permutation of the rows), for
    // callers that sort by keys made once per row.
    void Reorder(const std::vector<int>& order) { model_->Reorder(order); }

    // --- Selection and focus ---------------------------------------------------------
    // The first selected entry in list order; null when none.
    TListItem* Selected() const;
    // Selects `item` (keeping the others); null deselects all.
    void SetSelected(TListItem* item);
    int SelCount() const;
    bool IsSelected(const TListItem* item) const;
    void SetItemSelected(TListItem* item, bool selected);
    // Selects the entries of rows first..last in one step.
    void SelectRange(int first, int last);
    // The selected entries in list order.
    std::vector<TListItem*> SelectedItems() const;
    TListItem* ItemFocused() const;
    void SetItemFocused(TListItem* item);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool value);

    // --- Geometry (viewport co-ordinates) ------------------------------------------------
    TListItem* GetItemAt(const QPoint& point) const;
    QRect DisplayRect(const TListItem* item, TDisplayCode code) const;
    void MakeVisible(const TListItem* item, bool partialOk);
    TListItem* TopItem() const;

    // --- Images and style ------------------------------------------------------------------
    // Image lists stay their owner's; they must outlive their use here.
    void SetSmallImages(const TImageList* images);
    void SetLargeImages(const TImageList* images);
    void SetStateImages(const TImageList* images);
    const TImageList* SmallImages() const { return smallImages_; }
    const TImageList* LargeImages() const { return largeImages_; }
    const TImageList* StateImages() const { return stateImages_; }
    // Shows the image lists' pictures anew after pictures in them were replaced or their size changed.
    void ImagesChanged();
    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle style);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }

    // --- Caption editing -----------------------------------------------------------------------
    bool IsEditing() const;
    // Whether editing may start on an entry (not ReadOnly and DoCanEdit agrees).
    bool CanEdit(TListItem* item);
    // Starts editing an entry's caption when CanEdit allows it; true when it started.
    bool EditCaption(TListItem* item);

    // --- Events (raised by the Do... methods below unless a subclass replaces them) ------------
    std::function<void(TListView& sender)> OnDblClick;
    std::function<void(TListView& sender, QKeyEvent& event, bool& handled)> OnKeyDown;
    // The character may be changed; a null character ends its handling.
    std::function<void(TListView& sender, QChar& key)> OnKeyPress;
    std::function<void(TListView& sender, TListItem* item, TItemChange change)> OnChange;
    std::function<void(TListView& sender, int column)> OnColumnClick;
    std::function<void(TListView& sender, TListItem& item)> OnGetImageIndex;
    std::function<void(TListView& sender, TListItem& item, bool& allowEdit)> OnEditing;
    std::function<void(TListView& sender, TListItem& item, QString& text)> OnEdited;

    // The composite picture of an entry (state image, image, overlay; dimmed when cut).
    QPixmap ItemPicture(const TListItem& item) const;
    // Whether entries show pictures (an image list is set for the style).
    bool ShowsPictures() const { return ShownImages() || stateImages_; }
    // The model under the view (for tests and accessibility checks).
    TListViewModel& Model() const { return *model_; }

protected:
    virtual void DoKeyDown(QKeyEvent& event, bool& handled);
    virtual void DoKeyPress(QChar& key);
    virtual void DoDblClick(const QPoint& point);
    virtual void DoColumnClick(int column);
    virtual void DoChange(TListItem* item, TItemChange change);
    virtual void DoGetImageIndex(TListItem& item);
    // After a batch of DoGetImageIndex calls: what they left to do in the
    // background can go as one piece of work.
    virtual void DoShownRowsCompleted() {}
    virtual bool DoCanEdit(TListItem& item);
    // Returns true when the caption takes `text` (which may be changed).
    virtual bool DoEdited(TListItem& item, QString& text);
    // The colour of an entry's text; invalid for the normal one.
    virtual QColor DoItemTextColor(const TListItem& item) const;
    // A drag of the selection starts with `button` held.
    virtual void DoBeginDrag(Qt::MouseButton button);
    // A context menu is asked for at a screen point, by mouse or keyboard.
    virtual void DoContextMenu(const QPoint& screenPoint, bool fromKeyboard);

    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void paintEvent(QPaintEvent* event) override;

private:
    friend class TListViewDelegate;
    // Run by the delegate when an edit is committed: the caption takes `text`
    // (as DoEdited may have changed it) when DoEdited accepts it.
    void CommitCaption(TListItem& item, QString text);
    // Completes up to a batch of the entries in view; `announce`: outside a
    // paint, so the rows completed are announced.
    void CompleteShownRows(bool announce);
    void ApplyColumnWidths();
    void UpdateIconSize();
    void SelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    const TImageList* ShownImages() const;

    TListViewModel* model_;
    TListViewHeader* header_;
    const TImageList* smallImages_ = nullptr;
    const TImageList* largeImages_ = nullptr;
    const TImageList* stateImages_ = nullptr;
    mutable QHash<quint64, QPixmap> pictureCache_;
    // Goes on with the entries in view a batch left.
    QTimer completionTimer_;
    TViewStyle viewStyle_ = vsReport;
    bool readOnly_ = false;
    bool multiSelect_ = true;
    bool allowSearch_ = false;
    // Set while the key that closed a caption editor travels on to the view.
    bool editorClosing_ = false;
    Qt::MouseButton pressButton_ = Qt::NoButton;
};
