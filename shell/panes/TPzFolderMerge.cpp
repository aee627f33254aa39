#include "shell/panes/TPzFolderMerge.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace {

std::string_view ItemBytes(const TItemIdList* item)
{
    return {reinterpret_cast<const char*>(IDListBytes(item)), IDListSize(item)};
}

}  // namespace

TPzFolderMerge::TPzFolderMerge(IShellFolderPtr folder)
    : folder_(std::move(folder))
{
}

void TPzFolderMerge::Hold(const TItemIdList* item)
{
    held_.push_back(item);
}

TPzFolderMerge::TAnswer TPzFolderMerge::Merge(const TPzFolderListing::TResult& result)
{
    TAnswer answer;
    answer.Error = result.Error;
    answer.Listed.assign(result.Items.size(), kNew);
    std::unordered_map<std::string_view, int> byBytes;
    byBytes.reserve(held_.size());
    for (std::size_t i = 0; i < held_.size(); ++i)
        byBytes.emplace(ItemBytes(held_[i]), int(i));
    probes_ = held_.size();
    std::vector<char> seen(held_.size(), 0);
    std::vector<std::size_t> missed;
    for (std::size_t n = 0; n < result.Items.size(); ++n) {
        ++probes_;
        if (const auto hit = byBytes.find(ItemBytes(result.Items[n].get())); hit != byBytes.end()) {
            answer.Listed[n] = hit->second;
            seen[std::size_t(hit->second)] = 1;
        } else
            missed.push_back(n);
    }
    // Only entries and items left over by their bytes need keys: new items
    // and, rarely, a held entry made from a path.
    if (folder_ && !missed.empty()) {
        std::unordered_map<std::string, int> byKey;
        for (std::size_t i = 0; i < held_.size(); ++i)
            if (std::string key; !seen[i] && folder_->GetOrderKey(0, held_[i], key).Succeeded()) {
                ++probes_;
                byKey.emplace(std::move(key), int(i));
            }
        for (const std::size_t n : missed) {
            if (byKey.empty())
                break;
            ++probes_;
            std::string key;
            if (!folder_->GetOrderKey(0, result.Items[n].get(), key).Succeeded())
                continue;
            if (const auto hit = byKey.find(key); hit != byKey.end()) {
                answer.Listed[n] = hit->second;
                seen[std::size_t(hit->second)] = 1;
            }
        }
    }
    if (answer.Completed())
        for (std::size_t i = 0; i < held_.size(); ++i)
            if (!seen[i])
                answer.Gone.push_back(i);
    return answer;
}
