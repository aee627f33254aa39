#include "shell/panes/tree/TPzShellTree.h"

#include "framework/IconTitleFont.h"
#include "framework/MessageBox.h"
#include "framework/TCursorGuard.h"
#include "framework/treeview/TTreeUpdateGuard.h"
#include "platform/core/system/LastError.h"
#include "platform/core/ids/ShellConstants.h"
#include "platform/icons/TSystemImageList.h"
#include "shell/link/TPzShellLink.h"
#include "shell/navigator/library/ComponentVersion.h"
#include "shell/navigator/EShellNavigatorError.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/functions/ShellPaths.h"
#include "shell/navigator/functions/StandardFolderLists.h"
#include "shell/navigator/library/TShellLibrary.h"
#include "shell/panes/TPzPaneNotice.h"
#include "shell/panes/tree/TPzShellTreeItem.h"

#include <QFile>
#include <QFileInfo>
#include <QScopedValueRollback>

#include <algorithm>

namespace {

// A shell comparison's order: the signed low 16 bits, a failure counting as equal.
int OrderOf(const TShellResult& result)
{
    return result.Succeeded() ? result.OrderValue() : 0;
}

}  // namespace

TPzShellTree::TPzShellTree(QWidget* parent)
    : TTreeView(parent)
    , notice_(new TPzPaneNotice(*this))
{
    browser_.SetShowErrorMessages(false);
    browser_.SetFileSystemOnly(false);
    notifier_.SetEventFilter(kTreeEventFilter);
    notifier_.SetRecursive(true);
    notifier_.SetItemHook([this](TPzShellChangeNotifier&, TNotificationEvent event, const TItemIdList* item1,
                                 const TItemIdList* item2) { HandleShellChange(event, item1, item2); });
    notifier_.SetEnabled(true);
    SetImages(&images_);
    resize(200, 300);
    SetHideSelection(false);
    SetShowRoot(false);
    SetRightClickSelect(true);
    SetChangeDelay(kDefaultChangeDelay);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    changeTimer_.setSingleShot(true);
    changeTimer_.setInterval(kChangeRefreshDelay);
    connect(&changeTimer_, &QTimer::timeout, this, &TPzShellTree::RunChangeRefreshes);
}

TPzShellTree::~TPzShellTree()
{
    destroying_ = true;
    changeTimer_.stop();
    expansion_.Detach();
    refresh_.Detach();
    if (link_)
        link_->UnregisterControl(this);
    notifier_.SetEnabled(false);
    SetStateImages(nullptr);
}

QString TPzShellTree::Version() const
{
    return ComponentVersion("TPzShellTree");
}

void TPzShellTree::Loaded()
{
    if (!loading_)
        return;
    loading_ = false;
    browser_.Loaded();
    if (Nodes().RootCount() == 0 || Nodes().FirstRoot()->Count() == 0)
        BuildRoot();
    if (!NoFillOnStartup()) {
        if (!pendingSelectedFolder_.isEmpty())
            SetSelectedFolder(pendingSelectedFolder_);
        else if (pendingSpecialFolder_ != SF_FILESYSTEMFOLDER)
            SetSpecialFolder(pendingSpecialFolder_);
        else
            NotifyLink(Selected());
    }
    pendingSelectedFolder_.clear();
    Expand(Nodes().FirstRoot());
    if (checkBoxes_ && link_)
        UpdateCheckState(Nodes().FirstRoot());
    if (useSystemFont_) {
        QFont font = this->font();
        if (UseIconTitleFont(font))
            setFont(font);
    }
}

// --- Options and properties ---------------------------------------------------

void TPzShellTree::SetOption(TPzShellOptions::TBit bit, bool value)
{
    TPzShellOptions options = options_;
    options.Set(bit, value);
    SetOptions(options);
}

void TPzShellTree::SetOptions(TPzShellOptions options)
{
    if (options == options_)
        return;
    options_ = options;
    browser_.SetShowErrorMessages(options_.ShowErrorMessages());
    TNotificationEvents filter = kTreeEventFilter;
    if (options_.ShowFiles())
        filter |= NotificationEventBit(neFileCreate) | NotificationEventBit(neFileDelete) |
                  NotificationEventBit(neFileRename);
    notifier_.SetEventFilter(filter);
    RefreshTree();
}

void TPzShellTree::SetFilter(const QString& filter)
{
    browser_.SetFilter(filter);
    RefreshTree();
}

void TPzShellTree::SetFileSystemOnly(bool value)
{
    browser_.SetFileSystemOnly(value);
    RefreshTree();
}

void TPzShellTree::SetShowOverlayIcons(bool value)
{
    if (showOverlayIcons_ == value)
        return;
    showOverlayIcons_ = value;
    RefreshTree();
}

void TPzShellTree::SetUseSystemFont(bool value)
{
    useSystemFont_ = value;
    if (value) {
        QFont font = this->font();
        if (UseIconTitleFont(font))
            setFont(font);
    }
}

void TPzShellTree::SetCreateLinkOnDrop(bool value)
{
    createLinkOnDrop_ = value;
    if (value)
        copyMode_ = cmLink;
}

void TPzShellTree::SetOleDragDrop(bool value)
{
    oleDragDrop_ = value;
    setAcceptDrops(value);
    viewport()->setAcceptDrops(value);
    SetAutoDrag(value);
}

void TPzShellTree::SetShellLink(TPzShellLink* link)
{
    if (link_ == link)
        return;
    if (link_)
        link_->UnregisterControl(this);
    link_ = link;
    if (link_)
        link_->RegisterControl(this);
}

void TPzShellTree::SetRootedAt(TPzShellFolder value)
{
    rootedAt_ = value;
    BuildRoot();
}

void TPzShellTree::SetRootedAtFileSystemFolder(const QString& path)
{
    rootedAtFolder_ = path;
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return;
    const int delay = ChangeDelay();
    SetChangeDelay(0);
    SetRootedAt(SF_FILESYSTEMFOLDER);
    SetChangeDelay(delay);
    if (!loading_)
        Change(Nodes().FirstRoot());
}

QString TPzShellTree::SelectedFolder() const
{
    if (loading_)
        return pendingSelectedFolder_;
    // A tree not shown names the folder the link left for it.
    const TItemIdList* absolute = pendingFolder_.get();
    if (!absolute) {
        TTreeNode* node = Selected();
        if (!IsShellNode(node))
            return {};
        absolute = ShellItem(node)->Absolute();
    }
    std::string path = GetPathFromIDList(absolute);
    if (path.empty()) {
        const TPzShellFolder special = FindSpecialFolder(absolute);
        if (special != SF_FILESYSTEMFOLDER)
            path = GetSpecialFolderPath(special);
    }
    return QFile::decodeName(QByteArray::fromStdString(path));
}

void TPzShellTree::SetSelectedFolder(const QString& path)
{
    if (loading_) {
        if (pendingSpecialFolder_ == SF_FILESYSTEMFOLDER || pendingSpecialFolder_ == SF_DRIVES) {
            pendingSelectedFolder_ = path;
            pendingSpecialFolder_ = SF_FILESYSTEMFOLDER;
        }
        return;
    }
    if (path.isEmpty()) {
        if (rootedAt_ == SF_DESKTOP)
            SetSpecialFolder(SF_DRIVES);
        else if (TTreeNode* root = Nodes().FirstRoot())
            SetSelected(root);
        return;
    }
    // A path whose tail does not exist selects its deepest existing folder.
    std::string bytes = QFile::encodeName(path).toStdString();
    int error = 0;
    while (!bytes.empty()) {
        TItemIdListPtr list = PathToIDList(DesktopFolder().get(), bytes);
        if (list) {
            LocateNode(list.get(), lmSelect);
            return;
        }
        if (error == 0)
            error = GetLastError();
        const std::size_t slash = bytes.find_last_of('/', bytes.size() > 1 ? bytes.size() - 2 : 0);
        if (slash == std::string::npos)
            break;
        bytes.resize(slash == 0 ? 1 : slash);
    }
    if (ShowErrorMessages()) {
        TMessageRequest request;
        request.Text = path + ": " + QString::fromStdString(GetSystemErrorText(error));
        ShowMessageBox(request);
    }
}

TPzShellFolder TPzShellTree::SpecialFolder() const
{
    if (loading_)
        return pendingSpecialFolder_;
    if (pendingFolder_)
        return FindSpecialFolder(pendingFolder_.get());
    TTreeNode* node = Selected();
    if (!IsShellNode(node))
        return SF_FILESYSTEMFOLDER;
    return FindSpecialFolder(ShellItem(node)->Absolute());
}

void TPzShellTree::SetSpecialFolder(TPzShellFolder value)
{
    if (loading_) {
        pendingSpecialFolder_ = value;
        if (value != SF_FILESYSTEMFOLDER)
            pendingSelectedFolder_.clear();
        return;
    }
    if (value == SF_FILESYSTEMFOLDER)
        return;
    try {
        browser_.SetSpecialFolder(value);
    } catch (const EShellNavigatorError&) {
        return;
    }
    TItemIdListPtr folder = browser_.GetFolderIDList();
    LocateNode(folder.get(), lmSelect);
}

// --- Nodes ----------------------------------------------------------------------

TPzShellTreeItem* TPzShellTree::ShellItem(const TTreeNode* node)
{
    return node ? dynamic_cast<TPzShellTreeItem*>(node->Data()) : nullptr;
}

bool TPzShellTree::IsShellNode(const TTreeNode* node) const
{
    return ShellItem(node) != nullptr;
}

std::string TPzShellTree::GetNodePath(const TTreeNode* node) const
{
    const TPzShellTreeItem* item = ShellItem(node);
    return item ? GetPathFromIDList(item->Absolute()) : std::string();
}

void TPzShellTree::BuildRoot()
{
    TCursorGuard cursor;
    TTreeUpdateGuard guard(*this);
    SetSelected(nullptr);
    Nodes().Clear();
    TTreeNode* root = nullptr;
    if (rootedAt_ == SF_DESKTOP) {
        root = Nodes().Add(nullptr, browser_.GetDesktopDisplayName());
        auto item = std::make_unique<TPzShellTreeItem>(nullptr, CloneIDList(DesktopIDList()), DesktopFolder(), true);
        item->SetOwnFolder(DesktopFolder());
        item->Node = root;
        root->SetData(std::move(item));
        root->SetImageIndex(browser_.GetDesktopIconIndex());
        root->SetSelectedIndex(browser_.GetDesktopIconIndex());
        root->SetHasChildren(true);
    } else {
        try {
            if (rootedAt_ == SF_FILESYSTEMFOLDER)
                browser_.SetFolder(rootedAtFolder_);
            else
                browser_.SetSpecialFolder(rootedAt_);
            TItemIdListPtr list = browser_.GetFolderIDList();
            IShellFolderPtr own = browser_.FolderInterface();
            browser_.SetAbsoluteIDList(list.get());  // the folder becomes the object of its parent
            root = Nodes().Add(nullptr, browser_.GetDisplayName());
            auto item = std::make_unique<TPzShellTreeItem>(nullptr, std::move(list), browser_.FolderInterface(), true);
            item->SetOwnFolder(std::move(own));
            item->Node = root;
            root->SetData(std::move(item));
            root->SetImageIndex(browser_.GetIconIndex());
            root->SetSelectedIndex(browser_.GetOpenIconIndex());
            root->SetHasChildren(browser_.HasSubFolders() || ShowFiles() || ShowHidden());
        } catch (const EShellNavigatorError&) {
            return;  // an unreachable root leaves the tree empty
        }
    }
    if (!loading_) {
        Expand(root);
        SetSelected(root);
    }
    if (rootedAt_ != SF_DESKTOP || !rootedAtFolder_.isEmpty()) {
        TItemIdListPtr watched = browser_.GetFolderIDList();
        notifier_.SetWatchedItem(watched.get());
    } else {
        // A new browser starts in the computer folder; the desktop tree watches it.
        TItemIdListPtr watched = GetSpecialFolderIDList(SF_DRIVES);
        notifier_.SetWatchedItem(watched.get());
    }
    if (rootedAt_ != SF_FILESYSTEMFOLDER)
        rootedAtFolder_.clear();
}

void TPzShellTree::FillChildren(TTreeNode& node)
{
    const bool mayExpand = allLevels_ || (!node.Parent() && !loading_);
    TPzShellTreeItem* item = ShellItem(&node);
    if (!mayExpand || !item || ChildrenPending(&node))
        return;
    expanded_ = CloneIDList(item->Absolute());
    expansionLate_ = false;
    if (expansion_.Start(
            browser_, item->Absolute(), options_, [this](TPzFolderListing::TResult& result) { ChildrenListed(result); },
            !ShowFiles()))
        return;
    // Only this pane waits: the window goes on answering.
    expansionLate_ = true;
    viewport()->setCursor(Qt::WaitCursor);
    notice_->ShowReading();
}

TTreeNode* TPzShellTree::AddFolderNode(TTreeNode* parent, int subFolders)
{
    if (!PassesVisibilityRule(browser_, options_))
        return nullptr;
    TTreeNode* node = Nodes().Add(parent, browser_.GetDisplayName());
    auto data =
        std::make_unique<TPzShellTreeItem>(browser_.GetObjectIDList(), CloneIDList(browser_.GetAbsoluteIDList()),
                                           browser_.FolderInterface(), browser_.IsFolder());
    data->SubFolders = subFolders;
    data->Node = node;
    if (TPzShellTreeItem* parentItem = ShellItem(parent))
        parentItem->Children.Add(*data);
    node->SetData(std::move(data));
    if (IsNodeVisible(node))
        UpdateNodeAttributes(node, true);
    if (OnAddFolder) {
        UpdateNodeAttributes(node, true);
        bool canAdd = true;
        OnAddFolder(*node, QFile::decodeName(QByteArray::fromStdString(GetNodePath(node))), canAdd);
        if (!canAdd) {
            Nodes().Delete(node);
            return nullptr;
        }
    }
    return node;
}

int TPzShellTree::CompareNodes(const TTreeNode& a, const TTreeNode& b) const
{
    const TPzShellTreeItem* first = ShellItem(&a);
    const TPzShellTreeItem* second = ShellItem(&b);
    if (!first || !second || !first->ParentFolder())
        return 0;
    return OrderOf(first->ParentFolder()->CompareIDs(0, first->Relative(), second->Relative()));
}

void TPzShellTree::SortNodeChildren(TTreeNode* node)
{
    Nodes().SortChildren(node, [this](const TTreeNode& a, const TTreeNode& b) { return CompareNodes(a, b); });
}

void TPzShellTree::UpdateNodeAttributes(TTreeNode* node, bool overlays)
{
    TPzShellTreeItem* item = ShellItem(node);
    node->SetImageIndex(browser_.GetIconIndex());
    node->SetSelectedIndex(browser_.GetOpenIconIndex());
    // A listed folder's sub-folders were looked for on the listing's worker.
    node->SetHasChildren(ShowFiles()                     ? browser_.IsFolder()
                         : item && item->SubFolders >= 0 ? item->SubFolders == 1
                                                         : browser_.HasSubFolders());
    if (overlays && showOverlayIcons_) {
        node->SetOverlayIndex(browser_.GetOverlayIndex());
        const std::uint32_t attributes = browser_.GetAttributes(SFGAO_HIDDEN | SFGAO_COMPRESSED | SFGAO_ENCRYPTED);
        node->SetCut((attributes & SFGAO_HIDDEN) != 0);
        if (item) {
            item->Compressed = (attributes & SFGAO_COMPRESSED) != 0;
            item->Encrypted = (attributes & SFGAO_ENCRYPTED) != 0;
            QColor color;
            if (ColorEncrypted() && item->Encrypted)
                color = QColor(0x00, 0x80, 0x00);
            else if (ColorCompressed() && item->Compressed)
                color = QColor(0x00, 0x00, 0xFF);
            node->SetTextColor(color);
        }
    } else if (overlays) {
        node->SetOverlayIndex(-1);
    }
    if (checkBoxes_ && link_)
        UpdateCheckState(node);
    if (OnUpdatedFolder)
        OnUpdatedFolder(*this, *node);
}

void TPzShellTree::GetImage(TTreeNode& node)
{
    TPzShellTreeItem* item = ShellItem(&node);
    if (!item)
        return;
    try {
        browser_.SetAbsoluteIDList(item->Absolute());
    } catch (const EShellNavigatorError&) {
        node.SetImageIndex(GetFolderIconIndex(false));  // gone meanwhile: the next refresh removes it
        return;
    }
    if (item->Absolute() && IsDesktopIDList(item->Absolute())) {
        node.SetImageIndex(browser_.GetDesktopIconIndex());
        return;
    }
    UpdateNodeAttributes(&node, true);
}

QPixmap TPzShellTree::OverlayPixmap(int index) const
{
    const TSystemImageList* list = images_.Handle();
    return list ? list->OverlayPixmap(index) : QPixmap();
}

TTreeNode* TPzShellTree::FindChild(TTreeNode* node, const TItemIdList* item) const
{
    // By identity in the children's model: a miss costs no more than a hit,
    // however many children there are, which a change to a large folder relies on.
    TPzShellTreeItem* parent = ShellItem(node);
    const auto* child = parent ? static_cast<const TPzShellTreeItem*>(parent->Children.Find(item)) : nullptr;
    return child ? child->Node : nullptr;
}

bool TPzShellTree::LocateNode(const TItemIdList* absolute, TLocateMode mode)
{
    if (!absolute)
        return false;
    std::optional<TCursorGuard> cursor;
    if (mode == lmSelect) {
        cursor.emplace();
        pendingFolder_.reset();  // a folder chosen now replaces one the link left for later
        pendingLocate_.reset();
    }
    const bool savedAllLevels = allLevels_;
    allLevels_ = mode != lmRefresh;
    const std::size_t count = IDListCount(absolute);
    TTreeNode* found = nullptr;
    bool fullPath = false;
    for (int r = 0; r < Nodes().RootCount() && !fullPath; ++r) {
        TTreeNode* root = Nodes().Root(r);
        const TPzShellTreeItem* rootItem = ShellItem(root);
        if (!rootItem)
            continue;
        if (DesktopFolder()->CompareIDs(0, absolute, rootItem->Absolute()).Code() == 0) {
            found = root;
            break;
        }
        const std::size_t base = IDListCount(rootItem->Absolute());
        if (base >= count || (base > 0 && !IDListsEqual(TruncateIDList(absolute, base).get(), rootItem->Absolute()))) {
            found = found ? found : root;
            continue;
        }
        TTreeNode* current = root;
        std::size_t level = 0;
        bool searching = true;
        while (searching && base + level < count) {
            if (mode == lmSelect) {
                current->SetHasChildren(true);
                Expand(current);
                // The rest of the path is sought once this level is listed.
                if (ChildrenPending(current)) {
                    pendingLocate_ = CloneIDList(absolute);
                    allLevels_ = savedAllLevels;
                    return false;
                }
            } else if (!IsExpanded(current) && current->HasChildren()) {
                Nodes().DeleteChildren(current);
                break;
            }
            TItemIdListPtr sought = GetIDListItem(absolute, base + level);
            TTreeNode* child = FindChild(current, sought.get());
            if (!child) {
                searching = false;
                break;
            }
            current = child;
            ++level;
        }
        fullPath = base + level == count;
        if (!fullPath && mode != lmRefresh && mode != lmSelect)
            mode = lmRefresh;
        if (!fullPath && IsNetworkIDList(absolute) && mode == lmSelect) {
            try {
                browser_.SetAbsoluteIDList(absolute);
                if (TTreeNode* added = AddFolderNode(current)) {
                    SortNodeChildren(current);
                    current = added;
                    fullPath = true;
                }
            } catch (const EShellNavigatorError&) {
            }
        }
        found = current;
    }
    allLevels_ = savedAllLevels;
    if (!found)
        return false;
    const bool result = fullPath && found->Parent() != nullptr;
    switch (mode) {
    case lmSelect:
        SetChangeDelay(0);
        SetSelected(found);
        MakeVisible(found);
        break;
    case lmRefresh:
        if (handlingChange_)
            ScheduleRefresh(found, !rootedAtFolder_.isEmpty(), true);
        else
            RefreshNode(found, !rootedAtFolder_.isEmpty(), true);
        break;
    case lmRefreshParent:
        if (found->Parent() && handlingChange_)
            ScheduleRefresh(found->Parent(), false, true);
        else if (found->Parent())
            RefreshNode(found->Parent(), false, true);
        break;
    case lmDelete:
        if (found == Selected())
            SetChangeDelay(0);
        Nodes().Delete(found);
        break;
    }
    return result;
}

void TPzShellTree::RefreshNode(TTreeNode* node, bool recursive, bool overlays, bool awaited)
{
    TPzShellTreeItem* item = ShellItem(node);
    if (loading_ || !item)
        return;
    // A node not painted yet gets its attributes when it is; an open one is
    // still gone into, as nodes below it may be painted.
    const bool painted = node->ImageIndex() >= 0;
    if (!painted && (node->Count() == 0 || !IsExpanded(node)))
        return;
    // What the node holds is asked anew: a refresh follows a change inside it.
    item->SubFolders = -1;
    try {
        browser_.SetAbsoluteIDList(item->Absolute());
        if (painted && !IsDesktopIDList(item->Absolute()))
            UpdateNodeAttributes(node, overlays);
        if (!IsDesktopIDList(item->Absolute()) && !browser_.OpenObjectAsFolder())
            return;
        if (IsDesktopIDList(item->Absolute()))
            browser_.SetFolderIDList(item->Absolute());
    } catch (const EShellNavigatorError&) {
        return;
    }
    if (node->Count() == 0)
        return;
    if (!IsExpanded(node)) {
        Nodes().DeleteChildren(node);
        node->SetHasChildren(true);
        return;
    }
    // A refresh still waiting covers this one; one already listing may have missed the change.
    const bool waiting =
        std::any_of(refreshes_.begin() + (refresh_.Pending() ? 1 : 0), refreshes_.end(), [&](const TRefreshStep& step) {
            return step.Recursive == recursive && step.Overlays == overlays &&
                   IDListsEqual(step.Node.get(), item->Absolute());
        });
    if (!waiting)
        refreshes_.push_back({CloneIDList(item->Absolute()), recursive, overlays, awaited});
    RunRefreshes();
}

bool TPzShellTree::ListingEnded(int error)
{
    const std::string folder = browser_.FolderPath();
    if (error != 0) {
        noticeFolder_ = folder;
        std::string shown = folder;
        if (shown.size() > 1 && shown.back() == '/')
            shown.pop_back();
        notice_->ShowListingFailure(error, QFile::decodeName(QByteArray::fromStdString(shown)));
        return false;
    }
    if (folder == noticeFolder_ || notice_->Shown() == TPzPaneNotice::ReadingText()) {
        noticeFolder_.clear();
        notice_->Withdraw();
    }
    return true;
}

void TPzShellTree::RefreshTree()
{
    TCursorGuard cursor;
    TTreeUpdateGuard guard(*this);
    if (Nodes().RootCount() == 0)
        BuildRoot();
    RefreshNode(Nodes().FirstRoot(), true, true);
}

void TPzShellTree::SetAutomaticRefresh(bool value)
{
    if (value == notifier_.Enabled())
        return;
    notifier_.SetEnabled(value);
    // What changed while nobody watched, and the watches of the open folders
    // (their listings make them), come back with one refresh of the open nodes.
    if (value && !loading_ && Nodes().RootCount() > 0)
        RefreshNode(Nodes().FirstRoot(), true, false, false);
}

void TPzShellTree::RefreshSelected()
{
    TTreeNode* node = Selected();
    if (!node)
        return;
    TTreeUpdateGuard guard(*this);
    RefreshNode(node->Text().isEmpty() && node->Parent() ? node->Parent() : node, true, false);
    if (!AutomaticRefresh()) {
        std::vector<TTreeNode*> cutParents;
        std::vector<TTreeNode*> pending{Nodes().FirstRoot()};
        while (!pending.empty()) {
            TTreeNode* walk = pending.back();
            pending.pop_back();
            if (!walk)
                continue;
            if (walk->Cut() && walk->Parent())
                cutParents.push_back(walk->Parent());
            for (int i = 0; i < walk->Count(); ++i)
                pending.push_back(walk->Item(i));
        }
        for (TTreeNode* parent : cutParents)
            RefreshNode(parent, false, false);
    }
    if (checkBoxes_ && link_)
        UpdateCheckStates(Nodes().FirstRoot());
}

// --- Selection and the link ---------------------------------------------------------

void TPzShellTree::Change(TTreeNode* node)
{
    if (destroying_)
        return;
    if (TPzShellTreeItem* item = ShellItem(node))
        history_.Add(CloneIDList(item->Absolute()));
    TTreeView::Change(node);
    NotifyLink(node);
    if (expandOnSelected_ && node) {
        for (TTreeNode* sibling = node->PrevSibling(); sibling; sibling = sibling->PrevSibling())
            Collapse(sibling);
        for (TTreeNode* sibling = node->NextSibling(); sibling; sibling = sibling->NextSibling())
            Collapse(sibling);
        Expand(node);
    }
    SetChangeDelay(0);
}

void TPzShellTree::NotifyLink(TTreeNode* node)
{
    TPzShellTreeItem* item = ShellItem(node);
    if (!item || !link_)
        return;
    link_->SetParentNavigation(node->Level() > 0);
    if (loading_ || takingLinkFolder_)
        return;
    if (ShowFiles() && !item->IsFolder() && node->Parent())
        link_->ChangeFolderAndSelect(this, ShellItem(node->Parent())->Absolute(), item->Relative());
    else
        link_->ChangeFolder(this, item->Absolute());
}

void TPzShellTree::ChangeFolder(const TItemIdList* absolute)
{
    if (!absolute)
        return;
    // A tree on a tab not shown expands nothing now: it takes the folder when it is shown.
    if (!loading_ && !isVisible() && window() != this && window()->isVisible()) {
        pendingFolder_ = CloneIDList(absolute);
        return;
    }
    pendingFolder_.reset();
    LocateNode(absolute, lmSelect);
}

void TPzShellTree::showEvent(QShowEvent* event)
{
    TTreeView::showEvent(event);
    if (!pendingFolder_)
        return;
    const TItemIdListPtr folder = std::move(pendingFolder_);
    // The other panes have this folder from the link already.
    const QScopedValueRollback taking(takingLinkFolder_, true);
    LocateNode(folder.get(), lmSelect);
}

void TPzShellTree::ChangeFolderAndSelect(const TItemIdList* folder, const TItemIdList*)
{
    if (ShowFiles())
        ChangeFolder(folder);
}

bool TPzShellTree::GoUp()
{
    TTreeNode* node = Selected();
    if (!node || !node->Parent())
        return false;
    const int delay = ChangeDelay();
    SetChangeDelay(0);
    SetSelected(node->Parent());  // the change handler tells the link
    SetChangeDelay(delay);
    return true;
}

void TPzShellTree::DoOperation(TPzShellOperations operation, const TFileNames& files, const QString& destination)
{
    if (OnOperation && !files.IsEmpty())
        OnOperation(this, operation, files, destination);
}
