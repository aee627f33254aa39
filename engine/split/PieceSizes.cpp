#include "engine/split/PieceSizes.h"

#include <array>
#include <cctype>
#include <limits>

namespace {

constexpr std::array kPresets{
    TPieceSizePreset{"diskette", "Diskette (1,44 MB)", 1457664},
    TPieceSizePreset{"cd", "CD (700 MB)", 734003200},
    TPieceSizePreset{"dvd", "DVD (4,7 GB)", 4700372992},
    TPieceSizePreset{"dvd-dl", "DVD DL (8,5 GB)", 8543666176},
    TPieceSizePreset{"fat32", "FAT32-Grenze (4 GB − 1 Byte)", 4294967295},
    TPieceSizePreset{"email-10", "E-Mail (10 MB)", 10485760},
    TPieceSizePreset{"email-25", "E-Mail (25 MB)", 26214400},
};

struct TUnit
{
    std::string_view Name;
    std::uint64_t Factor;
};

constexpr std::uint64_t kKibi = 1024;
constexpr std::uint64_t kKilo = 1000;

constexpr std::array kUnits{
    TUnit{"", 1},
    TUnit{"K", kKibi},
    TUnit{"KiB", kKibi},
    TUnit{"KB", kKilo},
    TUnit{"M", kKibi* kKibi},
    TUnit{"MiB", kKibi* kKibi},
    TUnit{"MB", kKilo* kKilo},
    TUnit{"G", kKibi* kKibi* kKibi},
    TUnit{"GiB", kKibi* kKibi* kKibi},
    TUnit{"GB", kKilo* kKilo* kKilo},
    TUnit{"T", kKibi* kKibi* kKibi* kKibi},
    TUnit{"TiB", kKibi* kKibi* kKibi* kKibi},
    TUnit{"TB", kKilo* kKilo* kKilo* kKilo},
};

}  // namespace

std::span<const TPieceSizePreset> PieceSizePresets()
{
    return kPresets;
}

const TPieceSizePreset* FindPieceSizePreset(std::string_view key)
{
    for (const TPieceSizePreset& preset : kPresets) {
        if (key == preset.Key)
            return &preset;
    }
    return nullptr;
}

std::optional<std::int64_t> ParsePieceSizeText(std::string_view text)
{
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    std::size_t digits = 0;
    std::uint64_t number = 0;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) {
        const auto digit = static_cast<std::uint64_t>(text[digits] - '0');
        if (number > (kMax - digit) / 10)
            return std::nullopt;
        number = number * 10 + digit;
        ++digits;
    }
    if (digits == 0 || number == 0)
        return std::nullopt;
    const std::string_view unit = text.substr(digits);
    for (const TUnit& known : kUnits) {
        if (unit != known.Name)
            continue;
        if (number > kMax / known.Factor)
            return std::nullopt;
        return static_cast<std::int64_t>(number * known.Factor);
    }
    return std::nullopt;
}

std::int64_t PieceCountOf(std::uint64_t length, std::int64_t pieceSize)
{
    return static_cast<std::int64_t>(length / static_cast<std::uint64_t>(pieceSize)) + 1;
}

std::optional<std::int64_t> EqualPieceSize(std::uint64_t length, std::int64_t pieces)
{
    if (pieces < 1)
        return std::nullopt;
    const std::uint64_t size = length / static_cast<std::uint64_t>(pieces) + 1;
    // Rounding up may leave fewer pieces than asked for (3 pieces of 3 bytes).
    if (size > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) ||
        PieceCountOf(length, static_cast<std::int64_t>(size)) != pieces)
        return std::nullopt;
    return static_cast<std::int64_t>(size);
}
