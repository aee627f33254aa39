// The file list's order: by the folder's own keys or comparison, or by the
// columns' texts, and the arrows of the sorted column.
#include "shell/panes/list/TPzShellList.h"

#include "platform/namespace/IShellFolder.h"
#include "shell/navigator/TShellNavigator.h"
#include "shell/panes/list/TPzShellListItem.h"

#include <QCollator>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

void TPzShellList::DoColumnClick(int column)
{
    SortByColumn(column);
    TListView::DoColumnClick(column);
}

void TPzShellList::SortByColumn(int column)
{
    descending_ = column == sortColumn_ && !descending_;
    sortColumn_ = column;
    SortItems();
    UpdateSortArrows();
}

void TPzShellList::SortItems()
{
    if (sortColumn_ >= ColumnCount())
        sortColumn_ = 0;
    const int sign = descending_ ? -1 : 1;
    const IShellFolderPtr folder = browser_->FolderInterface();
    const bool byShell = folder && !OnCompare;
    const int detail = DetailColumnOf(sortColumn_);
    if (byShell && SortByOrderKeys(*folder, detail, sign))
        return;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    CustomSort([&](const TListItem* a, const TListItem* b) {
        const TPzShellListItem* dataA = ShellItemOf(a);
        const TPzShellListItem* dataB = ShellItemOf(b);
        if (dataA && dataA->IsParentEntry)
            return -1;
        if (dataB && dataB->IsParentEntry)
            return 1;
        if (byShell) {
            const TShellResult result =
                folder->CompareIDs(detail, dataA ? dataA->Item() : nullptr, dataB ? dataB->Item() : nullptr);
            return result.Succeeded() ? result.OrderValue() * sign : 0;
        }
        auto text = [&](const TListItem* item) {
            if (sortColumn_ == 0)
                return item->Caption;
            // On a folder that lists slowly completion leaves the details to
            // a worker; a sort needs every text at once and stats here.
            if (item->SubItems.isEmpty() && slowDetails_)
                FillDetailsNow(*const_cast<TListItem*>(item));
            else if (item->SubItems.isEmpty())
                CompleteItem(*const_cast<TListItem*>(item));
            return item->SubItems.value(sortColumn_ - 1);
        };
        int result = collator.compare(text(a), text(b)) * sign;
        if (OnCompare)
            OnCompare(*this, *a, *b, sortColumn_, result);
        return result;
    });
}

bool TPzShellList::SortByOrderKeys(IShellFolder& folder, int detail, int sign)
{
    // The parent entry first, then the others by their keys, made once each.
    const std::size_t count = std::size_t(Count());
    std::vector<std::string> keys(count);
    std::vector<char> parent(count, 0);
    for (std::size_t row = 0; row < count; ++row) {
        const TPzShellListItem* data = ShellItemOf(Item(int(row)));
        if (data && data->IsParentEntry)
            parent[row] = 1;
        else if (data && folder.GetOrderKey(detail, data->Item(), keys[row]).Failed())
            return false;
    }
    // Names of a folder often share their beginning (a series of pieces):
    // sixteen bytes of key after the beginning all keys share, as two numbers,
    // decide most steps without comparing the keys themselves.
    const std::string* first = nullptr;
    std::size_t shared = 0;
    for (std::size_t row = 0; row < count; ++row) {
        if (parent[row])
            continue;
        const std::string& key = keys[row];
        if (!first) {
            first = &key;
            shared = key.size();
        }
        const std::size_t limit = std::min(shared, key.size());
        shared = std::size_t(std::mismatch(key.begin(), key.begin() + std::ptrdiff_t(limit), first->begin()).first -
                             key.begin());
    }
    constexpr std::size_t kHeadBytes = 16;
    struct TRank
    {
        std::uint64_t high = 0;
        std::uint64_t low = 0;
        int row = 0;
    };
    std::vector<int> order;
    order.reserve(count);
    std::vector<TRank> ranks;
    ranks.reserve(count);
    for (std::size_t row = 0; row < count; ++row) {
        if (parent[row]) {
            order.push_back(int(row));
            continue;
        }
        const std::string& key = keys[row];
        TRank rank{0, 0, int(row)};
        for (std::size_t i = shared; i < shared + kHeadBytes; ++i) {
            const std::uint64_t byte = i < key.size() ? static_cast<unsigned char>(key[i]) : 0u;
            if (i < shared + kHeadBytes / 2)
                rank.high = (rank.high << 8) | byte;
            else
                rank.low = (rank.low << 8) | byte;
        }
        ranks.push_back(rank);
    }
    // Past the head the whole key decides (all keys hold the shared
    // beginning), and then the row, which keeps the sort stable.
    std::sort(ranks.begin(), ranks.end(), [&](const TRank& a, const TRank& b) {
        if (a.high != b.high)
            return (a.high < b.high) == (sign > 0);
        if (a.low != b.low)
            return (a.low < b.low) == (sign > 0);
        const int order = keys[std::size_t(a.row)].compare(shared, std::string::npos, keys[std::size_t(b.row)], shared,
                                                           std::string::npos);
        if (order != 0)
            return (order < 0) == (sign > 0);
        return a.row < b.row;
    });
    for (const TRank& rank : ranks)
        order.push_back(rank.row);
    Reorder(order);
    return true;
}

void TPzShellList::UpdateSortArrows()
{
    for (int column = 0; column < ColumnCount(); ++column)
        SetSortArrow(column, column != sortColumn_ ? saNone : descending_ ? saDown : saUp);
}
