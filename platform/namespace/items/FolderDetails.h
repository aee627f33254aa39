#pragma once

#include "platform/namespace/NamespacePaths.h"
#include "platform/core/ids/ShellItems.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// What a details column shows.
enum class TColumnValue {
    Name,
    Size,
    Type,
    Modified,
    Permissions,
    Owner,
    VolumeType,
    TotalSize,
    FreeSpace,
    FileSystemType,
    OriginalLocation,
    DeletionDate,
};

struct TColumnSpec
{
    const char* title;    // UTF-8
    int format;           // LVCFMT_
    int charCount;        // default width in characters
    std::uint32_t state;  // SHCOLSTATE_
    TColumnValue value;
};

// The details columns of a kind of folder, in order.
std::span<const TColumnSpec> FolderColumns(TFolderKind kind);

// An item's value in a column: its text, and for sizes and times a number
// (bytes, nanoseconds since 1970) to sort by; items without a value have neither.
struct TColumnData
{
    std::string text;
    std::optional<long long> number;
};
TColumnData ItemColumnData(const TItemContext& context, const TItemView& view, TColumnValue value);

// Sizes of volumes as the computer folder writes them: three significant digits
// and a unit ("465 GB", "1,82 TB", "12,3 MB").
std::string FormatVolumeSizeText(std::uint64_t bytes);
