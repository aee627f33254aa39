#include "framework/treeview/TTreeView.h"

#include "framework/TImageList.h"
#include "framework/treeview/TTreeNodeDelegate.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

TTreeView::TTreeView(QWidget* parent)
    : QTreeView(parent)
    , nodes_(new TTreeNodeModel(this))
    , delegate_(new TTreeNodeDelegate(*this))
{
    setModel(nodes_);
    setItemDelegate(delegate_);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);  // drags start through StartDrag, with either button
    setAnimated(false);
    setAllColumnsShowFocus(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    // Fit the column to the rows on screen only: measuring every row of a
    // folder with thousands of sub-folders would cost more than filling it.
    header()->setResizeContentsPrecision(0);
    changeTimer_.setSingleShot(true);
    connect(&changeTimer_, &QTimer::timeout, this, &TTreeView::ChangeTimerFired);
    // The view moves the focus before it selects; either step may complete a change.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &TTreeView::CurrentMoved);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &TTreeView::CurrentMoved);
    connect(nodes_, &TTreeNodeModel::HasChildrenChanged, this, [this] { scheduleDelayedItemsLayout(); });
    connect(nodes_, &TTreeNodeModel::UpdateEnded, this, [this] { viewport()->update(); });
    // Expansions the control did not start itself (assistive technology,
    // the view's own recursive expansion) fill the node right after.
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (TTreeNode* node = TTreeNodeModel::NodeOf(index))
            FillIfEmpty(*node);
    });
    setExpandsOnDoubleClick(false);
    nodes_->OnSetText = [this](TTreeNode& node, const QString& text) { return Edited(node, text); };
}

TTreeView::~TTreeView()
{
    changeTimer_.stop();
    nodes_->OnSetText = nullptr;
}

TTreeNode* TTreeView::Selected() const
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !selectionModel()->isSelected(current))
        return nullptr;
    return TTreeNodeModel::NodeOf(current);
}

void TTreeView::SetSelected(TTreeNode* node)
{
    if (!node) {
        selectionModel()->clearCurrentIndex();
        selectionModel()->clearSelection();
        return;
    }
    if (!nodes_->IsShown(node))
        nodes_->Flush();
    const QModelIndex index = nodes_->IndexOf(node);
    for (TTreeNode* parent = node->Parent(); parent; parent = parent->Parent())
        if (!IsExpanded(parent))
            QTreeView::expand(nodes_->IndexOf(parent));
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void TTreeView::MakeVisible(TTreeNode* node)
{
    if (!node)
        return;
    if (!nodes_->IsShown(node))
        nodes_->Flush();
    scrollTo(nodes_->IndexOf(node));
}

void TTreeView::FillIfEmpty(TTreeNode& node)
{
    if (node.HasChildren() && node.Count() == 0)
        FillChildren(node);
}

void TTreeView::Expand(TTreeNode* node)
{
    if (!node)
        return;
    FillIfEmpty(*node);
    if (node->Count() == 0)
        return;
    if (!nodes_->IsShown(node) || nodes_->IsShown(node->FirstChild()) == false)
        nodes_->Flush();
    QTreeView::expand(nodes_->IndexOf(node));
}

void TTreeView::Collapse(TTreeNode* node)
{
    if (node)
        QTreeView::collapse(nodes_->IndexOf(node));
}

bool TTreeView::IsExpanded(const TTreeNode* node) const
{
    const QModelIndex index = nodes_->IndexOf(node);
    return index.isValid() && isExpanded(index);
}

bool TTreeView::IsNodeVisible(const TTreeNode* node) const
{
    const QModelIndex index = nodes_->IndexOf(node);
    if (!index.isValid())
        return false;
    const QRect rect = visualRect(index);
    return rect.isValid() && viewport()->rect().intersects(rect);
}

void TTreeView::SetImages(const TImageList* images)
{
    images_ = images;
    scheduleDelayedItemsLayout();
}

void TTreeView::SetStateImages(const TImageList* images)
{
    stateImages_ = images;
    scheduleDelayedItemsLayout();
}

void TTreeView::SetHideSelection(bool value)
{
    hideSelection_ = value;
    viewport()->update();
}

TTreeNode* TTreeView::NodeAt(const QPoint& point, THitPart* part) const
{
    THitPart found = THitPart::Nowhere;
    const QModelIndex index = indexAt(point);
    TTreeNode* node = TTreeNodeModel::NodeOf(index);
    if (node) {
        const QRect row = visualRect(index);
        if (point.x() < row.left()) {
            const bool onButton = point.x() >= row.left() - indentation() && nodes_->hasChildren(index) &&
                                  (node->Parent() || rootIsDecorated());
            found = onButton ? THitPart::Button : THitPart::Indent;
        } else {
            QStyleOptionViewItem option;
            const_cast<TTreeView*>(this)->initViewItemOption(&option);
            option.rect = row;
            const auto layout = delegate_->Layout(option, index);
            if (layout.State.width() > 0 && point.x() < layout.State.right() + 1)
                found = THitPart::StateIcon;
            else if (layout.Icon.isValid() && point.x() <= layout.Icon.right())
                found = THitPart::Icon;
            else if (point.x() <= layout.Text.right())
                found = THitPart::Label;
            else
                found = THitPart::Right;
        }
    }
    if (part)
        *part = found;
    return node;
}

QRect TTreeView::NodeRect(const TTreeNode* node, bool textOnly) const
{
    const QModelIndex index = nodes_->IndexOf(node);
    if (!index.isValid())
        return {};
    const QRect row = visualRect(index);
    if (!textOnly || !row.isValid())
        return row;
    QStyleOptionViewItem option;
    const_cast<TTreeView*>(this)->initViewItemOption(&option);
    option.rect = row;
    return delegate_->Layout(option, index).Text;
}

bool TTreeView::EditText(TTreeNode* node)
{
    if (!node)
        return false;
    if (!nodes_->IsShown(node))
        nodes_->Flush();
    const QModelIndex index = nodes_->IndexOf(node);
    scrollTo(index);
    return edit(index, AllEditTriggers, nullptr);
}

TTreeNode* TTreeView::EditingNode() const
{
    return TTreeNodeModel::NodeOf(editing_);
}

void TTreeView::EndEdit(bool cancel)
{
    QWidget* editor = delegate_->Editor();
    if (!IsEditing() || !editor)
        return;
    if (!cancel)
        commitData(editor);
    closeEditor(editor, cancel ? QAbstractItemDelegate::RevertModelCache : QAbstractItemDelegate::SubmitModelCache);
}

void TTreeView::BeginUpdate()
{
    if (updateCount_++ == 0)
        viewport()->setUpdatesEnabled(false);
    nodes_->BeginUpdate();
}

void TTreeView::EndUpdate()
{
    nodes_->EndUpdate();
    if (updateCount_ > 0 && --updateCount_ == 0)
        viewport()->setUpdatesEnabled(true);
}

void TTreeView::FillChildren(TTreeNode&) {}

void TTreeView::Change(TTreeNode* node)
{
    if (OnChange)
        OnChange(*this, node);
}

bool TTreeView::KeyDown(QKeyEvent&)
{
    return false;
}

bool TTreeView::OwnsShortcut(const QKeyEvent&) const
{
    return false;
}

void TTreeView::GetImage(TTreeNode&) {}

bool TTreeView::CanEdit(TTreeNode&)
{
    return true;
}

bool TTreeView::Edited(TTreeNode&, const QString&)
{
    return true;
}

void TTreeView::EditCanceled(TTreeNode&) {}

void TTreeView::StartDrag(TTreeNode&, Qt::MouseButton) {}

QPixmap TTreeView::OverlayPixmap(int) const
{
    return {};
}

void TTreeView::CurrentMoved()
{
    const QPersistentModelIndex selected(nodes_->IndexOf(Selected()));
    if (selected == changed_ && !changeTimer_.isActive())
        return;  // the second signal of one change
    if (changeDelay_ <= 0) {
        changeTimer_.stop();
        ChangeTimerFired();
    } else {
        changeTimer_.start(changeDelay_);
    }
}

void TTreeView::ChangeTimerFired()
{
    TTreeNode* node = Selected();
    changed_ = QPersistentModelIndex(nodes_->IndexOf(node));
    Change(node);
}

void TTreeView::NodePainted(TTreeNode& node)
{
    GetImage(node);
}

void TTreeView::keyPressEvent(QKeyEvent* event)
{
    if (IsEditing()) {
        QTreeView::keyPressEvent(event);
        return;
    }
    if (KeyDown(*event)) {
        event->accept();
        return;
    }
    // Keys that expand the focused node fill it first.
    const int key = event->key();
    if (key == Qt::Key_Right || key == Qt::Key_Plus || key == Qt::Key_Asterisk)
        if (TTreeNode* node = TTreeNodeModel::NodeOf(currentIndex()); node && !IsExpanded(node)) {
            if (key == Qt::Key_Right || key == Qt::Key_Plus) {
                Expand(node);
                event->accept();
                return;
            }
            FillIfEmpty(*node);
        }
    QTreeView::keyPressEvent(event);
}

bool TTreeView::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && !IsEditing() && OwnsShortcut(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTreeView::event(event);
}

void TTreeView::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    THitPart part = THitPart::Nowhere;
    TTreeNode* node = NodeAt(point, &part);
    pressButton_ = event->button();
    pressPoint_ = point;
    pressed_ = part == THitPart::Button ? QPersistentModelIndex() : QPersistentModelIndex(nodes_->IndexOf(node));
    if (event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        if (rightClickSelect_ && node && part != THitPart::Button)
            SetSelected(node);
        event->accept();
        return;
    }
    if (part == THitPart::Button && event->button() == Qt::LeftButton) {
        if (IsExpanded(node))
            Collapse(node);
        else
            Expand(node);
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void TTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    THitPart part = THitPart::Nowhere;
    TTreeNode* node = NodeAt(event->position().toPoint(), &part);
    if (event->button() != Qt::LeftButton || !node || part == THitPart::Button || part == THitPart::Indent)
        return;
    if (IsExpanded(node))
        Collapse(node);
    else
        Expand(node);
}

void TTreeView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (pressButton_ != Qt::NoButton && (event->buttons() & pressButton_)) {
        TTreeNode* node = TTreeNodeModel::NodeOf(pressed_);
        if (node && autoDrag_ && !IsEditing() &&
            (point - pressPoint_).manhattanLength() >= QApplication::startDragDistance()) {
            const Qt::MouseButton button = pressButton_;
            pressButton_ = Qt::NoButton;
            pressed_ = QPersistentModelIndex();
            StartDrag(*node, button);
            return;
        }
        if (node)
            return;  // no rubber-band or drag selection in a tree
    }
    QTreeView::mouseMoveEvent(event);
}

void TTreeView::mouseReleaseEvent(QMouseEvent* event)
{
    const Qt::MouseButton button = pressButton_;
    pressButton_ = Qt::NoButton;
    pressed_ = QPersistentModelIndex();
    if (button == Qt::RightButton) {
        event->accept();
        return;
    }
    QTreeView::mouseReleaseEvent(event);
}

bool TTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    TTreeNode* node = TTreeNodeModel::NodeOf(index);
    if (!node || IsEditing() || readOnly_ || !CanEdit(*node))
        return false;
    committed_ = false;
    if (!QTreeView::edit(index, trigger, event))
        return false;
    editing_ = index;
    return true;
}

void TTreeView::commitData(QWidget* editor)
{
    committed_ = true;
    QTreeView::commitData(editor);
}

void TTreeView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    TTreeNode* node = EditingNode();
    const bool committed = committed_;
    editing_ = QPersistentModelIndex();
    committed_ = false;
    QTreeView::closeEditor(editor, hint);
    if (node && !committed)
        EditCanceled(*node);
}

void TTreeView::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    if (hideSelection_)
        viewport()->update();
}

void TTreeView::focusOutEvent(QFocusEvent* event)
{
    QTreeView::focusOutEvent(event);
    if (hideSelection_)
        viewport()->update();
}
