#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>

// The names a folder hides: those beginning with "." and those listed in the
// folder's .hidden file (one name per line). Read once per folder; lookups hashed.
class THiddenList
{
public:
    THiddenList() = default;

    // Reads `folderPath`/.hidden; a missing or unreadable file hides only dot names.
    static THiddenList ReadFolder(const std::string& folderPath);
    // The folder's list as last read by any thread, read now when `reload` or
    // when none is known: a folder listed on a worker shows its entries without
    // reading the file again on the user-interface thread, where a slow mount
    // would hold the window.
    static std::shared_ptr<const THiddenList> Shared(const std::string& folderPath, bool reload);
    static THiddenList FromText(std::string_view text);

    static bool IsDotName(std::string_view name) { return !name.empty() && name.front() == '.'; }

    bool IsListed(std::string_view name) const;
    bool IsHidden(std::string_view name) const { return IsDotName(name) || IsListed(name); }
    std::size_t ListedCount() const { return names_.size(); }

private:
    struct THash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    std::unordered_set<std::string, THash, std::equal_to<>> names_;
};
