#include "framework/listview/TListView.h"

#include "framework/TImageList.h"
#include "framework/listview/TListViewDelegate.h"
#include "framework/listview/TListViewHeader.h"

#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

// Icons of the report, list and small-icon styles, and of the large-icon style.
constexpr int kSmallIconSize = 16;
constexpr int kLargeIconSize = 32;
// Entries completed before one paint: a tall window shows about 100 rows, and
// on a slow file system (a stat each) a larger batch would hold the frame longer.
constexpr int kCompletionBatch = 128;

}  // namespace

TListView::TListView(QWidget* parent)
    : QTreeView(parent)
    , model_(new TListViewModel(this))
    , header_(new TListViewHeader(this))
{
    setHeader(header_);
    setModel(model_);
    setItemDelegate(new TListViewDelegate(*this));
    completionTimer_.setSingleShot(true);
    completionTimer_.setInterval(0);
    connect(&completionTimer_, &QTimer::timeout, this, [this] { CompleteShownRows(true); });
    setUniformRowHeights(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setAllColumnsShowFocus(true);
    // Turning sorting off also makes the header unclickable; the users sort on clicks.
    setSortingEnabled(false);
    header_->setSectionsClickable(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    // The users of the view scroll while dragging by their own rules.
    setAutoScroll(false);
    UpdateIconSize();
    connect(header_, &QHeaderView::sectionClicked, this, [this](int column) { DoColumnClick(column); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &TListView::SelectionChanged);
}

TListView::~TListView() = default;

// --- Entries -------------------------------------------------------------------------------

TListItem* TListView::AddItem(const QString& caption, std::unique_ptr<TListItemData> data)
{
    auto item = std::make_unique<TListItem>();
    item->Caption = caption;
    item->SetData(std::move(data));
    return model_->Add(std::move(item));
}

void TListView::DeleteItem(TListItem* item)
{
    model_->Remove({item});
}

void TListView::DeleteItems(const std::vector<TListItem*>& items)
{
    model_->Remove(items);
}

void TListView::Clear()
{
    model_->Clear();
}

void TListView::UpdateItem(TListItem* item)
{
    model_->ItemChanged(item);
}

void TListView::SetCut(TListItem* item, bool cut)
{
    if (!item || item->cut_ == cut)
        return;
    item->cut_ = cut;
    model_->ItemChanged(item);
    DoChange(item, ctState);
}

void TListView::SetDropHighlighted(TListItem* item, bool highlighted)
{
    if (!item || item->dropHighlighted_ == highlighted)
        return;
    item->dropHighlighted_ = highlighted;
    model_->ItemChanged(item);
}

void TListView::BeginUpdate()
{
    if (!model_->Updating())
        setUpdatesEnabled(false);
    model_->BeginUpdate();
}

void TListView::EndUpdate()
{
    const bool reset = model_->Updating();
    model_->EndUpdate();
    if (reset && !model_->Updating()) {
        ApplyColumnWidths();
        setUpdatesEnabled(true);
    }
}

// --- Columns ----------------------------------------------------------------------------------

void TListView::SetColumns(std::vector<TListColumn> columns)
{
    header_->ClearArrows();
    model_->SetColumns(std::move(columns));
    if (!model_->Updating())
        ApplyColumnWidths();
}

void TListView::ApplyColumnWidths()
{
    const auto& columns = model_->Columns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        header_->resizeSection(int(i), columns[i].Width);
    header_->setVisible(viewStyle_ == vsReport);
}

int TListView::ColumnWidth(int column) const
{
    if (column < 0 || column >= ColumnCount())
        return 0;
    return header_->sectionSize(column);
}

void TListView::SetSortArrow(int column, TSortArrow arrow)
{
    header_->SetArrow(column, int(arrow));
}

TSortArrow TListView::SortArrow(int column) const
{
    return TSortArrow(header_->Arrow(column));
}

void TListView::SetSortArrowPictures(const QPixmap& up, const QPixmap& down)
{
    header_->SetPictures(up, down);
}

void TListView::CustomSort(const std::function<int(const TListItem*, const TListItem*)>& compare)
{
    model_->Sort([&](const TListItem* a, const TListItem* b) { return compare(a, b) < 0; });
}

// --- Selection ----------------------------------------------------------------------------------

TListItem* TListView::Selected() const
{
    int first = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        if (first < 0 || range.top() < first)
            first = range.top();
    return model_->Item(first);
}

void TListView::SetSelected(TListItem* item)
{
    if (!item)
        clearSelection();
    else
        SetItemSelected(item, true);
}

int TListView::SelCount() const
{
    return int(selectionModel()->selectedRows().size());
}

bool TListView::IsSelected(const TListItem* item) const
{
    const QModelIndex index = model_->IndexOf(item);
    return index.isValid() && selectionModel()->isRowSelected(index.row());
}

void TListView::SetItemSelected(TListItem* item, bool selected)
{
    const QModelIndex index = model_->IndexOf(item);
    if (!index.isValid())
        return;
    if (selected && !multiSelect_)
        selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        selectionModel()->select(index, (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                            QItemSelectionModel::Rows);
}

void TListView::SelectRange(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, model_->rowCount() - 1);
    if (first > last)
        return;
    const QItemSelection range(model_->index(first, 0), model_->index(last, model_->columnCount() - 1));
    selectionModel()->select(range, QItemSelectionModel::Select);
}

std::vector<TListItem*> TListView::SelectedItems() const
{
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<TListItem*> items;
    items.reserve(std::size_t(rows.size()));
    for (const QModelIndex& index : rows)
        items.push_back(model_->Item(index.row()));
    return items;
}

TListItem* TListView::ItemFocused() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? model_->Item(current.row()) : nullptr;
}

void TListView::SetItemFocused(TListItem* item)
{
    const QModelIndex index = model_->IndexOf(item);
    if (index.isValid())
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void TListView::SetMultiSelect(bool value)
{
    multiSelect_ = value;
    setSelectionMode(value ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void TListView::SelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    // One report per change of the selection, naming the first entry it selected
    // (or deselected), so that selecting everything costs one report.
    const QItemSelection& named = selected.isEmpty() ? deselected : selected;
    int first = -1;
    for (const QItemSelectionRange& range : named)
        if (first < 0 || range.top() < first)
            first = range.top();
    DoChange(model_->Item(first), ctState);
}

// --- Geometry --------------------------------------------------------------------------------------

TListItem* TListView::GetItemAt(const QPoint& point) const
{
    const QModelIndex index = indexAt(point);
    return index.isValid() ? model_->Item(index.row()) : nullptr;
}

QRect TListView::DisplayRect(const TListItem* item, TDisplayCode code) const
{
    const QModelIndex index = model_->IndexOf(item);
    if (!index.isValid())
        return {};
    const QRect first = visualRect(index);
    const int iconWidth = iconSize().width();
    // Qt's item delegate leaves this margin left of the decoration.
    constexpr int kIconMargin = 4;
    const QRect icon(first.left() + kIconMargin, first.top() + (first.height() - iconSize().height()) / 2, iconWidth,
                     iconSize().height());
    switch (code) {
    case drIcon: return icon;
    case drLabel: return QRect(QPoint(icon.right() + 1, first.top()), first.bottomRight());
    case drSelectBounds: return first;
    case drBounds: break;
    }
    const QRect last = visualRect(index.siblingAtColumn(model_->columnCount() - 1));
    return first.united(last);
}

void TListView::MakeVisible(const TListItem* item, bool partialOk)
{
    const QModelIndex index = model_->IndexOf(item);
    if (!index.isValid())
        return;
    if (partialOk && viewport()->rect().intersects(visualRect(index)))
        return;
    scrollTo(index, QAbstractItemView::EnsureVisible);
}

TListItem* TListView::TopItem() const
{
    return GetItemAt(QPoint(1, 1));
}

// --- Images and style ---------------------------------------------------------------------------------

void TListView::SetSmallImages(const TImageList* images)
{
    smallImages_ = images;
    pictureCache_.clear();
    UpdateIconSize();
}

void TListView::SetLargeImages(const TImageList* images)
{
    largeImages_ = images;
    pictureCache_.clear();
    UpdateIconSize();
}

void TListView::SetStateImages(const TImageList* images)
{
    stateImages_ = images;
    pictureCache_.clear();
    UpdateIconSize();
}

void TListView::SetViewStyle(TViewStyle style)
{
    if (style == viewStyle_)
        return;
    viewStyle_ = style;
    pictureCache_.clear();
    UpdateIconSize();
    // Only the report style shows the further columns.
    for (int column = 1; column < ColumnCount(); ++column)
        setColumnHidden(column, style != vsReport);
    header_->setVisible(style == vsReport);
    viewport()->update();
}

const TImageList* TListView::ShownImages() const
{
    return viewStyle_ == vsIcon ? largeImages_ : smallImages_;
}

void TListView::UpdateIconSize()
{
    // The large-icon style shows its pictures at their own size, such as thumbnails.
    QSize picture(kSmallIconSize, kSmallIconSize);
    if (viewStyle_ == vsIcon)
        picture = largeImages_ ? largeImages_->ImageSize() : QSize(kLargeIconSize, kLargeIconSize);
    const int stateWidth = stateImages_ ? stateImages_->Width() : 0;
    setIconSize(QSize(stateWidth + picture.width(), picture.height()));
}

QPixmap TListView::ItemPicture(const TListItem& item) const
{
    const TImageList* images = ShownImages();
    if ((!images || item.ImageIndex < 0) && (!stateImages_ || item.StateIndex < 0))
        return {};
    // A picture shown as it is needs no composition; keeping one per entry
    // (as with thumbnails, every entry its own) would only copy the list.
    const bool plain = !stateImages_ && !item.cut_ && (item.OverlayIndex < 0 || smallImages_ != images);
    if (plain && images->ImageSize() == iconSize())
        return images->Pixmap(item.ImageIndex);
    // Entries share few distinct pictures: keep each composition once.
    const quint64 key = (quint64(quint32(item.ImageIndex)) << 32) ^ (quint64(quint16(item.OverlayIndex)) << 16) ^
                        (quint64(quint8(item.StateIndex)) << 8) ^ (item.cut_ ? 1u : 0u);
    auto found = pictureCache_.constFind(key);
    if (found != pictureCache_.constEnd())
        return *found;
    QPixmap picture(iconSize());
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        int x = 0;
        if (stateImages_) {
            if (item.StateIndex >= 0)
                stateImages_->Draw(painter, 0, (picture.height() - stateImages_->Height()) / 2, item.StateIndex);
            x = stateImages_->Width();
        }
        if (images && item.ImageIndex >= 0) {
            images->Draw(painter, x, 0, item.ImageIndex, !item.cut_);
            if (item.OverlayIndex >= 0 && smallImages_ == images)
                images->Draw(painter, x, 0, item.OverlayIndex, !item.cut_);
        }
    }
    pictureCache_.insert(key, picture);
    return picture;
}

void TListView::ImagesChanged()
{
    pictureCache_.clear();
    UpdateIconSize();
    viewport()->update();
}

void TListView::CompleteVisible()
{
    CompleteShownRows(true);
}

void TListView::CompleteShownRows(bool announce)
{
    const QRect area = viewport()->rect();
    if (model_->rowCount() == 0 || area.isEmpty())
        return;
    // Rows are of one height: the rows in view are one run from the top row to the bottom one.
    const int x = columnViewportPosition(0);
    const QModelIndex top = indexAt(QPoint(x, area.top()));
    if (!top.isValid())
        return;
    const QModelIndex bottom = indexAt(QPoint(x, area.bottom()));
    const int last = bottom.isValid() ? bottom.row() : model_->rowCount() - 1;
    int budget = kCompletionBatch;
    bool completed = false;
    int runStart = -1;
    auto endRun = [&](int end) {
        if (announce && runStart >= 0)
            model_->RowsChanged(runStart, end);
        runStart = -1;
    };
    int row = top.row();
    for (; row <= last; ++row) {
        TListItem* item = model_->Item(row);
        if (!item)
            break;
        if (item->completed_) {
            endRun(row - 1);
            continue;
        }
        if (budget-- == 0) {
            completionTimer_.start();
            break;
        }
        // Marked first: a completion that repaints the entry does not start it again.
        item->completed_ = true;
        DoGetImageIndex(*item);
        completed = true;
        if (runStart < 0)
            runStart = row;
    }
    endRun(row - 1);
    if (completed)
        DoShownRowsCompleted();
}

void TListView::paintEvent(QPaintEvent* event)
{
    CompleteShownRows(false);
    QTreeView::paintEvent(event);
}

// --- Editing -----------------------------------------------------------------------------------------------

bool TListView::IsEditing() const
{
    return state() == QAbstractItemView::EditingState;
}

bool TListView::CanEdit(TListItem* item)
{
    return item && !readOnly_ && DoCanEdit(*item);
}

bool TListView::EditCaption(TListItem* item)
{
    const QModelIndex index = model_->IndexOf(item);
    if (!index.isValid() || !CanEdit(item))
        return false;
    scrollTo(index);
    setCurrentIndex(index);
    edit(index);
    return IsEditing();
}

void TListView::CommitCaption(TListItem& item, QString text)
{
    if (text == item.Caption || !DoEdited(item, text))
        return;
    const QModelIndex index = model_->IndexOf(&item);
    if (index.isValid() && model_->setData(index, text, Qt::EditRole))
        DoChange(&item, ctText);
}

// --- Events ---------------------------------------------------------------------------------------------

void TListView::DoKeyDown(QKeyEvent& event, bool& handled)
{
    if (OnKeyDown)
        OnKeyDown(*this, event, handled);
}

void TListView::DoKeyPress(QChar& key)
{
    if (OnKeyPress)
        OnKeyPress(*this, key);
}

void TListView::DoDblClick(const QPoint&)
{
    if (OnDblClick)
        OnDblClick(*this);
}

void TListView::DoColumnClick(int column)
{
    if (OnColumnClick)
        OnColumnClick(*this, column);
}

void TListView::DoChange(TListItem* item, TItemChange change)
{
    if (OnChange)
        OnChange(*this, item, change);
}

void TListView::DoGetImageIndex(TListItem& item)
{
    if (OnGetImageIndex)
        OnGetImageIndex(*this, item);
}

bool TListView::DoCanEdit(TListItem& item)
{
    bool allow = true;
    if (OnEditing)
        OnEditing(*this, item, allow);
    return allow;
}

bool TListView::DoEdited(TListItem& item, QString& text)
{
    if (OnEdited)
        OnEdited(*this, item, text);
    return true;
}

QColor TListView::DoItemTextColor(const TListItem&) const
{
    return {};
}

void TListView::DoBeginDrag(Qt::MouseButton) {}

void TListView::DoContextMenu(const QPoint&, bool) {}

void TListView::keyPressEvent(QKeyEvent* event)
{
    if (editorClosing_ || IsEditing()) {
        // Keys the caption editor passed on (its Enter and Escape) are the editor's.
        event->accept();
        return;
    }
    bool handled = false;
    DoKeyDown(*event, handled);
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!handled && !enter) {
        // The view's own Copy and Select all would act on cell texts and on
        // every row; they are the users' to bind.
        const bool ownBinding = event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll);
        if (!ownBinding) {
            allowSearch_ = false;
            QTreeView::keyPressEvent(event);
        }
    }
    event->accept();
    // The character event follows the key-down, consumed or not.
    QString text = event->text();
    if (enter)
        text = QStringLiteral("\r");
    if (text.isEmpty() || key == Qt::Key_Delete)
        return;
    QChar character = text.at(0);
    DoKeyPress(character);
    if (!character.isNull() && character.isPrint() && !handled && !(event->modifiers() & Qt::ControlModifier)) {
        allowSearch_ = true;
        keyboardSearch(text);
        allowSearch_ = false;
    }
}

void TListView::keyboardSearch(const QString& search)
{
    // Type-ahead runs only after the character event let the character through.
    if (allowSearch_)
        QTreeView::keyboardSearch(search);
}

void TListView::mousePressEvent(QMouseEvent* event)
{
    pressButton_ = event->button();
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() && event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier) {
        // A plain click on empty space keeps the selection.
        setFocus(Qt::MouseFocusReason);
        return;
    }
    QTreeView::mousePressEvent(event);
}

void TListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        DoDblClick(event->position().toPoint());
}

void TListView::contextMenuEvent(QContextMenuEvent* event)
{
    DoContextMenu(event->globalPos(), event->reason() == QContextMenuEvent::Keyboard);
    event->accept();
}

void TListView::startDrag(Qt::DropActions)
{
    const Qt::MouseButton button = pressButton_ == Qt::NoButton ? Qt::LeftButton : pressButton_;
    pressButton_ = Qt::NoButton;
    DoBeginDrag(button);
}

void TListView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    editorClosing_ = true;
    QMetaObject::invokeMethod(
        this, [this] { editorClosing_ = false; }, Qt::QueuedConnection);
    QTreeView::closeEditor(editor, hint);
}
